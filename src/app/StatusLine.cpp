#include "app/StatusLine.h"

#include "ui/ElidedLabel.h"

#include <QStatusBar>

namespace quendrix {

StatusLine::StatusLine(QStatusBar& bar)
    : label_(new ui::ElidedLabel(ui::ElidedLabel::Mode::End, &bar)) {
    bar.addWidget(label_, 1);
}

void StatusLine::show(const QString& message) {
    label_->setText(sentence(message));
}

void StatusLine::clear() {
    label_->setText(QString());
}

QString StatusLine::text() const {
    return label_->text();
}

QString StatusLine::sentence(QString message) {
    message = message.trimmed();
    while (message.endsWith(QLatin1Char('.'))) {
        message.chop(1);
    }
    if (!message.isEmpty()) {
        message[0] = message[0].toUpper();
    }
    return message;
}

} // namespace quendrix
