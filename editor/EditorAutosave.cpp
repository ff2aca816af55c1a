// Keeping unsaved work through an exit, a kill or a crash: this session's
// autosave, the work earlier sessions left, and the last word before a quit
// that would lose work.
#include "animation/Animation.h"
#include "editor/AutosaveFiles.h"
#include "editor/SkeletonEditor.h"
#include "gui/StatusLine.h"

namespace {
// Seconds between two autosaves at most.
constexpr double AUTOSAVE_INTERVAL = 60;
} // namespace

bool SkeletonEditor::autosave() {
    if (!animationChanged)
        return true;
    std::string why;
    if (!autosaveFiles_->write(*animation_, why)) {
        // Said until an autosave or a save succeeds, whatever else is said
        // in between: the work is not safe.
        autosaveProblem = why;
        statusLine_->setStanding("Autosave failed: " + why + ". Save your work");
        return false;
    }
    autosavedCount = changeCount;
    if (!autosaveProblem.empty())
        statusLine_->setStanding("");
    autosaveProblem.clear();
    // A recovered animation is safe in this session's autosave now.
    if (!recoveredFile_.empty())
        autosaveFiles_->forget(recoveredFile_);
    recoveredFile_.clear();
    return true;
}

void SkeletonEditor::workIsSafe() {
    autosaveFiles_->discard();
    if (!recoveredFile_.empty())
        autosaveFiles_->forget(recoveredFile_);
    recoveredFile_.clear();
    if (!autosaveProblem.empty())
        statusLine_->setStanding("");
    autosaveProblem.clear();
    quitWarned = false;
}

void SkeletonEditor::advanceAutosave(double seconds) {
    sinceAutosave += seconds;
    if (sinceAutosave < AUTOSAVE_INTERVAL)
        return;
    if (animationChanged && changeCount != autosavedCount)
        autosave();
    sinceAutosave = 0;
}

bool SkeletonEditor::readyToQuit() {
    if (autosave() || quitWarned)
        return true;
    quitWarned = true;
    statusLine_->setStanding("Autosave failed: " + autosaveProblem +
                             ". Save your work, or close again to quit without it");
    return false;
}

void SkeletonEditor::announceAutosave() {
    if (!autosaveFiles_->kept().empty() || autosaveFiles_->leftBehind())
        statusLine_->show("Unsaved work from last run: load autosave", StatusLine::NOTICE_SECONDS);
}
