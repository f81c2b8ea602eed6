#include "app/DialogHost.h"

#include "app/AboutBox.h"
#include "app/CoefficientDialog.h"
#include "app/ColourSettingsWindow.h"
#include "app/CoverageDialog.h"
#include "app/SuggestSettingsDialog.h"

#include <utility>

namespace quendrix {

DialogHost::DialogHost(QWidget& window, SessionState& state,
                       std::function<void(int k, const QString& typed)> typed,
                       std::function<void()> coloursChanged,
                       std::function<void(const TrialScore&)> useSuggestion)
    : window_(window), state_(state), typed_(std::move(typed)),
      coloursChanged_(std::move(coloursChanged)), useSuggestion_(std::move(useSuggestion)) {}

DialogHost::~DialogHost() = default;

void DialogHost::openCoefficient(int k, const QString& caption) {
    auto& dialog = coefficientDialogs_[size_t(k)];
    if (!dialog) {
        dialog = new CoefficientDialog(k, &window_);
        QObject::connect(dialog, &CoefficientDialog::committed, &window_,
                         [this, k](const QString& typed) { typed_(k, typed); });
        QObject::connect(dialog, &CoefficientDialog::leftActive, &window_,
                         [this] { activationFollowsDialog_ = true; });
    }
    if (dialog->isVisible()) {
        // Still open: what it holds is committed before it opens on the caption again.
        dialog->close();
    }
    dialog->open(caption);
}

void DialogHost::openAbout() {
    if (!aboutBox_) {
        aboutBox_ = new AboutBox(&window_);
    }
    aboutBox_->show();
    aboutBox_->raise();
}

void DialogHost::showColourSettings() {
    if (!colourSettings_) {
        colourSettings_ = new ColourSettingsWindow(state_, &window_);
        QObject::connect(colourSettings_, &ColourSettingsWindow::coloursChanged, &window_,
                         [this] { coloursChanged_(); });
    }
    colourSettings_->present();
}

ColourSettingsWindow* DialogHost::colourSettings() const {
    return colourSettings_;
}

void DialogHost::showCoverage(const CoverageResult& result) {
    if (!coverage_) {
        coverage_ = new CoverageDialog(&window_);
    }
    coverage_->showResult(result);
}

CoverageDialog* DialogHost::coverage() const {
    return coverage_.data();
}

SuggestSettingsDialog& DialogHost::suggestions() {
    if (!suggestions_) {
        suggestions_ = new SuggestSettingsDialog(&window_);
        QObject::connect(suggestions_, &SuggestSettingsDialog::useSettings, &window_,
                         [this](const TrialScore& t) { useSuggestion_(t); });
    }
    return *suggestions_;
}

SuggestSettingsDialog* DialogHost::suggestionsIfMade() const {
    return suggestions_.data();
}

void DialogHost::mainWindowActivated() {
    // Activation closes (and so commits) a dialog the user has been in and left for the main
    // window. Not one that has not been active yet, nor one opened while the activation that a
    // closing dialog hands back was still on its way: that would swallow the click opening it.
    const bool handedBack = std::exchange(activationFollowsDialog_, false);
    for (auto& dialog : coefficientDialogs_) {
        if (dialog && dialog->isVisible() && dialog->hasBeenActive() && !handedBack) {
            dialog->close();
        }
    }
}

void DialogHost::closeAll() {
    if (aboutBox_) {
        aboutBox_->close();
    }
    for (auto& dialog : coefficientDialogs_) {
        if (dialog) {
            dialog->close();
        }
    }
    if (colourSettings_) {
        colourSettings_->close();
    }
    if (coverage_) {
        coverage_->close();
    }
    if (suggestions_) {
        suggestions_->close();
    }
}

} // namespace quendrix
