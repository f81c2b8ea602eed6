#pragma once

#include <QString>

#include <string>

namespace quendrix::ui {

/// A text of the core (captions, numbers, file names) as the windows show it: the core's
/// texts are bytes read as Latin-1, up to the first NUL.
inline QString qs(const std::string& text) {
    return QString::fromLatin1(text.c_str());
}

} // namespace quendrix::ui
