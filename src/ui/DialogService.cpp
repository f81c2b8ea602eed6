#include "ui/DialogService.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace quendrix::ui {

QString QtDialogService::openFileName(QWidget* parent, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

QString QtDialogService::saveFileName(QWidget* parent, const QString& filter,
                                      const QString& defaultSuffix) {
    if (defaultSuffix.isEmpty()) {
        // Without DontConfirmOverwrite the dialog asks before an existing file is replaced.
        return QFileDialog::getSaveFileName(parent, QString(), QString(), filter, nullptr,
                                            QFileDialog::Options());
    }
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

void QtDialogService::exclamation(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace quendrix::ui

namespace quendrix::ui {

bool QtDialogService::print(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    // One page: nothing to select and no range to choose. Printing to a file stays, since the
    // PDF printer is how most users here print.
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace quendrix::ui
