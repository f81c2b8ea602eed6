#include "app/ResultSaver.h"

#include "app/OutputFolder.h"
#include "app/Remembered.h"
#include "app/StatusLine.h"
#include "session/CalibrationSession.h"
#include "ui/BusyCursor.h"
#include "ui/DialogService.h"

#include <QFile>
#include <QFileInfo>

namespace quendrix {

ResultSaver::ResultSaver(const CalibrationSession& session, ui::DialogService& dialogs)
    : session_(session), dialogs_(dialogs) {}

bool ResultSaver::save(QWidget* parent, StatusLine& status) {
    const QString path = remembered::saveFileName(
        dialogs_, parent, QStringLiteral("DataFile(*.csv)"), QStringLiteral("Result"));
    if (path.isEmpty()) {
        return false;
    }
    Status st;
    {
        ui::BusyCursor busy;
        st = session_.saveCommonOutput(QFile::encodeName(path).toStdString());
    }
    if (!st) {
        status.show(QStringLiteral("The result was not saved: %1")
                        .arg(QString::fromLocal8Bit(st.reason().c_str())));
        return false;
    }
    QString saved = QStringLiteral("Saved %1").arg(QFileInfo(path).fileName());
    // The file is complete, but an all-zero result must not pass for a calibration.
    if (const std::string empty = session_.emptyResult(); !empty.empty()) {
        saved += QStringLiteral(", but the result is empty: ") + QString::fromStdString(empty);
    }
    status.show(saved);
    OutputFolder::remember(parent, path);
    return true;
}

} // namespace quendrix
