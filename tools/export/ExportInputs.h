#pragma once

#include "animation/Animation.h"
#include "skeleton/Skeleton.h"

#include <memory>
#include <string>

// The skeleton file an export reads. `skeletonPath` when it was given on the
// command line or names an existing entry; otherwise default.rgcf in the
// folder above the folder of `animationPath` (where the program keeps it
// beside its animations folder) when that is a regular file; otherwise
// `installedSkeleton` (an install's own, "" for none) when that is a
// regular file; otherwise still `skeletonPath`, whose read then fails as
// usual.
std::string exportSkeletonPath(const std::string& skeletonPath, bool given,
                               const std::string& animationPath,
                               const std::string& installedSkeleton = "");

// Reads the skeleton file at `path` standing on the program's own origin
// (0, SKELETON_ORIGIN_Y, 0). Returns nullptr with a one-line `error` when
// the file cannot be read, the reader refuses it, or it yields fewer than
// POSE_BONE_COUNT bones. The reader's own message is folded into `error`
// instead of going to standard output.
std::unique_ptr<Skeleton> loadExportSkeleton(const std::string& path, std::string& error);

// Reads the animation file at `path`. Returns nullptr with a one-line
// `error` when the file cannot be read, is larger than
// MAX_ANIMATION_FILE_BYTES (AnimationFile.h), announces more than MAX_EXPORT_FRAMES frames, or
// has a bad header; the reader's own message is folded into `error`.
std::unique_ptr<Animation> loadExportAnimation(const std::string& path, std::string& error);
