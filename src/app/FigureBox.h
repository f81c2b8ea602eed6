#pragma once

#include <QString>
#include <QWidget>

class QLabel;

namespace quendrix {

namespace ui {
class ElidedLabel;
class FigureSurface;
} // namespace ui
struct FigureFrame;

/// One figure of the main window: its caption ("Fig.n") above, the square surface as large as
/// the box allows, the Y range up its left side and the X range along its bottom.
class FigureBox : public QWidget {
    Q_OBJECT
  public:
    FigureBox(int n, QWidget* parent);

    ui::FigureSurface* surface() const { return surface_; }
    /// The axis annotations: the committed range texts, lower and upper.
    void setAxisTexts(const QString& lower, const QString& upper);
    QString lowerText() const;
    QString upperText() const;
    /// The room the labels and the caption take around the surface.
    FigureFrame frame(int spacing) const;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QLabel* caption_;
    ui::FigureSurface* surface_;
    ui::ElidedLabel* yUpper_;
    ui::ElidedLabel* yLower_;
    ui::ElidedLabel* xLower_;
    ui::ElidedLabel* xUpper_;
};

} // namespace quendrix
