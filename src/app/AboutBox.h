#pragma once

#include <QDialog>

namespace quendrix {

/// "About": the program, its version, where the method is described, and the note for users of
/// the companion analysis program.
class AboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit AboutBox(QWidget* parent);

    /// Showing it, also while it is open behind another window, brings it to the keyboard, so
    /// that Escape or Return closes it.
    void setVisible(bool visible) override;
};

} // namespace quendrix
