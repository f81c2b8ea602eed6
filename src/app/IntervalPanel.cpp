#include "app/IntervalPanel.h"

#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace quendrix {

/// The printed lines, as tall as they need.
class IntervalPanel::Page : public QWidget {
  public:
    explicit Page(IntervalPanel& panel) : panel_(panel) {}

    int pitch() const { return fontMetrics().lineSpacing(); }
    int contentHeight() const {
        double bottom = 0;
        for (const PanelLine& line : panel_.lines_) {
            bottom = std::max(bottom, line.y + 1.5);
        }
        return int(std::ceil(bottom * pitch()));
    }
    QSize minimumSizeHint() const override { return {0, contentHeight()}; }
    QSize sizeHint() const override { return minimumSizeHint(); }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QFont plain = font();
        QFont bold = plain;
        bold.setBold(true);
        p.setPen(palette().color(QPalette::WindowText));
        for (const PanelLine& line : panel_.lines_) {
            p.setFont(line.bold ? bold : plain);
            const QPointF at(line.x * pitch(), line.y * pitch());
            p.drawText(QRectF(at, QSizeF(width(), pitch())), Qt::AlignLeft | Qt::AlignTop,
                       line.text);
        }
    }

  private:
    IntervalPanel& panel_;
};

IntervalPanel::IntervalPanel(QWidget* parent) : QScrollArea(parent), page_(new Page(*this)) {
    setObjectName(QStringLiteral("IntervalPanel"));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setWidget(page_);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    page_->setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
}

void IntervalPanel::showReadout(const IntervalReadout& readout) {
    lines_ = panelLayout(readout);
    page_->updateGeometry();
    page_->update();
}

void IntervalPanel::wipe() {
    lines_.clear();
    page_->updateGeometry();
    page_->update();
}

QStringList IntervalPanel::lines() const {
    QStringList out;
    for (const PanelLine& line : lines_) {
        out.push_back(line.text);
    }
    return out;
}

void IntervalPanel::setWidestValue(const QString& low, const QString& high) {
    widest_ = low + QStringLiteral(" - ") + high;
    updateGeometry();
}

QSize IntervalPanel::minimumSizeHint() const {
    const QFontMetrics plain(font());
    QFont boldFont = font();
    boldFont.setBold(true);
    const QFontMetrics bold(boldFont);
    const int pitch = plain.lineSpacing();
    // Values stand 3/4 of a line in, headers half a line; "Out of range" and the headers must
    // fit as well as the widest interval.
    const int text = std::max({plain.horizontalAdvance(widest_) + pitch * 3 / 4,
                               plain.horizontalAdvance(QStringLiteral("Out of range")) + pitch,
                               bold.horizontalAdvance(QStringLiteral("100.0 %")) + pitch / 2});
    const int frame = 2 * frameWidth();
    const int scrollBar = verticalScrollBar()->sizeHint().width();
    return {text + pitch + frame + scrollBar, 6 * pitch + frame};
}

QSize IntervalPanel::sizeHint() const {
    return minimumSizeHint();
}

} // namespace quendrix
