#pragma once

#include "BatchRun.h"
#include "WindowFixture.h"

#include "app/ChartWindow.h"
#include "app/IntervalMarks.h"
#include "app/IntervalPanel.h"
#include "app/MainMenus.h"

#include <QRadioButton>

#include <sstream>
#include <vector>

namespace quendrix::test {

/// The main window with the example data calibrated, and its calibration chart window.
class ChartFixture : public WindowFixture {
  protected:
    ChartWindow* chart() { return w.workflow().chart().window(); }
    ChartControls& cc() { return chart()->controls(); }
    /// Left click on Fig.n of the main window; the chart that opens, if any.
    ChartWindow* openFrom(int n) {
        click(&fig(n));
        return chart();
    }
    /// Every chart window there is, shown or not.
    int chartWindows() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        int n = 0;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            n += qobject_cast<ChartWindow*>(top) != nullptr;
        }
        return n;
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
        args.insert(args.begin(),
                    {"--file1", CalibrationCsv.toStdString(), "--file2", ErrorCsv.toStdString()});
        const BatchRun run = runBatchCommand(args);
        EXPECT_EQ(run.status, 0) << run.err;
        return run.out;
    }
    /// What the batch command prints after its summary for `--section percent`, writing its
    /// file to `output`.
    std::vector<std::string> batchReadout(int percent, const std::string& output) {
        std::istringstream lines(batch({"--section", std::to_string(percent), "-o", output}));
        std::vector<std::string> readout;
        std::string line;
        std::getline(lines, line); // the summary
        while (std::getline(lines, line)) {
            readout.push_back(line);
        }
        return readout;
    }
    std::vector<std::string> panel() {
        std::vector<std::string> out;
        for (const QString& line : cc().intervalPanel->lines()) {
            out.push_back(line.toStdString());
        }
        return out;
    }
};

} // namespace quendrix::test
