#pragma once

#include <array>

class QAction;
class QMainWindow;
class QMenu;

namespace quendrix {

/// The main window's menu bar and the pop-up menus of its eight figures.
class MainMenus {
  public:
    explicit MainMenus(QMainWindow& window);

    QMenu* recentFiles = nullptr;       ///< "&Recent files", filled by RecentFilesMenu
    QAction* commonOutput = nullptr;    ///< "Quendrix common output format", Ctrl+S
    QAction* exportFigures = nullptr;   ///< "&Export figures...", once the result is drawn
    QAction* checkCoverage = nullptr;   ///< "Check coverage..."
    QAction* suggestSettings = nullptr; ///< "Suggest settings...", once file 1 is imported
    QAction* printOptions = nullptr;    ///< "Print Options"
    QAction* print = nullptr;           ///< "&Print", Ctrl+P
    QAction* quit = nullptr;
    QAction* about = nullptr;
    QAction* colourSettings = nullptr; ///< "Colour Settings"
    QMenu* copyMenu = nullptr;         ///< "&Copy" under "Colour Settings"
    std::array<QAction*, 8> copies{};  ///< its "Fig.&1" .. "Fig.&8", Ctrl+F1 .. Ctrl+F8
    /// "More details" on Fig.7 and Fig.8: the chart in the probability and confidence views.
    std::array<QAction*, 2> details{};
    /// "&Save matrix" on Fig.7 and Fig.8.
    std::array<QAction*, 2> saves{};
    /// "Copy" on each figure's pop-up menu, enabled by the printing commands as the "&Copy"
    /// submenu's items are.
    std::array<QAction*, 8> figureCopies{};

    /// The pop-up menu of figure n (1..8), its chart and save items enabled as the figure's drawn
    /// state says.
    QMenu* figureMenu(int n, bool drawn) const;

  private:
    std::array<QMenu*, 8> figureMenus_{};
};

} // namespace quendrix
