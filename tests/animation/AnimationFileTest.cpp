#include "animation/AnimationFile.h"
#include "animation/NumberText.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

const char* const HEADER_MESSAGE = "Unexpected header, 'RGAF' expected!\n";
const char* const READ_MESSAGE = "Error in reading animation file!\n";
const char* const SAVE_MESSAGE = "Error in saving animation data to file!\n";

struct Read {
    Animation animation;
    std::string output;
};

Read readText(const std::string& text) {
    std::istringstream in(text);
    testing::internal::CaptureStdout();
    Animation animation = readAnimation(in);
    return Read{std::move(animation), testing::internal::GetCapturedStdout()};
}

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string sourceDir() {
    const char* dir = std::getenv("KINEMORPH_SOURCE_DIR");
    return dir ? dir : ".";
}

std::string sampleFile(const std::string& name) {
    return sourceDir() + "/tests/data/animation/" + name;
}

// The walk animation: looping, one frame, root at (0, 0.5, 0), all angles 0,
// wait 0, transition 1, Linear.
Animation walkAnimation() {
    Animation walk("walk", true);
    KeyFrame* frame = walk.addFrameFromPose(nullptr);
    frame->rootPosition = Vec3(0, 0.5, 0);
    return walk;
}

std::string walkText() {
    std::string line = "0\t0.5\t0";
    for (int i = 0; i < 63; ++i) {
        line += "\t0";
    }
    return "RGAF\nwalk\n1\n1\n" + line + "\t0\t1\t3\n";
}

Animation randomAnimation(std::mt19937_64& random, int frames) {
    std::uniform_real_distribution<double> angle(-720, 720);
    std::uniform_real_distribution<double> seconds(0, 5);
    const int motions[] = {3, 13, 23, 33};
    Animation animation("random take", random() % 2 == 0);
    for (int f = 0; f < frames; ++f) {
        KeyFrame* frame = animation.addFrameFromPose(nullptr);
        frame->rootPosition = Vec3(angle(random) / 100, angle(random) / 1e7, angle(random) * 1e6);
        for (BonePose& pose : frame->boneAngles) {
            pose = BonePose(angle(random), angle(random), angle(random) * 1e-5);
        }
        frame->waitTime = seconds(random);
        frame->transitionTime = seconds(random);
        frame->motionType = motions[random() % 4];
    }
    return animation;
}

// Every value of `frame` as the file holds it: rounded to six digits.
KeyFrame roundedToSixDigits(const KeyFrame& frame) {
    auto round = [](double value) { return readNumber(numberText(value)); };
    KeyFrame rounded = frame;
    rounded.rootPosition =
        Vec3(round(frame.rootPosition.x), round(frame.rootPosition.y), round(frame.rootPosition.z));
    for (BonePose& pose : rounded.boneAngles) {
        pose = BonePose(round(pose.x), round(pose.y), round(pose.z));
    }
    rounded.waitTime = round(frame.waitTime);
    rounded.transitionTime = round(frame.transitionTime);
    return rounded;
}

void expectSameFrame(const KeyFrame& actual, const KeyFrame& expected) {
    EXPECT_EQ(actual.rootPosition, expected.rootPosition);
    EXPECT_EQ(actual.boneAngles, expected.boneAngles);
    EXPECT_EQ(actual.waitTime, expected.waitTime);
    EXPECT_EQ(actual.transitionTime, expected.transitionTime);
    EXPECT_EQ(actual.motionType, expected.motionType);
}

// The 69 values of a frame, in file order.
std::vector<double> frameValues(const KeyFrame& frame) {
    std::vector<double> values = {frame.rootPosition.x, frame.rootPosition.y, frame.rootPosition.z};
    for (const BonePose& pose : frame.boneAngles) {
        values.insert(values.end(), {pose.x, pose.y, pose.z});
    }
    values.insert(values.end(),
                  {frame.waitTime, frame.transitionTime, static_cast<double>(frame.motionType)});
    return values;
}

bool allUnreadable(const KeyFrame& frame) {
    for (double value : frameValues(frame)) {
        if (value != UNREADABLE_NUMBER) {
            return false;
        }
    }
    return true;
}

TEST(AnimationFile, WritesTheWalkExampleByteForByte) {
    EXPECT_EQ(animationText(walkAnimation()), walkText());
    EXPECT_EQ(fileText(sampleFile("walk.rgaf")), walkText());

    TempFolder folder;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(saveAnimation(folder.path(), walkAnimation()));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(fileText(folder.path() + "/walk.rgaf"), walkText());
    // Nothing but the file itself is left in the folder.
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"walk.rgaf"});

    std::ostringstream out;
    EXPECT_TRUE(writeAnimation(out, walkAnimation()));
    EXPECT_EQ(out.str(), walkText());
}

TEST(AnimationFile, ReadsTheStoredSamples) {
    testing::internal::CaptureStdout();
    Animation walk(sampleFile("walk.rgaf"));
    Animation crlf(sampleFile("walk-crlf.rgaf"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    for (const Animation* a : {&walk, &crlf}) {
        EXPECT_TRUE(a->valid());
        EXPECT_EQ(a->name(), "walk");
        EXPECT_TRUE(a->looping());
        ASSERT_EQ(a->frameCount(), 1);
        expectSameFrame(*a->frameAt(0), *walkAnimation().frameAt(0));
        EXPECT_EQ(a->frameAt(0)->index, 0);
    }

    testing::internal::CaptureStdout();
    Animation wrong(sampleFile("bad-header.rgaf"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), HEADER_MESSAGE);
    EXPECT_FALSE(wrong.valid());
    EXPECT_EQ(wrong.frameCount(), 0);

    testing::internal::CaptureStdout();
    Animation missing(sampleFile("no-such-file.rgaf"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), READ_MESSAGE);
    EXPECT_FALSE(missing.valid());
    EXPECT_EQ(missing.name(), "");

    // A folder opens but cannot be read as text.
    testing::internal::CaptureStdout();
    Animation folder(sourceDir() + "/tests/data/animation");
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(folder.valid());
    EXPECT_FALSE(output.empty());
}

TEST(AnimationFile, HeaderVariants) {
    for (const char* header :
         {"RGAF ", "rgaf", "RGAFX", "RGA", "", " RGAF", "RGAF\r\r", "\xEF\xBB\xBFRGAF", "RGAF\t"}) {
        Read r = readText(std::string(header) + "\nwalk\n0\n0\n");
        EXPECT_EQ(r.output, HEADER_MESSAGE) << '"' << header << '"';
        EXPECT_FALSE(r.animation.valid());
        EXPECT_EQ(r.animation.name(), "");
    }
    Read empty = readText("");
    EXPECT_EQ(empty.output, HEADER_MESSAGE);
    EXPECT_FALSE(empty.animation.valid());

    Read crlf = readText("RGAF\r\nwalk\r\n0\r\n1\r\n");
    EXPECT_EQ(crlf.output, "");
    EXPECT_TRUE(crlf.animation.valid());
    EXPECT_EQ(crlf.animation.name(), "walk");
    EXPECT_TRUE(crlf.animation.looping());
}

TEST(AnimationFile, NamesAndLoopingFlag) {
    Read spaced = readText("RGAF\n  my  slow walk \n0\n1\n");
    EXPECT_EQ(spaced.animation.name(), "  my  slow walk ");
    Animation named("my slow walk", false);
    EXPECT_EQ(animationText(named), "RGAF\nmy slow walk\n0\n0\n");

    const std::pair<const char*, bool> flags[] = {
        {"1", true}, {"0", false}, {"2", false}, {"-1", false}, {"01", true}, {"1 trailing", true}};
    for (const auto& [flag, looping] : flags) {
        Read r = readText(std::string("RGAF\nx\n1\n") + flag + "\n5\n");
        EXPECT_EQ(r.animation.looping(), looping) << flag;
        // The rest of the flag's line is skipped, the frame line is read.
        ASSERT_EQ(r.animation.frameCount(), 1);
        EXPECT_EQ(r.animation.frameAt(0)->rootPosition.x, 5) << flag;
    }
    // Count and flag are plain integers that may share a line.
    Read shared = readText("RGAF\nx\n1 1\n7\n");
    EXPECT_TRUE(shared.animation.looping());
    ASSERT_EQ(shared.animation.frameCount(), 1);
    EXPECT_EQ(shared.animation.frameAt(0)->rootPosition.x, 7);
}

TEST(AnimationFile, EmptyAnimationRoundTrip) {
    Animation empty("still", false);
    std::string text = animationText(empty);
    EXPECT_EQ(text, "RGAF\nstill\n0\n0\n");
    Read r = readText(text);
    EXPECT_EQ(r.output, "");
    EXPECT_TRUE(r.animation.valid());
    EXPECT_EQ(r.animation.frameCount(), 0);
    EXPECT_EQ(r.animation.name(), "still");
    EXPECT_FALSE(r.animation.looping());
}

TEST(AnimationFile, RandomRoundTripKeepsSixDigits) {
    std::mt19937_64 random(21);
    for (int round = 0; round < 20; ++round) {
        Animation original = randomAnimation(random, 1 + round % 7);
        Read r = readText(animationText(original));
        ASSERT_TRUE(r.animation.valid());
        EXPECT_EQ(r.animation.name(), original.name());
        EXPECT_EQ(r.animation.looping(), original.looping());
        ASSERT_EQ(r.animation.frameCount(), original.frameCount());
        for (int i = 0; i < original.frameCount(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(r.animation.frameAt(i)->index, i);
            expectSameFrame(*r.animation.frameAt(i), roundedToSixDigits(*original.frameAt(i)));
        }
        // Written again, the rounded values give the same bytes.
        EXPECT_EQ(animationText(r.animation), animationText(original));
    }
}

TEST(AnimationFile, CrlfReadsLikeLf) {
    std::mt19937_64 random(3);
    Animation original = randomAnimation(random, 4);
    std::string lf = animationText(original);
    std::string crlf;
    for (char c : lf) {
        if (c == '\n') {
            crlf += '\r';
        }
        crlf += c;
    }
    Read a = readText(lf);
    Read b = readText(crlf);
    EXPECT_EQ(b.output, "");
    EXPECT_EQ(b.animation.name(), a.animation.name());
    ASSERT_EQ(b.animation.frameCount(), a.animation.frameCount());
    for (int i = 0; i < a.animation.frameCount(); ++i) {
        expectSameFrame(*b.animation.frameAt(i), *a.animation.frameAt(i));
    }
}

TEST(AnimationFile, FrameLineTokens) {
    // Two tabs in a row: an empty token, and every later value one late.
    // The numbers 1 to 69 with the first tab doubled: 69 is never read.
    std::string line = "1\t";
    for (int i = 2; i <= 69; ++i) {
        line += "\t" + std::to_string(i);
    }
    KeyFrame shifted(line);
    std::vector<double> values = frameValues(shifted);
    EXPECT_EQ(values[0], 1);
    EXPECT_EQ(values[1], UNREADABLE_NUMBER);
    EXPECT_EQ(values[2], 2);
    EXPECT_EQ(values[68], 68);

    // Blanks separate as tabs do; text after a number is ignored.
    KeyFrame blanks("1 2.5kg\t-3 ");
    values = frameValues(blanks);
    EXPECT_EQ(values[0], 1);
    EXPECT_EQ(values[1], 2.5);
    EXPECT_EQ(values[2], -3);
    EXPECT_EQ(values[3], UNREADABLE_NUMBER);
    EXPECT_EQ(blanks.motionType, INT_MAX);

    // Without a separator the last token is read for every later value.
    KeyFrame shortLine("4\t9");
    values = frameValues(shortLine);
    EXPECT_EQ(values[0], 4);
    for (int i = 1; i < FRAME_LINE_VALUES; ++i) {
        EXPECT_EQ(values[i], 9) << i;
    }
    EXPECT_TRUE(allUnreadable(KeyFrame(std::string())));
    EXPECT_TRUE(allUnreadable(KeyFrame("\r")));

    // After a token only the next 1000 characters count: the 8 is cut off.
    std::string longLine = "5\t" + std::string(997, 'x') + "\t7\t8";
    values = frameValues(KeyFrame(longLine));
    EXPECT_EQ(values[0], 5);
    EXPECT_EQ(values[1], UNREADABLE_NUMBER);
    EXPECT_EQ(values[2], 7);
    EXPECT_EQ(values[3], UNREADABLE_NUMBER);
    EXPECT_EQ(values[68], UNREADABLE_NUMBER);
    // One character less and the 8 is still seen.
    values = frameValues(KeyFrame("5\t" + std::string(996, 'x') + "\t7\t8"));
    EXPECT_EQ(values[3], 8);
}

TEST(AnimationFile, MotionTypeIsCutTowardZero) {
    auto motionOf = [](const std::string& last) {
        std::string line;
        for (int i = 0; i < 68; ++i) {
            line += "0\t";
        }
        return KeyFrame(line + last).motionType;
    };
    EXPECT_EQ(motionOf("13.9"), 13);
    EXPECT_EQ(motionOf("-3.5"), -3);
    EXPECT_EQ(motionOf("7"), 7);
    EXPECT_EQ(motionOf("x"), INT_MAX);
    // Out of an int's range: saturated, never an undefined conversion.
    EXPECT_EQ(motionOf("1e300"), INT_MAX);
    EXPECT_EQ(motionOf("-1e300"), INT_MIN);
}

TEST(AnimationFile, ShortFilesStillCreateTheMissingFrames) {
    std::string frame = walkAnimation().frameAt(0)->toLine();
    // After a last line with its "\n" the missing frames read an empty line.
    Read ended = readText("RGAF\nw\n3\n0\n" + frame);
    ASSERT_EQ(ended.animation.frameCount(), 3);
    EXPECT_TRUE(ended.animation.valid());
    expectSameFrame(*ended.animation.frameAt(0), *walkAnimation().frameAt(0));
    EXPECT_TRUE(allUnreadable(*ended.animation.frameAt(1)));
    EXPECT_TRUE(allUnreadable(*ended.animation.frameAt(2)));
    EXPECT_EQ(ended.animation.frameAt(2)->motionType, INT_MAX);
    EXPECT_EQ(ended.animation.frameAt(2)->index, 2);

    // Without it they repeat the last line.
    frame.pop_back();
    Read unended = readText("RGAF\nw\n3\n0\n" + frame);
    ASSERT_EQ(unended.animation.frameCount(), 3);
    for (int i = 0; i < 3; ++i) {
        expectSameFrame(*unended.animation.frameAt(i), *walkAnimation().frameAt(0));
    }

    // A header alone: no frame lines at all, every frame blank.
    Read bare = readText("RGAF\nw\n2\n1");
    ASSERT_EQ(bare.animation.frameCount(), 2);
    EXPECT_TRUE(allUnreadable(*bare.animation.frameAt(1)));

    // Lines past the count are ignored.
    Read extra = readText("RGAF\nw\n1\n0\n1\n2\n3\n");
    EXPECT_EQ(extra.animation.frameCount(), 1);
}

TEST(AnimationFile, LyingCountIsBounded) {
    Read r = readText("RGAF\nliar\n2000000000\n1\n1\t2\t3\n");
    EXPECT_TRUE(r.animation.valid());
    ASSERT_EQ(r.animation.frameCount(), 1 + MAX_MISSING_FRAMES);
    EXPECT_EQ(r.animation.frameAt(0)->rootPosition, Vec3(1, 2, 3));
    EXPECT_TRUE(allUnreadable(*r.animation.frameAt(MAX_MISSING_FRAMES)));
    EXPECT_EQ(r.animation.lastFrame()->index, MAX_MISSING_FRAMES);

    // Three lines with nothing after the count: the missing looping flag
    // makes the count unusable; with the flag beside it the frames are blanks,
    // bounded all the same.
    Read three = readText("RGAF\nliar\n2000000000\n");
    EXPECT_TRUE(three.animation.valid());
    EXPECT_EQ(three.animation.frameCount(), 0);
    Read beside = readText("RGAF\nliar\n2000000000 1\n");
    ASSERT_EQ(beside.animation.frameCount(), MAX_MISSING_FRAMES);
    EXPECT_TRUE(allUnreadable(*beside.animation.lastFrame()));

    // A count that is merely a little high keeps the whole of its blanks.
    Read near = readText("RGAF\nliar\n5\n1\n1\t2\t3\n");
    EXPECT_EQ(near.animation.frameCount(), 5);
}

TEST(AnimationFile, UnreadableCountGivesNoFrames) {
    const char* const texts[] = {
        "RGAF\nodd\nabc\n1\n1\t2\n",         // count not a number
        "RGAF\nodd\n\n",                     // count missing
        "RGAF\nodd\n99999999999\n1\n1\t2\n", // count beyond an int
        "RGAF\nodd\n2\nyes\n1\t2\n1\t2\n",   // looping flag not a number
        "RGAF\nodd\n2.5\n1\n1\t2\n",         // ".5" is no looping flag
    };
    for (const char* text : texts) {
        Read r = readText(text);
        EXPECT_EQ(r.output, "") << text;
        EXPECT_TRUE(r.animation.valid()) << text;
        EXPECT_EQ(r.animation.frameCount(), 0) << text;
        EXPECT_FALSE(r.animation.looping()) << text;
        EXPECT_EQ(r.animation.name(), "odd") << text;
    }
    Read nameOnly = readText("RGAF");
    EXPECT_TRUE(nameOnly.animation.valid());
    EXPECT_EQ(nameOnly.animation.frameCount(), 0);

    Read negative = readText("RGAF\nneg\n-4\n1\n1\t2\n");
    EXPECT_EQ(negative.animation.frameCount(), 0);
    EXPECT_TRUE(negative.animation.looping());
}

TEST(AnimationFile, RandomBytesAndTruncationsNeverBreakTheReader) {
    std::mt19937_64 random(77);
    std::string valid = animationText(randomAnimation(random, 3));
    testing::internal::CaptureStdout();
    for (std::size_t length = 0; length <= valid.size(); ++length) {
        std::istringstream in(valid.substr(0, length));
        Animation a = readAnimation(in);
        if (length > 5) {
            EXPECT_TRUE(a.valid()) << length;
        }
        EXPECT_LE(a.frameCount(), 3);
    }
    for (int i = 0; i < 500; ++i) {
        std::string text = i % 2 ? "RGAF\n" : "";
        int length = static_cast<int>(random() % 400);
        for (int k = 0; k < length; ++k) {
            // Random bytes, with line ends, tabs and digits more likely.
            static const char common[] = "\n\t 0123456789.-e\r";
            text += random() % 3 ? static_cast<char>(random() % 256)
                                 : common[random() % (sizeof common - 1)];
        }
        std::istringstream in(text);
        Animation a = readAnimation(in);
        EXPECT_LE(a.frameCount(), static_cast<int>(text.size()) + MAX_MISSING_FRAMES);
    }
    testing::internal::GetCapturedStdout();
}

TEST(AnimationFile, PathsJoinFolderAndName) {
    EXPECT_EQ(animationPath(ANIMATION_FOLDER, "walk"),
              "./resources/config/skeleton/animations//walk.rgaf");
    EXPECT_EQ(animationPath("/tmp/x", ""), "/tmp/x/.rgaf");
}

TEST(AnimationFile, SaveIntoMissingFolderFails) {
    TempFolder folder;
    std::string missing = folder.path() + "/absent";
    testing::internal::CaptureStdout();
    EXPECT_FALSE(saveAnimation(missing, walkAnimation()));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), SAVE_MESSAGE);
    EXPECT_TRUE(folder.entries().empty());

    // A folder standing where the file should go is not replaced.
    ASSERT_EQ(::mkdir((folder.path() + "/walk.rgaf").c_str(), 0755), 0);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(saveAnimation(folder.path(), walkAnimation()));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), SAVE_MESSAGE);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"walk.rgaf"});
    ::rmdir((folder.path() + "/walk.rgaf").c_str());
}

TEST(AnimationFile, SaveRefusesNamesThatCannotBeAFileName) {
    TempFolder folder;
    ASSERT_EQ(::mkdir((folder.path() + "/sub").c_str(), 0755), 0);
    for (const std::string& name : {std::string("sub/walk"), std::string("two\nlines"),
                                    std::string("walk\r"), std::string("nul\0x", 5)}) {
        Animation animation = walkAnimation();
        animation.setName(name);
        testing::internal::CaptureStdout();
        EXPECT_FALSE(saveAnimation(folder.path(), animation));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), SAVE_MESSAGE);
    }
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"sub"});
    ::rmdir((folder.path() + "/sub").c_str());

    // An empty name is a file named only ".rgaf".
    Animation unnamed = walkAnimation();
    unnamed.setName("");
    EXPECT_TRUE(saveAnimation(folder.path(), unnamed));
    EXPECT_EQ(folder.entries(), std::vector<std::string>{".rgaf"});
}

TEST(AnimationFile, SaveReplacesTheOldFileKeepingItAsABackupWithItsMode) {
    TempFolder folder;
    std::string path = folder.path() + "/walk.rgaf";
    writeFile(path, "old content\n");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    testing::internal::CaptureStdout();
    EXPECT_TRUE(saveAnimation(folder.path(), walkAnimation()));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(fileText(path), walkText());
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"walk.rgaf", "walk.rgaf.bak"}));
    EXPECT_EQ(fileText(path + ".bak"), "old content\n");

    // Saved and loaded back under the same name.
    testing::internal::CaptureStdout();
    Animation loaded(path);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(loaded.valid());
    EXPECT_EQ(animationText(loaded), walkText());
}

// Runs saveAnimation in a child whose files may grow to `limit` bytes only,
// as on a nearly full disk. Returns the child's output; `saved` gets its
// result.
std::string saveWithFileSizeLimit(const std::string& folder, const Animation& animation,
                                  rlim_t limit, bool& saved) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        ADD_FAILURE() << "pipe failed";
        return "";
    }
    std::cout.flush();
    pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        // Without this the kernel kills the writer instead of failing the write.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit small{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &small);
        bool ok = saveAnimation(folder, animation);
        std::cout.flush();
        ::_exit(ok ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    std::string output;
    char buffer[256];
    ssize_t n;
    while ((n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
        output.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    saved = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return output;
}

TEST(AnimationFile, SaveFailingPartWayLeavesTheOldFileIntact) {
    TempFolder folder;
    std::mt19937_64 random(8);
    Animation big = randomAnimation(random, 40);
    big.setName("walk");
    ASSERT_GT(animationText(big).size(), 8192u);
    std::string path = folder.path() + "/walk.rgaf";
    writeFile(path, walkText());

    bool saved = true;
    std::string output = saveWithFileSizeLimit(folder.path(), big, 8192, saved);
    EXPECT_FALSE(saved);
    EXPECT_EQ(output, SAVE_MESSAGE);
    EXPECT_EQ(fileText(path), walkText());
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"walk.rgaf"});

    // The same save with room enough succeeds.
    output = saveWithFileSizeLimit(folder.path(), big, 1 << 20, saved);
    EXPECT_TRUE(saved);
    EXPECT_EQ(output, "");
    EXPECT_EQ(fileText(path), animationText(big));
}

} // namespace
