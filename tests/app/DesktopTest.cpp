#include "TestFiles.h"
#include "WindowFixture.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace quendrix::test {
namespace {

class DesktopTest : public WindowFixture {
  protected:
    std::string captions() {
        const Captions& k = w.session().captions();
        return k.count[0] + "|" + k.path[0] + "|" + k.count[1] + "|" + k.path[1] + "|" +
               k.lowerText + ".." + k.upperText + "|" + w.windowTitle().toStdString();
    }
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

TEST_F(DesktopTest, PathsFromTheCommandLineImportAsTheDialogDoes) {
    import(0, CalibrationCsv);
    import(1, ErrorCsv);
    const std::string byDialog = captions();

    MainWindow other(dialogs);
    other.workflow().importPath(0, CalibrationCsv);
    other.workflow().importPath(1, ErrorCsv);
    const Captions& k = other.session().captions();
    EXPECT_EQ(k.count[0] + "|" + k.path[0] + "|" + k.count[1] + "|" + k.path[1] + "|" +
                  k.lowerText + ".." + k.upperText + "|" + other.windowTitle().toStdString(),
              byDialog);
    EXPECT_EQ(byDialog.substr(byDialog.rfind('|') + 1), "calibration.csv - Quendrix 3.0");
    EXPECT_TRUE(other.controls().run.start->isEnabled());

    // A file that cannot be imported changes nothing and says why.
    const QString bad = QString::fromStdString(dir.file("bad.csv", "X,Y\n1,2\n3,\n"));
    w.workflow().importPath(0, bad);
    EXPECT_EQ(captions(), byDialog);
    EXPECT_EQ(w.workflow().status().text().toStdString(),
              "File 1 was not imported: line 3: empty Y value");
}

TEST_F(DesktopTest, DroppedFilesGoToTheHalfTheyLandOn) {
    const QString one = QString::fromStdString(dir.file("one.csv", "A,B\n1,2\n3,4\n5,7\n"));
    drop(one, w.width() * 0.75);
    EXPECT_EQ(w.session().captions().count[1], "3");
    EXPECT_EQ(w.session().captions().count[0], "0");
    drop(CalibrationCsv, w.width() * 0.25);
    EXPECT_EQ(w.session().captions().count[0], "300");
    EXPECT_EQ(w.windowTitle().toStdString(), "calibration.csv - Quendrix 3.0");
    // Anything but one local file is not taken.
    QMimeData two;
    two.setUrls({QUrl::fromLocalFile(one), QUrl::fromLocalFile(CalibrationCsv)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &two, Qt::LeftButton, {});
    QApplication::sendEvent(&w, &enter);
    EXPECT_FALSE(enter.isAccepted());
}

} // namespace
} // namespace quendrix::test
