#pragma once

#include "animation/KeyFrame.h"

#include <memory>
#include <string>
#include <vector>

// Where the editor keeps its animation files; already ends in "/".
constexpr const char* ANIMATION_FOLDER = "./resources/config/skeleton/animations/";

// A named, ordered list of key frames with a looping flag. Owns its frames.
// A frame's index always equals its position: every operation that inserts,
// removes or reorders frames renumbers the frames after the change. Pointers
// to frames stay valid until that frame is removed.
// `valid` tells a usable animation from one whose file could not be read.
class Animation {
public:
    // An empty animation; not valid until a frame is appended.
    Animation(const std::string& name, bool looping);
    // Reads the animation file at `path` (see AnimationFile.h). On failure
    // prints the reader's one-line message and stays empty and not valid.
    explicit Animation(const std::string& path);

    Animation(const Animation&) = delete;
    Animation& operator=(const Animation&) = delete;
    Animation(Animation&&) = default;
    Animation& operator=(Animation&&) = default;

    const std::string& name() const { return name_; }
    void setName(const std::string& name) { name_ = name; }
    bool looping() const { return looping_; }
    void setLooping(bool looping) { looping_ = looping; }
    bool valid() const { return valid_; }
    void setValid(bool valid) { valid_ = valid; }

    int frameCount() const { return static_cast<int>(frames_.size()); }
    // The frame at `position`, or nullptr outside 0 to frameCount() - 1.
    KeyFrame* frameAt(int position) const;
    // The last frame, or nullptr when there is none.
    KeyFrame* lastFrame() const;

    // Appends a frame holding the skeleton's pose (zero pose for a null or
    // incomplete skeleton) with wait 0 s, transition 1 s and Linear, and
    // marks the animation valid. Returns the new frame.
    KeyFrame* addFrameFromPose(const Skeleton* skeleton);
    // Appends `frame`, setting its index to its position, and marks the
    // animation valid. Returns the frame.
    KeyFrame* appendFrame(std::unique_ptr<KeyFrame> frame);

    // Replaces the `count` frames from `position` by `frames`, in order, and
    // renumbers the frames from `position` on. Returns the frames taken out,
    // in order; returns nothing and changes nothing when the range does not
    // lie inside the animation. Marks the animation valid when frames remain.
    std::vector<std::unique_ptr<KeyFrame>>
    replaceFrames(int position, int count, std::vector<std::unique_ptr<KeyFrame>> frames);
    // Puts `frame` at `position` (0 to frameCount()), renumbering the frames
    // after it. Returns the frame, or nullptr (and `frame` is dropped) for a
    // position outside that range.
    KeyFrame* insertFrame(int position, std::unique_ptr<KeyFrame> frame);
    // Takes the frame at `position` out, renumbering the frames after it.
    // Returns nullptr for a position outside the animation.
    std::unique_ptr<KeyFrame> removeFrame(int position);
    // Exchanges the frames at two positions (indexes follow). False and no
    // change when either lies outside the animation.
    bool swapFrames(int a, int b);

    // The frame played after `frame`: the first frame for nullptr; the next
    // one; after the last, the first when looping, else nullptr. `frame` must
    // be nullptr or a frame of this animation.
    KeyFrame* frameAfter(const KeyFrame* frame) const;

private:
    std::string name_;
    std::vector<std::unique_ptr<KeyFrame>> frames_;
    bool looping_ = false;
    bool valid_ = false;
};
