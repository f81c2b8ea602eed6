#pragma once

#include <QDialog>

namespace quendrix {

/// "About": the program, its version, where the method is described, and the note for users of
/// the companion analysis program.
class AboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit AboutBox(QWidget* parent);
};

} // namespace quendrix
