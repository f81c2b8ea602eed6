#include "app/MainWindow.h"
#include "ui/DialogService.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quendrix"));
    QApplication::setApplicationVersion(QStringLiteral("3.0"));
    quendrix::ui::QtDialogService dialogs;
    quendrix::MainWindow window(dialogs);
    window.show();
    return QApplication::exec();
}
