#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>

class QStatusBar;

namespace quendrix {

namespace ui {
class FigureSurface;
}
class FigureBox;

/// The eight figures of the main window: the scatter figures Fig.1 and Fig.2 (`Picture1(0..1)`)
/// and the stage figures Fig.3 .. Fig.8 (`Picture2(0..5)`), square and as large as the panel
/// allows, each with its caption and the committed axis range along both axes.
class FigurePanel : public QWidget {
    Q_OBJECT
  public:
    explicit FigurePanel(QWidget* parent = nullptr);

    ui::FigureSurface* picture1(int f) const;
    ui::FigureSurface* picture2(int k) const;
    /// Figure n = 1..8.
    ui::FigureSurface* figure(int n) const;
    FigureBox* box(int n) const { return boxes_[size_t(n - 1)]; }

    /// The axis annotations: the committed range texts, lower and upper.
    void setAxisTexts(const QString& lower, const QString& upper);

    /// What figure n shows at widget point `at` of its surface, whose drawing fills `area`.
    using Reading = std::function<QString(int n, const QRectF& area, const QPointF& at)>;
    /// Shows on `bar`, in a label of its own, what the figure under the pointer shows there.
    void showPointerReadings(QStatusBar& bar, const Reading& read);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    static constexpr int Spacing = 10;
    static constexpr int MinimumSide = 48;
    std::array<FigureBox*, 8> boxes_{};
};

} // namespace quendrix
