#pragma once

#include "ui/DialogService.h"

#include <QStringList>

#include <deque>

namespace quendrix::ui {

/// Answers dialogs from a script instead of a person: file dialogs take the next queued
/// answer (an empty text, or an empty queue, is a cancel) and message boxes are recorded.
class ScriptedDialogService : public DialogService {
  public:
    void answerFile(const QString& path) { fileAnswers_.push_back(path); }
    const QStringList& messages() const { return messages_; }
    void clearMessages() { messages_.clear(); }
    int fileDialogsShown() const { return fileDialogsShown_; }

    QString openFileName(QWidget* parent, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& filter) override;
    void exclamation(QWidget* parent, const QString& title, const QString& text) override;

  private:
    QString nextFile();

    std::deque<QString> fileAnswers_;
    QStringList messages_; ///< "title: text"
    int fileDialogsShown_ = 0;
};

} // namespace quendrix::ui
