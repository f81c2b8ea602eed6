#pragma once

#include <QFileInfo>
#include <QString>
#include <QVariant>
#include <QWidget>

namespace quendrix {

/// The folder of the last file the user saved or printed to, where the print dialog proposes the
/// next PDF. It is kept on the main window, which owns every other window, so that they all share
/// it and a new main window starts without one.
class OutputFolder {
  public:
    /// `path` was just written from `window`.
    static void remember(QWidget* window, const QString& path) {
        if (QWidget* main = owner(window)) {
            main->setProperty(Property, QFileInfo(path).absolutePath());
        }
    }

    /// The folder remembered for `window`; empty until a file was written.
    static QString of(QWidget* window) {
        const QWidget* main = owner(window);
        return main != nullptr ? main->property(Property).toString() : QString();
    }

  private:
    static constexpr char Property[] = "quendrixOutputFolder";

    static QWidget* owner(QWidget* window) {
        while (window != nullptr && window->parentWidget() != nullptr) {
            window = window->parentWidget();
        }
        return window;
    }
};

} // namespace quendrix
