#pragma once

#include "import/BvhClip.h"

#include <string>
#include <string_view>

// The BVH reader. Tokens are separated by any blanks, tabs and line ends
// (LF or CR LF); keywords are case-insensitive. The hierarchy has one ROOT;
// a joint's name is the rest of its line (names may hold spaces, as in
// "Bip01 L Thigh"); each joint has one OFFSET and one CHANNELS with up to
// six distinct channels, in the joint's own order, and an End Site may close
// a joint without children. MOTION gives "Frames:", "Frame Time:" and then
// exactly that many lines of exactly the channels' count of numbers.
//
// Anything else is refused with one message that names the line: a file cut
// short, counts that disagree with what follows, a word where a number
// belongs, NaN or infinity, unbalanced braces, counts or values beyond the
// limits below, no frames, a frame time that is not above 0.

// Joints a clip may have (a full body with fingers and face has a few
// hundred).
constexpr int MAX_BVH_JOINTS = 1000;
// Frames a clip may announce: over a day at 100 fps. Beyond this a count is
// taken for garbage rather than a clip.
constexpr long long MAX_BVH_FRAMES = 10000000;
// Longest frame time accepted, seconds.
constexpr double MAX_BVH_FRAME_TIME = 3600;
// Largest magnitude of any number in the file. Offsets in micrometres and
// angles unwrapped over many turns stay far below it; products of values
// beyond it could overflow to infinity.
constexpr double MAX_BVH_VALUE = 1e9;
// Files larger than this are refused unread.
constexpr long long MAX_BVH_FILE_BYTES = 512LL * 1024 * 1024;

// Reads the text of a BVH file into `clip`. Returns false with `error` set
// to one line "line N: what is wrong" and `clip` left as it was when the
// text is not a clip this reader accepts.
bool parseBvh(std::string_view text, BvhClip& clip, std::string& error);

// Reads the BVH file at `path` (a regular file of at most
// MAX_BVH_FILE_BYTES, opened without blocking, as animation/FileRead.h
// reads). Returns false with `error` set to one line (the reason, without
// the path) and `clip` left as it was on any failure.
bool readBvhFile(const std::string& path, BvhClip& clip, std::string& error);
