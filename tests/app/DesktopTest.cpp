#include "TestFiles.h"
#include "WindowFixture.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace quendrix::test {
namespace {

class DesktopTest : public WindowFixture {
  protected:
    void drop(const QString& path, double x) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(int(x), 100), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&w, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent event(QPointF(x, 100), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&w, &event);
        QApplication::processEvents();
    }
    TempDir dir{"quendrix-desktop"};
};

TEST_F(DesktopTest, PathsFromTheCommandLineImportAsTheDialogDoesAndDropsByTheHalfHit) {
    w.workflow().importPath(0, CalibrationCsv);
    w.workflow().importPath(1, ErrorCsv);
    EXPECT_EQ(text(c().file[0].path) + "|" + text(c().file[1].path) + "|" + text(c().range.upper),
              (CalibrationCsv + QLatin1Char('|') + ErrorCsv + QStringLiteral("|40")).toStdString());
    EXPECT_TRUE(c().run.start->isEnabled());

    const QString one = QString::fromStdString(dir.file("one.csv", "A,B\n1,2\n3,4\n5,7\n"));
    drop(one, w.width() * 0.75);
    EXPECT_EQ(w.session().captions().count[1], "3");
    drop(one, w.width() * 0.25);
    EXPECT_EQ(w.session().captions().count[0], "3");
    EXPECT_EQ(w.windowTitle().toStdString(), "one.csv - Quendrix 3.0");
    // Anything but one local file is not taken.
    QMimeData two;
    two.setUrls({QUrl::fromLocalFile(one), QUrl::fromLocalFile(CalibrationCsv)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &two, Qt::LeftButton, {});
    QApplication::sendEvent(&w, &enter);
    EXPECT_FALSE(enter.isAccepted());
}

} // namespace
} // namespace quendrix::test
