#include "app/MeasurementCommands.h"

#include "app/OutputFolder.h"
#include "app/Remembered.h"
#include "app/StatusLine.h"
#include "data/DataFileReader.h"
#include "io/OutputFile.h"
#include "session/CalibrationSession.h"
#include "session/CalibrationUse.h"
#include "ui/BusyCursor.h"
#include "ui/DialogService.h"

#include <QFile>
#include <QFileInfo>

namespace quendrix {
namespace {

const QString DataFileFilter = QStringLiteral("DataFile(*.csv)");

QString local(const std::string& text) {
    return QString::fromLocal8Bit(text.c_str());
}

std::string encoded(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

/// The file picked to read, read; none after a Cancel or a refusal (then said in `status`
/// under `refusal`).
std::optional<MeasurementFile> pickAndRead(QWidget* parent, ui::DialogService& dialogs,
                                           const QString& dialog, StatusLine& status,
                                           const QString& refusal, QString& path) {
    path = remembered::openFileName(dialogs, parent, DataFileFilter, dialog);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    Result<MeasurementFile> file = [&] {
        ui::BusyCursor busy;
        return readMeasurementFile(encoded(path));
    }();
    if (!file) {
        status.show(refusal.arg(QFileInfo(path).fileName(), local(file.reason())));
        return std::nullopt;
    }
    return std::move(file).value();
}

/// The reading's warning about fields without a number, appended to a message.
QString withWarning(QString message, const QString& path, const MeasurementFile& file) {
    const std::string warning =
        fieldsWithoutNumberWarning(encoded(QFileInfo(path).fileName()), file.fieldsWithoutNumber,
                                   file.firstFieldWithoutNumberLine);
    if (!warning.empty()) {
        message += QStringLiteral("; ") + local(warning);
    }
    return message;
}

} // namespace

MeasurementCommands::MeasurementCommands(CalibrationSession& session, ui::DialogService& dialogs)
    : session_(session), dialogs_(dialogs) {}

bool MeasurementCommands::applyToMeasurements(QWidget* parent, StatusLine& status) {
    QString input;
    const std::optional<MeasurementFile> file =
        pickAndRead(parent, dialogs_, QStringLiteral("Measurements"), status,
                    QStringLiteral("The measurements were not read: %1: %2"), input);
    if (!file) {
        return false;
    }
    // A bare name gets ".csv" in the dialog, which then asks about replacing that file.
    const QString output = remembered::saveFileName(
        dialogs_, parent, DataFileFilter, QStringLiteral("Predictions"), QStringLiteral("csv"));
    if (output.isEmpty()) {
        return false;
    }
    const std::optional<FileIdentity> target = fileIdentity(encoded(output));
    Status st = session_.checkOutputPath(encoded(output));
    if (target && target == fileIdentity(encoded(input))) {
        st = Failure{"the output would replace the measurements"};
    }
    std::vector<Prediction> predicted;
    if (st) {
        ui::BusyCursor busy;
        predicted = predictWith(session_, file->records, false);
        st = writeOutputFile(encoded(output), predictionsCsv(predicted));
    }
    if (!st) {
        status.show(QStringLiteral("The predictions were not saved: %1").arg(local(st.reason())));
        return false;
    }
    PredictionCounts counts;
    for (const Prediction& p : predicted) {
        counts.add(p.kind);
    }
    QString outcome;
    if (counts.total() == 0) {
        outcome = QStringLiteral("Saved %1: no measurement read").arg(QFileInfo(output).fileName());
    } else {
        outcome = QStringLiteral("Saved %1: %2 measurements, %3 read off")
                      .arg(QFileInfo(output).fileName())
                      .arg(counts.total())
                      .arg(counts.read);
        if (counts.noRegion != 0) {
            outcome += QStringLiteral(", %1 without a region").arg(counts.noRegion);
        }
        outcome += QStringLiteral(", %1 outside the range, %2 skipped")
                       .arg(counts.outsideRange)
                       .arg(counts.skipped);
    }
    status.show(withWarning(outcome, input, *file));
    OutputFolder::remember(parent, output);
    return true;
}

std::optional<CoverageResult> MeasurementCommands::checkCoverage(QWidget* parent,
                                                                 StatusLine& status) {
    QString input;
    const std::optional<MeasurementFile> file =
        pickAndRead(parent, dialogs_, QStringLiteral("Pairs"), status,
                    QStringLiteral("The coverage was not checked: %1: %2"), input);
    if (!file) {
        return std::nullopt;
    }
    ui::BusyCursor busy;
    if (!session_.detailBuilt()) {
        if (Status st = session_.buildDetail(); !st) {
            status.show(QStringLiteral("The coverage was not checked: %1").arg(local(st.reason())));
            return std::nullopt;
        }
    }
    CoverageResult result{QFileInfo(input).fileName(), coverageOf(session_, file->records), {}};
    result.table = QString::fromStdString(coverageTable(result.report));
    status.show(withWarning(QStringLiteral("Checked the coverage with %1: %2 pairs counted")
                                .arg(result.fileName)
                                .arg(result.report.pairs),
                            input, *file));
    return result;
}

} // namespace quendrix
