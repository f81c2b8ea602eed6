#pragma once

#include "colour/ColourEditing.h"
#include "session/SessionState.h"

#include <QDialog>

#include <array>

class QLabel;
class QPushButton;
class QSlider;

namespace quendrix {

class ChannelEditor;
class ColourBar;

/// frmColor, "Colour settings": the red, green and blue editors with draggable breakpoints, the
/// colour bar, the threshold slider, "Grey scale", "Reset" and "OK". Every change acts on the
/// session at once (there is no Cancel) and marks the colours changed, so the windows with
/// matrix figures redraw when next active. It never blocks the other windows.
class ColourSettingsWindow : public QDialog {
    Q_OBJECT
  public:
    ColourSettingsWindow(SessionState& state, QWidget* parent);

    /// Shows the window, loaded afresh from the session when it was closed, and brings it to
    /// the front.
    void present();

    ChannelEditor* editor(int channel) const { return editors_[size_t(channel)]; }
    ColourBar* bar() const { return bar_; }
    /// `Label0(k)`, `Label1(k)`, `Label2(k)`: breakpoint k of `channel` in per cent.
    QLabel* pointLabel(int channel, int k) const { return labels_[size_t(channel)][size_t(k)]; }
    /// `Label3`: the threshold in per cent.
    QLabel* thresholdLabel() const { return thresholdLabel_; }
    QSlider* thresholdSlider() const { return slider_; }
    QPushButton* greyScaleButton() const { return greyScale_; }
    QPushButton* resetButton() const { return reset_; }
    QPushButton* okButton() const { return ok_; }

  signals:
    /// A colour setting changed and the session says so.
    void coloursChanged();

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void load();
    void drawChannelEditors();
    void drawColourBar();
    void showPointLabels();
    void showColourEditors(bool shown);
    void markChanged();

    void editorPressed(int channel, QPointF at);
    void editorMoved(int channel, QPointF at, bool buttonDown);
    void editorReleased(int channel, QPointF at);
    void editorStepped(int channel, int k, int percent);
    void thresholdChanged(int percent);
    void greyScaleClicked();
    void resetClicked();

    SessionState& state_;
    ColourBar* bar_;
    QWidget* thresholdStrip_;
    QLabel* thresholdLabel_;
    QSlider* slider_;
    std::array<ChannelEditor*, 3> editors_{};
    std::array<QWidget*, 3> strips_{};
    std::array<std::array<QLabel*, 4>, 3> labels_{};
    QPushButton* greyScale_;
    QPushButton* reset_;
    QPushButton* ok_;
    BreakpointDrag drag_;
};

} // namespace quendrix
