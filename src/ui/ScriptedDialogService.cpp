#include "ui/ScriptedDialogService.h"

namespace quendrix::ui {

QString ScriptedDialogService::nextFile() {
    ++fileDialogsShown_;
    if (fileAnswers_.empty()) {
        return {};
    }
    QString answer = fileAnswers_.front();
    fileAnswers_.pop_front();
    return answer;
}

QString ScriptedDialogService::openFileName(QWidget*, const QString&) {
    return nextFile();
}

QString ScriptedDialogService::saveFileName(QWidget*, const QString&) {
    return nextFile();
}

void ScriptedDialogService::exclamation(QWidget*, const QString& title, const QString& text) {
    messages_.push_back(title + QStringLiteral(": ") + text);
}

} // namespace quendrix::ui
