#pragma once

#include "ui/DialogService.h"

#include <QStringList>

#include <deque>

namespace quendrix::ui {

/// Answers dialogs from a script instead of a person: file dialogs take the next queued
/// answer (an empty text, or an empty queue, is a cancel) and message boxes are recorded. A save
/// dialog given an existing file asks, as the platform's does, whether to replace it: the
/// question is counted and answered as `answerOverwrite` says (declining cancels the save).
class ScriptedDialogService : public DialogService {
  public:
    void answerFile(const QString& path) { fileAnswers_.push_back(path); }
    void answerOverwrite(bool replace) { replace_ = replace; }
    const QStringList& messages() const { return messages_; }
    void clearMessages() { messages_.clear(); }
    int fileDialogsShown() const { return fileDialogsShown_; }
    int overwriteQuestions() const { return overwriteQuestions_; }
    /// The filter the last file dialog offered.
    const QString& lastFilter() const { return lastFilter_; }

    QString openFileName(QWidget* parent, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& filter) override;
    void exclamation(QWidget* parent, const QString& title, const QString& text) override;

  private:
    QString nextFile(const QString& filter);

    std::deque<QString> fileAnswers_;
    QStringList messages_; ///< "title: text"
    int fileDialogsShown_ = 0;
    int overwriteQuestions_ = 0;
    bool replace_ = true;
    QString lastFilter_;
};

} // namespace quendrix::ui
