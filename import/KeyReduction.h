#pragma once

#include "import/ReplayError.h"

#include <vector>

// One whole-pose key of a reduced import: reached at source frame `frame`,
// holding `pose`, and moving on to the next key along `shape`.
struct ReducedKey {
    int frame = 0;
    ImportPose pose;
    KeyShape shape;
};

// The frames where a foot's stand on the floor begins or ends.
std::vector<int> contactChanges(const std::vector<std::array<bool, 2>>& contact);

// A linear key on every source frame: the dense import.
std::vector<ReducedKey> keyEveryFrame(const DenseTrack& track);

// The baseline a reduction is measured against: keys on source frames,
// copied from them, linear only, each segment as long as it can be within
// tolerance, taken greedily from the first frame; keys also on `forced`
// frames.
std::vector<ReducedKey> greedyKeys(const DenseTrack& track, const std::vector<int>& forced);

// The fewest whole-pose keys that replay `track` within its tolerance at
// every frame, with a key on the first and last frames and on every frame of
// `forced`:
//   1. dynamic programming over the frames finds the fewest segments whose
//      end poses, copied from the track, replay the frames between them
//      within `slack` times the tolerance, each along the best of the four
//      easings, with or without a wait on the first pose while the track
//      holds still; ties go to the smaller summed error;
//   2. the key poses are then fitted to the frames around them (KeyFit.h),
//      which about halves the typical miss of a copied pose;
//   3. wherever a segment still misses, a key copied from the track goes
//      on its worst frame and the fit is repeated; after a few rounds the
//      fit stops and only copied keys are added, so this always ends;
//   4. every key but the forced ones is tried for removal, the keys around
//      it refitted to the frames from two keys before to two keys after.
// The result is within 98 % of the tolerance in this model of the replay,
// leaving room for the rounding of the animation file. `figure` gives the
// angle limits the fit keeps. Returns an empty list when `progress` asks
// to stop.
std::vector<ReducedKey> reduceKeys(const DenseTrack& track, const Skeleton& figure,
                                   const std::vector<int>& forced, double slack,
                                   const ImportProgress& progress = {});

// The largest error (1: just within tolerance) of replaying `keys` over
// every frame of the track in this model, and the frame where it is.
double keysError(const DenseTrack& track, const std::vector<ReducedKey>& keys,
                 int* worstFrame = nullptr);

// Puts a key copied from the track on `frame` (which must lie strictly
// between two keys) and gives both new segments their best shape.
void splitAt(const DenseTrack& track, std::vector<ReducedKey>& keys, int frame);
