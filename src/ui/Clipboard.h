#pragma once

class QImage;

namespace quendrix::ui {

/// Clears the system clipboard, then puts `picture` on it as a bitmap; whatever it held before,
/// in any format, is gone.
void putPicture(const QImage& picture);

} // namespace quendrix::ui
