#pragma once

#include <QPointer>
#include <QString>

#include <array>
#include <functional>

class QWidget;

namespace quendrix {

class AboutBox;
class CoefficientDialog;
class ColourSettingsWindow;
class CoverageDialog;
struct CoverageResult;
class SuggestSettingsDialog;
struct TrialScore;
struct SessionState;

/// The main window's dialogs: the two coefficient dialogs, the about box, the colour settings,
/// the coverage table and the settings search. Each is made on first use and shown again after;
/// they all close with the main window.
class DialogHost {
  public:
    /// `typed` takes what a coefficient dialog commits; `coloursChanged` hears every change the
    /// colour settings make.
    DialogHost(QWidget& window, SessionState& state,
               std::function<void(int k, const QString& typed)> typed,
               std::function<void()> coloursChanged,
               std::function<void(const TrialScore&)> useSuggestion);
    ~DialogHost();

    /// Opens coefficient dialog k (0 or 1) on `caption`; one still open commits first.
    void openCoefficient(int k, const QString& caption);
    void openAbout();
    void showColourSettings();
    ColourSettingsWindow* colourSettings() const;
    void showCoverage(const CoverageResult& result);
    CoverageDialog* coverage() const;
    /// The settings search's dialog, made on first use.
    SuggestSettingsDialog& suggestions();
    SuggestSettingsDialog* suggestionsIfMade() const;

    /// The main window became active: a coefficient dialog the user has left for it commits.
    void mainWindowActivated();
    void closeAll();

  private:
    QWidget& window_;
    SessionState& state_;
    std::function<void(int, const QString&)> typed_;
    std::function<void()> coloursChanged_;
    std::function<void(const TrialScore&)> useSuggestion_;
    std::array<QPointer<CoefficientDialog>, 2> coefficientDialogs_;
    bool activationFollowsDialog_ = false;
    QPointer<AboutBox> aboutBox_;
    QPointer<ColourSettingsWindow> colourSettings_;
    QPointer<CoverageDialog> coverage_;
    QPointer<SuggestSettingsDialog> suggestions_;
};

} // namespace quendrix
