#pragma once

#include "import/KeyReduction.h"

// Moves the poses of `keys` (their frames and shapes stay) so that their
// replay comes nearer the track at the frames around them. A copied key
// pose meets its own frame exactly and lets the frames between keys miss on
// one side only; a fitted one spreads the miss to both sides, so the same
// keys replay a curved motion about twice as closely.
//
// Each bone is fitted on its own (a bone's turn from its parent depends on
// its three angles only): Gauss-Newton steps on the turn's miss at every
// frame, damped, with the key angles of all keys solved together (each
// frame depends on the two keys around it, so the system is block
// tridiagonal). The root's joint point is fitted the same way, linearly.
// The first round is a plain least-squares fit; each further round weights
// every frame by its miss so far (Lawson's reweighting), which draws the fit
// toward the smallest largest miss. Of the `rounds` fits the one with the
// smallest largest miss stays, per bone, if it beats the poses given. Bones
// that miss by half the tolerance at most are not fitted.
// Angles stay a hair inside the bone's limits in `figure`; a step that does
// not lower the weighted miss is not taken. With `fixFirst` or `fixLast`
// the first or the last key keeps its pose (it belongs to a segment beyond
// `keys` too).
void fitKeyPoses(const DenseTrack& track, const Skeleton& figure, std::vector<ReducedKey>& keys,
                 int rounds, bool fixFirst = false, bool fixLast = false);
