#pragma once

#include <QString>

class QWidget;

namespace quendrix::ui {

/// Every dialog the windows show goes through here, so that tests can answer them.
class DialogService {
  public:
    virtual ~DialogService() = default;

    /// The file picked to open, or an empty text when the user cancelled.
    /// `filter` is in Qt's form, e.g. "DataFile(*.csv)".
    virtual QString openFileName(QWidget* parent, const QString& filter) = 0;
    /// The file picked to save to (overwriting confirmed), or empty when cancelled.
    virtual QString saveFileName(QWidget* parent, const QString& filter) = 0;
    /// A message box with an exclamation icon and one OK button.
    virtual void exclamation(QWidget* parent, const QString& title, const QString& text) = 0;
};

/// The platform's own dialogs.
class QtDialogService : public DialogService {
  public:
    QString openFileName(QWidget* parent, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& filter) override;
    void exclamation(QWidget* parent, const QString& title, const QString& text) override;
};

} // namespace quendrix::ui
