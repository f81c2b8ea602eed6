#include "batch/BatchCommand.h"
#include "figexport/FigureExport.h"

#include <QGuiApplication>

#include <cstdlib>
#include <iostream>

namespace {

// Qt's notes about the platform it runs on (no runtime folder, no display) mean nothing to a
// user of the command; only its errors are passed on.
// A fatal error (a platform that cannot start for want of memory) ends the run with a status
// rather than the abort Qt would raise; nothing has been put in place yet.
void criticalOnly(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::cerr << "quendrix-batch: " << message.toLocal8Bit().constData() << '\n';
    }
    if (type == QtFatalMsg) {
        std::cerr.flush();
        std::_Exit(1);
    }
}

// The batch command with the figures drawn: Qt starts only when they are drawn, on the
// offscreen platform, so a display is never needed nor used.
quendrix::Result<std::vector<std::string>> drawFigures(const quendrix::CalibrationSession& session,
                                                       const quendrix::FigureRequest& request) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(criticalOnly);
    // Qt reads options of its own from its arguments; the command's are not for it.
    static char name[] = "quendrix-batch-figures";
    static char* args[] = {name, nullptr};
    static int count = 1;
    // Never destroyed: tearing Qt down has fontconfig load its configuration again, which
    // crashes where memory has run out. The process ends soon after anyway.
    static QGuiApplication* app = new QGuiApplication(count, args);
    (void)app;
    return quendrix::figureFileContents(session, request);
}

} // namespace

int main(int argc, char** argv) {
    return quendrix::runBatch(argc, argv, std::cout, std::cerr, drawFigures);
}
