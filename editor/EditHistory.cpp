#include "editor/EditHistory.h"

#include "animation/Animation.h"
#include "animation/KeyFrame.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace {

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool sameBits(const Vec3& a, const Vec3& b) {
    return sameBits(a.x, b.x) && sameBits(a.y, b.y) && sameBits(a.z, b.z);
}

// Everything a frame stores but its index (which follows its position), bit
// for bit, so a NaN read from a file compares equal to itself.
bool sameContent(const KeyFrame& a, const KeyFrame& b) {
    if (!sameBits(a.waitTime, b.waitTime) || !sameBits(a.transitionTime, b.transitionTime) ||
        a.motionType != b.motionType || !sameBits(a.rootPosition, b.rootPosition))
        return false;
    for (std::size_t i = 0; i < a.boneAngles.size(); ++i)
        if (!sameBits(a.boneAngles[i], b.boneAngles[i]))
            return false;
    return true;
}

// What one frame and one step's own state cost, roughly, for the cap.
constexpr std::size_t FRAME_BYTES = sizeof(KeyFrame) + 32;
constexpr std::size_t STEP_BYTES = 2048;

std::size_t poseBytes(const SkeletonPose& pose) {
    return sizeof pose + pose.angles.capacity() * sizeof(BonePose);
}

} // namespace

bool EditorSnapshot::operator==(const EditorSnapshot& other) const {
    return name == other.name && looping == other.looping && currentFrame == other.currentFrame &&
           frameCounterText == other.frameCounterText && pose == other.pose &&
           ghostPose == other.ghostPose && showGhost == other.showGhost &&
           selectedBone == other.selectedBone && poseUnstored == other.poseUnstored;
}

struct EditHistory::Step {
    std::string label;
    std::shared_ptr<const EditorSnapshot> before;
    std::shared_ptr<const EditorSnapshot> after;
    // The frames from `position` that the step replaced, and what it put
    // there.
    std::size_t position = 0;
    Frames removed;
    Frames inserted;
    bool changesAnimation = false;
};

EditHistory::EditHistory(const Animation& animation, std::size_t maxBytes) : maxBytes_(maxBytes) {
    view_.reserve(static_cast<std::size_t>(animation.frameCount()));
    for (int i = 0; i < animation.frameCount(); ++i)
        view_.push_back(std::make_shared<const KeyFrame>(*animation.frameAt(i)));
    heldFrames_ = view_.size();
}

EditHistory::~EditHistory() = default;

bool EditHistory::record(const std::string& label, const EditorSnapshot& before,
                         const EditorSnapshot& after, const Animation& animation) {
    // The run that differs: skip the equal frames at both ends.
    const std::size_t oldCount = view_.size();
    const std::size_t newCount = static_cast<std::size_t>(animation.frameCount());
    std::size_t head = 0;
    while (head < oldCount && head < newCount &&
           sameContent(*view_[head], *animation.frameAt(static_cast<int>(head))))
        ++head;
    std::size_t tail = 0;
    while (tail < oldCount - head && tail < newCount - head &&
           sameContent(*view_[oldCount - 1 - tail],
                       *animation.frameAt(static_cast<int>(newCount - 1 - tail))))
        ++tail;
    const bool framesChanged = head + tail != oldCount || oldCount != newCount;
    if (!framesChanged && before == after)
        return false;

    auto step = std::make_unique<Step>();
    step->label = label;
    // Share the state between neighbouring steps when it is the same.
    const Step* previous = position_ > 0 ? steps_[position_ - 1].get() : nullptr;
    step->before = previous && *previous->after == before
                       ? previous->after
                       : std::make_shared<const EditorSnapshot>(before);
    step->after =
        *step->before == after ? step->before : std::make_shared<const EditorSnapshot>(after);
    step->position = head;
    step->removed.assign(view_.begin() + static_cast<std::ptrdiff_t>(head),
                         view_.end() - static_cast<std::ptrdiff_t>(tail));
    for (std::size_t i = head; i < newCount - tail; ++i)
        step->inserted.push_back(
            std::make_shared<const KeyFrame>(*animation.frameAt(static_cast<int>(i))));
    heldFrames_ += step->inserted.size();
    view_.erase(view_.begin() + static_cast<std::ptrdiff_t>(head),
                view_.end() - static_cast<std::ptrdiff_t>(tail));
    view_.insert(view_.begin() + static_cast<std::ptrdiff_t>(head), step->inserted.begin(),
                 step->inserted.end());

    step->changesAnimation =
        framesChanged || before.name != after.name || before.looping != after.looping;
    while (steps_.size() > position_)
        dropStep(steps_.size() - 1);
    steps_.push_back(std::move(step));
    if (steps_.size() > MAX_STEPS)
        dropStep(0);
    // What the steps hold beyond the present frames, each step's own state
    // counted roughly.
    auto stepBytes = [this] {
        return (heldFrames_ - view_.size()) * FRAME_BYTES + steps_.size() * STEP_BYTES;
    };
    while (steps_.size() > 1 && stepBytes() > maxBytes_) {
        dropStep(0);
        ++forgotten_;
    }
    position_ = steps_.size();
    return true;
}

void EditHistory::dropStep(std::size_t index) {
    const Step& step = *steps_[index];
    // A frame nothing else shares goes with the step.
    for (const Frames* list : {&step.removed, &step.inserted})
        for (const auto& frame : *list)
            if (frame.use_count() == 1)
                --heldFrames_;
    steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(index));
}

bool EditHistory::lastStepChangedAnimation() const {
    return position_ > 0 && steps_[position_ - 1]->changesAnimation;
}

void EditHistory::splice(Animation& animation, std::size_t position, std::size_t count,
                         const Frames& with) {
    std::vector<std::unique_ptr<KeyFrame>> copies;
    copies.reserve(with.size());
    for (const auto& frame : with)
        copies.push_back(std::make_unique<KeyFrame>(*frame));
    animation.replaceFrames(static_cast<int>(position), static_cast<int>(count), std::move(copies));
    auto first = view_.begin() + static_cast<std::ptrdiff_t>(position);
    first = view_.erase(first, first + static_cast<std::ptrdiff_t>(count));
    view_.insert(first, with.begin(), with.end());
}

std::optional<EditHistory::Applied> EditHistory::undo(Animation& animation) {
    if (!canUndo())
        return std::nullopt;
    const Step& step = *steps_[--position_];
    splice(animation, step.position, step.inserted.size(), step.removed);
    return Applied{step.label, step.before.get(), step.changesAnimation};
}

std::optional<EditHistory::Applied> EditHistory::redo(Animation& animation) {
    if (!canRedo())
        return std::nullopt;
    const Step& step = *steps_[position_++];
    splice(animation, step.position, step.removed.size(), step.inserted);
    return Applied{step.label, step.after.get(), step.changesAnimation};
}

std::size_t EditHistory::memoryBytes() const {
    std::unordered_set<const void*> seen;
    std::size_t bytes = view_.capacity() * sizeof(view_[0]);
    auto frames = [&](const Frames& list) {
        bytes += list.capacity() * sizeof(list[0]);
        for (const auto& frame : list)
            if (seen.insert(frame.get()).second)
                bytes += sizeof(KeyFrame) + 32; // the shared count block
    };
    auto snapshot = [&](const std::shared_ptr<const EditorSnapshot>& s) {
        if (seen.insert(s.get()).second)
            bytes += sizeof *s + s->name.capacity() + s->frameCounterText.capacity() +
                     poseBytes(s->pose) + poseBytes(s->ghostPose) + 32;
    };
    frames(view_);
    for (const auto& step : steps_) {
        bytes += sizeof *step + step->label.capacity();
        snapshot(step->before);
        snapshot(step->after);
        frames(step->removed);
        frames(step->inserted);
    }
    bytes += steps_.capacity() * sizeof(steps_[0]);
    return bytes;
}
