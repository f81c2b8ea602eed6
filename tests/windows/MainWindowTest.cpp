#include "TestFiles.h"
#include "WindowFixture.h"

#include <QProgressBar>

namespace quendrix::test {
namespace {

using MainWindowTest = WindowFixture;

TEST_F(MainWindowTest, StartsEmptyThenImportsBothFilesAndRefusesBadOnes) {
    EXPECT_EQ(w.windowTitle().toStdString(), "Quendrix 3.0");
    EXPECT_EQ(text(c().label12[0]) + " " + text(c().label12[1]), "0 0");
    EXPECT_EQ(text(c().label4[0]) + " " + text(c().label4[1]), "68.2 95.4");
    EXPECT_EQ(c().coefficientSliders[0]->value(), 682);
    EXPECT_EQ(c().coefficientSliders[1]->value(), 954);
    EXPECT_EQ(text(c().label7), "5");
    EXPECT_EQ(text(c().label23), "Threshold: 2 sample(s)");
    EXPECT_EQ(text(c().label24), "Threshold: 2 sample(s)");
    EXPECT_EQ(text(c().text1) + ".." + text(c().text2), "..");
    EXPECT_FALSE(c().command3->isEnabled());
    EXPECT_EQ(figures(Enabled), "");
    EXPECT_FALSE(c().check1->isEnabled() || c().check2->isEnabled() || c().check4->isEnabled() ||
                 c().check6->isEnabled());
    EXPECT_TRUE(c().check2->isChecked() && c().check6->isChecked());
    EXPECT_FALSE(c().check4->isChecked());
    EXPECT_FALSE(c().slider4->isVisible() || c().progressBar1->isVisible());
    // With nothing drawn a setting only updates its caption.
    c().slider3->setValue(7);
    EXPECT_EQ(text(c().label7), "7");
    EXPECT_FALSE(drawn(3));

    import(0, CalibrationCsv);
    EXPECT_EQ(text(c().label12[0]), "300");
    EXPECT_EQ(c().label21[0]->text(), CalibrationCsv);
    // File 1 alone proposes both bounds: its data 1.4 .. 36.51 round out to 0 .. 40.
    EXPECT_EQ(text(c().text1) + ".." + text(c().text2), "0..40");
    EXPECT_EQ(figures(Drawn), "1");
    EXPECT_TRUE(c().check4->isEnabled());
    EXPECT_FALSE(c().command3->isEnabled());

    import(1, ErrorCsv);
    EXPECT_EQ(text(c().label12[1]), "150");
    EXPECT_EQ(text(c().label14[1]), "Analysis 1 (mg/L)");
    // Least squares of error.csv by hand: slope 0.972274, intercept 0.379267, residual SD
    // 1.453133.
    EXPECT_EQ(text(c().label17), "y = 0.972 x + 0.379");
    EXPECT_EQ(text(c().label19), "1.45313");
    EXPECT_EQ(figures(Drawn), "12");
    EXPECT_EQ(figures(Enabled), "123");
    EXPECT_TRUE(c().command3->isEnabled() && c().check1->isEnabled());

    // A cancelled dialog and a bad file change nothing.
    const int shown = dialogs.fileDialogsShown();
    click(c().command1[1]);
    EXPECT_EQ(dialogs.fileDialogsShown(), shown + 1);
    TempDir dir("quendrix-window-bad");
    const QString bad = QString::fromStdString(dir.file("bad.csv", "X,Y\n1,2\n3,\n5,6\n"));
    for (int f = 0; f < 2; ++f) {
        SCOPED_TRACE(f);
        w.statusBar()->clearMessage();
        import(f, bad);
        EXPECT_TRUE(w.statusBar()->currentMessage().contains(QStringLiteral("line 3")))
            << w.statusBar()->currentMessage().toStdString();
        EXPECT_EQ(text(c().label12[0]) + " " + text(c().label12[1]), "300 150");
        EXPECT_EQ(c().label21[size_t(f)]->text(), f == 0 ? CalibrationCsv : ErrorCsv);
        EXPECT_EQ(text(c().text1) + ".." + text(c().text2), "0..40");
        EXPECT_EQ(figures(Drawn), "12");
        EXPECT_TRUE(c().command3->isEnabled());
        EXPECT_EQ(dataAt(1, 23.74, 22.98, 40), Blue); // calibration.csv record 1
    }

    // Writing the lower box runs the range change while the upper one holds the old text; the
    // proposal for a file 1 spanning 12 .. 180 must survive that.
    import(0, QString::fromStdString(dir.file("wide.csv", "X,Y\n12,15\n180,170\n")));
    EXPECT_EQ(text(c().text1) + ".." + text(c().text2), "10..200");
}

TEST_F(MainWindowTest, StartRunsEveryStageOnceAndRangeEditsUndoThem) {
    runAll();
    EXPECT_EQ(figures(Drawn), "12345678");
    EXPECT_EQ(figures(Enabled), "12345678");
    EXPECT_TRUE(!c().command3->isEnabled() && c().check2->isEnabled() && c().check6->isEnabled());

    // A second "Start" with Fig.3 drawn (and no generated model) does nothing.
    mark();
    w.workflow().start();
    EXPECT_EQ(figures(Redrawn), "");

    const QColor background = w.palette().color(QPalette::Window);
    ASSERT_NE(background, White);
    const int mode = w.session().columns().modeIndex[125]; // a cell inside the regions
    ASSERT_NE(cellAt(5, 125, mode), White);
    typeRange(c().text2, QStringLiteral("30")); // typing alone redraws and undoes the stages
    EXPECT_EQ(figures(Redrawn), "12345678");
    EXPECT_EQ(figures(Drawn), "12");
    EXPECT_EQ(figures(Enabled), "123");
    EXPECT_FALSE(c().check2->isEnabled());
    EXPECT_EQ(dataAt(1, 23.74, 22.98, 30), Blue);
    EXPECT_EQ(dataAt(2, 19.62, 20.17, 30), Blue); // error.csv record 1
    EXPECT_EQ(cellAt(5, 125, mode), White);
    EXPECT_EQ(cellAt(8, 125, mode), background);
    EXPECT_EQ(fig(8).colourAt(1800, 100, Px), background);

    c().command1[0]->setFocus(); // leaving the box commits the range
    ASSERT_TRUE(w.session().grid());
    EXPECT_DOUBLE_EQ(w.session().grid()->gridStep, 0.15);
    EXPECT_FLOAT_EQ(w.session().grid()->gridMin, -3.75f);
    EXPECT_TRUE(dialogs.messages().isEmpty());

    // Equal bounds: one message, and the last accepted texts come back.
    typeRange(c().text2, QStringLiteral("0"));
    c().command1[0]->setFocus();
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("Error: Please set valid range.")});
    EXPECT_EQ(text(c().text1) + ".." + text(c().text2), "0..30");
    EXPECT_DOUBLE_EQ(w.session().grid()->gridStep, 0.15);

    // Reversed bounds are a valid, mirrored range.
    typeRange(c().text1, QStringLiteral("50"));
    c().command1[0]->setFocus();
    EXPECT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(text(c().text1), "50");
    EXPECT_DOUBLE_EQ(w.session().grid()->gridStep, -0.1);
    EXPECT_FLOAT_EQ(w.session().grid()->gridMin, 52.5f);
    click(&fig(3));
    EXPECT_TRUE(drawn(8));
}

} // namespace
} // namespace quendrix::test
