#include "print/PrintOptionsDialog.h"

#include "base/NumberText.h"
#include "session/SessionState.h"
#include "ui/Text.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quendrix {
namespace {

using ui::qs;

float numberOf(const QString& text) {
    return float(leadingNumber(ui::latin1(text)));
}

} // namespace

PrintOptionsDialog::PrintOptionsDialog(SessionState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    setWindowTitle(QStringLiteral("Print options"));
    setObjectName(QStringLiteral("frmPrintSetup"));
    setModal(false);
    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* form = new QFormLayout(frame);
    const char* const labels[] = {
        "Dot Size:", "Picture Frame Thickness:", "Zoom (%):", "Font Size:", "Title:"};
    for (int k = 1; k <= 5; ++k) {
        auto* box = new QLineEdit(frame);
        box->setObjectName(QStringLiteral("Text%1").arg(k));
        texts_[size_t(k - 1)] = box;
        auto* label = new QLabel(QString::fromLatin1(labels[k - 1]), frame);
        label->setObjectName(QStringLiteral("Label%1").arg(k));
        label->setBuddy(box);
        form->addRow(label, box);
        connect(box, &QLineEdit::textChanged, this, [this, k] { store(k); });
    }
    text(5)->setMinimumWidth(text(5)->fontMetrics().averageCharWidth() * 32);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    auto* cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("Command2"));
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    connect(cancelButton, &QPushButton::clicked, this, &PrintOptionsDialog::cancel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
}

void PrintOptionsDialog::present() {
    if (!isVisible()) {
        saved_ = {state_.dotSize, state_.frameThickness, state_.printZoom, state_.printFontSize,
                  state_.printTitle};
        fill();
    }
    show();
    raise();
    activateWindow();
}

void PrintOptionsDialog::fill() {
    const QString shown[] = {
        qs(shortestText(state_.dotSize)), qs(shortestText(state_.frameThickness)),
        qs(shortestText(float(double(state_.printZoom) * 100))),
        qs(shortestText(state_.printFontSize)), QString::fromStdString(state_.printTitle)};
    for (int k = 1; k <= 5; ++k) {
        // Showing the settings is no edit: nothing is stored back.
        const QSignalBlocker block(text(k));
        text(k)->setText(shown[k - 1]);
    }
}

void PrintOptionsDialog::store(int k) {
    const QString typed = text(k)->text();
    switch (k) {
    case 1:
        state_.dotSize = numberOf(typed);
        break;
    case 2:
        state_.frameThickness = numberOf(typed);
        break;
    case 3:
        state_.printZoom = float(leadingNumber(ui::latin1(typed)) / 100);
        break;
    case 4:
        state_.printFontSize = numberOf(typed);
        break;
    default:
        state_.printTitle = typed.toStdString();
        break;
    }
}

void PrintOptionsDialog::cancel() {
    state_.dotSize = saved_.dotSize;
    state_.frameThickness = saved_.frameThickness;
    state_.printZoom = saved_.printZoom;
    state_.printFontSize = saved_.printFontSize;
    state_.printTitle = saved_.printTitle;
    close();
}

// Escape is "Cancel"; the close box, like "OK", keeps what was typed.
void PrintOptionsDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        cancel();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace quendrix
