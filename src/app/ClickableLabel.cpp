#include "app/ClickableLabel.h"

#include "ui/ClickKeys.h"
#include "ui/ElidedLabel.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace quendrix {

ClickableLabel::ClickableLabel(QWidget* parent)
    : QFrame(parent), label_(new ui::ElidedLabel(ui::ElidedLabel::Mode::End, this)) {
    auto* layout = new QHBoxLayout(this);
    // A pixel of margin leaves room for the focus frame.
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(2);
    layout->addWidget(label_);
    layout->addWidget(new QLabel(QStringLiteral("%"), this));
    layout->addStretch();
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setToolTip(QStringLiteral("Click to type the coefficient"));
    QFont underlined = label_->font();
    underlined.setUnderline(true);
    label_->setFont(underlined);
    // Room for "100.25" whatever is shown: a longer value is elided rather than moving the "%".
    label_->setFixedWidth(label_->fontMetrics().horizontalAdvance(QStringLiteral("100.25")));
}

void ClickableLabel::setText(const QString& text) {
    label_->setText(text);
}

QString ClickableLabel::text() const {
    return label_->text();
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

void ClickableLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit clicked();
    }
}

void ClickableLabel::keyPressEvent(QKeyEvent* event) {
    if (ui::isClickKey(*event)) {
        emit clicked();
        return;
    }
    QFrame::keyPressEvent(event);
}

void ClickableLabel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (hasFocus()) {
        QStylePainter painter(this);
        QStyleOptionFocusRect option;
        option.initFrom(this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
    }
}

} // namespace quendrix
