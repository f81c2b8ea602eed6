#pragma once

#include <QKeyEvent>

namespace quendrix::ui {

/// Return, Enter and Space press a focused control that acts on a click, as they press a button.
inline bool isClickKey(const QKeyEvent& event) {
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter ||
           event.key() == Qt::Key_Space;
}

} // namespace quendrix::ui
