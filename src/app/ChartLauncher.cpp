#include "app/ChartLauncher.h"

#include "app/ChartWindow.h"
#include "app/FigurePanel.h"
#include "session/CalibrationSession.h"
#include "ui/BusyCursor.h"
#include "ui/FigureSurface.h"

namespace quendrix {

ChartLauncher::ChartLauncher(CalibrationSession& session, ui::DialogService& dialogs,
                             ResultSaver& saver, PrintCommands& printing, FigurePanel& figures,
                             QWidget& mainWindow, std::function<void()> colourSettings)
    : session_(session), dialogs_(dialogs), saver_(saver), printing_(printing), figures_(figures),
      mainWindow_(mainWindow), colourSettings_(std::move(colourSettings)) {}

ChartLauncher::~ChartLauncher() {
    close();
}

ChartWindow* ChartLauncher::window() const {
    return window_.data();
}

Status ChartLauncher::open(ChartMode mode) {
    ui::BusyCursor busy;
    if (Status st = session_.buildDetail(); !st) {
        return st;
    }
    if (!window_) {
        window_ = new ChartWindow(session_, dialogs_, saver_, printing_, &mainWindow_);
        QObject::connect(window_, &QObject::destroyed, &mainWindow_,
                         [this] { restoreFigureLook(); });
        QObject::connect(window_, &ChartWindow::colourSettingsRequested, &mainWindow_,
                         [this] { colourSettings_(); });
    }
    restoreFigureLook();
    window_->showView(mode);
    return {};
}

void ChartLauncher::closeIfStale() {
    if (window_ && !session_.detailBuilt()) {
        close();
    }
}

void ChartLauncher::close() {
    if (window_) {
        // Deleted at once, so that nothing can draw from data that are gone.
        delete window_.data();
    }
}

// Fig.7 and Fig.8 turn flat under the pointer as a hint that a click opens the chart. One that
// is not flat is left alone: repainting it would hold up the chart's first frame.
void ChartLauncher::restoreFigureLook() {
    for (int n : {7, 8}) {
        if (ui::FigureSurface* figure = figures_.figure(n); figure->isFlat()) {
            figure->setFlat(false);
        }
    }
}

} // namespace quendrix
