#include "app/ColourSettingsWindow.h"

#include "app/ChannelEditor.h"
#include "app/ColourBar.h"
#include "session/ColourChangeProtocol.h"
#include "ui/SliderFocusStyle.h"
#include "ui/Text.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace quendrix {
namespace {

constexpr int EditorHeight = 64;
constexpr int BarHeight = 24;
constexpr int MinimumWidth = 360;

using ui::qs;

// A strip as high as a label, where labels are placed by hand under the points they name.
QWidget* labelStrip(QWidget* parent) {
    auto* strip = new QWidget(parent);
    strip->setFixedHeight(QLabel(QStringLiteral("0"), strip).sizeHint().height());
    return strip;
}

// Centred on pixel x of `anchor` and kept inside `strip`, so a point dragged beyond the editor
// still shows its value at the edge.
void placeLabel(QLabel* label, const QString& text, const QWidget* anchor, double x,
                const QWidget* strip) {
    label->setText(text);
    label->adjustSize();
    const double left = anchor->mapTo(strip->parentWidget(), QPoint(0, 0)).x() - strip->x() + x -
                        label->width() / 2.0;
    const int most = std::max(0, strip->width() - label->width());
    label->move(std::clamp(int(std::lround(left)), 0, most), 0);
}

} // namespace

ColourSettingsWindow::ColourSettingsWindow(SessionState& state, QWidget* parent)
    : QDialog(parent), state_(state), bar_(new ColourBar(this)), thresholdStrip_(labelStrip(this)),
      thresholdLabel_(new QLabel(thresholdStrip_)), slider_(new QSlider(Qt::Horizontal, this)),
      greyScale_(new QPushButton(QStringLiteral("Grey scale"), this)),
      reset_(new QPushButton(QStringLiteral("Reset"), this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)) {
    setObjectName(QStringLiteral("frmColor"));
    setWindowTitle(QStringLiteral("Colour settings"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(2);
    layout->addWidget(thresholdStrip_);
    bar_->setFixedHeight(BarHeight);
    bar_->setMinimumWidth(MinimumWidth);
    bar_->setObjectName(QStringLiteral("Picture1"));
    layout->addWidget(bar_);
    slider_->setObjectName(QStringLiteral("Slider1"));
    slider_->setRange(0, 100);
    slider_->setSingleStep(1);
    slider_->setPageStep(10);
    slider_->setAccessibleName(QStringLiteral("Threshold"));
    slider_->setToolTip(QStringLiteral("Values at or below the threshold are not coloured"));
    slider_->installEventFilter(this);
    layout->addWidget(slider_);
    layout->addSpacing(6);

    const QString names[3] = {QStringLiteral("Red"), QStringLiteral("Green"),
                              QStringLiteral("Blue")};
    for (int c = 0; c < 3; ++c) {
        auto* editor = new ChannelEditor(this);
        editor->setObjectName(QStringLiteral("Picture2_%1").arg(c));
        editor->setAccessibleName(names[c]);
        editor->setFixedHeight(EditorHeight);
        editor->setMinimumWidth(MinimumWidth);
        editors_[size_t(c)] = editor;
        strips_[size_t(c)] = labelStrip(this);
        for (int k = 0; k < 4; ++k) {
            auto* label = new QLabel(strips_[size_t(c)]);
            label->setObjectName(QStringLiteral("Label%1_%2").arg(c).arg(k));
            labels_[size_t(c)][size_t(k)] = label;
        }
        layout->addWidget(editor);
        layout->addWidget(strips_[size_t(c)]);
        connect(editor, &ChannelEditor::pressed, this,
                [this, c](QPointF at) { editorPressed(c, at); });
        connect(editor, &ChannelEditor::moved, this,
                [this, c](QPointF at, bool down) { editorMoved(c, at, down); });
        connect(editor, &ChannelEditor::released, this,
                [this, c](QPointF at) { editorReleased(c, at); });
        connect(editor, &ChannelEditor::stepRequested, this,
                [this, c](int k, int percent) { editorStepped(c, k, percent); });
    }
    thresholdLabel_->setObjectName(QStringLiteral("Label3"));

    auto* buttons = new QHBoxLayout;
    greyScale_->setObjectName(QStringLiteral("Command1"));
    reset_->setObjectName(QStringLiteral("Command3"));
    ok_->setObjectName(QStringLiteral("Command2"));
    ok_->setDefault(true);
    buttons->addWidget(greyScale_);
    buttons->addWidget(reset_);
    buttons->addStretch();
    buttons->addWidget(ok_);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    // Tab from top to bottom: the buttons were made first.
    QWidget* const chain[] = {slider_,    editors_[0], editors_[1], editors_[2],
                              greyScale_, reset_,      ok_};
    for (size_t i = 1; i < std::size(chain); ++i) {
        setTabOrder(chain[i - 1], chain[i]);
    }

    connect(slider_, &QSlider::valueChanged, this, &ColourSettingsWindow::thresholdChanged);
    connect(greyScale_, &QPushButton::clicked, this, &ColourSettingsWindow::greyScaleClicked);
    connect(reset_, &QPushButton::clicked, this, &ColourSettingsWindow::resetClicked);
    connect(ok_, &QPushButton::clicked, this, &QWidget::close);
    ui::showSliderFocus(this);
    load();
}

void ColourSettingsWindow::present() {
    if (!isVisible()) {
        load();
    }
    show();
    raise();
    activateWindow();
    drawColourBar();
    drawChannelEditors();
    showPointLabels();
}

// Opening: the editors as the mode needs them, the slider where the threshold stands. Nothing
// changes, so nothing is marked.
void ColourSettingsWindow::load() {
    showColourEditors(!state_.colour.greyScale);
    const QSignalBlocker block(slider_);
    slider_->setValue(std::clamp(wholePercent(state_.colour.threshold), 0, 100));
}

void ColourSettingsWindow::drawChannelEditors() {
    const QColor lines[3] = {QColor(255, 0, 0), QColor(0, 255, 0),
                             state_.colour.greyScale ? QColor(0, 0, 0) : QColor(0, 0, 255)};
    for (int c = 0; c < 3; ++c) {
        editors_[size_t(c)]->setBreakpoints(state_.colour.points[size_t(c)], lines[c]);
    }
}

void ColourSettingsWindow::drawColourBar() {
    state_.colour.threshold = thresholdOfPercent(slider_->value());
    bar_->draw(state_.colour);
}

void ColourSettingsWindow::showPointLabels() {
    for (int c = 0; c < 3; ++c) {
        for (int k = 0; k < 4; ++k) {
            const float b = state_.colour.points[size_t(c)][size_t(k)];
            placeLabel(labels_[size_t(c)][size_t(k)], qs(percentText(b)), editors_[size_t(c)],
                       editors_[size_t(c)]->pixelX(b), strips_[size_t(c)]);
        }
    }
    const float t = state_.colour.threshold;
    placeLabel(thresholdLabel_, qs(percentText(t)), bar_, bar_->pixelX(t), thresholdStrip_);
}

// In grey scale only the third editor remains, as the grey editor; the window closes the gap.
void ColourSettingsWindow::showColourEditors(bool shown) {
    for (int c = 0; c < 2; ++c) {
        editors_[size_t(c)]->setVisible(shown);
        strips_[size_t(c)]->setVisible(shown);
    }
    layout()->activate();
    resize(width(), sizeHint().height());
}

void ColourSettingsWindow::markChanged() {
    markColourChanged(state_);
    emit coloursChanged();
}

void ColourSettingsWindow::editorPressed(int channel, QPointF at) {
    ChannelEditor* editor = editors_[size_t(channel)];
    if (drag_.press(state_.colour.points, channel, at.x(), at.y(), editor->scale())) {
        for (int k = 0; k < 4; ++k) {
            if (drag_.grabbed(k)) {
                editor->setSelected(k);
                break;
            }
        }
    }
}

void ColourSettingsWindow::editorMoved(int channel, QPointF at, bool buttonDown) {
    ChannelEditor* editor = editors_[size_t(channel)];
    if (overBreakpoint(state_.colour.points, channel, at.x(), at.y(), editor->scale())) {
        editor->setCursor(Qt::SizeHorCursor);
    } else {
        editor->unsetCursor();
    }
    if (buttonDown && drag_.channel() == channel &&
        drag_.move(state_.colour, at.x(), editor->scale())) {
        // The bar waits for the release: dragging stays smooth.
        drawChannelEditors();
        showPointLabels();
    }
}

void ColourSettingsWindow::editorReleased(int channel, QPointF at) {
    ChannelEditor* editor = editors_[size_t(channel)];
    const bool moved =
        drag_.channel() == channel && drag_.release(state_.colour, at.x(), editor->scale());
    drawChannelEditors();
    drawColourBar();
    showPointLabels();
    if (moved) {
        markChanged();
    }
    ok_->setFocus();
    editor->unsetCursor();
}

void ColourSettingsWindow::editorStepped(int channel, int k, int percent) {
    stepBreakpoint(state_.colour, channel, k, percent);
    drawChannelEditors();
    drawColourBar();
    showPointLabels();
    markChanged();
}

// Any change of the threshold, by mouse, keyboard, wheel or the buttons, acts at once.
void ColourSettingsWindow::thresholdChanged(int) {
    drawColourBar();
    showPointLabels();
    markChanged();
}

void ColourSettingsWindow::greyScaleClicked() {
    applyGreyScale(state_.colour);
    slider_->setValue(0);
    showColourEditors(false);
    drawColourBar();
    drawChannelEditors();
    showPointLabels();
    markChanged();
}

void ColourSettingsWindow::resetClicked() {
    resetColours(state_.colour);
    slider_->setValue(10);
    showColourEditors(true);
    drawColourBar();
    drawChannelEditors();
    showPointLabels();
    markChanged();
}

bool ColourSettingsWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        drawColourBar();
        drawChannelEditors();
        showPointLabels();
    }
    return QDialog::event(event);
}

// A mouse release on the threshold slider hands the focus to "OK"; keyboard steps keep it.
bool ColourSettingsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == slider_ && event->type() == QEvent::MouseButtonRelease) {
        ok_->setFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void ColourSettingsWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    showPointLabels();
}

} // namespace quendrix
