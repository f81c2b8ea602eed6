#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

class QWidget;

namespace quendrix::ui {
class DialogService;
}

namespace quendrix::remembered {

// What the program keeps between runs in the user's settings file: the files imported last,
// the folder each file dialog was last used in, and where the windows were. Never a setting
// of the calibration: every start begins from the defaults.

inline constexpr int RecentFileCount = 8;

/// The files last imported as file f (0 or 1), the newest first.
QStringList recentFiles(int f);
/// `path` was imported as file f: it moves to the top of the list.
void addRecentFile(int f, const QString& path);

/// The folder the dialog called `dialog` was last used in; empty before its first use.
QString folder(const QString& dialog);
/// The dialog called `dialog` was answered with `path`, a file or (`isFolder`) a folder.
void rememberFolder(const QString& dialog, const QString& path, bool isFolder = false);

/// The file dialogs by the name of what they ask for: each opens where it was last answered,
/// and the folder of its answer is kept.
QString openFileName(ui::DialogService& dialogs, QWidget* parent, const QString& filter,
                     const QString& dialog);
QString saveFileName(ui::DialogService& dialogs, QWidget* parent, const QString& filter,
                     const QString& dialog, const QString& defaultSuffix = QString());

/// Puts `window` where it was when `saveWindowPlace` last saw it, if all of it fits on a
/// screen now; whether it did.
bool restoreWindowPlace(QWidget& window, const QString& name);
void saveWindowPlace(const QWidget& window, const QString& name);

/// Shrinks and moves a shown window so that all of its frame is on its screen: a window sized
/// before the window manager framed it may reach below the screen's edge, status line and all.
void keepFrameOnScreen(QWidget& window);
/// `frame` moved the least that puts it inside `room`, which must be large enough.
QRect insideRoom(QRect frame, const QRect& room);

} // namespace quendrix::remembered
