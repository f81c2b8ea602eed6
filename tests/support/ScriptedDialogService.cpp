#include "ScriptedDialogService.h"

#include <QFileInfo>
#include <QPrinter>

namespace quendrix::ui {

QString ScriptedDialogService::nextFile(const QString& filter) {
    ++fileDialogsShown_;
    lastFilter_ = filter;
    if (fileAnswers_.empty()) {
        return {};
    }
    QString answer = fileAnswers_.front();
    fileAnswers_.pop_front();
    return answer;
}

QString ScriptedDialogService::openFileName(QWidget*, const QString& filter) {
    return nextFile(filter);
}

QString ScriptedDialogService::saveFileName(QWidget*, const QString& filter,
                                            const QString& defaultSuffix) {
    QString answer = nextFile(filter);
    if (!answer.isEmpty() && !defaultSuffix.isEmpty() && !QFileInfo(answer).isDir() &&
        !QFileInfo(answer).fileName().contains(u'.')) {
        answer += u'.' + defaultSuffix;
    }
    if (!answer.isEmpty() && QFileInfo(answer).isFile()) {
        ++overwriteQuestions_;
        if (!replace_) {
            return {};
        }
    }
    return answer;
}

void ScriptedDialogService::exclamation(QWidget*, const QString& title, const QString& text) {
    messages_.push_back(title + QStringLiteral(": ") + text);
}

bool ScriptedDialogService::print(QWidget*, QPrinter& printer) {
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

} // namespace quendrix::ui
