#include "animation/Animation.h"

#include "animation/AnimationFile.h"

#include <cassert>

Animation::Animation(const std::string& name, bool looping) : name_(name), looping_(looping) {}

Animation::Animation(const std::string& path) {
    readAnimationFile(path, *this);
}

KeyFrame* Animation::frameAt(int position) const {
    if (position < 0 || position >= frameCount()) {
        return nullptr;
    }
    return frames_[position].get();
}

KeyFrame* Animation::lastFrame() const {
    return frames_.empty() ? nullptr : frames_.back().get();
}

KeyFrame* Animation::addFrameFromPose(const Skeleton* skeleton) {
    auto frame = std::make_unique<KeyFrame>(skeleton);
    frame->waitTime = 0.0;
    frame->motionType = MotionType::Linear;
    return appendFrame(std::move(frame));
}

KeyFrame* Animation::appendFrame(std::unique_ptr<KeyFrame> frame) {
    assert(frame != nullptr);
    frame->index = frameCount();
    frames_.push_back(std::move(frame));
    valid_ = true;
    return frames_.back().get();
}

KeyFrame* Animation::frameAfter(const KeyFrame* frame) const {
    if (frame == nullptr) {
        return frameAt(0);
    }
    assert(frameAt(frame->index) == frame);
    int next = frame->index + 1;
    if (next != frameCount()) {
        return frameAt(next);
    }
    return looping_ ? frameAt(0) : nullptr;
}
