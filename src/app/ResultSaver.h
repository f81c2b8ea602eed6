#pragma once

#include <QString>

class QWidget;

namespace quendrix {

class CalibrationSession;
class StatusLine;

namespace ui {
class DialogService;
}

/// What every save entry of both windows does: asks for a file (the dialog confirms an
/// overwrite), then writes the common output format of the current result through the one
/// output writer. Cancel is silent and writes nothing; a refusal or a failed write leaves any
/// existing file as it was and says why in the status line of the window that asked. The path
/// is kept exactly as typed.
class ResultSaver {
  public:
    ResultSaver(const CalibrationSession& session, ui::DialogService& dialogs);

    /// Whether a file was written.
    bool save(QWidget* parent, StatusLine& status);

  private:
    const CalibrationSession& session_;
    ui::DialogService& dialogs_;
};

} // namespace quendrix
