#pragma once

#include "base/Result.h"

#include <array>
#include <optional>
#include <string>

namespace quendrix {

/// The picture formats the figures are exported in.
enum class FigureFormat { Png, Svg, Pdf };

/// "png", "svg" or "pdf"; none for anything else.
std::optional<FigureFormat> figureFormat(const std::string& name);
const char* extension(FigureFormat format);

/// What `--figures` asks for: every figure of the main window and the chart's, into `folder`.
struct FigureRequest {
    std::string folder;
    FigureFormat format = FigureFormat::Png;
    int section = 50; ///< the chart's section, % of the X axis
};

inline constexpr int ExportedFigureCount = 9;

/// The files an export writes, in order: fig1 .. fig8, then the chart.
std::array<std::string, ExportedFigureCount> figureFileNames(FigureFormat format);

/// Whether `folder` can take the figures: it must be a folder that can be written into, or a
/// missing one whose parent folder can.
Status checkFigureFolder(const std::string& folder);

} // namespace quendrix
