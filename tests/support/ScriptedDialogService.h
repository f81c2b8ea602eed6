#pragma once

#include "ui/DialogService.h"

#include <QPageLayout>
#include <QPageSize>
#include <QStringList>

#include <deque>

namespace quendrix::ui {

/// What the user chooses in the print dialog: printing to the PDF file `pdfPath` (an empty
/// path keeps the printer the dialog found), on paper of `pageSize`.
struct PrintAnswer {
    QString pdfPath;
    int copies = 1;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QPageSize::PageSizeId pageSize = QPageSize::A4;
};

/// Answers dialogs from a script instead of a person: file and print dialogs take the next
/// queued answer (an empty file name, or an empty queue, is a cancel) and message boxes are
/// recorded. A save dialog given an existing file asks, as the platform's does, whether to
/// replace it: the question is counted and answered as `answerOverwrite` says (declining
/// cancels the save).
class ScriptedDialogService : public DialogService {
  public:
    void answerFile(const QString& path) { fileAnswers_.push_back(path); }
    void answerOverwrite(bool replace) { replace_ = replace; }
    void answerPrint(const PrintAnswer& answer) { printAnswers_.push_back(answer); }
    const QStringList& messages() const { return messages_; }
    void clearMessages() { messages_.clear(); }
    int fileDialogsShown() const { return fileDialogsShown_; }
    int overwriteQuestions() const { return overwriteQuestions_; }
    int printDialogsShown() const { return printDialogsShown_; }
    /// The filter the last file dialog offered.
    const QString& lastFilter() const { return lastFilter_; }

    QString openFileName(QWidget* parent, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& filter,
                         const QString& defaultSuffix = QString()) override;
    void exclamation(QWidget* parent, const QString& title, const QString& text) override;
    bool print(QWidget* parent, QPrinter& printer) override;

  private:
    QString nextFile(const QString& filter);

    std::deque<QString> fileAnswers_;
    std::deque<PrintAnswer> printAnswers_;
    QStringList messages_; ///< "title: text"
    int fileDialogsShown_ = 0;
    int printDialogsShown_ = 0;
    int overwriteQuestions_ = 0;
    bool replace_ = true;
    QString lastFilter_;
};

} // namespace quendrix::ui
