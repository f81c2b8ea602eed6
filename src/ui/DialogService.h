#pragma once

#include <QString>

class QPrinter;
class QWidget;

namespace quendrix::ui {

/// Every dialog the windows show goes through here, so that tests can answer them.
class DialogService {
  public:
    virtual ~DialogService() = default;

    /// The file picked to open, or an empty text when the user cancelled.
    /// `filter` is in Qt's form, e.g. "DataFile(*.csv)".
    virtual QString openFileName(QWidget* parent, const QString& filter) = 0;
    /// The file picked to save to (overwriting confirmed), or empty when cancelled. A name typed
    /// without an extension gets `defaultSuffix` (none when empty) before the dialog asks about
    /// replacing it, so the question is about the file that will be written.
    virtual QString saveFileName(QWidget* parent, const QString& filter,
                                 const QString& defaultSuffix = QString()) = 0;
    /// A message box with an exclamation icon and one OK button.
    virtual void exclamation(QWidget* parent, const QString& title, const QString& text) = 0;
    /// The print dialog: the system's printers and printing to a PDF file, copies and
    /// orientation, no selection and no page range. Sets up `printer` as chosen; false when
    /// the user cancelled.
    virtual bool print(QWidget* parent, QPrinter& printer) = 0;
};

/// The platform's own dialogs.
class QtDialogService : public DialogService {
  public:
    QString openFileName(QWidget* parent, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& filter,
                         const QString& defaultSuffix = QString()) override;
    void exclamation(QWidget* parent, const QString& title, const QString& text) override;
    bool print(QWidget* parent, QPrinter& printer) override;
};

} // namespace quendrix::ui
