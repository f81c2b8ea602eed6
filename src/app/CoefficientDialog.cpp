#include "app/CoefficientDialog.h"

#include <QCloseEvent>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quendrix {

CoefficientDialog::CoefficientDialog(int coefficient, QWidget* parent)
    : QDialog(parent), text1_(new QLineEdit(this)) {
    setWindowTitle(QStringLiteral("New confidence coefficient (%)"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(coefficient == 0
                                     ? QStringLiteral("Coefficient 1 (default = 68.2)")
                                     : QStringLiteral("Coefficient 2 (default = 95.4)"),
                                 this));
    layout->addWidget(text1_);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    layout->addWidget(ok, 0, Qt::AlignRight);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    // Wide enough that a window manager need not cut the title short; its own buttons and a
    // bolder title font take room beside it.
    setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle()) * 5 / 4 + 120);
}

void CoefficientDialog::open(const QString& caption) {
    text1_->setText(caption);
    text1_->selectAll();
    selectOnActivation_ = true;
    hasBeenActive_ = false;
    open_ = true;
    show();
    raise();
    activateWindow();
    text1_->setFocus();
}

void CoefficientDialog::finish(bool keepTyped) {
    if (open_) {
        open_ = false;
        const bool active = isActiveWindow();
        if (keepTyped) {
            emit committed(text1_->text());
        }
        if (active) {
            emit leftActive();
        }
    }
}

// Escape. The close box ends in here too, but has committed by then.
void CoefficientDialog::reject() {
    finish(false);
    QDialog::reject();
}

void CoefficientDialog::closeEvent(QCloseEvent* event) {
    commit();
    QDialog::closeEvent(event);
}

// The line edit drops its selection while the window is not yet active; select again once it is,
// so that typing replaces the caption.
void CoefficientDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        hasBeenActive_ = true;
        if (selectOnActivation_) {
            selectOnActivation_ = false;
            text1_->selectAll();
        }
    }
}

void CoefficientDialog::done(int result) {
    commit();
    QDialog::done(result);
}

} // namespace quendrix
