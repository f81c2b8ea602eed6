#include "app/FocusPolicy.h"

#include "app/ControlPanel.h"
#include "app/FigurePanel.h"
#include "ui/FigureSurface.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace quendrix {
namespace {

using E = FocusEvent;
using T = FocusTarget;

constexpr unsigned on(FocusEvent event) {
    return 1u << unsigned(event);
}
constexpr unsigned NextStep = on(E::Opened) | on(E::Imported) | on(E::ModelSwitched) |
                              on(E::StagesRefused) | on(E::StagesRun) | on(E::RangeCommitted);
constexpr unsigned Any = ~0u;

bool always(const FocusState&) {
    return true;
}
bool importedFileUnusable(const FocusState& s) {
    return s.file == 0 ? !s.file1Usable : !s.file2Line;
}
bool noFile1(const FocusState& s) {
    return !s.file1Usable;
}
bool noRange(const FocusState& s) {
    return !s.rangeSet;
}
bool errorModelFailed(const FocusState& s) {
    return s.failed == Stage::GaussianModel;
}
bool generatedModelFailed(const FocusState& s) {
    return s.generatedModel && errorModelFailed(s);
}
bool noErrorModel(const FocusState& s) {
    return !s.generatedModel && (!s.file2Line || errorModelFailed(s));
}
bool samplesOutsideRange(const FocusState& s) {
    return s.failed == Stage::DescreteModel;
}
bool smoothingFailed(const FocusState& s) {
    return s.failed == Stage::Smoothing;
}
bool startEnabled(const FocusState& s) {
    return s.startEnabled;
}
bool figureLeft(const FocusState& s) {
    return s.nextFigure != 0;
}

struct Rule {
    unsigned events;
    bool (*when)(const FocusState&);
    FocusTarget target;
};

// Read from the top: every rule whose event and condition hold offers its target, and the first
// target that can take the focus gets it. The next step of the workflow is the first missing
// input (file 1, the range, the error model), then "Start", then the next figure to compute.
constexpr Rule Rules[] = {
    {on(E::ImportFailed), always, T::ImportedFile},
    {on(E::SettingChanged), always, T::Keep},
    {on(E::Imported), importedFileUnusable, T::ImportedFile},
    {NextStep, noFile1, T::ImportFile1},
    {NextStep, noRange, T::RangeLower},
    {NextStep, generatedModelFailed, T::ModelSlider},
    {NextStep, noErrorModel, T::ImportFile2},
    {on(E::StagesRefused), samplesOutsideRange, T::RangeLower},
    {on(E::StagesRefused), smoothingFailed, T::SmoothingSlider},
    {on(E::StagesRefused), always, T::Keep},
    {on(E::Imported) | on(E::ModelSwitched), startEnabled, T::Start},
    {NextStep, figureLeft, T::NextFigure},
    {NextStep, always, T::ResultFigure},
    {Any, always, T::Keep},
    {Any, always, T::ImportFile1},
};

} // namespace

FocusPolicy::FocusPolicy(ControlPanel& controls, FigurePanel& figures, QWidget& window)
    : controls_(controls), figures_(figures), window_(window) {}

std::vector<FocusTarget> FocusPolicy::targets(FocusEvent event, const FocusState& state) {
    std::vector<FocusTarget> out;
    for (const Rule& rule : Rules) {
        if ((rule.events & on(event)) != 0 && rule.when(state)) {
            out.push_back(rule.target);
        }
    }
    return out;
}

void FocusPolicy::begin() {
    before_ = window_.focusWidget();
}

void FocusPolicy::apply(FocusEvent event, const FocusState& state) {
    for (FocusTarget target : targets(event, state)) {
        if (QWidget* widget = resolve(target, state)) {
            widget->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

QWidget* FocusPolicy::resolve(FocusTarget target, const FocusState& state) const {
    QWidget* widget = nullptr;
    switch (target) {
    case T::Keep:
        widget = before_;
        break;
    case T::ImportedFile:
        widget = controls_.file[size_t(state.file)].importButton;
        break;
    case T::ImportFile1:
        widget = controls_.file[0].importButton;
        break;
    case T::ImportFile2:
        widget = controls_.file[1].importButton;
        break;
    case T::ModelSlider:
        widget = controls_.model.modelSlider;
        break;
    case T::RangeLower:
        widget = controls_.range.lower->text().isEmpty() || !controls_.range.upper->text().isEmpty()
                     ? controls_.range.lower
                     : controls_.range.upper;
        break;
    case T::SmoothingSlider:
        widget = controls_.smoothing.slider;
        break;
    case T::Start:
        widget = controls_.run.start;
        break;
    case T::NextFigure:
        widget = state.nextFigure != 0 ? figures_.figure(state.nextFigure) : nullptr;
        break;
    case T::ResultFigure:
        widget = figures_.figure(8);
        break;
    }
    const bool canTakeFocus = widget != nullptr && widget->isEnabled() &&
                              widget->isVisibleTo(&window_) &&
                              widget->focusPolicy() != Qt::NoFocus && !discardsWork(widget);
    return canTakeFocus ? widget : nullptr;
}

bool FocusPolicy::discardsWork(const QWidget* widget) const {
    return widget == controls_.run.quit || widget == controls_.model.generateModel;
}

} // namespace quendrix
