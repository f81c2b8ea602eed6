#include "WindowFixture.h"

#include "app/MainMenus.h"
#include "app/SuggestSettingsDialog.h"
#include "tuning/SessionTuning.h"

#include <QProgressBar>

namespace quendrix::test {
namespace {

using SuggestSettingsTest = WindowFixture;

TEST_F(SuggestSettingsTest, TheMenuRunsTheSearchOfTheSessionAndItsRecommendationCalibrates) {
    QAction* suggest = w.menus().suggestSettings;
    EXPECT_FALSE(suggest->isEnabled());
    import(0, CalibrationCsv);
    ASSERT_TRUE(suggest->isEnabled());
    // Without an error model there is nothing to search with.
    suggest->trigger();
    EXPECT_EQ(w.workflow().suggestionDialog(), nullptr);
    EXPECT_EQ(w.workflow().status().text(),
              QStringLiteral("No settings were suggested: no error model: import file 2 (two or "
                             "more complete records with different X values) or generate the "
                             "model"));

    click(c().model.generateModel);
    suggest->trigger();
    SuggestSettingsDialog* d = w.workflow().suggestionDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isVisible() && d->progress()->isVisible());
    EXPECT_FALSE(d->useButton()->isEnabled());
    d->waitForSearch();
    ASSERT_TRUE(d->outcome() && *d->outcome()) << d->summary().toStdString();
    const TuningResult& shown = d->outcome()->value();

    // The same search as the core's on the session: the same table, best first.
    const TuningProblem problem = tuningProblemOf(w.session()).value();
    const auto expected = tuneSettings(problem, defaultSearchGrid(problem), {});
    ASSERT_TRUE(expected);
    ASSERT_EQ(shown.trials.size(), 500u);
    for (size_t k = 0; k < shown.trials.size(); ++k) {
        const TrialScore &a = shown.trials[k], &b = expected->trials[k];
        ASSERT_EQ(std::tie(a.smoothing, a.modelPercent, a.logScore, a.inNarrow, a.inWide),
                  std::tie(b.smoothing, b.modelPercent, b.logScore, b.inNarrow, b.inWide))
            << k;
    }
    // The map: smoothing across, the deviation up, the recommendation ringed and the darkest
    // green of the settings within the tolerance.
    const TrialScore& best = shown.recommended();
    ScoreMap* map = d->map();
    EXPECT_EQ(map->columns(), 25);
    EXPECT_EQ(map->rows(), 20);
    const QPoint ringed = map->recommendedCell();
    EXPECT_EQ(ringed, QPoint(best.smoothing - 1, best.modelPercent - 1));
    EXPECT_EQ(map->trialAt(ringed.x(), ringed.y()), &best);
    for (int r = 0; r < map->rows(); ++r) {
        for (int col = 0; col < map->columns(); ++col) {
            const TrialScore* t = map->trialAt(col, r);
            ASSERT_NE(t, nullptr);
            EXPECT_EQ(t->smoothing, col + 1);
            if (t->withinTolerance && t != &best) {
                EXPECT_GT(map->cellColour(col, r).green(),
                          map->cellColour(ringed.x(), ringed.y()).green());
            }
        }
    }
    EXPECT_TRUE(d->summary().contains(QStringLiteral("smoothing %1 %").arg(best.smoothing)));

    // Used: the sliders move to it and the calibration runs.
    ASSERT_TRUE(d->useButton()->isEnabled());
    d->useButton()->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(c().smoothing.slider->value(), best.smoothing);
    EXPECT_EQ(c().model.modelSlider->value(), best.modelPercent);
    EXPECT_EQ(w.session().settings().smoothing, best.smoothing);
    EXPECT_EQ(w.session().settings().modelPercent, best.modelPercent);
    EXPECT_TRUE(drawn(8));

    // Cancelled at once: the dialog says so and offers nothing to use.
    suggest->trigger();
    d->cancelButton()->click();
    d->waitForSearch();
    ASSERT_TRUE(d->outcome());
    EXPECT_EQ(d->outcome()->reason(), "the search was cancelled");
    EXPECT_EQ(d->summary(), QStringLiteral("No settings were suggested: the search was cancelled"));
    EXPECT_FALSE(d->useButton()->isEnabled());
}

TEST_F(SuggestSettingsTest, ASuggestionOfSeveralSettingsRunsTheStagesOnceForAll) {
    importBoth();
    runAll();
    // A run redraws Fig.8 as it progresses: what one slider's change does.
    mark();
    c().smoothing.slider->setValue(c().smoothing.slider->value() + 1);
    const std::uint64_t once = fig(8).revision() - marked[7];
    ASSERT_GT(once, 0u);

    w.menus().suggestSettings->trigger();
    SuggestSettingsDialog* d = w.workflow().suggestionDialog();
    ASSERT_NE(d, nullptr);
    d->cancelButton()->click();
    d->waitForSearch();
    TrialScore trial;
    trial.smoothing = 9;
    trial.verticalThreshold = 4;
    trial.horizontalThreshold = 1;
    mark();
    emit d->useSettings(trial);
    // About as often as one run (the settings differ), not once for each slider.
    EXPECT_LT(fig(8).revision() - marked[7], once * 3 / 2);
    const PipelineSettings& s = w.session().settings();
    EXPECT_EQ(std::tuple(s.smoothing, s.verticalThreshold, s.horizontalThreshold),
              std::tuple(9, 4, 1));
    EXPECT_EQ(std::tuple(c().smoothing.slider->value(), c().thresholds.vertical->value(),
                         c().thresholds.horizontal->value()),
              std::tuple(9, 4, 1));
    EXPECT_EQ(
        text(c().smoothing.value, c().thresholds.verticalCaption, c().thresholds.horizontalCaption),
        "9|Threshold: 4 sample(s)|Threshold: 1 sample(s)");
    EXPECT_TRUE(drawn(8));
}

} // namespace
} // namespace quendrix::test
