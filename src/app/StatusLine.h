#pragma once

#include <QString>

class QStatusBar;

namespace quendrix {

namespace ui {
class ElidedLabel;
}

/// The main window's status line. Every message has one form: a sentence without a closing
/// full stop, starting with a capital. A message stays until the next action: one that succeeds
/// clears it or replaces it with its own.
class StatusLine {
  public:
    explicit StatusLine(QStatusBar& bar);

    void show(const QString& message);
    void clear();
    QString text() const;

    /// `message` in the status line's form.
    static QString sentence(QString message);

  private:
    ui::ElidedLabel* label_;
};

} // namespace quendrix
