#pragma once

#include "figures/ReadoutLayout.h"

#include <QScrollArea>
#include <QStringList>

namespace quendrix {

/// `IntervalPanel`: the framed text of the interval read-out, bold headers over indented values.
/// It keeps every line whole: a read-out taller than the panel scrolls.
class IntervalPanel : public QScrollArea {
    Q_OBJECT
  public:
    explicit IntervalPanel(QWidget* parent = nullptr);

    /// `ShowIntervals`' text.
    void showReadout(const IntervalReadout& readout);
    /// `WipeInterval`: nothing printed.
    void wipe();
    /// The texts as printed, top to bottom.
    QStringList lines() const;
    const std::vector<PanelLine>& layout() const { return lines_; }

    /// The widest value line the panel must hold without cutting it.
    void setWidestValue(const QString& low, const QString& high);
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

  private:
    class Page;
    Page* page_;
    std::vector<PanelLine> lines_;
    QString widest_;
};

} // namespace quendrix
