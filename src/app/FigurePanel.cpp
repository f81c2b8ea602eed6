#include "app/FigurePanel.h"

#include "ui/FigureSurface.h"

#include <QLabel>
#include <QResizeEvent>

#include <algorithm>

namespace quendrix {
namespace {

QLabel* axisLabel(QWidget* parent, Qt::Alignment alignment) {
    auto* label = new QLabel(parent);
    label->setAlignment(alignment);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    label->setFont(font);
    return label;
}

} // namespace

/// One figure: its caption above, the surface kept square and as large as the box allows, the
/// Y range up its left side and the X range along its bottom.
class FigureBox : public QWidget {
  public:
    FigureBox(int n, QWidget* parent)
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
        setMinimumSize(labelWidth() + 200 + 4, captionHeight() + 200 + captionHeight());
    }

    ui::FigureSurface* surface() const { return surface_; }
    void setAxisTexts(const QString& lower, const QString& upper) {
        yLower_->setText(lower);
        xLower_->setText(lower);
        yUpper_->setText(upper);
        xUpper_->setText(upper);
    }

  protected:
    void resizeEvent(QResizeEvent*) override {
        const int left = labelWidth() + 4;
        const int line = captionHeight();
        const int side = std::max(0, std::min(width() - left, height() - 2 * line));
        const int top = line;
        caption_->setGeometry(left, top - line, side, line);
        surface_->setGeometry(left, top, side, side);
        yUpper_->setGeometry(0, top, left - 4, line);
        yLower_->setGeometry(0, top + side - line, left - 4, line);
        xLower_->setGeometry(left, top + side, side / 2, line);
        xUpper_->setGeometry(left + side / 2, top + side, side - side / 2, line);
    }

  public:
    int labelWidth() const { return fontMetrics().horizontalAdvance(QStringLiteral("-00000")); }
    int captionHeight() const { return fontMetrics().height() + 4; }

  private:
    QLabel* caption_;
    ui::FigureSurface* surface_;
    QLabel* yUpper_;
    QLabel* yLower_;
    QLabel* xLower_;
    QLabel* xUpper_;
};

FigurePanel::FigurePanel(QWidget* parent) : QWidget(parent) {
    for (int n = 1; n <= 8; ++n) {
        auto* box = new FigureBox(n, this);
        boxes_[size_t(n - 1)] = box;
        if (n <= 2) {
            scatter_[size_t(n - 1)] = box->surface();
        } else {
            stage_[size_t(n - 3)] = box->surface();
        }
    }
    const FigureBox* box = boxes_[0];
    setMinimumSize(4 * (box->labelWidth() + 4 + 200) + 3 * Spacing,
                   2 * (200 + 2 * box->captionHeight()) + Spacing);
}

// The figures form one block of four columns and two rows, as large as the panel allows while
// every figure stays square, centred in the panel.
void FigurePanel::resizeEvent(QResizeEvent*) {
    const FigureBox* first = boxes_[0];
    const int left = first->labelWidth() + 4;
    const int line = first->captionHeight();
    const int side = std::max(
        0, std::min((width() - 3 * Spacing) / 4 - left, (height() - Spacing) / 2 - 2 * line));
    const int boxWidth = left + side;
    const int boxHeight = side + 2 * line;
    const int x0 = (width() - 4 * boxWidth - 3 * Spacing) / 2;
    const int y0 = (height() - 2 * boxHeight - Spacing) / 2;
    for (int n = 0; n < 8; ++n) {
        boxes_[size_t(n)]->setGeometry(x0 + (n % 4) * (boxWidth + Spacing),
                                       y0 + (n / 4) * (boxHeight + Spacing), boxWidth, boxHeight);
    }
}

void FigurePanel::setAxisTexts(const QString& lower, const QString& upper) {
    for (FigureBox* box : boxes_) {
        box->setAxisTexts(lower, upper);
    }
}

} // namespace quendrix
