#pragma once

#include <QString>

#include <optional>

class QPrinter;
class QWidget;

namespace quendrix::ui {

/// What the figure export dialog asks for.
struct FigureFolder {
    QString folder;
    QString format; ///< "png", "svg" or "pdf"
};

/// Every dialog the windows show goes through here, so that tests can answer them.
class DialogService {
  public:
    virtual ~DialogService() = default;

    /// The file picked to open, or an empty text when the user cancelled. The dialog opens in
    /// `folder` (the platform's choice when empty). `filter` is in Qt's form, e.g.
    /// "DataFile(*.csv)".
    virtual QString openFileName(QWidget* parent, const QString& filter, const QString& folder) = 0;
    /// The file picked to save to (overwriting confirmed), or empty when cancelled. A name typed
    /// without an extension gets `defaultSuffix` (none when empty) before the dialog asks about
    /// replacing it, so the question is about the file that will be written.
    virtual QString saveFileName(QWidget* parent, const QString& filter, const QString& folder,
                                 const QString& defaultSuffix = QString()) = 0;
    /// The folder and the picture format to export the figures in; none when cancelled.
    virtual std::optional<FigureFolder> figureFolder(QWidget* parent, const QString& folder) = 0;
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
    QString openFileName(QWidget* parent, const QString& filter, const QString& folder) override;
    QString saveFileName(QWidget* parent, const QString& filter, const QString& folder,
                         const QString& defaultSuffix = QString()) override;
    std::optional<FigureFolder> figureFolder(QWidget* parent, const QString& folder) override;
    void exclamation(QWidget* parent, const QString& title, const QString& text) override;
    bool print(QWidget* parent, QPrinter& printer) override;
};

} // namespace quendrix::ui
