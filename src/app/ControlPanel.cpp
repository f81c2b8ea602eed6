#include "app/ControlPanel.h"

#include "app/ClickableLabel.h"
#include "ui/ElidedLabel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace quendrix {
namespace {

constexpr int RowSpacing = 2;

QSlider* slider(Qt::Orientation orientation, int minimum, int maximum, int page, QWidget* parent) {
    auto* s = new QSlider(orientation, parent);
    s->setRange(minimum, maximum);
    s->setSingleStep(1);
    s->setPageStep(page);
    s->setTickPosition(QSlider::NoTicks);
    return s;
}

QLabel* valueLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// Hidden controls keep their room, so showing them moves nothing.
void keepRoomWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

QGroupBox* group(const QString& title, QWidget* parent) {
    return new QGroupBox(title, parent);
}

QGridLayout* tightGrid(QWidget* owner) {
    auto* grid = new QGridLayout(owner);
    grid->setContentsMargins(8, 4, 8, 6);
    grid->setVerticalSpacing(RowSpacing);
    return grid;
}

QHBoxLayout* row() {
    auto* layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    return layout;
}

QVBoxLayout* column() {
    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(RowSpacing);
    return layout;
}

// A place for "Start": as large as the button, so that moving it leaves both places as they are.
QWidget* startSlot(QWidget* parent, QSize size) {
    auto* slot = new QWidget(parent);
    slot->setFixedSize(size);
    return slot;
}

} // namespace

ControlPanel::ControlPanel(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    run.start = new QPushButton(QStringLiteral("Start"), this);
    run.quit = new QPushButton(QStringLiteral("Quit"), this);
    layout->addWidget(buildFileGroup(0));
    layout->addWidget(buildFileGroup(1));
    layout->addWidget(buildRangeGroup());
    layout->addWidget(buildCalibrationGroup());

    run.progress = new QProgressBar(this);
    run.progress->setTextVisible(false);
    run.progress->setMaximumHeight(10);
    keepRoomWhenHidden(run.progress);
    auto* buttons = row();
    startSlots_[0] = startSlot(this, run.start->sizeHint());
    buttons->addWidget(startSlots_[0]);
    buttons->addWidget(run.progress, 1);
    buttons->addWidget(run.quit);
    layout->addLayout(buttons);
    layout->addStretch();

    // Return presses the button the workflow hands the focus to; "Quit" only on Space or a
    // click, so that a stray Return never ends the session.
    for (QPushButton* button : {file[0].importButton, file[1].importButton, run.start}) {
        button->setAutoDefault(true);
    }
    run.quit->setAutoDefault(false);
    placeStartButton(false);
}

QWidget* ControlPanel::buildFileGroup(int f) {
    FileControls& c = file[size_t(f)];
    auto* box = group(f == 0 ? QStringLiteral("File 1: calibration samples")
                             : QStringLiteral("File 2: error data"),
                      this);
    auto* grid = tightGrid(box);
    c.importButton = new QPushButton(QStringLiteral("Import data"), box);
    c.path = new ui::ElidedLabel(ui::ElidedLabel::Mode::Path, box);
    c.count = valueLabel(box);
    c.correlation = valueLabel(box);
    c.xName = new ui::ElidedLabel(ui::ElidedLabel::Mode::End, box);
    c.yName = new ui::ElidedLabel(ui::ElidedLabel::Mode::End, box);

    auto* importRow = row();
    importRow->addWidget(c.importButton);
    importRow->addWidget(c.path, 1);
    grid->addLayout(importRow, 0, 0, 1, 3);
    // N and R share a row; N keeps room for 10000 so that R never moves.
    c.count->setMinimumWidth(c.count->fontMetrics().horizontalAdvance(QStringLiteral("100000")));
    auto* counts = row();
    counts->addWidget(c.count);
    counts->addWidget(new QLabel(f == 0 ? QStringLiteral("R1:") : QStringLiteral("R2:"), box));
    counts->addWidget(c.correlation, 1);
    grid->addWidget(new QLabel(f == 0 ? QStringLiteral("N1:") : QStringLiteral("N2:"), box), 1, 0);
    grid->addLayout(counts, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("X:"), box), 2, 0);
    grid->addWidget(c.xName, 2, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Y:"), box), 3, 0);
    grid->addWidget(c.yName, 3, 1, 1, 2);
    // Both groups share the label column's width, so their values line up.
    const int labelWidth = box->fontMetrics().horizontalAdvance(QStringLiteral("Std.Dev.:")) + 4;
    grid->setColumnMinimumWidth(0, labelWidth);
    grid->setColumnStretch(1, 1);
    if (f == 1) {
        // File 2's line beside the model that can replace it.
        model.fittingLine = new ui::ElidedLabel(ui::ElidedLabel::Mode::End, box);
        model.stdDev = valueLabel(box);
        model.showFittingLine = new QCheckBox(QStringLiteral("Show fitting line"), box);
        auto* line = new QGridLayout;
        line->setContentsMargins(0, 0, 0, 0);
        line->setVerticalSpacing(RowSpacing);
        line->setColumnMinimumWidth(0, labelWidth);
        line->setColumnStretch(1, 1);
        line->addWidget(new QLabel(QStringLiteral("Line:"), box), 0, 0);
        line->addWidget(model.fittingLine, 0, 1);
        line->addWidget(new QLabel(QStringLiteral("Std.Dev.:"), box), 1, 0);
        line->addWidget(model.stdDev, 1, 1);
        // The check box sits at the bottom, level with the place "Start" moves to.
        line->setRowStretch(2, 1);
        line->addWidget(model.showFittingLine, 3, 0, 1, 2);
        auto* lineAndModel = row();
        lineAndModel->addLayout(line, 1);
        lineAndModel->addWidget(buildModelBlock(box));
        grid->addLayout(lineAndModel, 4, 0, 1, 3);
    }
    return box;
}

// "Generate model" above its slider, the slider's caption and the place "Start" moves to.
QWidget* ControlPanel::buildModelBlock(QWidget* parent) {
    auto* block = new QWidget(parent);
    auto* layout = column();
    block->setLayout(layout);
    model.generateModel = new QCheckBox(QStringLiteral("Generate model"), block);
    layout->addWidget(model.generateModel);
    model.modelSlider = slider(Qt::Vertical, 1, 20, 1, block);
    model.modelCaption = new QLabel(QStringLiteral("Std.Dev.:"), block);
    model.modelCaption->setWordWrap(true);
    // Wide enough for "Std.Dev.: 20 %" on its first line; "of range" wraps below.
    model.modelCaption->setFixedWidth(
        model.modelCaption->fontMetrics().horizontalAdvance(QStringLiteral("Std.Dev.: 20 %")) + 2);
    model.modelCaption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    startSlots_[1] = startSlot(block, run.start->sizeHint());
    auto* captionAndStart = column();
    captionAndStart->addWidget(model.modelCaption, 1);
    captionAndStart->addWidget(startSlots_[1]);
    auto* sliderRow = row();
    sliderRow->addWidget(model.modelSlider);
    sliderRow->addLayout(captionAndStart);
    layout->addLayout(sliderRow);
    const int sliderHeight = model.modelCaption->fontMetrics().lineSpacing() * 2 + RowSpacing +
                             run.start->sizeHint().height();
    model.modelSlider->setFixedHeight(sliderHeight);
    keepRoomWhenHidden(model.modelSlider);
    keepRoomWhenHidden(model.modelCaption);
    return block;
}

QWidget* ControlPanel::buildRangeGroup() {
    auto* box = group(QStringLiteral("Axis range (X and Y)"), this);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(8, 4, 8, 6);
    range.lower = new QLineEdit(box);
    range.upper = new QLineEdit(box);
    range.lower->setObjectName(QStringLiteral("Text1"));
    range.upper->setObjectName(QStringLiteral("Text2"));
    layout->addWidget(new QLabel(QStringLiteral("From"), box));
    layout->addWidget(range.lower);
    layout->addWidget(new QLabel(QStringLiteral("to"), box));
    layout->addWidget(range.upper);
    return box;
}

QWidget* ControlPanel::buildCalibrationGroup() {
    auto* box = group(QStringLiteral("Calibration"), this);
    auto* grid = tightGrid(box);

    smoothing.slider = slider(Qt::Horizontal, 1, 25, 1, box);
    smoothing.value = valueLabel(box);
    smoothing.value->setFixedWidth(
        smoothing.value->fontMetrics().horizontalAdvance(QStringLiteral("25")));
    smoothing.value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* smoothingRow = row();
    smoothingRow->addWidget(smoothing.slider, 1);
    smoothingRow->addWidget(smoothing.value);
    smoothingRow->addWidget(new QLabel(QStringLiteral("% of range"), box));
    grid->addWidget(new QLabel(QStringLiteral("Smoothing level:"), box), 0, 0);
    grid->addLayout(smoothingRow, 0, 1);

    // The two thresholds side by side: the vertical slider beside its captions and "Skip", the
    // horizontal one between its two captions.
    thresholds.vertical = slider(Qt::Vertical, 0, 10, 1, box);
    thresholds.verticalCaption = valueLabel(box);
    thresholds.skip = new QCheckBox(QStringLiteral("Skip"), box);
    thresholds.horizontal = slider(Qt::Horizontal, 0, 10, 1, box);
    thresholds.horizontalCaption = valueLabel(box);
    const int captionWidth =
        box->fontMetrics().horizontalAdvance(QStringLiteral("Threshold: 10 sample(s)")) + 2;
    thresholds.verticalCaption->setMinimumWidth(captionWidth);
    thresholds.horizontalCaption->setMinimumWidth(captionWidth);
    auto* verticalText = column();
    verticalText->addWidget(new QLabel(QStringLiteral("Vertical threshold"), box));
    verticalText->addWidget(thresholds.verticalCaption);
    verticalText->addWidget(thresholds.skip);
    auto* verticalBlock = row();
    verticalBlock->addWidget(thresholds.vertical);
    verticalBlock->addLayout(verticalText);
    auto* horizontalBlock = column();
    horizontalBlock->addWidget(new QLabel(QStringLiteral("Horizontal threshold"), box));
    horizontalBlock->addWidget(thresholds.horizontal);
    horizontalBlock->addWidget(thresholds.horizontalCaption);
    auto* thresholdRow = row();
    thresholdRow->setSpacing(12);
    thresholdRow->addLayout(verticalBlock);
    thresholdRow->addLayout(horizontalBlock, 1);
    grid->addLayout(thresholdRow, 1, 0, 1, 2);
    thresholds.vertical->setFixedHeight(verticalText->sizeHint().height());

    const QString names[2] = {QStringLiteral("Confidence coefficient 1:"),
                              QStringLiteral("Confidence coefficient 2:")};
    for (int k = 0; k < 2; ++k) {
        const auto i = size_t(k);
        coefficients.sliders[i] = slider(Qt::Horizontal, 0, 1000, 50, box);
        coefficients.values[i] = new ClickableLabel(box);
        auto* coefficientRow = row();
        coefficientRow->addWidget(coefficients.sliders[i], 1);
        coefficientRow->addWidget(coefficients.values[i]);
        grid->addWidget(new QLabel(names[k], box), 2 + k, 0);
        grid->addLayout(coefficientRow, 2 + k, 1);
    }
    coefficients.showMode = new QCheckBox(QStringLiteral("Show mode"), box);
    coefficients.showAverage = new QCheckBox(QStringLiteral("Show ave."), box);
    auto* overlays = row();
    overlays->addWidget(coefficients.showMode);
    overlays->addWidget(coefficients.showAverage);
    overlays->addStretch();
    coefficients.colourSettings = new QPushButton(QStringLiteral("Colour settings"), box);
    coefficients.colourSettings->setObjectName(QStringLiteral("Command2"));
    overlays->addWidget(coefficients.colourSettings);
    grid->addLayout(overlays, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    return box;
}

void ControlPanel::placeStartButton(bool modelMode) {
    QWidget* slot = startSlots_[modelMode ? 1 : 0];
    if (run.start->parentWidget() != slot) {
        const bool hadFocus = run.start->hasFocus();
        run.start->setParent(slot);
        run.start->setGeometry(slot->rect());
        run.start->show();
        if (hadFocus) {
            run.start->setFocus();
        }
    }
    // Tab reaches "Start" where it stands.
    QWidget* before =
        modelMode ? static_cast<QWidget*>(model.modelSlider) : coefficients.colourSettings;
    QWidget* after = modelMode ? static_cast<QWidget*>(range.lower) : run.quit;
    setTabOrder(before, run.start);
    setTabOrder(run.start, after);
}

} // namespace quendrix
