#pragma once

#include <QApplication>
#include <QCursor>

namespace quendrix::ui {

/// Shows the busy pointer for the lifetime of the object.
class BusyCursor {
  public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace quendrix::ui
