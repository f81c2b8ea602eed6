#pragma once

namespace quendrix::ui {

/// Layout units (twips) per screen pixel: printing places every control where it stands on screen.
inline constexpr double FormUnitsPerPixel = 15;

/// The side of a main window figure in layout units: the scale of its drawing both ways, in the
/// window, on the printed page and in the figure files.
inline constexpr double MainFigureSide = 1875;

} // namespace quendrix::ui
