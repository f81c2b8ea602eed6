#include "ui/ElidedLabel.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>

namespace quendrix::ui {

QString elideText(const QString& text, ElidedLabel::Mode mode, const QFontMetrics& metrics,
                  int width) {
    if (metrics.horizontalAdvance(text) <= width) {
        return text;
    }
    if (mode == ElidedLabel::Mode::Path) {
        // The file name is what tells two imports apart, so the folder gives way first.
        const qsizetype slash =
            std::max(text.lastIndexOf(QLatin1Char('/')), text.lastIndexOf(QLatin1Char('\\')));
        if (slash >= 0) {
            const QString name = text.mid(slash);
            const int rest = width - metrics.horizontalAdvance(name);
            const QString folder = metrics.elidedText(text.left(slash), Qt::ElideMiddle, rest);
            if (rest > 0 && !folder.isEmpty()) {
                return folder + name;
            }
        }
        return metrics.elidedText(text, Qt::ElideMiddle, width);
    }
    return metrics.elidedText(text, Qt::ElideRight, width);
}

ElidedLabel::ElidedLabel(Mode mode, QWidget* parent) : QFrame(parent), mode_(mode) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void ElidedLabel::setText(const QString& text) {
    if (text == text_) {
        return;
    }
    text_ = text;
    updateToolTip();
    update();
}

QString ElidedLabel::shownText() const {
    return elideText(text_, mode_, fontMetrics(), contentsRect().width());
}

void ElidedLabel::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

QSize ElidedLabel::sizeHint() const {
    return {fontMetrics().horizontalAdvance(text_) + frameWidth() * 2,
            fontMetrics().height() + frameWidth() * 2};
}

QSize ElidedLabel::minimumSizeHint() const {
    return {fontMetrics().horizontalAdvance(QStringLiteral("\u2026")) + frameWidth() * 2,
            fontMetrics().height() + frameWidth() * 2};
}

void ElidedLabel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), int(alignment_), palette(), isEnabled(),
                          shownText(), foregroundRole());
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    updateToolTip();
}

void ElidedLabel::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateGeometry();
        updateToolTip();
    }
}

void ElidedLabel::updateToolTip() {
    setToolTip(shownText() == text_ ? QString() : text_);
}

} // namespace quendrix::ui
