#include "app/Workflow.h"

#include "app/ControlPanel.h"
#include "app/DialogHost.h"
#include "app/Remembered.h"
#include "base/Version.h"
#include "data/DataFileReader.h"
#include "ui/DialogService.h"
#include "ui/Text.h"

#include <QCheckBox>
#include <QFileInfo>

namespace quendrix {
namespace {

using ui::latin1;
using ui::qs;

const QString DataFileFilter = QStringLiteral("DataFile(*.csv)");

} // namespace

// Importing the two data files, by dialog, command line or drop, and what a file's
// import undoes.

/// What the import could not compute from the file, for the status line.
QString Workflow::importNote(int f) const {
    const int n = completeCount(f);
    if (n == 0) {
        return QStringLiteral("no complete record, so no statistics");
    }
    if (n == 1) {
        return QStringLiteral("only one complete record, so no statistics");
    }
    if (f == 1 && session_.captions().fittingLine.empty()) {
        return QStringLiteral("no fitting line: all X values are equal");
    }
    if (session_.captions().correlation[size_t(f)].empty()) {
        return QStringLiteral("no correlation: all X or all Y values are equal");
    }
    return {};
}

void Workflow::readDataFile(int f) {
    focus_.begin();
    const QString path = remembered::openFileName(dialogs_, &window_, DataFileFilter,
                                                  QStringLiteral("File%1").arg(f + 1));
    if (path.isEmpty()) {
        focus_.apply(FocusEvent::ImportFailed, focusState(f));
        return;
    }
    importPath(f, path);
}

void Workflow::importPath(int f, const QString& path) {
    focus_.begin();
    const bool modelWasOn = session_.generatedModel();
    if (Status st = session_.importFile(f, path.toStdString(), latin1(path)); !st) {
        status_.show(
            QStringLiteral("File %1 was not imported: %2").arg(f + 1).arg(qs(st.reason())));
        focus_.apply(FocusEvent::ImportFailed, focusState(f));
        return;
    }
    const QString name = QFileInfo(path).fileName();
    const QString note = importNote(f);
    QString message = QStringLiteral("Imported ") + name;
    // A file read in another convention is said so, for the user to check its numbers.
    if (const std::string read = conventionNote(session_.file(f)->convention); !read.empty()) {
        message +=
            QStringLiteral(", ") + qs(read) + (note.isEmpty() ? QString() : QStringLiteral(","));
    }
    if (!note.isEmpty()) {
        message += QStringLiteral(" with ") + note;
    }
    // Fields read as 0 for want of a number are accepted, but never silently.
    if (const std::string warning = importWarning(f, *session_.file(f)); !warning.empty()) {
        message += QStringLiteral("; ") + qs(warning);
    }
    status_.show(message);
    remembered::addRecentFile(f, path);
    if (f == 0) {
        window_.setWindowTitle(
            QStringLiteral("%1 - %2").arg(name, QString::fromLatin1(ProgramTitle)));
    }
    if (modelWasOn) {
        resetModelControls();
    }
    resetData(f);
    writeRangeBoxes();
    syncCaptions();
    commitRange();
    sync_.drawScatter(f);
    if (sync_.drawn(1) && sync_.drawn(2)) {
        startEnabled_ = true;
    }
    syncControls();
    focus_.apply(FocusEvent::Imported, focusState(f));
}

/// Clears file f's figure and everything that depends on the file.
void Workflow::resetData(int f) {
    if (f == 1 || !sync_.drawn(2)) {
        controls_.model.showFittingLine->setChecked(false);
    }
    sync_.clearScatter(f);
    sync_.clearStale();
    syncControls();
}

} // namespace quendrix
