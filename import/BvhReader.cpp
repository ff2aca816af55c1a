#include "import/BvhReader.h"

#include "animation/FileRead.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace {

struct Token {
    std::string_view text;
    int line = 0;
};

bool sameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// A word as it appears in a message: cut short and without control bytes,
// so a binary file cannot fill the terminal.
std::string shown(std::string_view word) {
    std::string out;
    for (char c : word.substr(0, 40)) {
        out += std::isprint(static_cast<unsigned char>(c)) ? c : '?';
    }
    if (word.size() > 40) {
        out += "...";
    }
    return out;
}

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}

    int line() const { return line_; }

    // The next token, or an empty one at the end of the text.
    Token next() {
        skipSpace(true);
        Token token;
        token.line = line_;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !isBlank(text_[pos_]) && text_[pos_] != '\n') {
            ++pos_;
        }
        token.text = text_.substr(start, pos_ - start);
        return token;
    }

    // The rest of the present line with its blanks trimmed; moves past it
    // (not past its line end).
    std::string_view restOfLine() {
        skipSpace(false);
        const std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != '\n') {
            ++pos_;
        }
        std::size_t end = pos_;
        while (end > start && isBlank(text_[end - 1])) {
            --end;
        }
        return text_.substr(start, end - start);
    }

    // Whether only blanks remain on the present line.
    bool lineEnds() {
        skipSpace(false);
        return pos_ >= text_.size() || text_[pos_] == '\n';
    }

    // Moves to the start of the next line; false at the end of the text.
    bool nextLine() {
        while (pos_ < text_.size() && text_[pos_] != '\n') {
            ++pos_;
        }
        if (pos_ >= text_.size()) {
            return false;
        }
        ++pos_;
        ++line_;
        return true;
    }

    bool atEnd() const { return pos_ >= text_.size(); }
    std::size_t remaining() const { return text_.size() - pos_; }

private:
    void skipSpace(bool acrossLines) {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n' && acrossLines) {
                ++line_;
            } else if (!isBlank(c)) {
                break;
            }
            ++pos_;
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

// A decimal number filling the whole token, finite and within
// MAX_BVH_VALUE. A leading "+" is allowed, as some writers put one.
bool parseNumber(std::string_view text, double& value) {
    if (!text.empty() && text[0] == '+') {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return false;
    }
    // from_chars reads "nan", "inf" and hexadecimal floats only on request
    // for the latter; the finite check below refuses the former.
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end && std::isfinite(value) &&
           std::fabs(value) <= MAX_BVH_VALUE;
}

bool parseCount(std::string_view text, long long& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

bool channelNamed(std::string_view name, BvhChannel& channel) {
    static const std::pair<const char*, BvhChannel> NAMES[] = {
        {"Xposition", BvhChannel::Xposition}, {"Yposition", BvhChannel::Yposition},
        {"Zposition", BvhChannel::Zposition}, {"Xrotation", BvhChannel::Xrotation},
        {"Yrotation", BvhChannel::Yrotation}, {"Zrotation", BvhChannel::Zrotation},
    };
    for (const auto& [text, value] : NAMES) {
        if (sameWord(name, text)) {
            channel = value;
            return true;
        }
    }
    return false;
}

class Parser {
public:
    explicit Parser(std::string_view text) : lex_(text) {}

    bool parse(BvhClip& clip, std::string& error) {
        if (!hierarchy() || !motion()) {
            error = error_;
            return false;
        }
        clip = std::move(clip_);
        return true;
    }

private:
    bool fail(int line, const std::string& message) {
        error_ = "line " + std::to_string(line) + ": " + message;
        return false;
    }

    bool expectWord(const char* word, const std::string& context) {
        const Token t = lex_.next();
        if (t.text.empty()) {
            return fail(t.line, "the file ends where " + std::string(word) + " " + context +
                                    " was expected");
        }
        if (!sameWord(t.text, word)) {
            return fail(t.line, "expected " + std::string(word) + " " + context + ", found '" +
                                    shown(t.text) + "'");
        }
        return true;
    }

    bool number(double& value, const std::string& what) {
        const Token t = lex_.next();
        if (t.text.empty()) {
            return fail(t.line, "the file ends where " + what + " was expected");
        }
        if (!parseNumber(t.text, value)) {
            return fail(t.line, "expected " + what + ", found '" + shown(t.text) + "'" +
                                    " (a finite number of magnitude at most 1e9)");
        }
        return true;
    }

    bool vector(Vec3& v, const std::string& what) {
        return number(v.x, what) && number(v.y, what) && number(v.z, what);
    }

    bool hierarchy() {
        if (!expectWord("HIERARCHY", "at the start of the file")) {
            return false;
        }
        const Token root = lex_.next();
        if (!sameWord(root.text, "ROOT")) {
            return fail(root.line, root.text.empty()
                                       ? "the file ends before its ROOT joint"
                                       : "expected ROOT, found '" + shown(root.text) + "'");
        }
        if (!joint(-1, root.line)) {
            return false;
        }
        const Token t = lex_.next();
        if (sameWord(t.text, "MOTION")) {
            return true;
        }
        if (sameWord(t.text, "ROOT")) {
            return fail(t.line, "a second ROOT; one skeleton per file is read");
        }
        if (t.text == "}") {
            return fail(t.line, "a '}' closes no joint (unbalanced braces)");
        }
        return fail(t.line, t.text.empty() ? "the file ends before MOTION"
                                           : "expected MOTION, found '" + shown(t.text) + "'");
    }

    // A ROOT or JOINT whose keyword was just read: its name, then its block.
    // Blocks nest as deep as the joints; kept iterative so a hostile file
    // cannot exhaust the stack.
    bool joint(int parent, int line) {
        std::vector<int> open;
        if (!beginJoint(parent, line, open)) {
            return false;
        }
        while (!open.empty()) {
            const Token t = lex_.next();
            BvhJoint& current = clip_.joints[open.back()];
            if (t.text.empty()) {
                return fail(t.line, "the file ends inside joint '" + shown(current.name) +
                                        "' (unbalanced braces)");
            }
            if (sameWord(t.text, "OFFSET")) {
                if (seenOffset_[open.back()]) {
                    return fail(t.line, "a second OFFSET in joint '" + shown(current.name) + "'");
                }
                seenOffset_[open.back()] = true;
                if (!vector(current.offset, "an OFFSET number")) {
                    return false;
                }
            } else if (sameWord(t.text, "CHANNELS")) {
                if (!channels(open.back(), t.line)) {
                    return false;
                }
            } else if (sameWord(t.text, "JOINT")) {
                if (!complete(open.back(), t.line) || !beginJoint(open.back(), t.line, open)) {
                    return false;
                }
            } else if (sameWord(t.text, "End")) {
                if (!complete(open.back(), t.line) || !endSite(open.back(), t.line)) {
                    return false;
                }
            } else if (t.text == "}") {
                if (!complete(open.back(), t.line)) {
                    return false;
                }
                open.pop_back();
            } else if (sameWord(t.text, "ROOT") || sameWord(t.text, "MOTION")) {
                return fail(t.line, "'" + shown(t.text) + "' inside joint '" + shown(current.name) +
                                        "' (unbalanced braces)");
            } else {
                return fail(t.line, "unexpected '" + shown(t.text) + "' in joint '" +
                                        shown(current.name) + "'");
            }
        }
        return true;
    }

    bool beginJoint(int parent, int line, std::vector<int>& open) {
        if (static_cast<int>(clip_.joints.size()) >= MAX_BVH_JOINTS) {
            return fail(line, "more than " + std::to_string(MAX_BVH_JOINTS) + " joints");
        }
        std::string_view name = lex_.restOfLine();
        // "JOINT Hips {" puts the brace on the name's line.
        bool braceOnLine = false;
        if (!name.empty() && name.back() == '{') {
            braceOnLine = true;
            name.remove_suffix(1);
            while (!name.empty() && isBlank(name.back())) {
                name.remove_suffix(1);
            }
        }
        if (name.empty()) {
            return fail(line, "a joint without a name");
        }
        if (!braceOnLine && !expectWord("{", "after joint '" + shown(name) + "'")) {
            return false;
        }
        BvhJoint joint;
        joint.name = std::string(name);
        joint.parent = parent;
        joint.line = line;
        const int index = static_cast<int>(clip_.joints.size());
        if (parent >= 0) {
            clip_.joints[parent].children.push_back(index);
        }
        clip_.joints.push_back(std::move(joint));
        seenOffset_.push_back(false);
        seenChannels_.push_back(false);
        open.push_back(index);
        return true;
    }

    bool channels(int index, int line) {
        BvhJoint& joint = clip_.joints[index];
        if (seenChannels_[index]) {
            return fail(line, "a second CHANNELS in joint '" + shown(joint.name) + "'");
        }
        seenChannels_[index] = true;
        const Token countToken = lex_.next();
        long long count = -1;
        if (!parseCount(countToken.text, count) || count < 0 || count > 6) {
            return fail(countToken.line, "CHANNELS needs a count from 0 to 6, found '" +
                                             shown(countToken.text) + "'");
        }
        joint.firstValue = clip_.valuesPerFrame;
        for (long long c = 0; c < count; ++c) {
            const Token t = lex_.next();
            BvhChannel channel;
            if (t.text.empty() || t.line != line) {
                return fail(line, "CHANNELS " + std::to_string(count) + " lists only " +
                                      std::to_string(c) + " channel names");
            }
            if (!channelNamed(t.text, channel)) {
                return fail(t.line, "unknown channel '" + shown(t.text) + "'");
            }
            if (std::find(joint.channels.begin(), joint.channels.end(), channel) !=
                joint.channels.end()) {
                return fail(t.line, "channel '" + shown(t.text) + "' is listed twice");
            }
            joint.channels.push_back(channel);
        }
        if (!lex_.lineEnds()) {
            return fail(line, "CHANNELS " + std::to_string(count) +
                                  " is followed by more channel names than it counts");
        }
        clip_.valuesPerFrame += static_cast<int>(count);
        return true;
    }

    // Every joint needs its OFFSET and CHANNELS before its children or its
    // end, so a motion line's layout is known joint by joint.
    bool complete(int index, int line) {
        const BvhJoint& joint = clip_.joints[index];
        if (!seenOffset_[index]) {
            return fail(line, "joint '" + shown(joint.name) + "' has no OFFSET");
        }
        if (!seenChannels_[index]) {
            return fail(line, "joint '" + shown(joint.name) + "' has no CHANNELS");
        }
        return true;
    }

    bool endSite(int index, int line) {
        BvhJoint& joint = clip_.joints[index];
        if (!expectWord("Site", "after End")) {
            return false;
        }
        if (joint.hasEndSite) {
            return fail(line, "joint '" + shown(joint.name) + "' has a second End Site");
        }
        if (!expectWord("{", "after End Site") || !expectWord("OFFSET", "in End Site") ||
            !vector(joint.endSite, "an OFFSET number") || !expectWord("}", "to close End Site")) {
            return false;
        }
        joint.hasEndSite = true;
        return true;
    }

    bool motion() {
        // "Frames:" may also come as "Frames :" or glued to its number.
        Token t = lex_.next();
        std::string_view count;
        if (sameWord(t.text.substr(0, std::min<std::size_t>(t.text.size(), 7)), "Frames:")) {
            count = t.text.substr(7);
        } else if (sameWord(t.text, "Frames")) {
            if (!expectWord(":", "after Frames")) {
                return false;
            }
        } else {
            return fail(t.line, t.text.empty()
                                    ? "the file ends before 'Frames:'"
                                    : "expected 'Frames:', found '" + shown(t.text) + "'");
        }
        if (count.empty()) {
            t = lex_.next();
            count = t.text;
        }
        long long frames = 0;
        if (!parseCount(count, frames)) {
            return fail(t.line, "'Frames:' needs a whole number, found '" + shown(count) + "'");
        }
        if (frames <= 0) {
            return fail(t.line, "the clip has no frames");
        }
        if (frames > MAX_BVH_FRAMES) {
            return fail(t.line, "'Frames: " + std::to_string(frames) + "' is more than " +
                                    std::to_string(MAX_BVH_FRAMES) + " frames");
        }
        const int framesLine = t.line;
        if (!expectWord("Frame", "(Frame Time:)")) {
            return false;
        }
        t = lex_.next();
        std::string_view time;
        if (sameWord(t.text.substr(0, std::min<std::size_t>(t.text.size(), 5)), "Time:")) {
            time = t.text.substr(5);
        } else {
            return fail(t.line, "expected 'Time:' after Frame, found '" + shown(t.text) + "'");
        }
        if (time.empty()) {
            t = lex_.next();
            time = t.text;
        }
        double frameTime = 0;
        if (!parseNumber(time, frameTime) || !(frameTime > 0) || frameTime > MAX_BVH_FRAME_TIME) {
            return fail(t.line, "'Frame Time:' needs a number of seconds above 0 and at most " +
                                    std::to_string(static_cast<int>(MAX_BVH_FRAME_TIME)) +
                                    ", found '" + shown(time) + "'");
        }
        if (!lex_.lineEnds()) {
            return fail(t.line, "unexpected text after the frame time");
        }
        if (clip_.valuesPerFrame == 0) {
            return fail(framesLine, "no joint has any channel, so no frame can move");
        }
        clip_.frameCount = static_cast<int>(frames);
        clip_.frameTime = frameTime;
        // Every value takes at least two bytes (a digit and a separator);
        // a count beyond what the file holds takes no memory for itself and
        // ends as a file cut short.
        const long long values = frames * clip_.valuesPerFrame;
        clip_.values.reserve(static_cast<std::size_t>(
            std::min<long long>(values, static_cast<long long>(lex_.remaining() / 2 + 1))));
        return frameLines();
    }

    bool frameLines() {
        const int expected = clip_.valuesPerFrame;
        int read = 0;
        while (lex_.nextLine()) {
            if (lex_.lineEnds()) {
                continue;
            }
            const int line = lex_.line();
            if (read == clip_.frameCount) {
                return fail(line, "more frame lines than 'Frames: " +
                                      std::to_string(clip_.frameCount) + "'");
            }
            for (int v = 0; v < expected; ++v) {
                if (lex_.lineEnds()) {
                    return fail(line, "frame " + std::to_string(read + 1) + " has " +
                                          std::to_string(v) + " values, " +
                                          std::to_string(expected) + " expected");
                }
                double value = 0;
                if (!number(value, "a channel value")) {
                    return false;
                }
                clip_.values.push_back(value);
            }
            if (!lex_.lineEnds()) {
                return fail(line, "frame " + std::to_string(read + 1) + " has more than " +
                                      std::to_string(expected) + " values");
            }
            ++read;
        }
        if (read < clip_.frameCount) {
            return fail(lex_.line(), "the file ends after " + std::to_string(read) + " of " +
                                         std::to_string(clip_.frameCount) + " frames");
        }
        return true;
    }

    Lexer lex_;
    BvhClip clip_;
    std::vector<bool> seenOffset_;
    std::vector<bool> seenChannels_;
    std::string error_;
};

} // namespace

int BvhClip::jointNamed(const std::string& name) const {
    for (std::size_t i = 0; i < joints.size(); ++i) {
        if (joints[i].name == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool parseBvh(std::string_view text, BvhClip& clip, std::string& error) {
    return Parser(text).parse(clip, error);
}

bool readBvhFile(const std::string& path, BvhClip& clip, std::string& error) {
    std::string text;
    if (readRegularFile(path, MAX_BVH_FILE_BYTES, text, error) != FileRead::Done) {
        return false;
    }
    return parseBvh(text, clip, error);
}
