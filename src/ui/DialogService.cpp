#include "ui/DialogService.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace quendrix::ui {

QString QtDialogService::openFileName(QWidget* parent, const QString& filter,
                                      const QString& folder) {
    return QFileDialog::getOpenFileName(parent, QString(), folder, filter);
}

QString QtDialogService::saveFileName(QWidget* parent, const QString& filter, const QString& folder,
                                      const QString& defaultSuffix) {
    if (defaultSuffix.isEmpty()) {
        // Without DontConfirmOverwrite the dialog asks before an existing file is replaced.
        return QFileDialog::getSaveFileName(parent, QString(), folder, filter, nullptr,
                                            QFileDialog::Options());
    }
    QFileDialog dialog(parent, QString(), folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

std::optional<FigureFolder> QtDialogService::figureFolder(QWidget* parent, const QString& folder) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Export figures"));
    auto* path = new QLineEdit(QDir::toNativeSeparators(folder));
    path->setMinimumWidth(path->fontMetrics().averageCharWidth() * 48);
    auto* browse = new QPushButton(QStringLiteral("&Browse..."));
    auto* row = new QHBoxLayout;
    row->addWidget(path, 1);
    row->addWidget(browse);
    auto* format = new QComboBox;
    format->addItem(QStringLiteral("PNG picture"), QStringLiteral("png"));
    format->addItem(QStringLiteral("SVG drawing"), QStringLiteral("svg"));
    format->addItem(QStringLiteral("PDF document"), QStringLiteral("pdf"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* form = new QFormLayout(&dialog);
    auto* folderLabel = new QLabel(QStringLiteral("&Folder:"));
    folderLabel->setBuddy(path);
    form->addRow(folderLabel, row);
    form->addRow(QStringLiteral("F&ormat:"), format);
    form->addRow(buttons);
    QObject::connect(browse, &QPushButton::clicked, &dialog, [&dialog, path] {
        const QString picked = QFileDialog::getExistingDirectory(&dialog, QString(), path->text());
        if (!picked.isEmpty()) {
            path->setText(QDir::toNativeSeparators(picked));
        }
    });
    // OK needs a folder; whether it can be written is the export's to say.
    const auto syncOk = [buttons, path] {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(!path->text().trimmed().isEmpty());
    };
    QObject::connect(path, &QLineEdit::textChanged, &dialog, syncOk);
    syncOk();
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return FigureFolder{QDir::fromNativeSeparators(path->text().trimmed()),
                        format->currentData().toString()};
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
