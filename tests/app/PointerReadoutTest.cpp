#include "ChartFixture.h"

#include <QFile>
#include <QRegularExpression>
#include <QStatusBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <map>

namespace quendrix::test {
namespace {

class PointerReadoutTest : public ChartFixture {
  protected:
    static ui::ElidedLabel* readoutLabel(QWidget* window) {
        return window->findChild<ui::ElidedLabel*>(QStringLiteral("PointerReadout"));
    }
    static std::string readout(QWidget* window) {
        const ui::ElidedLabel* label = readoutLabel(window);
        return label != nullptr ? label->text().toStdString() : "(no read-out)";
    }
    /// Gives `s` two pixels per cell of a figure `span` cells wide, and returns the widget point
    /// of cell (i, j), `first` being the figure's first index on both axes. The edge cells lie
    /// half outside the figure: the bottom row's point is below it.
    static QPoint cellPoint(ui::FigureSurface& s, int first, int span, int i, int j) {
        s.resize(QSize(2 * span, 2 * span) + 2 * QSize(s.frameWidth(), s.frameWidth()));
        return s.contentsRect().topLeft() + QPoint(2 * (i - first), 2 * (first + span - j));
    }
    static void mouse(QWidget* s, QEvent::Type type, QPoint at,
                      Qt::MouseButtons held = Qt::NoButton) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, s->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(s, &event);
    }
    static void leave(QWidget* s) {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(s, &event);
    }
    static void wheel(QWidget* s, int delta) {
        const QPointF at = s->rect().center();
        QWheelEvent event(at, s->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(s, &event);
    }
    /// The X or Y text of an index of a figure on the range 0..40.
    static std::string axis(int index, int first, int span) {
        return QString::number((index - first) * 40.0 / span, 'g', 10).toStdString();
    }
};

const QRegularExpression Reading(QStringLiteral("^X (\\S+), Y (\\S+): ([a-zA-Z ]+) (\\S+)$"));

TEST_F(PointerReadoutTest, MatrixFiguresReadTheCellUnderThePointerInTheirOwnTerms) {
    runAll();
    // Column X = 20, at the lower edge of the outer band: every stage has a value there.
    const int i = 125;
    int j = PlotFirst;
    while (std::fabs(m().at(Field::Confi, i, j)) != 1) {
        ++j;
    }
    const std::pair<Field, const char*> shown[] = {{Field::Model, "density"},
                                                   {Field::Discrete, "spread samples"},
                                                   {Field::Smoothed, "smoothed samples"},
                                                   {Field::NormH, "share along X"},
                                                   {Field::Prob, "probability"}};
    for (int n = 3; n <= 7; ++n) {
        SCOPED_TRACE(n);
        mouse(&fig(n), QEvent::MouseMove, cellPoint(fig(n), PlotFirst, 200, i, j));
        const auto match = Reading.match(QString::fromStdString(readout(&w)));
        ASSERT_TRUE(match.hasMatch()) << readout(&w);
        EXPECT_EQ(match.captured(1).toStdString() + " " + match.captured(2).toStdString(),
                  "20 " + axis(j, PlotFirst, 200));
        EXPECT_EQ(match.captured(3).toStdString(), shown[n - 3].second);
        const double v = std::fabs(m().at(shown[n - 3].first, i, j));
        EXPECT_NEAR(match.captured(4).toDouble(), v, v * 0.005); // three digits
    }
    mouse(&fig(8), QEvent::MouseMove, cellPoint(fig(8), PlotFirst, 200, i, j));
    EXPECT_EQ(readout(&w), "X 20, Y " + axis(j, PlotFirst, 200) + ": 95.4 % region");
    mouse(&fig(8), QEvent::MouseMove, cellPoint(fig(8), PlotFirst, 200, i, PlotFirst + 1));
    EXPECT_EQ(readout(&w), "X 20, Y 0.2: outside the regions");

    // A setting redraws Fig.7 under the resting pointer: never the old value. Leaving clears it.
    mouse(&fig(7), QEvent::MouseMove, cellPoint(fig(7), PlotFirst, 200, i, j));
    const std::string before = readout(&w);
    c().smoothing.slider->setValue(9);
    EXPECT_NE(readout(&w), before);
    const auto match = Reading.match(QString::fromStdString(readout(&w)));
    ASSERT_TRUE(match.hasMatch()) << readout(&w);
    const double v = std::fabs(m().at(Field::Prob, i, j));
    EXPECT_NEAR(match.captured(4).toDouble(), v, v * 0.005);
    leave(&fig(7));
    EXPECT_EQ(readout(&w), "");
}

TEST_F(PointerReadoutTest, ScatterFiguresNameTheNearestRecordAndUndrawnFiguresNothing) {
    importBoth();
    // A record of file 1 with no other within half a unit (5 pixels here) of it.
    QFile csv(CalibrationCsv);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(csv.readAll()).trimmed().split(QLatin1Char('\n'));
    std::vector<QPointF> records;
    for (qsizetype r = 1; r < lines.size(); ++r) {
        const QStringList xy = lines[r].trimmed().split(QLatin1Char(','));
        records.emplace_back(xy[0].toDouble(), xy[1].toDouble());
    }
    size_t lone = 0;
    const auto alone = [&](size_t r) {
        return std::none_of(records.begin(), records.end(), [&](const QPointF& q) {
            return &q != &records[r] &&
                   std::hypot(q.x() - records[r].x(), q.y() - records[r].y()) < 0.5;
        });
    };
    while (!alone(lone)) {
        ++lone;
    }
    // Fig.1 400 pixels wide: 10 pixels to a unit of the range 0..40.
    ui::FigureSurface& f1 = fig(1);
    const QPoint at = cellPoint(f1, 0, 200, 0, 200) +
                      QPointF(records[lone].x() * 10, 400 - records[lone].y() * 10).toPoint();
    ui::ElidedLabel* label = readoutLabel(&w);
    ASSERT_NE(label, nullptr);
    const QRect place = label->geometry();
    mouse(&f1, QEvent::MouseMove, at);
    // The file's numbers as singles, in their shortest form ("3.0" is 3).
    const auto single = [](double v) { return QString::number(double(float(v)), 'g', 7); };
    EXPECT_EQ(readout(&w), QStringLiteral("Record %1: X %2, Y %3")
                               .arg(lone + 1)
                               .arg(single(records[lone].x()), single(records[lone].y()))
                               .toStdString());
    // The read-out keeps its place on the status bar, beside the status line.
    QApplication::processEvents();
    EXPECT_EQ(label->geometry(), place);
    EXPECT_EQ(label->parentWidget(), w.statusBar());

    // Fig.3 is enabled, waiting for "Start", but shows nothing yet.
    ASSERT_TRUE(fig(3).isEnabled() && !drawn(3));
    mouse(&fig(3), QEvent::MouseMove, fig(3).rect().center());
    EXPECT_EQ(readout(&w), "");
    mouse(&f1, QEvent::MouseMove, at);
    leave(&f1);
    EXPECT_EQ(readout(&w), "");
}

TEST_F(PointerReadoutTest, ChartFigureReadsItsFineCellsInBothViews) {
    runAll();
    ASSERT_NE(openFrom(8), nullptr);
    ui::FigureSurface& p = *cc().picture1;
    const DetailMatrices& d = w.session().detail();
    // Column X = 20: a row outside both regions, one in the outer band, one in the inner region.
    const int i = 250;
    std::map<std::string, int> rows;
    for (int j = FineFirst + 1; j < FineLast; ++j) {
        const float c = std::fabs(d.confi(i, j));
        rows.try_emplace(c < 0.5f   ? "outside the regions"
                         : c < 1.5f ? "95.4 % region"
                                    : "68.2 % region",
                         j);
    }
    ASSERT_EQ(rows.size(), 3u);
    for (const auto& [region, j] : rows) {
        mouse(&p, QEvent::MouseMove, cellPoint(p, FineFirst, 400, i, j));
        EXPECT_EQ(readout(chart()), "X 20, Y " + axis(j, FineFirst, 400) + ": " + region);
    }
    // The probability view, the pointer resting on the inner region's cell.
    const int j = rows["68.2 % region"];
    mouse(&p, QEvent::MouseMove, cellPoint(p, FineFirst, 400, i, j));
    cc().option1[0]->setChecked(true);
    const auto match = Reading.match(QString::fromStdString(readout(chart())));
    ASSERT_TRUE(match.hasMatch()) << readout(chart());
    EXPECT_EQ(match.captured(1).toStdString() + " " + match.captured(2).toStdString() + " " +
                  match.captured(3).toStdString(),
              "20 " + axis(j, FineFirst, 400) + " probability");
    EXPECT_NEAR(match.captured(4).toDouble(), d.prob(i, j), d.prob(i, j) * 0.005);
    leave(&p);
    EXPECT_EQ(readout(chart()), "");
    EXPECT_EQ(readout(&w), ""); // the main window's own read-out is not the chart's
}

TEST_F(PointerReadoutTest, LeftButtonAndWheelOnTheChartFigureMoveTheSection) {
    runAll();
    ASSERT_NE(openFrom(7), nullptr);
    ui::FigureSurface& p = *cc().picture1;
    // Fine column 50 + 4 s is section s %; the range is 0..40.
    mouse(&p, QEvent::MouseButtonPress, cellPoint(p, FineFirst, 400, 50 + 4 * 30, 200),
          Qt::LeftButton);
    EXPECT_EQ(cc().slider1->value(), 30);
    EXPECT_EQ(text(cc().label3, cc().label5), "12|12");
    EXPECT_EQ(cc().intervalPanel->lines(), batchReadout(30));
    mouse(&p, QEvent::MouseMove, cellPoint(p, FineFirst, 400, 50 + 4 * 70, 300), Qt::LeftButton);
    EXPECT_EQ(cc().slider1->value(), 70);
    EXPECT_EQ(text(cc().label3, cc().label5), "28|28");
    mouse(&p, QEvent::MouseButtonRelease, cellPoint(p, FineFirst, 400, 50 + 4 * 70, 300));
    mouse(&p, QEvent::MouseMove, cellPoint(p, FineFirst, 400, 50 + 4 * 10, 300));
    EXPECT_EQ(cc().slider1->value(), 70); // no button, no move

    // One notch each way moves the section as the same notch over its slider does.
    for (int delta : {120, -120}) {
        SCOPED_TRACE(delta);
        cc().slider1->setValue(50);
        wheel(cc().slider1, delta);
        const int bySlider = cc().slider1->value();
        cc().slider1->setValue(50);
        wheel(&p, delta);
        EXPECT_EQ(cc().slider1->value(), bySlider);
        EXPECT_EQ(cc().slider1->value() > 50, delta > 0);
    }
}

} // namespace
} // namespace quendrix::test
