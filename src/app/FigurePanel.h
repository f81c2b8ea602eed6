#pragma once

#include <QString>
#include <QWidget>

#include <array>

namespace quendrix::ui {
class FigureSurface;
}

namespace quendrix {

/// The eight figures of the main window in two rows: the scatter figures Fig.1 and Fig.2
/// (`Picture1(0..1)`) and the stage figures Fig.3 .. Fig.8 (`Picture2(0..5)`), each with its
/// caption and the axis range written along both axes.
class FigureBox;

class FigurePanel : public QWidget {
    Q_OBJECT
  public:
    explicit FigurePanel(QWidget* parent = nullptr);

    ui::FigureSurface* picture1(int f) const { return scatter_[size_t(f)]; }
    ui::FigureSurface* picture2(int k) const { return stage_[size_t(k)]; }
    /// Figure n = 1..8.
    ui::FigureSurface* figure(int n) const { return n <= 2 ? picture1(n - 1) : picture2(n - 3); }

    /// The axis annotations: the range texts exactly as typed, lower and upper.
    void setAxisTexts(const QString& lower, const QString& upper);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    static constexpr int Spacing = 10;
    std::array<ui::FigureSurface*, 2> scatter_{};
    std::array<ui::FigureSurface*, 6> stage_{};
    std::array<FigureBox*, 8> boxes_{};
};

} // namespace quendrix
