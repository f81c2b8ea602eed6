#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace quendrix {

struct CoverageResult;

/// The coverage check's table (overall and per tenth of the pairs by X) in a small modeless
/// dialog, in a fixed-width font so that its columns line up, with a button that copies it.
class CoverageDialog : public QDialog {
    Q_OBJECT
  public:
    explicit CoverageDialog(QWidget* parent);

    void showResult(const CoverageResult& result);
    /// The table as shown and copied.
    QString table() const;
    QPushButton* copyButton() const { return copy_; }
    /// Puts the table on the clipboard as text.
    void copy();

  private:
    QLabel* source_;
    QPlainTextEdit* text_;
    QPushButton* copy_;
    QString table_;
};

} // namespace quendrix
