#pragma once

#include "motion/ExportRig.h"
#include "motion/MotionSampler.h"

#include <string>

// BVH export of a sampled motion.
//
// HIERARCHY: one joint per bone in depth-first order of the bone tree, an
// End Site at the tip of every leaf bone. BVH has no rest orientation of
// its own: at zero rotations every joint's axes are the world's, so the
// OFFSETs are the rest pose's bone vectors in world axes (a child's offset
// is its parent's tip distance along the parent's rest long axis). The
// root's OFFSET is zero: importers differ on whether the root's position
// channels add to it or replace it, and with zero both read the same.
//
// MOTION: one line per sample, Frame Time 1 / fps, so the samples must be
// spaced by 1 / fps (SampleSpacing::Uniform). The root has
// Xposition Yposition Zposition (its world joint point) and every joint
// the rotation channels Yrotation Zrotation Xrotation, degrees, composed
// R = Ry * Rz * Rx and applied relative to the parent joint. A joint's
// rotation is the turn from its rest frame to its present one, taken in
// its parent's axes.
//
// Why Y Z X: only the middle angle of an Euler order is bounded to +-90
// degrees, and there the order locks. The figure turns about the vertical y
// without bound (the root's heading runs a full turn either way), and its
// biggest limb swings are about the left-right axis x (knees bend to 150
// degrees, thighs and arms swing forward, the spine bends forward), so y
// and x take the two unbounded places. The turns about the forward axis z
// (leaning sideways, legs spread, arms raised sideways) are the ones that
// mostly stay within 90 degrees of the rest pose. Even at the lock each
// line composes to the exact pose, and angles are carried on from sample
// to sample (the equivalent solution nearer the previous one, whole turns
// added), so importers that interpolate never spin a joint the long way.

// The .bvh text. `motion` must hold at least one sample with a rotation
// for every bone.
std::string bvhText(const ExportRig& rig, const SampledMotion& motion);
