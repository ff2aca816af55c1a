#pragma once

#include "animation/Animation.h"
#include "animation/KeyFrame.h"

#include <istream>
#include <ostream>
#include <string>
#include <string_view>

// The animation file (.rgaf), plain text with "\n" line ends ("\r\n" is
// read as one line end too):
//   RGAF
//   <name, may contain spaces>
//   <frame count>
//   <1 when looping, else 0>
//   one line per key frame: 69 numbers separated by single tabs, namely
//   root x y z, then main/sec/own angle of bones 0 to 20, then wait time,
//   transition time (seconds) and motion type code.
// Numbers are written as a default-formatted output stream writes doubles
// (six significant digits) and read as stream extraction reads them; a
// number that cannot be read becomes UNREADABLE_NUMBER.

// Numbers on a frame line.
constexpr int FRAME_LINE_VALUES = 3 + 3 * POSE_BONE_COUNT + 3;

// A file may announce more frames than it has lines; the missing frames are
// still created from the last line buffer, but never more than this many, so
// a lying count costs neither minutes nor gigabytes.
constexpr int MAX_MISSING_FRAMES = 1000;

// Animation files larger than this are refused unread: 100,000 frames of
// the longest lines fit.
constexpr std::size_t MAX_ANIMATION_FILE_BYTES = std::size_t{128} * 1024 * 1024;
// Frames a file may make when read; a file that would make more (a million
// short lines, say) is refused unread, so it cannot cost gigabytes.
constexpr long long MAX_ANIMATION_FRAMES = 200000;

// The number of frames readAnimation makes from `text` (the announced count,
// held to the lines there are and MAX_MISSING_FRAMES more), found without
// making them; 0 when it reads no count.
long long framesInText(const std::string& text);

// Reads an animation file's text. A wrong first line prints
// "Unexpected header, 'RGAF' expected!\n" and gives an animation that is not
// valid. A frame count or looping flag that is not a decimal integer gives
// a valid, non-looping animation without frames. Never fails otherwise.
Animation readAnimation(std::istream& in);
// Replaces `animation` by the file at `path`. Prints
// "Error in reading animation file!\n" and leaves `animation` as it was when
// the file cannot be opened; prints "Animation file refused: <reason>\n" and
// leaves it when it is no regular file, is larger than
// MAX_ANIMATION_FILE_BYTES or would make more than MAX_ANIMATION_FRAMES
// frames (a pipe or a device is never waited on). `reason`, when given, gets
// the cause in a few words. Returns the animation's valid flag.
bool readAnimationFile(const std::string& path, Animation& animation,
                       std::string* reason = nullptr);

// Fills every field of `frame` but its index from one frame line (its line
// end may be present or not). Tokens end at the first blank or tab; after
// each token only the next 1000 characters of the line are looked at.
void readFrameLine(std::string_view line, KeyFrame& frame);
// Appends the frame's line, "\n" included.
void appendFrameLine(std::string& out, const KeyFrame& frame);

// The whole file's text for `animation`.
std::string animationText(const Animation& animation);
// Writes the file's text to `out`; returns false when the stream failed.
bool writeAnimation(std::ostream& out, const Animation& animation);

// folder + "/" + name + ".rgaf".
std::string animationPath(const std::string& folder, const std::string& name);
// Writes `animation` to animationPath(folder, fileName) through
// writeFileSafely (SafeFileWrite.h): nothing that was there can be damaged,
// and with `keepBackup` a replaced file is kept as "<file>.bak". Prints
// nothing; returns false on any failure, and for a file name or an
// animation name holding "/", a line end or a NUL (which could not be read
// back or would leave the folder).
bool writeAnimationFile(const std::string& folder, const std::string& fileName,
                        const Animation& animation, bool keepBackup, std::string* reason = nullptr);
// Writes `animation` to the file at `path`, in any folder, through
// writeFileSafely, keeping a backup of a replaced file with `keepBackup`.
// Prints nothing; returns false on any failure, with the cause in `reason`
// when given, and for an animation name holding a line end or a NUL.
bool writeAnimationTo(const std::string& path, const Animation& animation, bool keepBackup,
                      std::string* reason = nullptr);
// Saves the animation under its own name: writeAnimationFile with a
// backup of the file it replaces. On failure prints
// "Error in saving animation data to file!\n" and returns false, with
// `reason` set in a few words ("the folder is read-only", "disk full").
bool saveAnimation(const std::string& folder, const Animation& animation,
                   std::string* reason = nullptr);
