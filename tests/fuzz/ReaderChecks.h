#pragma once

#include <string>
#include <string_view>

// What the fuzz targets ask of every input: run one reader on the bytes,
// use what it loaded the way the program would, and check the properties
// that must hold for any input at all. Each returns the first property the
// input broke ("file:line: condition"), or an empty string when it kept
// them all. Crashes and sanitizer reports are left to the sanitizers.
//
// The same functions run the stored regression inputs under GoogleTest, so
// an input a fuzzer found keeps being checked in the ordinary builds.

// Display settings text through readDisplaySettings and the sanitising pass.
std::string checkSettingsInput(std::string_view data);
// Skeleton file text through the Skeleton constructor, then every bone
// posed, moved and selected.
std::string checkSkeletonInput(std::string_view data);
// One key-frame line through the parser, a write and a second read.
std::string checkKeyFrameLineInput(std::string_view data);
// Animation file text through readAnimation, a write and a second read,
// then played on the default skeleton.
std::string checkAnimationInput(std::string_view data);

// Motion-capture clip text through the BVH reader; a clip it takes is read
// again with CR LF line ends, and when the importer can map it, its first
// frames are retargeted onto the figure and reduced to key frames.
std::string checkBvhInput(std::string_view data);

// Sends standard output, where the readers print their messages, nowhere
// for the rest of the process. Millions of inputs would otherwise flood
// the log and spend most of the run writing it.
void silenceStandardOutput();
