#include "ui/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

namespace quendrix::ui {

void putPicture(const QImage& picture) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(picture);
}

} // namespace quendrix::ui
