#include "app/FigurePanel.h"

#include "ui/FigureSurface.h"

#include <QGridLayout>
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
        // Centred vertically, so the two rows of figures stay together in a tall window.
        const int top = (height() - side - 2 * line) / 2 + line;
        caption_->setGeometry(left, top - line, side, line);
        surface_->setGeometry(left, top, side, side);
        yUpper_->setGeometry(0, top, left - 4, line);
        yLower_->setGeometry(0, top + side - line, left - 4, line);
        xLower_->setGeometry(left, top + side, side / 2, line);
        xUpper_->setGeometry(left + side / 2, top + side, side - side / 2, line);
    }

  private:
    int labelWidth() const { return fontMetrics().horizontalAdvance(QStringLiteral("-00000")); }
    int captionHeight() const { return fontMetrics().height() + 4; }

    QLabel* caption_;
    ui::FigureSurface* surface_;
    QLabel* yUpper_;
    QLabel* yLower_;
    QLabel* xLower_;
    QLabel* xUpper_;
};

FigurePanel::FigurePanel(QWidget* parent) : QWidget(parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(8);
    for (int n = 1; n <= 8; ++n) {
        auto* box = new FigureBox(n, this);
        boxes_[size_t(n - 1)] = box;
        grid->addWidget(box, (n - 1) / 4, (n - 1) % 4);
        if (n <= 2) {
            scatter_[size_t(n - 1)] = box->surface();
        } else {
            stage_[size_t(n - 3)] = box->surface();
        }
    }
    for (int c = 0; c < 4; ++c) {
        grid->setColumnStretch(c, 1);
    }
}

void FigurePanel::setAxisTexts(const QString& lower, const QString& upper) {
    for (FigureBox* box : boxes_) {
        box->setAxisTexts(lower, upper);
    }
}

} // namespace quendrix
