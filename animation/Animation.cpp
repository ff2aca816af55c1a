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

std::vector<std::unique_ptr<KeyFrame>>
Animation::replaceFrames(int position, int count, std::vector<std::unique_ptr<KeyFrame>> frames) {
    std::vector<std::unique_ptr<KeyFrame>> taken;
    if (position < 0 || count < 0 || position > frameCount() || count > frameCount() - position) {
        return taken;
    }
    auto first = frames_.begin() + position;
    taken.assign(std::make_move_iterator(first), std::make_move_iterator(first + count));
    first = frames_.erase(first, first + count);
    frames_.insert(first, std::make_move_iterator(frames.begin()),
                   std::make_move_iterator(frames.end()));
    for (int i = position; i < frameCount(); ++i) {
        assert(frames_[i] != nullptr);
        frames_[i]->index = i;
    }
    if (!frames_.empty()) {
        valid_ = true;
    }
    return taken;
}

KeyFrame* Animation::insertFrame(int position, std::unique_ptr<KeyFrame> frame) {
    if (!frame || position < 0 || position > frameCount()) {
        return nullptr;
    }
    KeyFrame* inserted = frame.get();
    std::vector<std::unique_ptr<KeyFrame>> one;
    one.push_back(std::move(frame));
    replaceFrames(position, 0, std::move(one));
    return inserted;
}

std::unique_ptr<KeyFrame> Animation::removeFrame(int position) {
    if (position < 0 || position >= frameCount()) {
        return nullptr;
    }
    std::unique_ptr<KeyFrame> frame = std::move(replaceFrames(position, 1, {}).front());
    frame->index = -1;
    return frame;
}

bool Animation::swapFrames(int a, int b) {
    if (!frameAt(a) || !frameAt(b)) {
        return false;
    }
    std::swap(frames_[a], frames_[b]);
    frames_[a]->index = a;
    frames_[b]->index = b;
    return true;
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
