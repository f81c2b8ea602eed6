#include "ChartFixture.h"
#include "TestFiles.h"

#include <QMenu>

#include <filesystem>
#include <functional>
#include <unistd.h>

namespace quendrix::test {
namespace {

class SaveTest : public ChartFixture {
  protected:
    /// Right-clicks Fig.n and picks "&Save matrix" from its pop-up menu.
    void saveFromFigureMenu(int n) {
        QTest::mousePress(&fig(n), Qt::RightButton);
        QMenu* menu = nullptr;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())); }));
        const auto items = menu->actions();
        const auto save = std::find_if(items.begin(), items.end(), [](QAction* a) {
            return a->text() == QStringLiteral("&Save matrix");
        });
        ASSERT_NE(save, items.end());
        menu->close();
        QTest::mouseRelease(&fig(n), Qt::RightButton); // no button left held for later tests
        (*save)->trigger();
    }
    static std::vector<std::string> files(const std::filesystem::path& folder) {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            out.push_back(entry.path().filename().string());
        }
        std::sort(out.begin(), out.end());
        return out;
    }
};

TEST_F(SaveTest, EverySaveEntryOfBothWindowsWritesTheBatchCommandsFile) {
    runAll();
    TempDir dir("quendrix-save-entries");
    const std::string batch = (dir.path / "batch.csv").string();
    batchReadout(50, batch);
    const std::string expected = slurp(batch);
    ASSERT_EQ(std::count(expected.begin(), expected.end(), '\n'), 217);

    const std::pair<std::string, std::function<void()>> entries[] = {
        {"ctrl-s", [&] { QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier); }},
        {"file-menu", [&] { w.menus().commonOutput->trigger(); }},
        {"fig7-menu", [&] { saveFromFigureMenu(7); }},
        {"fig8-menu", [&] { saveFromFigureMenu(8); }},
        {"chart-probability",
         [&] {
             ASSERT_NE(openFrom(7), nullptr);
             chart()->saveAction()->trigger();
         }},
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
        const int shown = dialogs.fileDialogsShown();
        entry();
        EXPECT_EQ(dialogs.fileDialogsShown(), shown + 1);
        EXPECT_EQ(dialogs.lastFilter().toStdString(), "DataFile(*.csv)");
        EXPECT_EQ(slurp(path.toStdString()), expected);
        const StatusLine& status = chart() ? chart()->status() : w.workflow().status();
        EXPECT_EQ(status.text().toStdString(), "Saved " + name + ".csv");
        EXPECT_EQ(w.workflow().printing().proposedPdf(&w),
                  QString::fromStdString((folder / "calibration.pdf").string()));
    }
    EXPECT_EQ(dialogs.overwriteQuestions(), 0);
    // The result is saved under the name exactly as typed.
    dialogs.answerFile(QString::fromStdString((dir.path / "result").string()));
    chart()->saveAction()->trigger();
    EXPECT_EQ(slurp(dir.path / "result"), expected);
    EXPECT_FALSE(std::filesystem::exists(dir.path / "result.csv"));
}

TEST_F(SaveTest, ASaveThatCannotBeCompletedLeavesTheOldFileAndSaysWhy) {
    runAll();
    TempDir dir("quendrix-save-refused");
    const std::string oldBytes = "old result\r\n";
    const std::string old = dir.file("old.csv", oldBytes);
    for (const bool fromChart : {false, true}) {
        SCOPED_TRACE(fromChart ? "chart" : "main window");
        if (fromChart) {
            ASSERT_NE(openFrom(8), nullptr);
        }
        QAction* save = fromChart ? chart()->saveAction() : w.menus().commonOutput;
        auto status = [&] {
            return (fromChart ? chart()->status() : w.workflow().status()).text().toStdString();
        };
        auto saveTo = [&](const std::string& path) {
            dialogs.answerFile(QString::fromStdString(path));
            save->trigger();
        };
        auto unchanged = [&] {
            EXPECT_EQ(slurp(old), oldBytes);
            EXPECT_EQ(files(dir.path), std::vector<std::string>{"old.csv"});
        };

        // Cancel: nothing written, nothing said.
        const std::string before = status();
        saveTo("");
        unchanged();
        EXPECT_EQ(status(), before);
        // An existing file: the dialog asks first; declined, it is a cancel.
        const int asked = dialogs.overwriteQuestions();
        dialogs.answerOverwrite(false);
        saveTo(old);
        EXPECT_EQ(dialogs.overwriteQuestions(), asked + 1);
        unchanged();
        EXPECT_EQ(status(), before);
        dialogs.answerOverwrite(true);

        // Paths that cannot take the file, even as root: a folder that does not exist, one of
        // the kernel's, and a folder itself. Not root, also a folder without write permission.
        std::vector<std::pair<std::string, std::string>> refused = {
            {(dir.path / "missing" / "out.csv").string(), "missing does not exist"},
            {"/proc/quendrix-out.csv", "the folder /proc "},
            {dir.path.string(), "is a folder"}};
        const std::filesystem::path locked = dir.path / "locked";
        if (geteuid() != 0) {
            std::filesystem::create_directory(locked);
            std::ofstream(locked / "old.csv") << oldBytes;
            std::filesystem::permissions(locked, std::filesystem::perms(0555));
            refused.push_back({(locked / "old.csv").string(), "not writable"});
        }
        for (const auto& [path, why] : refused) {
            SCOPED_TRACE(path);
            saveTo(path);
            EXPECT_EQ(status().rfind("The result was not saved: ", 0), 0u) << status();
            EXPECT_NE(status().find(why), std::string::npos) << status();
        }
        if (geteuid() != 0) {
            EXPECT_EQ(slurp(locked / "old.csv"), oldBytes);
            EXPECT_EQ(files(locked), std::vector<std::string>{"old.csv"});
            std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
            std::filesystem::remove_all(locked);
        }
        unchanged();

        // Confirmed, the old file is replaced as a whole.
        saveTo(old);
        EXPECT_EQ(dialogs.overwriteQuestions(), asked + 2 + int(geteuid() != 0));
        EXPECT_EQ(slurp(old).rfind("\"Quendrix common output format\"\r\n", 0), 0u);
        EXPECT_EQ(status(), "Saved old.csv");
        std::ofstream(old, std::ios::binary | std::ios::trunc) << oldBytes;
    }
}

} // namespace
} // namespace quendrix::test
