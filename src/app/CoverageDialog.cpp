#include "app/CoverageDialog.h"

#include "app/MeasurementCommands.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace quendrix {

CoverageDialog::CoverageDialog(QWidget* parent)
    : QDialog(parent), source_(new QLabel(this)), text_(new QPlainTextEdit(this)),
      copy_(new QPushButton(QStringLiteral("&Copy"), this)) {
    setObjectName(QStringLiteral("CoverageDialog"));
    setWindowTitle(QStringLiteral("Coverage check"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Tab goes on to the buttons instead of into the text.
    text_->setTabChangesFocus(true);
    copy_->setObjectName(QStringLiteral("Copy"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(copy_, QDialogButtonBox::ActionRole);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(source_);
    layout->addWidget(text_, 1);
    layout->addWidget(buttons);
    connect(copy_, &QPushButton::clicked, this, &CoverageDialog::copy);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CoverageDialog::showResult(const CoverageResult& result) {
    source_->setText(QStringLiteral("Pairs: %1").arg(result.fileName));
    table_ = result.table;
    text_->setPlainText(table_);
    // Wide and tall enough for the whole table.
    const QFontMetrics fm(text_->font());
    int width = 0;
    for (const QString& line : result.table.split(QLatin1Char('\n'))) {
        width = std::max(width, fm.horizontalAdvance(line));
    }
    const int lines = int(result.table.count(QLatin1Char('\n'))) + 1;
    text_->setMinimumSize(width + 4 * fm.averageCharWidth(), lines * fm.lineSpacing() + 12);
    adjustSize();
    show();
    raise();
    activateWindow();
    copy_->setDefault(true);
    copy_->setFocus();
}

QString CoverageDialog::table() const {
    return table_;
}

void CoverageDialog::copy() {
    QGuiApplication::clipboard()->setText(table());
}

} // namespace quendrix
