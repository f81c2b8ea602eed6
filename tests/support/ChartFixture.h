#pragma once

#include "BatchRun.h"
#include "WindowFixture.h"

#include "app/ChartWindow.h"
#include "app/IntervalMarks.h"
#include "app/IntervalPanel.h"
#include "app/MainMenus.h"

#include <QRadioButton>

namespace quendrix::test {

/// The main window with the example data calibrated, and its calibration chart window.
class ChartFixture : public WindowFixture {
  protected:
    ChartWindow* chart() { return w.workflow().chart().window(); }
    ChartControls& cc() { return chart()->controls(); }
    std::string chartStatus() { return chart()->status().text().toStdString(); }
    /// Left click on Fig.n of the main window; the chart that opens, if any.
    ChartWindow* openFrom(int n) {
        click(&fig(n));
        return chart();
    }
    /// Every chart window there is, shown or not.
    int chartWindows() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const QWidgetList all = QApplication::topLevelWidgets();
        return int(std::count_if(all.begin(), all.end(),
                                 [](QWidget* top) { return qobject_cast<ChartWindow*>(top); }));
    }
    /// A mark on the main figure's picture that only a redraw of the figure removes.
    void stamp() {
        ui::FigureSurface& p = *cc().picture1;
        p.clear();
        p.fillBox(0, 0, 20, 20, Stamp);
        p.makePersistent();
    }
    bool stamped() { return cc().picture1->colourAt(10, 10, {400, 400}) == Stamp; }
    /// What `quendrix-batch` prints for the example data, the defaults and `args`; it must succeed.
    std::string batch(std::vector<std::string> args) {
        args.insert(args.begin(), {"--file1", examples::Calibration, "--file2", examples::Error});
        const BatchRun run = runBatchCommand(args);
        EXPECT_EQ(run.status, 0) << run.err;
        return run.out;
    }
    /// The batch command's read-out for `--section percent`, its file written to batch.csv.
    QStringList batchReadout(int percent) {
        const QStringList lines =
            QString::fromStdString(batch({"--section", std::to_string(percent), "-o",
                                          path("batch.csv").toStdString()}))
                .split(QLatin1Char('\n'));
        return lines.mid(1, lines.size() - 2); // neither the summary nor the empty end
    }
};

} // namespace quendrix::test
