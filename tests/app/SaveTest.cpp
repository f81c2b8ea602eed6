#include "ChartFixture.h"
#include "TestFiles.h"

#include <filesystem>
#include <functional>

namespace quendrix::test {
namespace {

using SaveTest = ChartFixture;

TEST_F(SaveTest, EverySaveEntryOfBothWindowsWritesTheBatchCommandsFile) {
    runAll();
    TempDir dir("quendrix-save-entries");
    const std::string batch = (dir.path / "batch.csv").string();
    batchReadout(50, batch);
    const std::string expected = slurp(batch);

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
        const std::filesystem::path folder = dir.path / name;
        std::filesystem::create_directory(folder);
        const QString path = QString::fromStdString((folder / (name + ".csv")).string());
        dialogs.answerFile(path);
        entry();
        EXPECT_EQ(dialogs.lastFilter().toStdString(), "DataFile(*.csv)");
        EXPECT_EQ(slurp(path.toStdString()), expected);
        const StatusLine& status = chart() ? chart()->status() : w.workflow().status();
        EXPECT_EQ(status.text().toStdString(), "Saved " + name + ".csv");
        EXPECT_EQ(w.workflow().printing().proposedPdf(&w),
                  QString::fromStdString((folder / "calibration.pdf").string()));
    }
    // The result is saved under the name exactly as typed.
    dialogs.answerFile(QString::fromStdString((dir.path / "result").string()));
    chart()->saveAction()->trigger();
    EXPECT_EQ(slurp(dir.path / "result"), expected);
    EXPECT_FALSE(std::filesystem::exists(dir.path / "result.csv"));
}

TEST_F(SaveTest, ASaveThatCannotBeCompletedWritesNothingAndSaysWhy) {
    runAll();
    TempDir dir("quendrix-save-refused");
    const std::string old = dir.file("old.csv", "old result\r\n");
    const auto status = [&] { return w.workflow().status().text().toStdString(); };
    const auto saveTo = [&](const std::string& path) {
        dialogs.answerFile(QString::fromStdString(path));
        w.menus().commonOutput->trigger();
    };
    // Cancel: nothing written, nothing said.
    const std::string before = status();
    saveTo("");
    EXPECT_EQ(status(), before);
    // A path that cannot take the file: the reason is given (the reasons are the output
    // file's), the old file and the folder stay as they were.
    saveTo((dir.path / "missing" / "out.csv").string());
    EXPECT_EQ(status().rfind("The result was not saved: ", 0), 0u) << status();
    EXPECT_NE(status().find("missing does not exist"), std::string::npos) << status();
    EXPECT_EQ(listing(dir.path), "old.csv ");
    // Confirmed, the old file is replaced as a whole.
    saveTo(old);
    EXPECT_EQ(dialogs.overwriteQuestions(), 1);
    EXPECT_EQ(slurp(old).rfind("\"Quendrix common output format\"\r\n", 0), 0u);
    EXPECT_EQ(status(), "Saved old.csv");
}

} // namespace
} // namespace quendrix::test
