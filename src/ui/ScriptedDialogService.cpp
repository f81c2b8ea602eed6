#include "ui/ScriptedDialogService.h"

#include <QFileInfo>

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

QString ScriptedDialogService::saveFileName(QWidget*, const QString& filter) {
    QString answer = nextFile(filter);
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

} // namespace quendrix::ui
