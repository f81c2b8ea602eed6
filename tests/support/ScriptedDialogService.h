#pragma once

#include "ui/DialogService.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
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
/// replace it: the question is counted and answered yes.
class ScriptedDialogService : public DialogService {
  public:
    void answerFile(const QString& path) { fileAnswers_.push_back(path); }
    void answerPrint(const PrintAnswer& answer) { printAnswers_.push_back(answer); }
    void answerFigureFolder(const FigureFolder& answer) { folderAnswers_.push_back(answer); }
    const QStringList& messages() const { return messages_; }
    int fileDialogsShown() const { return fileDialogsShown_; }
    int overwriteQuestions() const { return overwriteQuestions_; }
    int printDialogsShown() const { return printDialogsShown_; }
    /// The filter the last file dialog offered, and the folder it opened in.
    const QString& lastFilter() const { return lastFilter_; }
    const QString& lastFolder() const { return lastFolder_; }

    QString openFileName(QWidget*, const QString& filter, const QString& folder) override {
        return nextFile(filter, folder);
    }
    QString saveFileName(QWidget*, const QString& filter, const QString& folder,
                         const QString& defaultSuffix = QString()) override {
        QString answer = nextFile(filter, folder);
        if (!answer.isEmpty() && !defaultSuffix.isEmpty() && !QFileInfo(answer).isDir() &&
            !QFileInfo(answer).fileName().contains(u'.')) {
            answer += u'.' + defaultSuffix;
        }
        overwriteQuestions_ += !answer.isEmpty() && QFileInfo(answer).isFile() ? 1 : 0;
        return answer;
    }
    std::optional<FigureFolder> figureFolder(QWidget*, const QString& folder) override {
        lastFolder_ = folder;
        if (folderAnswers_.empty()) {
            return std::nullopt;
        }
        const FigureFolder answer = folderAnswers_.front();
        folderAnswers_.pop_front();
        return answer;
    }
    void exclamation(QWidget*, const QString& title, const QString& text) override {
        messages_.push_back(title + QStringLiteral(": ") + text);
    }
    bool print(QWidget*, QPrinter& printer) override {
        ++printDialogsShown_;
        if (printAnswers_.empty()) {
            return false;
        }
        const PrintAnswer answer = printAnswers_.front();
        printAnswers_.pop_front();
        if (!answer.pdfPath.isEmpty()) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(answer.pdfPath);
        }
        printer.setCopyCount(answer.copies);
        printer.setPageSize(QPageSize(answer.pageSize));
        printer.setPageOrientation(answer.orientation);
        return true;
    }

  private:
    QString nextFile(const QString& filter, const QString& folder) {
        ++fileDialogsShown_;
        lastFilter_ = filter;
        lastFolder_ = folder;
        if (fileAnswers_.empty()) {
            return {};
        }
        QString answer = fileAnswers_.front();
        fileAnswers_.pop_front();
        return answer;
    }

    std::deque<QString> fileAnswers_;
    std::deque<PrintAnswer> printAnswers_;
    std::deque<FigureFolder> folderAnswers_;
    QStringList messages_; ///< "title: text"
    int fileDialogsShown_ = 0;
    int printDialogsShown_ = 0;
    int overwriteQuestions_ = 0;
    QString lastFilter_, lastFolder_;
};

} // namespace quendrix::ui
