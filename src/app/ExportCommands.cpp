#include "app/Workflow.h"

#include "app/ChartWindow.h"
#include "app/Remembered.h"
#include "export/FigureFiles.h"
#include "figexport/FigureExport.h"
#include "ui/BusyCursor.h"
#include "ui/DialogService.h"
#include "ui/Text.h"

#include <QDir>
#include <QFile>

namespace quendrix {

// "Export figures...": the figure files of `quendrix-batch --figures`, drawn by the same code.

void Workflow::exportFigures() {
    if (!sync_.drawn(8)) {
        return;
    }
    const QString dialog = QStringLiteral("Figures");
    const QString last = remembered::folder(dialog);
    const std::optional<ui::FigureFolder> answer =
        dialogs_.figureFolder(&window_, last.isEmpty() ? QDir::homePath() : last);
    if (!answer) {
        return;
    }
    const std::optional<FigureFormat> format = figureFormat(answer->format.toStdString());
    FigureRequest request{QFile::encodeName(answer->folder).toStdString(),
                          format.value_or(FigureFormat::Png), FigureRequest{}.section};
    // The chart's figure shows the section the user is looking at.
    if (const ChartWindow* chart = chart_.window()) {
        request.section = chart->presenter().section();
    }
    Status st = checkFigureFolder(request.folder);
    {
        ui::BusyCursor busy;
        if (st && !session_.detailBuilt()) {
            st = session_.buildDetail();
        }
        if (st) {
            st = quendrix::exportFigures(session_, request);
        }
    }
    if (!st) {
        status_.show(QStringLiteral("The figures were not exported: %1").arg(ui::qs(st.reason())));
        return;
    }
    remembered::rememberFolder(dialog, answer->folder, true);
    status_.show(QStringLiteral("Exported %1 figures to %2")
                     .arg(ExportedFigureCount)
                     .arg(QDir::toNativeSeparators(answer->folder)));
}

} // namespace quendrix
