#include "import/BvhReader.h"

#include <gtest/gtest.h>

namespace {

// Line numbers in the messages below count from this text's first line.
const std::string CLIP = "HIERARCHY\n"                                           //  1
                         "ROOT Hips\n"                                           //  2
                         "{\n"                                                   //  3
                         "\tOFFSET 0 0 0\n"                                      //  4
                         "\tCHANNELS 6 Xposition Yposition Zposition Zrotation " //
                         "Xrotation Yrotation\n"                                 //  5
                         "\tJOINT Left Leg\n"                                    //  6
                         "\t{\n"                                                 //  7
                         "\t\tOFFSET 1 -2 0\n"                                   //  8
                         "\t\tCHANNELS 3 Xrotation Yrotation Zrotation\n"        //  9
                         "\t\tEnd Site\n"                                        // 10
                         "\t\t{\n"                                               // 11
                         "\t\t\tOFFSET 0 -3 0\n"                                 // 12
                         "\t\t}\n"                                               // 13
                         "\t}\n"                                                 // 14
                         "}\n"                                                   // 15
                         "MOTION\n"                                              // 16
                         "Frames: 2\n"                                           // 17
                         "Frame Time: 0.5\n"                                     // 18
                         "0 1 2 10 20 30 1 2 3\n"                                // 19
                         "0 1 2 10 20 30 4 5 6\n";                               // 20

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

void expectSameClip(const BvhClip& a, const BvhClip& b, const std::string& what) {
    ASSERT_EQ(a.joints.size(), b.joints.size()) << what;
    for (std::size_t j = 0; j < a.joints.size(); ++j) {
        EXPECT_EQ(a.joints[j].name, b.joints[j].name) << what;
        EXPECT_EQ(a.joints[j].parent, b.joints[j].parent) << what;
        EXPECT_EQ(a.joints[j].offset, b.joints[j].offset) << what;
        EXPECT_EQ(a.joints[j].channels, b.joints[j].channels) << what;
        EXPECT_EQ(a.joints[j].endSite, b.joints[j].endSite) << what;
    }
    EXPECT_EQ(a.frameTime, b.frameTime) << what;
    EXPECT_EQ(a.values, b.values) << what;
}

} // namespace

TEST(BvhReader, RefusesBadClipsWithOneMessageNamingTheLine) {
    struct Case {
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"", "line 1: the file ends where HIERARCHY at the start of the file was expected"},
        {"MOTION\n", "line 1: expected HIERARCHY at the start of the file, found 'MOTION'"},
        {CLIP.substr(0, CLIP.find("\t\tEnd Site")),
         "line 10: the file ends inside joint 'Left Leg' (unbalanced braces)"},
        {CLIP.substr(0, CLIP.find("0 1 2 10 20 30 4")),
         "line 20: the file ends after 1 of 2 frames"},
        {replaced(CLIP, "30 4 5 6", "30 4 5"), "line 20: frame 2 has 8 values, 9 expected"},
        {replaced(CLIP, "30 1 2 3", "30 1 2 3 4"), "line 19: frame 1 has more than 9 values"},
        {CLIP + "1 1 1 1 1 1 1 1 1\n", "line 21: more frame lines than 'Frames: 2'"},
        {replaced(CLIP, "20 30 1", "20 x 1"),
         "line 19: expected a channel value, found 'x' (a finite number of magnitude at most 1e9)"},
        {replaced(CLIP, "20 30 1", "20 nan 1"),
         "line 19: expected a channel value, found 'nan' (a finite number of magnitude at most "
         "1e9)"},
        {replaced(CLIP, "20 30 4", "20 -inf 4"),
         "line 20: expected a channel value, found '-inf' (a finite number of magnitude at most "
         "1e9)"},
        {replaced(CLIP, "OFFSET 1 -2 0", "OFFSET 1 -2 1e10"),
         "line 8: expected an OFFSET number, found '1e10' (a finite number of magnitude at most "
         "1e9)"},
        {replaced(CLIP, "OFFSET 0 -3 0", "OFFSET 0 -3"),
         "line 13: expected an OFFSET number, found '}' (a finite number of magnitude at most "
         "1e9)"},
        {replaced(CLIP, "Frames: 2", "Frames: 0"), "line 17: the clip has no frames"},
        {replaced(CLIP, "Frames: 2", "Frames: 99999999999"),
         "line 17: 'Frames: 99999999999' is more than 10000000 frames"},
        {replaced(CLIP, "Frames: 2", "Frames: 5000000"),
         "line 21: the file ends after 2 of 5000000 frames"},
        {replaced(CLIP, "Frames: 2", "Frames: two"),
         "line 17: 'Frames:' needs a whole number, found 'two'"},
        {replaced(CLIP, "Time: 0.5", "Time: 0"),
         "line 18: 'Frame Time:' needs a number of seconds above 0 and at most 3600, found '0'"},
        {replaced(CLIP, "Time: 0.5", "Time: -0.5"),
         "line 18: 'Frame Time:' needs a number of seconds above 0 and at most 3600, found "
         "'-0.5'"},
        {replaced(CLIP, "\t}\n}\nMOTION", "\t}\nMOTION"),
         "line 15: 'MOTION' inside joint 'Hips' (unbalanced braces)"},
        {replaced(CLIP, "}\nMOTION", "}\n}\nMOTION"),
         "line 16: a '}' closes no joint (unbalanced braces)"},
        {replaced(CLIP, "MOTION", "ROOT Again\n{\n}\nMOTION"),
         "line 16: a second ROOT; one skeleton per file is read"},
        {replaced(CLIP, "CHANNELS 3 Xrotation Yrotation Zrotation",
                  "CHANNELS 3 Xrotation Yrotation"),
         "line 9: CHANNELS 3 lists only 2 channel names"},
        {replaced(CLIP, "CHANNELS 3 Xrotation", "CHANNELS 2 Xrotation"),
         "line 9: CHANNELS 2 is followed by more channel names than it counts"},
        {replaced(CLIP, "CHANNELS 3", "CHANNELS 7"),
         "line 9: CHANNELS needs a count from 0 to 6, found '7'"},
        {replaced(CLIP, "Yrotation Zrotation\n", "Yrotation Wrotation\n"),
         "line 9: unknown channel 'Wrotation'"},
        {replaced(CLIP, "Yrotation Zrotation\n", "Yrotation Xrotation\n"),
         "line 9: channel 'Xrotation' is listed twice"},
        {replaced(CLIP, "\t\tCHANNELS 3", "\t\tOFFSET 1 1 1\n\t\tCHANNELS 3"),
         "line 9: a second OFFSET in joint 'Left Leg'"},
        {replaced(CLIP, "\t\tOFFSET 1 -2 0\n", ""), "line 9: joint 'Left Leg' has no OFFSET"},
        {replaced(CLIP, "JOINT Left Leg", "JOINT"), "line 6: a joint without a name"},
        {replaced(CLIP, "End Site", "End Sight"),
         "line 10: expected Site after End, found 'Sight'"},
        {replaced(CLIP, "\t\tEnd Site", "\t\tBone"),
         "line 10: unexpected 'Bone' in joint 'Left Leg'"},
    };
    for (const Case& c : cases) {
        BvhClip clip;
        clip.frameCount = 77;
        std::string error;
        EXPECT_FALSE(parseBvh(c.text, clip, error)) << c.message;
        EXPECT_EQ(error, c.message);
        EXPECT_EQ(clip.frameCount, 77) << "the clip is left as it was: " << c.message;
    }
}

TEST(BvhReader, ReadsEveryWayOfWritingTheSameClip) {
    BvhClip expected;
    std::string error;
    ASSERT_TRUE(parseBvh(CLIP, expected, error)) << error;
    ASSERT_EQ(expected.joints.size(), 2u);
    EXPECT_EQ(expected.joints[1].name, "Left Leg");
    EXPECT_EQ(expected.joints[1].parent, 0);
    EXPECT_EQ(expected.joints[1].firstValue, 6);
    EXPECT_EQ(expected.joints[0].channels[3], BvhChannel::Zrotation);
    EXPECT_TRUE(expected.joints[1].hasEndSite);
    EXPECT_EQ(expected.frameCount, 2);
    EXPECT_EQ(expected.frame(1)[8], 6);

    std::string spaces = CLIP;
    for (std::size_t at; (at = spaces.find('\t')) != std::string::npos;) {
        spaces.replace(at, 1, "   ");
    }
    std::string crlf;
    for (char c : CLIP) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    const std::string variants[] = {
        crlf,
        spaces,
        replaced(replaced(CLIP, "Left Leg\n\t{", "Left Leg {"), "ROOT Hips\n{", "ROOT Hips {"),
        replaced(replaced(replaced(CLIP, "HIERARCHY", "hierarchy"), "MOTION", "motion"),
                 "Frame Time:", "FRAME time:"),
        replaced(replaced(CLIP, "Frames: 2", "Frames:2"), "Frame Time: 0.5", "Frame Time:.5"),
        replaced(replaced(CLIP, "20 30 1 2 3", "20 +30 1 2 3e0"), "OFFSET 1 -2 0",
                 "OFFSET 1 -2 -0"),
        replaced(CLIP, "Frame Time: 0.5\n", "Frame Time: 0.5\n\n") + "\n  \n",
    };
    for (const std::string& text : variants) {
        BvhClip clip;
        ASSERT_TRUE(parseBvh(text, clip, error)) << error << "\n" << text;
        expectSameClip(clip, expected, text);
    }
}
