#include "app/Remembered.h"

#include "ui/DialogService.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSettings>
#include <QWidget>

#include <algorithm>

namespace quendrix::remembered {
namespace {

// The INI format on every platform, so that one folder (QSettings::setPath) holds it all.
QSettings store() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quendrix"),
                     QStringLiteral("Quendrix"));
}

QString recentKey(int f) {
    return QStringLiteral("RecentFiles/File%1").arg(f + 1);
}

} // namespace

QStringList recentFiles(int f) {
    QStringList files = store().value(recentKey(f)).toStringList();
    files.removeAll(QString());
    return files.mid(0, RecentFileCount);
}

void addRecentFile(int f, const QString& path) {
    const QString full = QFileInfo(path).absoluteFilePath();
    QStringList files = recentFiles(f);
    files.removeAll(full);
    files.prepend(full);
    store().setValue(recentKey(f), files.mid(0, RecentFileCount));
}

QString folder(const QString& dialog) {
    return store().value(QStringLiteral("Folders/") + dialog).toString();
}

void rememberFolder(const QString& dialog, const QString& path, bool isFolder) {
    const QFileInfo info(path);
    store().setValue(QStringLiteral("Folders/") + dialog,
                     isFolder ? info.absoluteFilePath() : info.absolutePath());
}

QString openFileName(ui::DialogService& dialogs, QWidget* parent, const QString& filter,
                     const QString& dialog) {
    const QString path = dialogs.openFileName(parent, filter, folder(dialog));
    if (!path.isEmpty()) {
        rememberFolder(dialog, path);
    }
    return path;
}

QString saveFileName(ui::DialogService& dialogs, QWidget* parent, const QString& filter,
                     const QString& dialog, const QString& defaultSuffix) {
    const QString path = dialogs.saveFileName(parent, filter, folder(dialog), defaultSuffix);
    if (!path.isEmpty()) {
        rememberFolder(dialog, path);
    }
    return path;
}

bool restoreWindowPlace(QWidget& window, const QString& name) {
    QSettings s = store();
    s.beginGroup(QStringLiteral("Windows/") + name);
    const QRect frame = s.value(QStringLiteral("Frame")).toRect();
    const QSize size = s.value(QStringLiteral("Size")).toSize();
    const bool maximized = s.value(QStringLiteral("Maximized")).toBool();
    // A place saved on a screen that is gone or smaller now would put the window out of reach.
    const QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!frame.isValid() || !size.isValid() || screen == nullptr ||
        !screen->availableGeometry().contains(frame)) {
        return false;
    }
    window.resize(size);
    window.move(frame.topLeft());
    if (maximized) {
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    }
    return true;
}

void saveWindowPlace(const QWidget& window, const QString& name) {
    QSettings s = store();
    s.beginGroup(QStringLiteral("Windows/") + name);
    s.setValue(QStringLiteral("Maximized"), window.isMaximized());
    // A maximised window keeps the place it will return to when it is restored.
    if (!window.isMaximized() && !window.isMinimized()) {
        s.setValue(QStringLiteral("Frame"), window.frameGeometry());
        s.setValue(QStringLiteral("Size"), window.size());
    }
}

void keepFrameOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        return;
    }
    const QRect room = screen->availableGeometry();
    const QSize frameExtra = window.frameGeometry().size() - window.geometry().size();
    const QSize fitting =
        window.size().boundedTo(room.size() - frameExtra).expandedTo(window.minimumSize());
    if (fitting != window.size()) {
        window.resize(fitting);
    }
    const QRect frame(window.frameGeometry().topLeft(), fitting + frameExtra);
    if (const QRect inside = insideRoom(frame, room); inside != frame) {
        window.move(inside.topLeft());
    }
}

QRect insideRoom(QRect frame, const QRect& room) {
    frame.moveRight(std::min(frame.right(), room.right()));
    frame.moveBottom(std::min(frame.bottom(), room.bottom()));
    frame.moveLeft(std::max(frame.left(), room.left()));
    frame.moveTop(std::max(frame.top(), room.top()));
    return frame;
}

} // namespace quendrix::remembered
