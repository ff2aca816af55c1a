#pragma once

#include "skeleton/SkeletonPose.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Animation;
class KeyFrame;

// Everything an undo puts back besides the key frames themselves: the
// animation's name and looping flag, which frame is current and what the
// frame counter shows, the figure's pose (height included) and the ghost's,
// whether the ghost is shown, the selected bone, and whether the figure's
// pose is one that no frame stores yet.
struct EditorSnapshot {
    std::string name;
    bool looping = false;
    // Position of the current frame, -1 for none.
    int currentFrame = -1;
    std::string frameCounterText;
    SkeletonPose pose;
    SkeletonPose ghostPose;
    bool showGhost = false;
    // Index of the selected bone, -1 for none.
    int selectedBone = -1;
    bool poseUnstored = false;

    bool operator==(const EditorSnapshot& other) const;
    bool operator!=(const EditorSnapshot& other) const { return !(*this == other); }
};

// The undo history of the editor: one step per user action, each holding
// the editor's state before and after it and the key frames it changed.
//
// Memory stays small for long animations: the history keeps its own view of
// the frames as they stood after the last step, sharing each frame between
// that view and every step that holds it, and a step stores only the run of
// frames that differs (found by comparing the animation with that view from
// both ends), so frames an edit did not touch are never copied again.
// Consecutive steps share the snapshot between them. Undo and redo splice
// only the changed run back into the animation.
//
// GL-free; the editor records into it and restores the snapshots it hands
// back.
class EditHistory {
public:
    // Steps kept; the oldest is forgotten beyond this.
    static constexpr std::size_t MAX_STEPS = 10000;
    // Bytes the steps may hold beyond the present frames; the oldest steps
    // are forgotten beyond this (ten loads of a 100,000-frame animation).
    static constexpr std::size_t MAX_BYTES = std::size_t{256} * 1024 * 1024;

    // What undo or redo did: the step's name, the state to restore, and
    // whether the step touched the animation itself (frames, name, looping)
    // rather than only the pose or the current frame.
    struct Applied {
        std::string label;
        const EditorSnapshot* state = nullptr;
        bool changedAnimation = false;
    };

    // An empty history whose view of the frames is `animation`'s, holding
    // at most `maxBytes` beyond them.
    explicit EditHistory(const Animation& animation, std::size_t maxBytes = MAX_BYTES);
    ~EditHistory();
    EditHistory(const EditHistory&) = delete;
    EditHistory& operator=(const EditHistory&) = delete;

    // Records one user action named `label` ("turn bone"): the state before
    // and after it, and the frames in which `animation` now differs from the
    // view of the last step. Drops every redo step, and the oldest steps
    // while the history holds more than its bytes (forgottenSteps() counts
    // them). Returns false and records nothing when neither the state nor
    // any frame changed.
    bool record(const std::string& label, const EditorSnapshot& before, const EditorSnapshot& after,
                const Animation& animation);
    // Whether the frames, name or looping flag changed in the last recorded
    // step (what makes the animation count as unsaved).
    bool lastStepChangedAnimation() const;

    bool canUndo() const { return position_ > 0; }
    bool canRedo() const { return position_ < steps_.size(); }
    // Takes the last step back: puts its frames back into `animation` (which
    // must hold the frames as they stood after it) and returns the state
    // before it. Nothing when there is nothing to undo.
    std::optional<Applied> undo(Animation& animation);
    // Does the next undone step again; the state after it. Nothing when there
    // is nothing to redo.
    std::optional<Applied> redo(Animation& animation);

    std::size_t stepCount() const { return steps_.size(); }
    // Steps forgotten so far because the history held too much.
    std::size_t forgottenSteps() const { return forgotten_; }
    // Bytes the history holds beyond its own object, counted generously:
    // every frame and snapshot it keeps alive, once.
    std::size_t memoryBytes() const;

private:
    struct Step;
    using Frames = std::vector<std::shared_ptr<const KeyFrame>>;
    // Replaces `count` frames at `position` of both the animation and the
    // view by copies of `with`.
    void splice(Animation& animation, std::size_t position, std::size_t count, const Frames& with);

    // Drops the step at `index`, counting the frames it alone held.
    void dropStep(std::size_t index);

    Frames view_;
    std::vector<std::unique_ptr<Step>> steps_;
    std::size_t maxBytes_;
    // Frames the history holds, the view's and the steps' together, each
    // once; those beyond the view's are what the steps cost.
    std::size_t heldFrames_ = 0;
    std::size_t forgotten_ = 0;
    // Steps before this one are done; from here on they are undone.
    std::size_t position_ = 0;
};
