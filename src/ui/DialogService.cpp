#include "ui/DialogService.h"

#include <QFileDialog>
#include <QMessageBox>

namespace quendrix::ui {

QString QtDialogService::openFileName(QWidget* parent, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

QString QtDialogService::saveFileName(QWidget* parent, const QString& filter) {
    // Without DontConfirmOverwrite the dialog asks before an existing file is replaced.
    return QFileDialog::getSaveFileName(parent, QString(), QString(), filter, nullptr,
                                        QFileDialog::Options());
}

void QtDialogService::exclamation(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace quendrix::ui
