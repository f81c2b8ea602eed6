#include "app/MainWindow.h"
#include "app/Workflow.h"
#include "base/Version.h"
#include "ui/DialogService.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <cstring>

namespace {

const char* const Usage =
    "Usage: quendrix [FILE1 [FILE2]]\n"
    "Calibrates one measured variable against another. FILE1 and FILE2 are imported as\n"
    "\"Import data\" would import them: the calibration samples and the error data.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Show this text and exit.\n"
    "  -v, --version  Show the version and exit.\n"
    "Qt's own options (-platform, -style, ...) are accepted too.\n";

} // namespace

int main(int argc, char** argv) {
    // Answered before any window system is touched, so they work without a display.
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--help") == 0 || std::strcmp(argv[k], "-h") == 0) {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (std::strcmp(argv[k], "--version") == 0 || std::strcmp(argv[k], "-v") == 0) {
            std::printf("Quendrix %s\n", quendrix::ProgramVersion);
            return 0;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quendrix"));
    QApplication::setApplicationVersion(QString::fromLatin1(quendrix::ProgramVersion));
    // QApplication has taken its own options out; what is left are the files.
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("FILE1"), QString(), QStringLiteral("[FILE1"));
    parser.addPositionalArgument(QStringLiteral("FILE2"), QString(), QStringLiteral("[FILE2]]"));
    if (!parser.parse(QApplication::arguments()) || parser.positionalArguments().size() > 2) {
        std::fputs(Usage, stderr);
        return 2;
    }
    const QStringList files = parser.positionalArguments();

    quendrix::ui::QtDialogService dialogs;
    quendrix::MainWindow window(dialogs);
    window.show();
    for (int f = 0; f < int(files.size()); ++f) {
        window.workflow().importPath(f, files[f]);
    }
    return QApplication::exec();
}
