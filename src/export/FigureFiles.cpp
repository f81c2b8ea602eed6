#include "export/FigureFiles.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace quendrix {

namespace fs = std::filesystem;

std::optional<FigureFormat> figureFormat(const std::string& name) {
    if (name == "png") {
        return FigureFormat::Png;
    }
    if (name == "svg") {
        return FigureFormat::Svg;
    }
    if (name == "pdf") {
        return FigureFormat::Pdf;
    }
    return std::nullopt;
}

const char* extension(FigureFormat format) {
    switch (format) {
    case FigureFormat::Svg:
        return "svg";
    case FigureFormat::Pdf:
        return "pdf";
    case FigureFormat::Png:
        break;
    }
    return "png";
}

std::array<std::string, ExportedFigureCount> figureFileNames(FigureFormat format) {
    std::array<std::string, ExportedFigureCount> names;
    const std::string ext = std::string(".") + extension(format);
    for (int n = 1; n <= 8; ++n) {
        names[size_t(n - 1)] = "fig" + std::to_string(n) + ext;
    }
    names[8] = "chart" + ext;
    return names;
}

Status checkFigureFolder(const std::string& folder) {
    if (folder.empty()) {
        return Failure{"no folder given"};
    }
    std::error_code ec;
    const fs::file_status st = fs::status(folder, ec);
    if (fs::exists(st)) {
        if (!fs::is_directory(st)) {
            return Failure{"'" + folder + "' is not a folder"};
        }
        if (::access(folder.c_str(), W_OK | X_OK) != 0) {
            return Failure{"cannot write into '" + folder + "': " + std::strerror(errno)};
        }
        return {};
    }
    // Only the last level is created: a missing parent is more likely a typing error.
    fs::path parent = fs::path(folder).parent_path();
    if (parent.empty()) {
        parent = ".";
    }
    if (!fs::is_directory(parent, ec)) {
        return Failure{"'" + folder + "' does not exist, nor does its parent folder '" +
                       parent.string() + "'"};
    }
    if (::access(parent.c_str(), W_OK | X_OK) != 0) {
        return Failure{"cannot create '" + folder + "' in '" + parent.string() +
                       "': " + std::strerror(errno)};
    }
    return {};
}

} // namespace quendrix
