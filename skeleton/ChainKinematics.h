#pragma once

#include "skeleton/Bone.h"

#include <vector>

// The line one angle turns the bones below it about: a rotation by +d
// degrees about `axis` (unit length) through `pivot`, in the sense of
// rotateAboutAxis. An angle whose axis code names no axis has a zero axis.
struct ChainTurn {
    Vec3 pivot{0, 0, 0};
    Vec3 axis{0, 0, 0};

    // How far a point moves per degree of this angle.
    Vec3 changeOf(const Vec3& point) const;
};

// The tip of one bone as a function of the main and secondary angles of
// some bones above it (or of itself), for the pose solvers: they try angles
// here, without touching the skeleton, and write the chosen ones back once.
//
// The movers must lie on one line of descent that ends at the end bone (the
// end bone may be a mover itself). Variables come in mover order, two per
// mover: main angle, then secondary angle. Own angles never vary, so a
// solver cannot spin a bone about its long axis. The tip is computed with
// exactly the operations the bone's own rebuild uses, so the angles written
// back give the very tip that was measured.
class ChainKinematics {
public:
    // Returns an invalid model (valid() false) when a mover is not the end
    // bone or one of its ancestors, a mover is repeated, there are no movers
    // or more than three.
    ChainKinematics(const std::vector<Bone*>& movers, const Bone& end);

    bool valid() const { return !movers_.empty(); }
    int variables() const { return 2 * static_cast<int>(movers_.size()); }

    // The movers' present main and secondary angles.
    void currentAngles(double* values) const;
    // Each angle's limits; an angle that already lies outside them (a file
    // may store one) may come back toward them but never goes further out.
    void limits(double* low, double* high) const;
    // The end bone's tip for trial angles; with `turns` (variables()
    // entries) also the line each angle turns about.
    Vec3 tip(const double* values, ChainTurn* turns = nullptr) const;
    // Stores the angles into the movers (own angles kept) and rebuilds the
    // subtree below the topmost mover. The values must lie within limits().
    void apply(const double* values) const;

private:
    // The line of descent from the topmost mover down to the end bone, and
    // for each of its bones the variable index of its main angle, or -1.
    std::vector<const Bone*> path_;
    std::vector<int> variableAt_;
    std::vector<Bone*> movers_;
    Bone* top_ = nullptr;
};
