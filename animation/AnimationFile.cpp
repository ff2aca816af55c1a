#include "animation/AnimationFile.h"

#include "animation/NumberText.h"

#include "animation/FileRead.h"
#include "animation/SafeFileWrite.h"

#include <algorithm>
#include <climits>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

// After each token the reader looks at no more than this many characters of
// what follows; longer frame lines lose their tail.
constexpr std::size_t TOKEN_LOOKAHEAD = 1000;

// A line read with getline keeps the "\r" of a "\r\n" line end.
void dropCarriageReturn(std::string& line) {
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
}

// The motion type is stored as the double cut toward zero. Values beyond an
// int saturate, so a wild number from a file can never reach an undefined
// conversion; they are no valid code either way.
int truncateToInt(double value) {
    if (value >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    if (value <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

} // namespace

Animation readAnimation(std::istream& in) {
    Animation animation("", false);
    std::string line;
    std::getline(in, line);
    dropCarriageReturn(line);
    if (line != "RGAF") {
        std::cout << "Unexpected header, 'RGAF' expected!\n";
        return animation;
    }
    std::string name;
    std::getline(in, name);
    dropCarriageReturn(name);
    animation.setName(name);

    int count = 0;
    int loopValue = 0;
    if (!(in >> count >> loopValue)) {
        // Nothing after an unreadable number can be trusted; keep the name.
        animation.setValid(true);
        return animation;
    }
    animation.setLooping(loopValue == 1);
    in.ignore(1000, '\n');

    // One buffer for every frame line: a read that finds nothing leaves it
    // empty (after a final "\n") or holding the last line (without one), and
    // the missing frames are built from what it holds.
    std::string frameLine;
    int read = 0;
    while (read < count && std::getline(in, frameLine)) {
        dropCarriageReturn(frameLine);
        animation.appendFrame(std::make_unique<KeyFrame>(frameLine));
        ++read;
    }
    int missing = std::min(count - read, MAX_MISSING_FRAMES);
    if (missing > 0) {
        dropCarriageReturn(frameLine);
        KeyFrame filler(frameLine);
        for (int i = 0; i < missing; ++i) {
            animation.appendFrame(std::make_unique<KeyFrame>(filler));
        }
    }
    animation.setValid(true);
    return animation;
}

long long framesInText(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    std::getline(in, line);
    std::getline(in, line);
    // Read as the reader reads them.
    int count = 0;
    int loop = 0;
    if (!(in >> count >> loop) || count <= 0)
        return 0;
    in.ignore(1000, '\n');
    // Frame lines end in "\n"; a last one may not.
    const std::streampos at = in.tellg();
    const std::size_t rest = at < 0 ? text.size() : static_cast<std::size_t>(at);
    long long lines = static_cast<long long>(std::count(text.begin() + rest, text.end(), '\n'));
    if (!text.empty() && text.back() != '\n' && rest < text.size())
        ++lines;
    return count <= lines ? count : lines + std::min<long long>(count - lines, MAX_MISSING_FRAMES);
}

bool readAnimationFile(const std::string& path, Animation& animation, std::string* reason) {
    std::string text;
    std::string why;
    const FileRead read = readRegularFile(path, MAX_ANIMATION_FILE_BYTES, text, why);
    if (read == FileRead::Done && framesInText(text) > MAX_ANIMATION_FRAMES)
        why = "more than " + std::to_string(MAX_ANIMATION_FRAMES) + " frames";
    else if (read == FileRead::Done) {
        std::istringstream in(std::move(text));
        animation = readAnimation(in);
        if (!animation.valid() && reason)
            *reason = "not an animation file";
        return animation.valid();
    }
    if (read == FileRead::CannotOpen)
        std::cout << "Error in reading animation file!\n";
    else
        std::cout << "Animation file refused: " << why << "\n";
    if (reason)
        *reason = why;
    return false;
}

void readFrameLine(std::string_view line, KeyFrame& frame) {
    double values[FRAME_LINE_VALUES];
    std::string_view rest = line;
    for (double& value : values) {
        std::size_t separator = rest.find_first_of(" \t");
        std::string_view token = rest.substr(0, separator);
        // Without a separator the last token is read again for every
        // remaining value, as the line-cutting rule leaves it in place.
        std::size_t restStart = separator == std::string_view::npos ? 0 : separator + 1;
        rest = rest.substr(restStart, TOKEN_LOOKAHEAD);
        value = readNumber(token);
    }
    const double* v = values;
    frame.rootPosition = Vec3(v[0], v[1], v[2]);
    v += 3;
    for (BonePose& pose : frame.boneAngles) {
        pose = BonePose(v[0], v[1], v[2]);
        v += 3;
    }
    frame.waitTime = v[0];
    frame.transitionTime = v[1];
    frame.motionType = truncateToInt(v[2]);
}

void appendFrameLine(std::string& out, const KeyFrame& frame) {
    auto put = [&out](double value, char after) {
        appendNumber(out, value);
        out.push_back(after);
    };
    put(frame.rootPosition.x, '\t');
    put(frame.rootPosition.y, '\t');
    put(frame.rootPosition.z, '\t');
    for (const BonePose& pose : frame.boneAngles) {
        put(pose.x, '\t');
        put(pose.y, '\t');
        put(pose.z, '\t');
    }
    put(frame.waitTime, '\t');
    put(frame.transitionTime, '\t');
    put(static_cast<double>(frame.motionType), '\n');
}

std::string animationText(const Animation& animation) {
    std::string text = "RGAF\n";
    text += animation.name();
    text += '\n';
    text += std::to_string(animation.frameCount());
    text += '\n';
    text += animation.looping() ? "1\n" : "0\n";
    // A frame line rarely exceeds 500 characters; one reservation saves the
    // string from regrowing through a long animation.
    text.reserve(text.size() + static_cast<std::size_t>(animation.frameCount()) * 512);
    for (int i = 0; i < animation.frameCount(); ++i) {
        appendFrameLine(text, *animation.frameAt(i));
    }
    return text;
}

bool writeAnimation(std::ostream& out, const Animation& animation) {
    std::string text = animationText(animation);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(out);
}

std::string animationPath(const std::string& folder, const std::string& name) {
    return folder + "/" + name + ".rgaf";
}

bool writeAnimationFile(const std::string& folder, const std::string& fileName,
                        const Animation& animation, bool keepBackup, std::string* reason) {
    // A line end in the name would split the name line and shift every line
    // after it; a slash would write outside the folder.
    const std::string forbidden("/\n\r\0", 4);
    if (fileName.find_first_of(forbidden) != std::string::npos ||
        animation.name().find_first_of(forbidden) != std::string::npos) {
        if (reason)
            *reason = "a name cannot hold \"/\" or a line end";
        return false;
    }
    return writeAnimationTo(animationPath(folder, fileName), animation, keepBackup, reason);
}

bool writeAnimationTo(const std::string& path, const Animation& animation, bool keepBackup,
                      std::string* reason) {
    if (animation.name().find_first_of(std::string("\n\r\0", 3)) != std::string::npos) {
        if (reason)
            *reason = "the animation's name holds a line break or a NUL";
        return false;
    }
    return writeFileSafely(path, animationText(animation), keepBackup, reason);
}

bool saveAnimation(const std::string& folder, const Animation& animation, std::string* reason) {
    if (!writeAnimationFile(folder, animation.name(), animation, true, reason)) {
        std::cout << "Error in saving animation data to file!\n";
        return false;
    }
    return true;
}
