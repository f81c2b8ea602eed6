#pragma once

#include "session/CalibrationSession.h"

#include <QPointF>
#include <QRectF>
#include <QString>

#include <array>

class QWidget;

namespace quendrix {

class FigurePanel;

/// Keeps the eight figures in step with the session: draws the scatter figures in the committed
/// range, each stage's figure when it has run, clears what the session no longer backs, and
/// writes the committed range along the axes. Knows which figures show a valid result.
class FigureSynchroniser {
  public:
    FigureSynchroniser(CalibrationSession& session, FigurePanel& figures, QWidget& window);

    /// Whether figure n (1..8) shows a valid result (`Pict1Drawn` .. `Pict8Drawn`).
    bool drawn(int n) const;
    /// The first stage figure (3..8) not drawn, 0 when all are.
    int firstUndrawnStage() const;

    /// The range the figures are drawn in and labelled with, from the box texts last committed:
    /// its labels are the numbers read from them. Returns whether it changed.
    bool commitRange(const QString& lowerText, const QString& upperText);
    QString committedLower() const { return lower_; }
    QString committedUpper() const { return upper_; }

    void drawScatter(int f);
    /// White, and no longer a valid result.
    void clearScatter(int f);
    /// Fig.2 with or without file 2's fitting line; only a line the session names is drawn.
    void showFittingLine(bool on);
    bool fittingLineShown() const { return lineShown_; }

    void drawStage(Stage s);
    /// Which overlays Fig.8 shows; a drawn Fig.8 goes back to its region picture and gets them.
    void setOverlays(bool mode, bool average);
    /// Clears every stage figure that shows a drawing its data no longer back.
    void clearStale();
    /// Redraws every drawn figure the current colours or grey-scale mode change: the ramp-coloured
    /// ones always, the scatter figures and the regions only when the grey-scale mode changed.
    void recolour();

    /// The tool tip of a figure under the pointer: the column names it shows.
    void stageHovered(int k);
    void scatterHovered(int f);
    /// What figure n (1..8) shows at widget point `at` of its surface, whose drawing fills
    /// `area`, in the committed range: empty over a figure not drawn.
    QString readingAt(int n, const QRectF& area, const QPointF& at) const;

  private:
    std::pair<double, double> rangeNumbers() const;
    void drawOverlays();
    void maskProbability();
    bool greyScale() const;

    CalibrationSession& session_;
    FigurePanel& figures_;
    QWidget& window_;
    QString lower_;
    QString upper_;
    std::array<bool, 2> scatterDrawn_{};
    // The grey-scale mode the scatter figures and the regions were last drawn in: the only
    // colour setting they depend on.
    std::array<bool, 2> scatterGrey_{};
    bool regionsGrey_ = false;
    std::array<bool, 8> shown_{}; ///< the surface of figure n - 1 holds a drawing
    bool lineShown_ = false;
    bool overlayMode_ = true;
    bool overlayAverage_ = true;
};

} // namespace quendrix
