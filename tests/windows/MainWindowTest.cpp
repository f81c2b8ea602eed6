#include "TestFiles.h"
#include "WindowFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>

namespace quendrix::test {
namespace {

using MainWindowTest = WindowFixture;

TEST_F(MainWindowTest, StartsWithDefaultsAndNothingToDo) {
    EXPECT_EQ(w.windowTitle().toStdString(), "Quendrix 3.0");
    EXPECT_EQ(text(c().label12[0]), "0");
    EXPECT_EQ(text(c().label12[1]), "0");
    EXPECT_EQ(text(c().label4[0]), "68.2");
    EXPECT_EQ(text(c().label4[1]), "95.4");
    EXPECT_EQ(c().coefficientSliders[0]->value(), 682);
    EXPECT_EQ(c().coefficientSliders[1]->value(), 954);
    EXPECT_EQ(text(c().label7), "5");
    EXPECT_EQ(text(c().label23), "Threshold: 2 sample(s)");
    EXPECT_EQ(text(c().label24), "Threshold: 2 sample(s)");
    EXPECT_TRUE(c().text1->text().isEmpty());
    EXPECT_TRUE(c().text2->text().isEmpty());
    EXPECT_FALSE(c().command3->isEnabled());
    for (int n = 1; n <= 8; ++n) {
        EXPECT_FALSE(fig(n).isEnabled()) << "Fig." << n;
    }
    for (QCheckBox* box : {c().check1, c().check2, c().check4, c().check6}) {
        EXPECT_FALSE(box->isEnabled()) << box->text().toStdString();
    }
    EXPECT_TRUE(c().check2->isChecked());
    EXPECT_TRUE(c().check6->isChecked());
    EXPECT_FALSE(c().check4->isChecked());
    EXPECT_FALSE(c().slider4->isVisible());
    EXPECT_FALSE(c().progressBar1->isVisible());

    // With nothing drawn a setting only updates its caption.
    c().slider3->setValue(7);
    EXPECT_EQ(text(c().label7), "7");
    EXPECT_FALSE(drawn(3));
}

TEST_F(MainWindowTest, ImportsBothFilesAndProposesTheRange) {
    import(0, CalibrationCsv);
    EXPECT_EQ(text(c().label12[0]), "300");
    EXPECT_EQ(c().label21[0]->text(), CalibrationCsv);
    EXPECT_TRUE(drawn(1));
    EXPECT_TRUE(c().check4->isEnabled());
    EXPECT_FALSE(c().command3->isEnabled());

    import(1, ErrorCsv);
    EXPECT_EQ(text(c().label12[1]), "150");
    EXPECT_EQ(text(c().label14[1]), "Analysis 1 (mg/L)");
    // Least squares of error.csv by hand: slope 0.972274, intercept 0.379267, residual SD
    // 1.453133. File 1's data 1.4 .. 36.51 round out to the range 0 .. 40.
    EXPECT_EQ(text(c().label17), "y = 0.972 x + 0.379");
    EXPECT_EQ(text(c().label19), "1.45313");
    EXPECT_EQ(text(c().text1), "0");
    EXPECT_EQ(text(c().text2), "40");
    EXPECT_TRUE(drawn(2));
    EXPECT_TRUE(c().command3->isEnabled());
    EXPECT_TRUE(fig(3).isEnabled());
    EXPECT_TRUE(c().check1->isEnabled());

    // A cancelled dialog changes nothing.
    const int shown = dialogs.fileDialogsShown();
    click(c().command1[1]);
    EXPECT_EQ(dialogs.fileDialogsShown(), shown + 1);
    EXPECT_EQ(text(c().label12[1]), "150");
    EXPECT_EQ(c().label21[1]->text(), ErrorCsv);
    EXPECT_TRUE(drawn(2));
}

// Writing the lower box runs the range change while the upper box still holds its old text; the
// proposed upper bound must survive that (empty at first, the old one on a re-import).
TEST_F(MainWindowTest, FileOneProposesBothBounds) {
    import(0, CalibrationCsv);
    EXPECT_EQ(text(c().text1), "0");
    EXPECT_EQ(text(c().text2), "40");
    click(c().check4);
    EXPECT_TRUE(drawn(3));
    EXPECT_EQ(text(c().label19), "2"); // 5 % of 40

    // A file 1 spanning 12 .. 180 proposes 10 .. 200 in place of 0 .. 40.
    TempDir dir("quendrix-window-wide");
    import(0, QString::fromStdString(dir.file("wide.csv", "X,Y\n12,15\n180,170\n")));
    EXPECT_EQ(text(c().text1), "10");
    EXPECT_EQ(text(c().text2), "200");
}

TEST_F(MainWindowTest, BadFileKeepsEverythingAndNamesTheLine) {
    importBoth();
    TempDir dir("quendrix-window-bad");
    const QString bad = QString::fromStdString(dir.file("bad.csv", "X,Y\n1,2\n3,\n5,6\n"));
    const QPointF point(unitX(23.74, 0, 40), unitY(22.98, 0, 40)); // calibration.csv record 1
    ASSERT_EQ(fig(1).colourAt(point.x(), point.y(), Px), QColor(0, 0, 255));
    for (int f = 0; f < 2; ++f) {
        SCOPED_TRACE(f);
        w.statusBar()->clearMessage();
        import(f, bad);
        EXPECT_TRUE(w.statusBar()->currentMessage().contains(QStringLiteral("line 3")))
            << w.statusBar()->currentMessage().toStdString();
        EXPECT_EQ(text(c().label12[0]), "300");
        EXPECT_EQ(text(c().label12[1]), "150");
        EXPECT_EQ(c().label21[size_t(f)]->text(), f == 0 ? CalibrationCsv : ErrorCsv);
        EXPECT_EQ(text(c().text1), "0");
        EXPECT_EQ(text(c().text2), "40");
        EXPECT_TRUE(drawn(1) && drawn(2));
        EXPECT_TRUE(c().command3->isEnabled());
        EXPECT_EQ(fig(1).colourAt(point.x(), point.y(), Px), QColor(0, 0, 255));
    }
}

TEST_F(MainWindowTest, RangeEditsRedrawScatterAndInvalidateTheStages) {
    runAll();
    const QColor background = w.palette().color(QPalette::Window);
    ASSERT_NE(background, White);
    int ri = 0, rj = 0; // a cell inside the regions
    for (int i = PlotFirst; i <= PlotLast && ri == 0; ++i) {
        for (int j = PlotFirst; j <= PlotLast; ++j) {
            if (m().at(Field::Confi, i, j) != 0) {
                ri = i, rj = j;
                break;
            }
        }
    }
    ASSERT_NE(ri, 0);
    stamp();

    typeRange(c().text2, QStringLiteral("30"));
    EXPECT_EQ(redrawn(), "12345678");
    EXPECT_TRUE(drawn(1) && drawn(2));
    for (int n = 3; n <= 8; ++n) {
        EXPECT_FALSE(drawn(n)) << "Fig." << n;
    }
    EXPECT_FALSE(fig(4).isEnabled());
    EXPECT_FALSE(c().check2->isEnabled());
    EXPECT_EQ(fig(1).colourAt(unitX(23.74, 0, 30), unitY(22.98, 0, 30), Px), QColor(0, 0, 255));
    EXPECT_EQ(fig(2).colourAt(unitX(19.62, 0, 30), unitY(20.17, 0, 30), Px), QColor(0, 0, 255));
    EXPECT_EQ(cellAt(5, ri, rj), White);
    EXPECT_EQ(cellAt(8, ri, rj), background);
    EXPECT_EQ(fig(8).colourAt(1800, 100, Px), background);

    leaveRange();
    ASSERT_TRUE(w.session().grid());
    EXPECT_DOUBLE_EQ(w.session().grid()->gridStep, 0.15);
    EXPECT_FLOAT_EQ(w.session().grid()->gridMin, -3.75f);
    EXPECT_TRUE(dialogs.messages().isEmpty());

    // Equal bounds: one message, and the last accepted texts come back.
    typeRange(c().text2, QStringLiteral("0"));
    leaveRange();
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("Error: Please set valid range.")});
    EXPECT_EQ(text(c().text1), "0");
    EXPECT_EQ(text(c().text2), "30");
    EXPECT_DOUBLE_EQ(w.session().grid()->gridStep, 0.15);

    // Reversed bounds are a valid, mirrored range.
    typeRange(c().text1, QStringLiteral("50"));
    leaveRange();
    EXPECT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(text(c().text1), "50");
    EXPECT_DOUBLE_EQ(w.session().grid()->gridStep, -0.1);
    EXPECT_FLOAT_EQ(w.session().grid()->gridMin, 52.5f);
    click(&fig(3));
    EXPECT_TRUE(drawn(8));
}

} // namespace
} // namespace quendrix::test
