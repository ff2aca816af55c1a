#include "tests/fuzz/CheckSupport.h"

#include "tests/fuzz/ReaderChecks.h"

#include "skeleton/Skeleton.h"

#include <algorithm>
#include <iostream>
#include <streambuf>

std::string brokenProperty(const char* file, int line, const char* condition) {
    return std::string(file) + ":" + std::to_string(line) + ": " + condition;
}

std::string checkSkeletonTree(const Skeleton& skeleton) {
    const int count = skeleton.boneCount();
    FUZZ_EXPECT(count >= 0 && count <= POSE_BONE_COUNT);
    FUZZ_EXPECT(skeleton.boneAt(-1) == nullptr && skeleton.boneAt(count) == nullptr);
    FUZZ_EXPECT(skeleton.rootBone() == skeleton.boneAt(0));
    FUZZ_EXPECT((skeleton.rootPosition() != nullptr) == (count > 0));
    for (int i = 0; i < count; ++i) {
        const Bone* bone = skeleton.boneAt(i);
        FUZZ_EXPECT(bone != nullptr && bone->index() == i);
        const Bone* parent = bone->parent();
        if (i == 0) {
            FUZZ_EXPECT(parent == nullptr);
            FUZZ_EXPECT(&bone->position() == skeleton.rootPosition());
            continue;
        }
        FUZZ_EXPECT(parent != nullptr && parent->index() < i);
        FUZZ_EXPECT(skeleton.boneAt(parent->index()) == parent);
        const auto& siblings = parent->children();
        FUZZ_EXPECT(std::count(siblings.begin(), siblings.end(), bone) == 1);
        // A joint always sits on its parent's tip, however the bones moved.
        FUZZ_EXPECT(samePoint(bone->position(), parent->endPoint()));
    }
    return {};
}

namespace {

// Takes every character and keeps none, so the stream stays good and the
// readers behave exactly as they do when writing to a terminal.
class DiscardingBuffer : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

} // namespace

void silenceStandardOutput() {
    static DiscardingBuffer discard;
    std::cout.rdbuf(&discard);
}

std::string withCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        if (c == '\n')
            out.push_back('\r');
        out.push_back(c);
    }
    return out;
}
