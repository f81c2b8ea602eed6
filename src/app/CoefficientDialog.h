#pragma once

#include <QDialog>

class QLineEdit;

namespace quendrix {

/// "New confidence coefficient (%)": types coefficient 1 or 2. Opens without blocking the main
/// window; however it closes (OK, its close box, the main window becoming active, shut-down) it
/// commits what is typed, except by Escape, which leaves the coefficient as it was.
class CoefficientDialog : public QDialog {
    Q_OBJECT
  public:
    CoefficientDialog(int coefficient, QWidget* parent);

    /// Shows the dialog with the current caption in its text box.
    void open(const QString& caption);
    QLineEdit* text1() const { return text1_; }
    /// Whether the dialog has been the active window since it last opened: only then can the
    /// main window's activation mean that the user went back to it.
    bool hasBeenActive() const { return hasBeenActive_; }

  public slots:
    void reject() override;

  signals:
    void committed(const QString& typed);
    /// Closed while it was the active window: the platform hands the activation back to the
    /// main window, and that activation is not the user going back to it.
    void leftActive();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;
    void changeEvent(QEvent* event) override;

  private:
    void commit() { finish(true); }
    void finish(bool keepTyped);

    QLineEdit* text1_; ///< the coefficient in %, as typed
    bool open_ = false;
    bool selectOnActivation_ = false;
    bool hasBeenActive_ = false;
};

} // namespace quendrix
