#pragma once

#include "motion/ExportRig.h"
#include "motion/MotionSampler.h"

#include <string>

// glTF 2.0 export of a sampled motion:
//   - one node per bone, children as in the skeleton; a node's translation
//     is its parent's tip distance along the parent's local +y (the root's
//     is its world position) and its rotation the unit quaternion from the
//     parent's frame to its own. Default values are the rest pose; every
//     node carries its tip distance as extras.length.
//   - a skin over all bone nodes with the rest pose as bind pose, and a
//     mesh (BoneMesh) bound to it on a node of its own at the scene's root.
//   - one animation: a rotation channel per bone and a translation channel
//     for the root, one LINEAR key per sample at the sample's time, which
//     must go up strictly as floats (SampleSpacing::KeyTimes keeps them so).
// Scene units are kept (y up, the figure faces +z), which glTF reads as
// metres. Every value is written as a float; the rig and the motion keep
// their coordinates within MAX_EXPORT_COORDINATE, so none overflows.

// The .gltf text: JSON with the buffer embedded as a base64 data: URI.
// `motion` must hold at least one sample with a rotation for every bone.
std::string gltfText(const ExportRig& rig, const SampledMotion& motion);
// The same asset as .glb bytes: a JSON chunk and a binary chunk.
std::string glbBytes(const ExportRig& rig, const SampledMotion& motion);
