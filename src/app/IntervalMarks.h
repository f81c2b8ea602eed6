#pragma once

#include "figures/ReadoutLayout.h"

#include <QWidget>

#include <optional>

namespace quendrix {

/// The brackets and the mode and average marks of the read-out, in the strip between the
/// section and the interval panel.
class IntervalMarks : public QWidget {
    Q_OBJECT
  public:
    explicit IntervalMarks(QWidget* parent = nullptr);

    /// The section's rows and the designed scale, in this widget's coordinates.
    void setFrame(const SectionFrame& frame);
    void showReadout(const IntervalReadout& readout);
    void wipe();
    /// The strokes as drawn now.
    std::vector<ReadoutStroke> strokes() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    SectionFrame frame_;
    std::optional<IntervalReadout> readout_;
};

} // namespace quendrix
