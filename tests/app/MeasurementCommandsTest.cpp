#include "ChartFixture.h"

#include "app/CoverageDialog.h"

namespace quendrix::test {
namespace {

const QString Readings = QStringLiteral(QUENDRIX_EXAMPLES "/readings.csv");
const QString Pairs = QStringLiteral(QUENDRIX_EXAMPLES "/pairs.csv");

/// Saving, "Apply to measurements..." and "Check coverage...": the batch command's results.
using MeasurementCommandsTest = ChartFixture;

TEST_F(MeasurementCommandsTest, ApplyWritesTheBatchCommandsPredictionsOrRefusesWithTheReason) {
    runAll();
    ASSERT_NE(openFrom(8), nullptr);
    const auto apply = [&](const QStringList& answers) {
        for (const QString& answer : answers) {
            dialogs.answerFile(answer);
        }
        chart()->applyAction()->trigger();
    };
    const int shown = dialogs.fileDialogsShown();
    apply({});         // cancelled at the first dialog
    apply({Readings}); // and at the second
    EXPECT_EQ(dialogs.fileDialogsShown() - shown, 3);
    EXPECT_EQ(chartStatus(), "");

    apply({Readings, path("predictions.csv")});
    batch({"--apply", Readings.toStdString(), "--predictions", path("batch.csv").toStdString()});
    const std::string expected = slurp(dir.path / "batch.csv");
    EXPECT_EQ(slurp(dir.path / "predictions.csv"), expected);
    const std::string counts = ": 12 measurements, 10 read off, 1 outside the range, 1 skipped";
    EXPECT_EQ(chartStatus(), "Saved predictions.csv" + counts);
    EXPECT_EQ(dialogs.lastFilter(), QStringLiteral("DataFile(*.csv)"));
    // The print dialog proposes its PDF beside the predictions.
    EXPECT_EQ(w.workflow().printing().proposedPdf(chart()), path("calibration.pdf"));

    // A name typed without an extension gets ".csv".
    apply({Readings, path("predictions_gui")});
    EXPECT_EQ(chartStatus(), "Saved predictions_gui.csv" + counts);
    EXPECT_EQ(slurp(dir.path / "predictions_gui.csv"), expected);
    EXPECT_EQ(listing(dir.path), "batch.csv predictions.csv predictions_gui.csv ");

    // A refused reading asks for no output file; nothing is written.
    const QString measurements = file("new.csv", slurp(Readings.toStdString()));
    const std::pair<QStringList, std::string> refusals[] = {
        {{file("bad.csv", "X\n1\n\n2\n3,1E39\n")},
         "The measurements were not read: bad.csv: line 5"},
        {{measurements, measurements},
         "The predictions were not saved: the output would replace the measurements"},
        {{measurements, CalibrationCsv},
         "The predictions were not saved: the output would replace file 1"},
        {{measurements, QString::fromStdString(dir.path.string())},
         "The predictions were not saved"}};
    const std::string before = listing(dir.path);
    for (const auto& [answers, message] : refusals) {
        apply(answers);
        EXPECT_EQ(chartStatus().substr(0, message.size()), message);
        EXPECT_EQ(listing(dir.path), before) << message;
    }
    EXPECT_EQ(slurp(measurements.toStdString()), slurp(Readings.toStdString()));
    EXPECT_EQ(slurp(CalibrationCsv.toStdString()).substr(0, 20), "Field reading (mg/L)");
}

TEST_F(MeasurementCommandsTest, CoverageShowsTheBatchTableInADialogThatCopiesIt) {
    QAction* check = w.menus().checkCoverage;
    EXPECT_FALSE(check->isEnabled()); // nothing to check before the regions exist
    runAll();

    dialogs.answerFile(file("bad.csv", "X,Y\n1,2\n3,1E39\n"));
    check->trigger();
    EXPECT_EQ(w.workflow().coverageDialog(), nullptr);
    EXPECT_EQ(status(), "The coverage was not checked: bad.csv: line 3: value out of range");

    dialogs.answerFile(Pairs);
    check->trigger();
    CoverageDialog* dialog = w.workflow().coverageDialog();
    ASSERT_NE(dialog, nullptr);
    const std::string printed = batch({"--check", Pairs.toStdString()});
    const std::string table = printed.substr(printed.find('\n') + 1);
    EXPECT_EQ(dialog->table().toStdString(), table);
    EXPECT_EQ(status(), "Checked the coverage with pairs.csv: 194 pairs counted");

    // The keyboard reaches the copy at once: the button has the focus.
    QApplication::clipboard()->clear();
    ASSERT_TRUE(activate(dialog));
    ASSERT_EQ(QApplication::focusWidget(), dialog->copyButton());
    QTest::keyClick(dialog->copyButton(), Qt::Key_Space);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), table);

    dialogs.answerFile(Pairs);
    check->trigger();
    EXPECT_EQ(w.workflow().coverageDialog(), dialog);
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
}

using SaveTest = MeasurementCommandsTest;

TEST_F(SaveTest, EverySaveEntryWritesTheBatchCommandsFileAndARefusedOneNothing) {
    runAll();
    batchReadout(50);
    const std::string expected = slurp(dir.path / "batch.csv");

    const std::pair<std::string, std::function<void()>> entries[] = {
        {"ctrl-s", [&] { QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier); }},
        {"fig7-menu", [&] { w.menus().saves[0]->trigger(); }},
        {"fig8-menu", [&] { w.menus().saves[1]->trigger(); }},
        {"chart-confidence",
         [&] {
             ASSERT_NE(openFrom(8), nullptr);
             cc().slider1->setValue(80); // the section and the view change nothing saved
             cc().slider2->setValue(170);
             chart()->saveAction()->trigger();
         }},
    };
    for (const auto& [name, entry] : entries) {
        SCOPED_TRACE(name);
        // Each in a folder of its own, where the print dialog then proposes its PDF.
        std::filesystem::create_directory(dir.path / name);
        dialogs.answerFile(path(name + "/" + name + ".csv"));
        entry();
        EXPECT_EQ(dialogs.lastFilter().toStdString(), "DataFile(*.csv)");
        EXPECT_EQ(slurp(dir.path / name / (name + ".csv")), expected);
        EXPECT_EQ(chart() ? chartStatus() : status(), "Saved " + name + ".csv");
        EXPECT_EQ(w.workflow().printing().proposedPdf(&w), path(name + "/calibration.pdf"));
    }
    // The result is saved under the name exactly as typed.
    dialogs.answerFile(path("result"));
    chart()->saveAction()->trigger();
    EXPECT_EQ(slurp(dir.path / "result"), expected);
    EXPECT_FALSE(std::filesystem::exists(dir.path / "result.csv"));

    // A save that cannot be completed writes nothing and says why.
    std::filesystem::create_directory(dir.path / "refused");
    const std::string old = dir.file("refused/old.csv", "old result\r\n");
    const auto saveTo = [&](const QString& to) {
        dialogs.answerFile(to);
        w.menus().commonOutput->trigger();
    };
    // Cancel: nothing written, nothing said.
    const std::string before = status();
    saveTo({});
    EXPECT_EQ(status(), before);
    // A path that cannot take the file: the output file's reason; the folder stays as it was.
    saveTo(path("refused/missing/out.csv"));
    EXPECT_EQ(status().rfind("The result was not saved: ", 0), 0u) << status();
    EXPECT_NE(status().find("missing does not exist"), std::string::npos) << status();
    EXPECT_EQ(listing(dir.path / "refused"), "old.csv ");
    // Confirmed, the old file is replaced as a whole.
    saveTo(QString::fromStdString(old));
    EXPECT_EQ(dialogs.overwriteQuestions(), 1);
    EXPECT_EQ(slurp(old).rfind("\"Quendrix common output format\"\r\n", 0), 0u);
    EXPECT_EQ(status(), "Saved old.csv");
}

} // namespace
} // namespace quendrix::test
