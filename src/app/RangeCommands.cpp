#include "app/Workflow.h"

#include "app/ControlPanel.h"
#include "app/DialogHost.h"
#include "base/NumberText.h"
#include "ui/DialogService.h"
#include "ui/Text.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>

#include <utility>

namespace quendrix {
namespace {

using ui::latin1;
using ui::qs;

} // namespace

// The range boxes: typing undoes the results, leaving a box or Return commits the range.

/// Writes the session's range texts into the boxes; they are committed, not typed.
void Workflow::writeRangeBoxes() {
    const QSignalBlocker lower(controls_.range.lower);
    const QSignalBlocker upper(controls_.range.upper);
    controls_.range.lower->setText(qs(session_.captions().lowerText));
    controls_.range.upper->setText(qs(session_.captions().upperText));
}

// Typing undoes every result after the scatter figures at once; the scatter figures and the
// axis labels keep the committed range until the new one is committed.
void Workflow::rangeTextChanged() {
    focus_.begin();
    const bool modelWasOn = session_.generatedModel();
    session_.setRangeTexts(latin1(controls_.range.lower->text()),
                           latin1(controls_.range.upper->text()));
    if (modelWasOn) {
        resetModelControls();
    }
    controls_.model.showFittingLine->setChecked(false);
    sync_.showFittingLine(false);
    sync_.clearStale();
    syncControls();
    status_.clear();
    focus_.apply(FocusEvent::SettingChanged, focusState());
}

void Workflow::rangeReturnPressed() {
    if (rangeEditFinished()) {
        focus_.begin();
        focus_.apply(FocusEvent::RangeCommitted, focusState());
    }
}

bool Workflow::rangeEditFinished() {
    // Read from the texts as typed: a refusal puts the last accepted ones back.
    const QString notes = rangeReadingNotes();
    if (Status st = session_.validateRange(); !st) {
        if (st.kind() == FailureKind::EqualBounds) {
            dialogs_.exclamation(&window_, QStringLiteral("Error"),
                                 QStringLiteral("Please set valid range."));
            // Equal bounds that were typed differently were made equal by the reading.
            if (!notes.isEmpty()) {
                status_.show(notes);
            }
        } else {
            status_.show(QStringLiteral("The range was not accepted: %1").arg(qs(st.reason())));
        }
        writeRangeBoxes();
        commitRange();
        syncControls();
        return false;
    }
    const bool changed = commitRange();
    if (!notes.isEmpty()) {
        status_.show(notes);
    } else if (changed) {
        status_.clear();
    }
    syncControls();
    return true;
}

/// How each range box's text is read when it is not a plain number, for the status line.
QString Workflow::rangeReadingNotes() const {
    QStringList notes;
    const std::pair<const char*, QLineEdit*> boxes[] = {{"From", controls_.range.lower},
                                                        {"To", controls_.range.upper}};
    for (const auto& [name, box] : boxes) {
        const std::string text = latin1(box->text());
        if (!text.empty()) {
            if (const std::string note = readingNote(name, text, rangeLabel(text)); !note.empty()) {
                notes << qs(note);
            }
        }
    }
    return notes.join(QStringLiteral("; "));
}

bool Workflow::commitRange() {
    const bool changed =
        sync_.commitRange(controls_.range.lower->text(), controls_.range.upper->text());
    // The box follows the figure: a redraw in a new range drops the line.
    if (!sync_.fittingLineShown()) {
        controls_.model.showFittingLine->setChecked(false);
    }
    return changed;
}

} // namespace quendrix
