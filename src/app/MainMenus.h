#pragma once

#include <array>

class QAction;
class QMainWindow;
class QMenu;

namespace quendrix {

/// The main window's menu bar and the pop-up menus of its eight figures. Items whose commands
/// come with later features stand in their places with their captions, disabled.
class MainMenus {
  public:
    explicit MainMenus(QMainWindow& window);

    QAction* commonOutput = nullptr;  ///< "Quendrix common output format", Ctrl+S
    QAction* checkCoverage = nullptr; ///< "Check coverage..."
    QAction* quit = nullptr;
    QAction* about = nullptr;
    QAction* colourSettings = nullptr; ///< "Colour Settings"
    /// "More details" on Fig.7 and Fig.8: the chart in the probability and confidence views.
    std::array<QAction*, 2> details{};
    /// "&Save matrix" on Fig.7 and Fig.8.
    std::array<QAction*, 2> saves{};

    /// The pop-up menu of figure n (1..8), its items enabled as the figure's drawn state says.
    QMenu* figureMenu(int n, bool drawn) const;

  private:
    std::array<QMenu*, 8> figureMenus_{};
};

} // namespace quendrix
