#include "TestFiles.h"
#include "WindowFixture.h"

#include <QProgressBar>

namespace quendrix::test {
namespace {

using MainWindowTest = WindowFixture;

TEST_F(MainWindowTest, StartsEmptyThenImportsBothFilesAndRefusesBadOnes) {
    EXPECT_EQ(w.windowTitle().toStdString(), "Quendrix 3.0");
    EXPECT_EQ(text(c().file[0].count) + " " + text(c().file[1].count), "0 0");
    EXPECT_EQ(text(c().coefficients.values[0]) + " " + text(c().coefficients.values[1]),
              "68.2 95.4");
    EXPECT_EQ(text(c().smoothing.value), "5");
    EXPECT_EQ(text(c().thresholds.verticalCaption), "Threshold: 2 sample(s)");
    EXPECT_EQ(text(c().thresholds.horizontalCaption), "Threshold: 2 sample(s)");
    EXPECT_EQ(text(c().range.lower) + ".." + text(c().range.upper), "..");
    EXPECT_FALSE(c().run.start->isEnabled());
    EXPECT_EQ(figures(Enabled), "");
    EXPECT_FALSE(c().model.showFittingLine->isEnabled() || c().coefficients.showMode->isEnabled() ||
                 c().model.generateModel->isEnabled() || c().coefficients.showAverage->isEnabled());
    EXPECT_TRUE(c().coefficients.showMode->isChecked() &&
                c().coefficients.showAverage->isChecked());
    EXPECT_FALSE(c().model.generateModel->isChecked());
    EXPECT_FALSE(c().model.modelSlider->isVisible() || c().run.progress->isVisible());
    // With nothing drawn a setting only updates its caption.
    c().smoothing.slider->setValue(7);
    EXPECT_EQ(text(c().smoothing.value), "7");
    EXPECT_FALSE(drawn(3));

    import(0, CalibrationCsv);
    EXPECT_EQ(text(c().file[0].count), "300");
    // File 1 alone proposes both bounds: its data 1.4 .. 36.51 round out to 0 .. 40.
    EXPECT_EQ(text(c().range.lower) + ".." + text(c().range.upper), "0..40");
    EXPECT_EQ(figures(Drawn), "1");
    EXPECT_TRUE(c().model.generateModel->isEnabled());
    EXPECT_FALSE(c().run.start->isEnabled());

    import(1, ErrorCsv);
    EXPECT_EQ(text(c().file[1].count), "150");
    EXPECT_EQ(text(c().file[1].xName), "Analysis 1 (mg/L)");
    EXPECT_EQ(figures(Drawn), "12");
    EXPECT_EQ(figures(Enabled), "123");
    EXPECT_TRUE(c().run.start->isEnabled() && c().model.showFittingLine->isEnabled());

    // A cancelled dialog and a bad file change nothing.
    mark();
    const int shown = dialogs.fileDialogsShown();
    click(c().file[1].importButton);
    EXPECT_EQ(dialogs.fileDialogsShown(), shown + 1);
    TempDir dir("quendrix-window-bad");
    const QString bad = QString::fromStdString(dir.file("bad.csv", "X,Y\n1,2\n3,\n5,6\n"));
    for (int f = 0; f < 2; ++f) {
        SCOPED_TRACE(f);
        import(f, bad);
        EXPECT_EQ(text(c().file[0].count) + " " + text(c().file[1].count), "300 150");
        EXPECT_EQ(c().file[size_t(f)].path->text(), f == 0 ? CalibrationCsv : ErrorCsv);
        EXPECT_EQ(text(c().range.lower) + ".." + text(c().range.upper), "0..40");
        EXPECT_EQ(figures(Drawn), "12");
        EXPECT_EQ(figures(Redrawn), "");
        EXPECT_TRUE(c().run.start->isEnabled());
    }

    // The proposal for 12 .. 180 survives the range change its lower bound's writing runs.
    import(0, QString::fromStdString(dir.file("wide.csv", "X,Y\n12,15\n180,170\n")));
    EXPECT_EQ(text(c().range.lower) + ".." + text(c().range.upper), "10..200");
}

TEST_F(MainWindowTest, StartRunsEveryStageOnceAndRangeEditsUndoThem) {
    runAll();
    EXPECT_EQ(figures(Drawn), "12345678");
    EXPECT_EQ(figures(Enabled), "12345678");
    EXPECT_TRUE(!c().run.start->isEnabled() && c().coefficients.showMode->isEnabled() &&
                c().coefficients.showAverage->isEnabled());

    // A second "Start" with Fig.3 drawn (and no generated model) does nothing.
    mark();
    w.workflow().start();
    EXPECT_EQ(figures(Redrawn), "");

    const QColor background = w.palette().color(QPalette::Window);
    ASSERT_NE(background, White);
    const int mode = w.session().columns().modeIndex[125]; // a cell inside the regions
    auto cell = [&](int n) { return fig(n).colourAt(cellX(125), cellY(mode), Px); };
    ASSERT_NE(cell(5), White);
    // Typing undoes the stages at once; scatter figures and axis labels wait for the commit.
    auto labels = [&] {
        std::string out;
        for (int n = 1; n <= 8; ++n) {
            const FigureBox* box = w.figures().box(n);
            out += box->lowerText().toStdString() + ".." + box->upperText().toStdString() + " ";
        }
        return out;
    };
    const std::string committed = labels();
    EXPECT_EQ(committed, "0..40 0..40 0..40 0..40 0..40 0..40 0..40 0..40 ");
    typeRange(c().range.upper, QStringLiteral("30"));
    EXPECT_EQ(figures(Redrawn), "345678");
    EXPECT_EQ(labels(), committed);
    EXPECT_EQ(figures(Drawn), "12");
    EXPECT_EQ(figures(Enabled), "123");
    EXPECT_EQ(cell(5), White);
    EXPECT_EQ(cell(8), background); // blank, not its region picture

    c().file[0].importButton->setFocus(); // leaving the box commits the range
    EXPECT_EQ(labels(), "0..30 0..30 0..30 0..30 0..30 0..30 0..30 0..30 ");
    EXPECT_EQ(figures(Redrawn), "12345678");
    EXPECT_TRUE(showsSessionScatter(1, 30));

    // Equal bounds: one message, and the last accepted texts come back.
    typeRange(c().range.upper, QStringLiteral("0"));
    c().file[0].importButton->setFocus();
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("Error: Please set valid range.")});
    EXPECT_EQ(text(c().range.lower) + ".." + text(c().range.upper), "0..30");

    // Reversed bounds are a valid, mirrored range.
    typeRange(c().range.lower, QStringLiteral("50"));
    c().file[0].importButton->setFocus();
    EXPECT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(labels(), "50..30 50..30 50..30 50..30 50..30 50..30 50..30 50..30 ");
    click(&fig(3));
    EXPECT_TRUE(drawn(8));
}

} // namespace
} // namespace quendrix::test
