#pragma once

#include "WindowFixture.h"

#include "app/ChartWindow.h"
#include "app/IntervalMarks.h"
#include "app/IntervalPanel.h"
#include "app/MainMenus.h"
#include "batch/BatchCommand.h"

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
    /// What `quendrix-batch` prints after its summary for `--section percent`, with the example
    /// data and the defaults, and the file it writes to `output`.
    std::vector<std::string> batchReadout(int percent, const std::string& output) {
        const std::string file1 = CalibrationCsv.toStdString();
        const std::string file2 = ErrorCsv.toStdString();
        const std::string section = std::to_string(percent);
        const char* argv[] = {"quendrix-batch", "--file1",     file1.c_str(),
                              "--file2",        file2.c_str(), "--section",
                              section.c_str(),  "-o",          output.c_str()};
        std::ostringstream out, err;
        EXPECT_EQ(runBatch(int(std::size(argv)), argv, out, err), 0) << err.str();
        std::istringstream lines(out.str());
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
