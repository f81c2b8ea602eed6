#include "app/ControlPanel.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace quendrix {
namespace {

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

// Rows of both file groups share one label width, so their values line up.
void addRow(QFormLayout* form, const QString& name, QWidget* value) {
    auto* label = new QLabel(name, value->parentWidget());
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("Std.Dev.: ")));
    form->addRow(label, value);
}

} // namespace

ClickableLabel::ClickableLabel(QWidget* parent) : QWidget(parent), label_(new QLabel(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label_);
    auto* hint = new QLabel(QStringLiteral("%"), this);
    layout->addWidget(hint);
    layout->addStretch();
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Click to type the coefficient"));
    QFont bold = label_->font();
    bold.setUnderline(true);
    label_->setFont(bold);
}

void ClickableLabel::setText(const QString& text) {
    label_->setText(text);
}

QString ClickableLabel::text() const {
    return label_->text();
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

void ClickableLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit clicked();
    }
}

ControlPanel::ControlPanel(QWidget* parent) : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);

    const QString titles[2] = {QStringLiteral("File 1: calibration samples"),
                               QStringLiteral("File 2: error data")};
    for (int f = 0; f < 2; ++f) {
        auto* group = new QGroupBox(titles[f], this);
        auto* form = new QFormLayout(group);
        command1[size_t(f)] = new QPushButton(QStringLiteral("Import data"), group);
        label12[size_t(f)] = valueLabel(group);
        label13[size_t(f)] = valueLabel(group);
        label14[size_t(f)] = valueLabel(group);
        label15[size_t(f)] = valueLabel(group);
        label21[size_t(f)] = valueLabel(group);
        label21[size_t(f)]->setWordWrap(true);
        auto* counts = new QHBoxLayout;
        counts->addWidget(command1[size_t(f)]);
        if (f == 1) {
            check4 = new QCheckBox(QStringLiteral("Generate model"), group);
            counts->addWidget(check4);
        }
        counts->addStretch();
        form->addRow(counts);
        addRow(form, f == 0 ? QStringLiteral("N1:") : QStringLiteral("N2:"), label12[size_t(f)]);
        addRow(form, f == 0 ? QStringLiteral("R1:") : QStringLiteral("R2:"), label13[size_t(f)]);
        addRow(form, QStringLiteral("X:"), label14[size_t(f)]);
        addRow(form, QStringLiteral("Y:"), label15[size_t(f)]);
        addRow(form, QStringLiteral("File:"), label21[size_t(f)]);
        if (f == 1) {
            label17 = valueLabel(group);
            label19 = valueLabel(group);
            check1 = new QCheckBox(QStringLiteral("Show fitting line"), group);
            addRow(form, QStringLiteral("Line:"), label17);
            addRow(form, QStringLiteral("Std.Dev.:"), label19);
            form->addRow(check1);
            slider4 = slider(Qt::Vertical, 1, 20, 1, group);
            slider4->setFixedHeight(90);
            label22 = new QLabel(QStringLiteral("Std.Dev.:"), group);
            auto* model = new QHBoxLayout;
            model->addWidget(slider4);
            model->addWidget(label22);
            model->addStretch();
            startModelLayout_ = new QVBoxLayout;
            model->addLayout(startModelLayout_);
            form->addRow(model);
        }
        column->addWidget(group);
    }

    auto* range = new QGroupBox(QStringLiteral("Axis range (X and Y)"), this);
    auto* rangeRow = new QHBoxLayout(range);
    text1 = new QLineEdit(range);
    text2 = new QLineEdit(range);
    text1->setObjectName(QStringLiteral("Text1"));
    text2->setObjectName(QStringLiteral("Text2"));
    rangeRow->addWidget(new QLabel(QStringLiteral("From"), range));
    rangeRow->addWidget(text1);
    rangeRow->addWidget(new QLabel(QStringLiteral("to"), range));
    rangeRow->addWidget(text2);
    column->addWidget(range);

    auto* settings = new QGroupBox(QStringLiteral("Calibration"), this);
    auto* grid = new QGridLayout(settings);
    slider3 = slider(Qt::Horizontal, 1, 25, 1, settings);
    label7 = valueLabel(settings);
    grid->addWidget(new QLabel(QStringLiteral("Smoothing level:"), settings), 0, 0);
    grid->addWidget(slider3, 0, 1);
    auto* smoothingValue = new QHBoxLayout;
    smoothingValue->addWidget(label7);
    smoothingValue->addWidget(new QLabel(QStringLiteral("% of range"), settings));
    grid->addLayout(smoothingValue, 0, 2);

    slider5 = slider(Qt::Vertical, 0, 10, 1, settings);
    slider5->setFixedHeight(70);
    label23 = valueLabel(settings);
    slider6 = slider(Qt::Horizontal, 0, 10, 1, settings);
    label24 = valueLabel(settings);
    check5 = new QCheckBox(QStringLiteral("Skip"), settings);
    auto* vertical = new QHBoxLayout;
    vertical->addWidget(slider5);
    auto* verticalText = new QVBoxLayout;
    verticalText->addWidget(new QLabel(QStringLiteral("Vertical threshold"), settings));
    verticalText->addWidget(label23);
    verticalText->addWidget(check5);
    vertical->addLayout(verticalText);
    grid->addLayout(vertical, 1, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Horizontal threshold:"), settings), 2, 0);
    grid->addWidget(slider6, 2, 1);
    grid->addWidget(label24, 3, 1, 1, 2);

    const QString names[2] = {QStringLiteral("Confidence coefficient 1:"),
                              QStringLiteral("Confidence coefficient 2:")};
    for (int k = 0; k < 2; ++k) {
        coefficientSliders[size_t(k)] = slider(Qt::Horizontal, 0, 1000, 50, settings);
        label4[size_t(k)] = new ClickableLabel(settings);
        grid->addWidget(new QLabel(names[k], settings), 4 + k, 0);
        grid->addWidget(coefficientSliders[size_t(k)], 4 + k, 1);
        grid->addWidget(label4[size_t(k)], 4 + k, 2);
    }
    check2 = new QCheckBox(QStringLiteral("Show mode"), settings);
    check6 = new QCheckBox(QStringLiteral("Show ave."), settings);
    auto* overlays = new QHBoxLayout;
    overlays->addWidget(check2);
    overlays->addWidget(check6);
    overlays->addStretch();
    grid->addLayout(overlays, 6, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    column->addWidget(settings);

    command3 = new QPushButton(QStringLiteral("Start"), this);
    command10 = new QPushButton(QStringLiteral("Quit"), this);
    auto* buttons = new QHBoxLayout;
    startHomeLayout_ = new QHBoxLayout;
    startHomeLayout_->addWidget(command3);
    buttons->addLayout(startHomeLayout_);
    buttons->addStretch();
    buttons->addWidget(command10);
    column->addLayout(buttons);
    // The workflow hands the focus to the next button to press; Return presses it.
    for (QPushButton* button : {command1[0], command1[1], command3, command10}) {
        button->setAutoDefault(true);
    }
    progressBar1 = new QProgressBar(this);
    progressBar1->setTextVisible(false);
    progressBar1->setMaximumHeight(10);
    // Showing the bar must not shift the controls around it.
    QSizePolicy keep = progressBar1->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    progressBar1->setSizePolicy(keep);
    column->addWidget(progressBar1);
    column->addStretch();
}

void ControlPanel::placeStartButton(bool modelMode) {
    QBoxLayout* target = modelMode ? startModelLayout_ : startHomeLayout_;
    if (target->indexOf(command3) < 0) {
        target->addWidget(command3);
    }
}

} // namespace quendrix
