#include "app/IntervalMarks.h"

#include <QPainter>

namespace quendrix {

IntervalMarks::IntervalMarks(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void IntervalMarks::setFrame(const SectionFrame& frame) {
    frame_ = frame;
    update();
}

void IntervalMarks::showReadout(const IntervalReadout& readout) {
    readout_ = readout;
    update();
}

void IntervalMarks::wipe() {
    readout_.reset();
    update();
}

std::vector<ReadoutStroke> IntervalMarks::strokes() const {
    return readout_ ? readoutStrokes(*readout_, frame_) : std::vector<ReadoutStroke>{};
}

void IntervalMarks::paintEvent(QPaintEvent*) {
    QPainter p(this);
    for (const ReadoutStroke& s : strokes()) {
        p.setPen(QPen(s.colour, 1, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(s.line);
    }
}

} // namespace quendrix
