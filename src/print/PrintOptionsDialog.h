#pragma once

#include <QDialog>

#include <array>
#include <string>

class QLineEdit;

namespace quendrix {

struct SessionState;

/// frmPrintSetup, "Print options": the dot size, picture frame thickness, zoom, font size and
/// title of every printout. Opens without blocking the other windows; every keystroke is stored
/// at once (numbers by the leading-number rule). "Cancel" and Escape put back the values the
/// dialog found when it opened; "OK" and the close box keep them as they stand.
class PrintOptionsDialog : public QDialog {
    Q_OBJECT
  public:
    PrintOptionsDialog(SessionState& state, QWidget* parent);

    /// Shows the dialog. One that is not open yet takes a copy of the settings for "Cancel" and
    /// shows them; an open one is only brought to the front.
    void present();
    /// `Text1` .. `Text5`, k = 1..5.
    QLineEdit* text(int k) const { return texts_[size_t(k - 1)]; }
    /// "Cancel": the saved settings back, and the dialog closed.
    void cancel();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    struct Saved {
        float dotSize, frameThickness, printZoom, printFontSize;
        std::string printTitle;
    };
    void fill();
    void store(int k);

    SessionState& state_;
    std::array<QLineEdit*, 5> texts_{};
    Saved saved_{};
};

} // namespace quendrix
