#pragma once

#include "skeleton/AxisFrame.h"

#include <vector>

// The pose of one bone: x = mainAngle, y = secAngle, z = ownAngle, degrees.
using BonePose = Vec3;

// One bone of the skeleton tree. Its pose is three angles in degrees; its
// frame and joint point are never set directly but derived top-down from the
// angles and the parent:
//   frame = parent's frame (identity for the root), rotated by secAngle
//   about axisY, then by mainAngle about the main axis, then by ownAngle
//   about the new axisY.
// The bone runs from position() along frame().axisY for length().
//
// The joint point lives outside the bone: the root's is the skeleton's
// rootPosition, every other bone's is a point the skeleton owns for it. Bones
// hold plain pointers to their parent and children; the skeleton owns them.
class Bone {
public:
    // Stores the angles unchanged (no wrap, no limits). With a parent, the
    // bone appends itself to the parent's children and moves its joint point
    // to the parent's tip. Builds the frame.
    Bone(Vec3& position, Bone* parent, int mainAxis, double length, double minMain, double maxMain,
         double minSec, double maxSec, double minOwn, double maxOwn, double mainAngle,
         double secAngle, double ownAngle);

    Bone(const Bone&) = delete;
    Bone& operator=(const Bone&) = delete;

    // Adds the deltas to the three angles, each wrapped once into (-360, 360)
    // and refused alone when it would leave its inclusive limits; then
    // rebuilds the frame and the whole subtree. Always returns true.
    bool rotateBy(double dMain, double dSec, double dOwn);
    // rotateBy the differences to the targets, so wrap and limits apply.
    void setAngles(double main, double sec, double own);
    // The tip: position + length*axisY (length rounded to single precision),
    // or position itself for a length below ANGLE_TOLERANCE.
    Vec3 endPoint() const;
    // Moves every child onto this bone's tip and rebuilds its subtree.
    // Returns true.
    bool updateChildren();
    // Root only: moves the joint point and the subtree. Returns false and
    // changes nothing for a bone with a parent.
    bool moveBy(double dx, double dy, double dz);
    // Root only: places the joint point and rebuilds the subtree. Returns
    // false and changes nothing for a bone with a parent.
    bool setPosition(double x, double y, double z);
    // Stores the three angles bit for bit, without wrap or limits, and
    // rebuilds nothing: for putting back values this bone held before (an
    // undo), followed by rebuildSubtree() on the highest bone changed.
    void storeAngles(const BonePose& angles);
    // Rebuilds this bone's frame from its parent and its angles, and every
    // descendant's joint point and frame, without touching any angle.
    void rebuildSubtree();
    // The frame a bone with this main axis and these angles has on
    // `parentFrame` (the identity for a root): the rebuild every bone uses.
    static AxisFrame frameOn(const AxisFrame& parentFrame, int mainAxis, const BonePose& angles);

    const Vec3& position() const { return *position_; }
    const AxisFrame& frame() const { return frame_; }
    double length() const { return length_; }
    double mainAngle() const { return mainAngle_; }
    double secAngle() const { return secAngle_; }
    double ownAngle() const { return ownAngle_; }
    BonePose pose() const { return BonePose(mainAngle_, secAngle_, ownAngle_); }
    int mainAxis() const { return mainAxis_; }
    double minMain() const { return minMain_; }
    double maxMain() const { return maxMain_; }
    double minSec() const { return minSec_; }
    double maxSec() const { return maxSec_; }
    double minOwn() const { return minOwn_; }
    double maxOwn() const { return maxOwn_; }
    Bone* parent() const { return parent_; }
    const std::vector<Bone*>& children() const { return children_; }
    // Position in the skeleton's bone list; -1 until the skeleton assigns it.
    int index() const { return index_; }
    void setIndex(int index) { index_ = index; }
    // True while the bone is the skeleton's selected bone.
    bool selected() const { return selected_; }
    void setSelected(bool selected) { selected_ = selected; }

private:
    // Rebuilds frame_ from the parent's frame and the three angles.
    void rebuildFrame();

    Vec3* position_;
    AxisFrame frame_;
    double length_;
    double mainAngle_, secAngle_, ownAngle_;
    int mainAxis_;
    double minMain_, maxMain_, minSec_, maxSec_, minOwn_, maxOwn_;
    Bone* parent_;
    std::vector<Bone*> children_;
    int index_ = -1;
    bool selected_ = false;
};
