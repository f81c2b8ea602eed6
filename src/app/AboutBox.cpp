#include "app/AboutBox.h"
#include "base/Version.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace quendrix {
namespace {

// A small picture of what the program draws: a band of probability around a calibration line.
QPixmap emblem() {
    QPixmap picture(72, 72);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(50, 127, 50));
    p.drawPolygon(QPolygonF({{4, 60}, {4, 44}, {68, 4}, {68, 22}}));
    p.setBrush(QColor(200, 255, 200));
    p.drawPolygon(QPolygonF({{4, 56}, {4, 48}, {68, 8}, {68, 17}}));
    p.setPen(QPen(QColor(255, 0, 0), 1.5));
    p.drawLine(QPointF(4, 52), QPointF(68, 12.5));
    p.setPen(QPen(Qt::gray, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, 71, 71);
    return picture;
}

QLabel* heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

} // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About ") + QString::fromLatin1(ProgramTitle));
    setModal(false);
    auto* grid = new QGridLayout(this);
    auto* picture = new QLabel(this);
    picture->setPixmap(emblem());
    grid->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);
    auto* name = new QLineEdit(QString::fromLatin1(ProgramTitle), this);
    name->setReadOnly(true);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    name->setFont(big);
    grid->addWidget(name, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Calibration of one measured variable against "
                                              "another, with probability distributions and "
                                              "confidence regions."),
                               this),
                    1, 1);

    int row = 2;
    auto add = [&](const QString& head, const QString& body) {
        grid->addWidget(heading(head, this), row++, 1);
        auto* text = new QLabel(body, this);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        text->setWordWrap(true);
        grid->addWidget(text, row++, 1);
    };
    add(QStringLiteral("Caution! "),
        QStringLiteral("Please use Marovel 2.5 or later version to open %1 output file.  ")
            .arg(QString::fromLatin1(ProgramTitle)));
    add(QStringLiteral("Produced by: "),
        QStringLiteral("The Quendrix developers\nContact: see the README that comes with the "
                       "program"));
    add(QStringLiteral("Special collaborators: "),
        QStringLiteral("Everyone who tried the program on their own data\nand reported what "
                       "they found"));
    add(QStringLiteral("Full description of algorithm presented in:"),
        QStringLiteral("The Quendrix developers (2026)\nThe Quendrix calibration method:\n"
                       "probability distributions and confidence regions on a calibration grid\n"
                       "docs/method.md, distributed with the program"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    grid->addWidget(ok, row, 1, Qt::AlignRight);
    ok->setFocus();
}

void AboutBox::setVisible(bool visible) {
    QDialog::setVisible(visible);
    if (visible) {
        activateWindow();
    }
}

} // namespace quendrix
