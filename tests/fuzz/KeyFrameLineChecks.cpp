#include "tests/fuzz/CheckSupport.h"
#include "tests/fuzz/ReaderChecks.h"

#include "animation/AnimationFile.h"
#include "animation/KeyFrame.h"
#include "animation/NumberText.h"

#include <algorithm>
#include <cmath>
#include <locale>
#include <sstream>

namespace {

bool sameFrame(const KeyFrame& a, const KeyFrame& b) {
    if (!samePoint(a.rootPosition, b.rootPosition) || !sameValue(a.waitTime, b.waitTime) ||
        !sameValue(a.transitionTime, b.transitionTime) || a.motionType != b.motionType)
        return false;
    for (int i = 0; i < POSE_BONE_COUNT; ++i) {
        if (!samePoint(a.boneAngles[i], b.boneAngles[i]))
            return false;
    }
    return true;
}

bool allFinite(const KeyFrame& frame) {
    auto finite = [](const Vec3& v) {
        return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
    };
    return finite(frame.rootPosition) && std::isfinite(frame.waitTime) &&
           std::isfinite(frame.transitionTime) &&
           std::all_of(frame.boneAngles.begin(), frame.boneAngles.end(), finite);
}

// The frame line the writer must produce: 69 values, single tabs between
// them, one line end, nothing else.
bool wellFormedLine(const std::string& line) {
    return !line.empty() && line.back() == '\n' &&
           std::count(line.begin(), line.end(), '\n') == 1 &&
           std::count(line.begin(), line.end(), '\t') == FRAME_LINE_VALUES - 1 &&
           line.find(' ') == std::string::npos && line.find("\t\t") == std::string::npos &&
           line.front() != '\t';
}

// What stream extraction of a double makes of `text`, the behaviour the
// hand-written number reader promises to copy.
double streamNumber(std::string_view text) {
    std::istringstream in{std::string(text)};
    in.imbue(std::locale::classic());
    double value = 0;
    if (!(in >> value))
        return UNREADABLE_NUMBER;
    return value;
}

} // namespace

std::string checkKeyFrameLineInput(std::string_view data) {
    const std::string line(data);
    const KeyFrame frame(line);
    FUZZ_EXPECT(frame.index == -1);
    FUZZ_EXPECT(allFinite(frame));

    // The parser reads a view: fed the fuzzer's own buffer, which has no
    // terminator or slack behind it, any read past the line's end is caught.
    KeyFrame viewed(static_cast<const Skeleton*>(nullptr));
    readFrameLine(data, viewed);
    FUZZ_EXPECT(sameFrame(viewed, frame));

    FUZZ_EXPECT(sameValue(readNumber(data), streamNumber(data)));

    // Writing keeps six significant digits, so one write may round; after
    // that, reading and writing again must change nothing.
    const std::string written = frame.toLine();
    FUZZ_EXPECT(wellFormedLine(written));
    const KeyFrame reread(written);
    FUZZ_EXPECT(reread.toLine() == written);
    const KeyFrame withoutLineEnd(written.substr(0, written.size() - 1));
    FUZZ_EXPECT(sameFrame(withoutLineEnd, reread));
    return {};
}
