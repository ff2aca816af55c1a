// Reads animation files the way the editor's Load does and checks that each
// is one the program itself could have written: it reads as valid, it holds
// as many frame lines as its count says, every value is a number (none fell
// back to the unreadable marker) and every motion type is one of the four.
// Usage: check_animation <file.rgaf>...; prints one line per file and exits
// 1 when any file fails, 2 on wrong usage.
#include "animation/Animation.h"
#include "animation/NumberText.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {
bool usable(double v) {
    return std::isfinite(v) && v != UNREADABLE_NUMBER;
}

// The number of lines after the four header lines.
int frameLinesIn(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    int lines = 0;
    while (std::getline(in, line))
        ++lines;
    return lines - 4;
}

// Empty when the file passes, else the first reason it does not.
std::string problemWith(const std::string& path) {
    // The reader reports its own failures on standard output; keep them as
    // the reason instead.
    std::ostringstream said;
    std::streambuf* old = std::cout.rdbuf(said.rdbuf());
    Animation animation(path);
    std::cout.rdbuf(old);
    if (!animation.valid())
        return "does not load: " + said.str();
    const int lines = frameLinesIn(path);
    if (lines != animation.frameCount())
        return "frame count " + std::to_string(animation.frameCount()) + " but " +
               std::to_string(lines) + " frame lines";
    for (int i = 0; i < animation.frameCount(); ++i) {
        const KeyFrame& f = *animation.frameAt(i);
        bool ok = usable(f.waitTime) && f.waitTime >= 0 && usable(f.transitionTime) &&
                  f.transitionTime >= 0 && isMotionType(f.motionType) && usable(f.rootPosition.x) &&
                  usable(f.rootPosition.y) && usable(f.rootPosition.z);
        for (const BonePose& a : f.boneAngles)
            ok = ok && usable(a.x) && usable(a.y) && usable(a.z);
        if (!ok)
            return "frame " + std::to_string(i) + " holds a value the editor cannot have written";
    }
    return "";
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: check_animation <file.rgaf>...\n");
        return 2;
    }
    int failed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string problem = problemWith(argv[i]);
        if (problem.empty()) {
            std::printf("ok %s\n", argv[i]);
        } else {
            std::printf("BAD %s: %s\n", argv[i], problem.c_str());
            ++failed;
        }
    }
    return failed ? 1 : 0;
}
