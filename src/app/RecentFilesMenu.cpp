#include "app/RecentFilesMenu.h"

#include "app/Remembered.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace quendrix {

RecentFilesMenu::RecentFilesMenu(QMenu& menu, Import import)
    : menu_(menu), import_(std::move(import)) {
    // Listed as the menu opens, never from an entry's own click: the import that click starts
    // would otherwise delete the entry while it is still being triggered.
    QObject::connect(&menu_, &QMenu::aboutToShow, &menu_, [this] { refresh(); });
    refresh();
}

void RecentFilesMenu::refresh() {
    menu_.clear();
    for (int f = 0; f < 2; ++f) {
        menu_.addSection(QStringLiteral("File %1").arg(f + 1));
        const QStringList files = remembered::recentFiles(f);
        if (files.isEmpty()) {
            menu_.addAction(QStringLiteral("No file imported yet"))->setEnabled(false);
        }
        for (int k = 0; k < int(files.size()); ++k) {
            const QFileInfo info(files[k]);
            // File 1's entries take the digits; the name comes first, since it is what is
            // looked for, and the folder tells apart two files of one name.
            const QString key = f == 0 ? QStringLiteral("&%1 ").arg(k + 1) : QString();
            QAction* entry = menu_.addAction(
                key +
                QStringLiteral("%1   %2").arg(
                    info.fileName().replace(u'&', QStringLiteral("&&")),
                    QDir::toNativeSeparators(info.path()).replace(u'&', QStringLiteral("&&"))));
            entry->setObjectName(QStringLiteral("RecentFile%1_%2").arg(f + 1).arg(k + 1));
            entry->setStatusTip(QDir::toNativeSeparators(files[k]));
            QObject::connect(entry, &QAction::triggered, &menu_,
                             [this, f, path = files[k]] { import_(f, path); });
        }
    }
}

} // namespace quendrix
