#include "batch/FigureHandOff.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <unistd.h>
#include <vector>

namespace quendrix {

namespace fs = std::filesystem;

std::optional<std::string> figureProgramFor(const std::string& self) {
    const fs::path dir = fs::path(self).parent_path();
    for (const fs::path& candidate :
         {dir / FigureProgramName, dir / QUENDRIX_HELPER_DIR_FROM_BIN / FigureProgramName}) {
        if (::access(candidate.c_str(), X_OK) == 0 && fs::is_regular_file(candidate)) {
            return candidate.lexically_normal().string();
        }
    }
    return std::nullopt;
}

int handOffToFigureProgram(int argc, const char* const* argv, std::ostream& err) {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    const std::optional<std::string> program = ec ? std::nullopt : figureProgramFor(self.string());
    if (!program) {
        err << "quendrix-batch: --figures needs " << FigureProgramName << ", which is installed "
            << "with the desktop program; it is neither beside "
            << (ec ? std::string("this program") : self.string()) << " nor in "
            << QUENDRIX_HELPER_DIR_FROM_BIN << " from there\n";
        return 1;
    }
    std::vector<char*> args;
    args.push_back(const_cast<char*>(program->c_str()));
    for (int i = 1; i < argc; ++i) {
        args.push_back(const_cast<char*>(argv[i]));
    }
    args.push_back(nullptr);
    std::cout.flush();
    err.flush();
    ::execv(program->c_str(), args.data());
    err << "quendrix-batch: --figures: cannot start " << *program << ": " << std::strerror(errno)
        << '\n';
    return 1;
}

} // namespace quendrix
