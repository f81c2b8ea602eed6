#include "ChartFixture.h"

#include "app/Remembered.h"
#include "figexport/FigureExport.h"

#include <QMenu>
#include <QScreen>

namespace quendrix::test {
namespace {

using RememberedTest = ChartFixture;

/// The entries "File 1" and "File 2" list as a user opens the menu: "1:name 2:name|1:name".
std::string recentEntries(MainWindow& window) {
    QMenu* menu = window.menus().recentFiles;
    emit menu->aboutToShow();
    QStringList files[2];
    for (QAction* a : menu->actions()) {
        const QString name = a->objectName();
        if (name.startsWith(QStringLiteral("RecentFile"))) {
            files[name[10] == u'2'].append(name.mid(12) + u':' +
                                           QFileInfo(a->statusTip()).fileName());
        }
    }
    return (files[0].join(u' ') + u'|' + files[1].join(u' ')).toStdString();
}

TEST_F(RememberedTest, RecentFilesAndFoldersOutliveTheWindowAndAMissingOneIsRefused) {
    const std::string three = "A,B\n1,2\n3,4\n5,7\n";
    for (char k = '1'; k <= '9'; ++k) {
        import(0, file(std::string{'f', k, '.', 'c', 's', 'v'}, three));
    }
    import(0, path("f3.csv")); // again: to the top, listed once
    import(1, ErrorCsv);
    EXPECT_EQ(recentEntries(w), "1:f3.csv 2:f9.csv 3:f8.csv 4:f7.csv 5:f6.csv 6:f5.csv 7:f4.csv "
                                "8:f2.csv|1:error.csv");

    w.close();
    ui::ScriptedDialogService again;
    MainWindow restarted(again);
    restarted.show();
    EXPECT_EQ(recentEntries(restarted), recentEntries(w));
    // Each import dialog opens where it was last answered.
    restarted.workflow().readDataFile(0);
    EXPECT_EQ(again.lastFolder(), QString::fromStdString(dir.path.string()));
    restarted.workflow().readDataFile(1);
    EXPECT_EQ(again.lastFolder(), QFileInfo(ErrorCsv).absolutePath());

    const auto pick = [&](const char* entry) {
        restarted.menus().recentFiles->findChild<QAction*>(QString::fromLatin1(entry))->trigger();
        return restarted.workflow().status().text().toStdString();
    };
    EXPECT_EQ(pick("RecentFile2_1"), "Imported error.csv");
    EXPECT_EQ(restarted.session().captions().count[1], "150");
    QFile::remove(path("f9.csv"));
    const std::string missing = pick("RecentFile1_2"),
                      reason = "File 1 was not imported: cannot open " +
                               path("f9.csv").toStdString() + ": ";
    EXPECT_EQ(missing.substr(0, reason.size()), reason);
    EXPECT_FALSE(restarted.session().file(0));
    EXPECT_EQ(pick("RecentFile1_1"), "Imported f3.csv");
    EXPECT_EQ(recentEntries(restarted).substr(0, 20), "1:f3.csv 2:f9.csv 3:");
}

TEST_F(RememberedTest, WindowsReopenWhereTheyWereIfTheScreenHoldsThemButNotTheSettings) {
    const QRect screen = w.screen()->availableGeometry();
    const QPoint at = screen.topLeft() + QPoint(11, 13);
    QWidget probe;
    probe.resize(screen.size() / 2);
    probe.move(at);
    remembered::saveWindowPlace(probe, QStringLiteral("Probe"));
    QWidget reopened;
    EXPECT_TRUE(remembered::restoreWindowPlace(reopened, QStringLiteral("Probe")));
    EXPECT_EQ(reopened.geometry(), QRect(at, screen.size() / 2));
    // A place that no screen holds whole now is not taken.
    probe.move(screen.left() + screen.width() * 5 / 8, screen.top());
    remembered::saveWindowPlace(probe, QStringLiteral("Probe"));
    QWidget offScreen;
    EXPECT_FALSE(remembered::restoreWindowPlace(offScreen, QStringLiteral("Probe")));

    // The chart opens whole on the screen, and where it was closed the next time.
    runAll();
    ASSERT_NE(openFrom(8), nullptr);
    // At twice the density the offscreen screen is smaller than the chart's least size.
    if (chart()->minimumSize().expandedTo(screen.size()) == screen.size()) {
        EXPECT_TRUE(screen.contains(chart()->frameGeometry()));
        const QRect placed(chart()->pos() + QPoint(5, 3), chart()->size() - QSize(12, 8));
        chart()->move(placed.topLeft());
        chart()->resize(placed.size());
        chart()->close();
        ASSERT_EQ(chartWindows(), 0);
        ASSERT_NE(openFrom(8), nullptr);
        EXPECT_EQ(QRect(chart()->pos(), chart()->size()), placed);
    }

    // The main window saves its place as it closes; the calibration settings are not kept.
    const QSize smaller = w.size().boundedTo(screen.size() - QSize(24, 26));
    c().smoothing.slider->setValue(c().smoothing.slider->value() + 3);
    w.resize(smaller);
    w.move(at);
    w.close();
    ui::ScriptedDialogService again;
    MainWindow restarted(again);
    EXPECT_EQ(restarted.controls().smoothing.slider->value(), PipelineSettings{}.smoothing);
    // At twice the density the offscreen screen is no larger than the window's least size.
    if (smaller.expandedTo(w.minimumSize()) == smaller) {
        EXPECT_EQ(QRect(restarted.pos(), restarted.size()), QRect(at, smaller));
    }
}

TEST_F(RememberedTest, AFirstOpeningReachingOffTheScreenIsBroughtOntoItOnce) {
    const QRect screen = w.screen()->availableGeometry();
    ui::ScriptedDialogService freshDialogs;
    // The test's window never closed: nothing is remembered, so this is a first opening.
    MainWindow fresh(freshDialogs);
    const QSize opened = fresh.size();
    fresh.move(screen.bottomRight() - QPoint(100, 100));
    fresh.show();
    fresh.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&fresh));
    // At twice the density the offscreen screen is smaller than the window's least size.
    const QSize frameExtra = fresh.frameGeometry().size() - fresh.size();
    if (fresh.minimumSize().expandedTo(screen.size() - frameExtra) == screen.size() - frameExtra) {
        EXPECT_TRUE(screen.contains(fresh.frameGeometry()));
        EXPECT_EQ(fresh.size(), opened.boundedTo(screen.size() - frameExtra));
    }
    // Later the user may put it where they like.
    fresh.move(screen.bottomRight() - QPoint(100, 100));
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    fresh.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&fresh));
    EXPECT_EQ(fresh.pos(), screen.bottomRight() - QPoint(100, 100));
}

TEST_F(RememberedTest, ExportedFiguresAreTheBatchCommandsAtTheChartsSection) {
    EXPECT_FALSE(w.menus().exportFigures->isEnabled());
    runAll();
    ASSERT_TRUE(w.menus().exportFigures->isEnabled());
    const auto exportTo = [&](const QString& folder, const QString& format) {
        dialogs.answerFigureFolder({folder, format});
        w.menus().exportFigures->trigger();
        return status();
    };
    const auto batchFiles = [&](FigureFormat format, int section) {
        const std::string folder = path("batch").toStdString();
        const BatchRun run = runBatchCommand(
            {"--file1", examples::Calibration, "--file2", examples::Error, "--figures", folder,
             "--format", extension(format), "--section", std::to_string(section)},
            figureFileContents);
        EXPECT_EQ(run.status, 0) << run.err;
        return folder;
    };
    const auto sameFiles = [&](const QString& folder, const std::string& batchFolder,
                               FigureFormat format) {
        int same = 0;
        for (const std::string& name : figureFileNames(format)) {
            same += !slurp(batchFolder + "/" + name).empty() &&
                    slurp(batchFolder + "/" + name) == slurp(folder.toStdString() + "/" + name);
        }
        return same;
    };

    EXPECT_EQ(exportTo(path("svg"), QStringLiteral("svg")),
              (QStringLiteral("Exported 9 figures to ") + QDir::toNativeSeparators(path("svg")))
                  .toStdString());
    EXPECT_EQ(sameFiles(path("svg"), batchFiles(FigureFormat::Svg, 50), FigureFormat::Svg), 9);
    // The dialog opens in the folder last exported to.
    exportTo({}, {});
    EXPECT_EQ(dialogs.lastFolder(), path("svg"));

    // With the chart open, its section is the one drawn.
    openFrom(8);
    ASSERT_NE(chart(), nullptr);
    cc().slider1->setValue(30);
    exportTo(path("png"), QStringLiteral("png"));
    EXPECT_EQ(sameFiles(path("png"), batchFiles(FigureFormat::Png, 30), FigureFormat::Png), 9);

    // A folder that cannot be made is refused, and nothing is written.
    const QString blocked = file("blocked", "a file") + QStringLiteral("/figs");
    const std::string refused = exportTo(blocked, QStringLiteral("pdf"));
    EXPECT_EQ(refused.substr(0, 31), "The figures were not exported: ") << refused;
    EXPECT_EQ(listing(dir.path), "batch blocked png svg ");
}

} // namespace
} // namespace quendrix::test
