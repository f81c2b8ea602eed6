#include "ChartFixture.h"
#include "TestFiles.h"

#include "app/CoverageDialog.h"

#include <QClipboard>

namespace quendrix::test {
namespace {

const QString Readings = QStringLiteral(QUENDRIX_EXAMPLES "/readings.csv");
const QString Pairs = QStringLiteral(QUENDRIX_EXAMPLES "/pairs.csv");

/// The chart window's "Apply to measurements..." and the main window's "Check coverage...":
/// the batch command's results, through the dialogs a user answers.
class MeasurementCommandsTest : public ChartFixture {
  protected:
    TempDir dir{"quendrix-measurements"};

    std::string chartStatus() { return chart()->status().text().toStdString(); }
    std::string mainStatus() { return w.workflow().status().text().toStdString(); }
    std::string files() { return listing(dir.path); }
};

TEST_F(MeasurementCommandsTest, ApplyWritesTheBatchCommandsPredictionsOrRefusesWithTheReason) {
    runAll();
    ASSERT_NE(openFrom(8), nullptr);
    QAction* apply = chart()->applyAction();
    const int shown = dialogs.fileDialogsShown();
    apply->trigger(); // cancelled at the first dialog
    dialogs.answerFile(Readings);
    apply->trigger(); // and at the second
    EXPECT_EQ(dialogs.fileDialogsShown() - shown, 3);
    EXPECT_EQ(chartStatus(), "");

    const std::string saved = (dir.path / "predictions.csv").string();
    dialogs.answerFile(Readings);
    dialogs.answerFile(QString::fromStdString(saved));
    apply->trigger();
    const std::string expected = (dir.path / "batch.csv").string();
    batch({"--apply", Readings.toStdString(), "--predictions", expected});
    EXPECT_EQ(slurp(saved), slurp(expected));
    EXPECT_EQ(chartStatus(), "Saved predictions.csv: 12 measurements, 10 read off, 1 outside the "
                             "range, 1 skipped");
    EXPECT_EQ(dialogs.lastFilter(), QStringLiteral("DataFile(*.csv)"));
    // The print dialog proposes its PDF beside the predictions.
    EXPECT_EQ(w.workflow().printing().proposedPdf(chart()),
              QString::fromStdString((dir.path / "calibration.pdf").string()));

    // A name typed without an extension gets ".csv".
    const QString typed = QString::fromStdString((dir.path / "predictions_gui").string());
    dialogs.answerFile(Readings);
    dialogs.answerFile(typed);
    apply->trigger();
    EXPECT_EQ(chartStatus(), "Saved predictions_gui.csv: 12 measurements, 10 read off, 1 outside "
                             "the range, 1 skipped");
    EXPECT_EQ(slurp(dir.path / "predictions_gui.csv"), slurp(expected));
    EXPECT_EQ(files(), "batch.csv predictions.csv predictions_gui.csv ");

    // A refused reading asks for no output file; nothing is written.
    const std::string bad = dir.file("bad.csv", "X\n1\n\n2\n3,1E39\n");
    const std::string measurements = dir.file("new.csv", slurp(Readings.toStdString()));
    const std::string before = files();
    const std::pair<std::vector<std::string>, std::string> refusals[] = {
        {{bad}, "The measurements were not read: bad.csv: line 5"},
        {{measurements, measurements},
         "The predictions were not saved: the output would replace "
         "the measurements"},
        {{measurements, CalibrationCsv.toStdString()},
         "The predictions were not saved: the output would replace file 1"},
        {{measurements, dir.path.string()}, "The predictions were not saved"}};
    for (const auto& [answers, message] : refusals) {
        for (const std::string& answer : answers) {
            dialogs.answerFile(QString::fromStdString(answer));
        }
        apply->trigger();
        EXPECT_EQ(chartStatus().substr(0, message.size()), message);
        EXPECT_EQ(files(), before) << message;
    }
    EXPECT_EQ(slurp(measurements), slurp(Readings.toStdString()));
    EXPECT_EQ(slurp(CalibrationCsv.toStdString()).substr(0, 20), "Field reading (mg/L)");
}

TEST_F(MeasurementCommandsTest, CoverageShowsTheBatchTableInADialogThatCopiesIt) {
    QAction* check = w.menus().checkCoverage;
    EXPECT_FALSE(check->isEnabled()); // nothing to check before the regions exist
    runAll();

    const std::string bad = dir.file("bad.csv", "X,Y\n1,2\n3,1E39\n");
    dialogs.answerFile(QString::fromStdString(bad));
    check->trigger();
    EXPECT_EQ(w.workflow().coverageDialog(), nullptr);
    EXPECT_EQ(mainStatus(), "The coverage was not checked: bad.csv: line 3: value out of range");

    dialogs.answerFile(Pairs);
    check->trigger();
    CoverageDialog* dialog = w.workflow().coverageDialog();
    ASSERT_NE(dialog, nullptr);
    const std::string printed = batch({"--check", Pairs.toStdString()});
    const std::string table = printed.substr(printed.find('\n') + 1);
    EXPECT_EQ(dialog->table().toStdString(), table);
    EXPECT_EQ(mainStatus(), "Checked the coverage with pairs.csv: 194 pairs counted");

    // The keyboard reaches the copy at once: the button has the focus.
    QApplication::clipboard()->clear();
    ASSERT_TRUE(activate(dialog));
    ASSERT_EQ(QApplication::focusWidget(), dialog->copyButton());
    QTest::keyClick(dialog->copyButton(), Qt::Key_Space);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), table);

    // A second check reuses the dialog; Escape closes it.
    dialogs.answerFile(Pairs);
    check->trigger();
    EXPECT_EQ(w.workflow().coverageDialog(), dialog);
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
}

} // namespace
} // namespace quendrix::test
