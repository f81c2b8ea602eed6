#include "app/FigureBox.h"

#include "figures/FigureGrid.h"
#include "ui/ElidedLabel.h"
#include "ui/FigureSurface.h"

#include <QLabel>

#include <algorithm>

namespace quendrix {
namespace {

constexpr int LabelGap = 4;

ui::ElidedLabel* axisLabel(QWidget* parent, Qt::Alignment alignment) {
    auto* label = new ui::ElidedLabel(ui::ElidedLabel::Mode::End, parent);
    label->setAlignment(alignment);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    label->setFont(font);
    return label;
}

} // namespace

FigureBox::FigureBox(int n, QWidget* parent)
    : QWidget(parent), caption_(new QLabel(QStringLiteral("Fig.%1").arg(n), this)),
      surface_(new ui::FigureSurface(this)),
      yUpper_(axisLabel(this, Qt::AlignRight | Qt::AlignTop)),
      yLower_(axisLabel(this, Qt::AlignRight | Qt::AlignBottom)),
      xLower_(axisLabel(this, Qt::AlignLeft | Qt::AlignTop)),
      xUpper_(axisLabel(this, Qt::AlignRight | Qt::AlignTop)) {
    QFont bold = caption_->font();
    bold.setBold(true);
    caption_->setFont(bold);
    surface_->setObjectName(QStringLiteral("Fig%1").arg(n));
    surface_->setEnabled(false);
}

void FigureBox::setAxisTexts(const QString& lower, const QString& upper) {
    yLower_->setText(lower);
    xLower_->setText(lower);
    yUpper_->setText(upper);
    xUpper_->setText(upper);
}

QString FigureBox::lowerText() const {
    return xLower_->text();
}

QString FigureBox::upperText() const {
    return xUpper_->text();
}

FigureFrame FigureBox::frame(int spacing) const {
    const QFontMetrics axis = xLower_->fontMetrics();
    return {axis.horizontalAdvance(QStringLiteral("-00000")) + LabelGap,
            std::max(caption_->fontMetrics().height(), axis.height()) + 4, spacing};
}

void FigureBox::resizeEvent(QResizeEvent*) {
    const FigureFrame f = frame(0);
    const int left = f.labelWidth;
    const int line = f.lineHeight;
    const int side = std::max(0, std::min(width() - left, height() - 2 * line));
    caption_->setGeometry(left, 0, side, line);
    surface_->setGeometry(left, line, side, side);
    yUpper_->setGeometry(0, line, left - LabelGap, line);
    yLower_->setGeometry(0, line + side - line, left - LabelGap, line);
    xLower_->setGeometry(left, line + side, side / 2, line);
    xUpper_->setGeometry(left + side / 2, line + side, side - side / 2, line);
}

} // namespace quendrix
