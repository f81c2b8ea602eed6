#pragma once

#include <QString>

#include <string>

namespace quendrix::ui {

/// A text of the core (captions, numbers, file names) as the windows show it: the core's
/// texts are bytes read as Latin-1, up to the first NUL.
inline QString qs(const std::string& text) {
    return QString::fromLatin1(text.c_str());
}

/// What a window's text box or label holds, for the core: as Latin-1 bytes.
inline std::string latin1(const QString& text) {
    return text.toLatin1().toStdString();
}

} // namespace quendrix::ui
