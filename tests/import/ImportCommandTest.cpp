#include "tools/import/ImportCommand.h"

#include "ImportTestSupport.h"
#include "animation/AnimationFile.h"

#include "tests/support/TempFolder.h"
#include "tests/support/ToolRun.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

namespace {

ToolRun run(const std::vector<std::string>& args) {
    return runTool([&](std::ostream& out, std::ostream& err) { return runImport(args, out, err); });
}

std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class ImportCommandTest : public testing::Test {
protected:
    void SetUp() override {
        write(clip, bvhText(walkClip()));
        write(output, "old");
    }

    std::vector<std::string> with(std::vector<std::string> args) {
        args.insert(args.begin(), {"--skeleton", figureSkeletonPath()});
        return args;
    }

    TempFolder folder;
    const std::string clip = folder / "walk.bvh", output = folder / "out.rgaf";
};

} // namespace

TEST_F(ImportCommandTest, RefusesBadCommandLinesAndFailedImportsWithOneLine) {
    write(folder / "bad.bvh", "HIERARCHY\nROOT Hips\n{\nOFFSET 0 zero 0\n");
    write(folder / "bad.map", "left_hand = left_hand\nneck: neck\n");
    // Bone 2 (the upper spine, bone 1's one child) hung from the root: not
    // the figure's tree.
    std::string tree = read(figureSkeletonPath());
    tree.replace(tree.find("      1\n"), 8, "      0\n");
    write(folder / "tree.rgcf", tree);
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string says;
    };
    const Case cases[] = {
        {{}, IMPORT_BAD_USAGE, "no input clip given"},
        {{clip}, IMPORT_BAD_USAGE, "no output file given"},
        {{clip, "-o", output, "--fast"}, IMPORT_BAD_USAGE, "unknown option '--fast'"},
        {{clip, "-o", output, "--tolerance", "abc"}, IMPORT_BAD_USAGE, "--tolerance needs"},
        {{clip, "-o", output, "--tolerance=-1"}, IMPORT_BAD_USAGE, "--tolerance needs"},
        {{clip, "-o", output, "--tolerance", "91"}, IMPORT_BAD_USAGE, "--tolerance needs"},
        {{clip, "-o", output, "--loop=yes"}, IMPORT_BAD_USAGE, "--loop takes no value"},
        {{clip, clip, "-o", output}, IMPORT_BAD_USAGE, "only one input file"},
        {{clip, "-o", output, "--output", output}, IMPORT_BAD_USAGE, "given twice"},
        {{clip, "-o", output, "--map"}, IMPORT_BAD_USAGE, "--map needs a value"},
        {{clip, "-o", clip}, IMPORT_BAD_USAGE, "would overwrite an input file"},
        {{folder / "none.bvh", "-o", output}, IMPORT_FAILED, "No such file or directory"},
        {{folder / "bad.bvh", "-o", output},
         IMPORT_FAILED,
         "cannot read clip '" + folder / "bad.bvh" +
             "': line 4: expected an OFFSET number, found 'zero'"},
        {{clip, "-o", output, "--map", folder / "bad.map"},
         IMPORT_FAILED,
         "map file, line 2: expected 'figure_bone = SourceJoint'"},
        {{clip, "-o", folder / "no/such/folder/out.rgaf"}, IMPORT_FAILED, "cannot write"},
    };
    for (const Case& c : cases) {
        const ToolRun r = run(with(c.args));
        expectOneErrorLine(r, "kinemorph-import", c.status, c.says);
        EXPECT_EQ(read(output), "old") << "the output stays as it was: " << r.err;
    }
    const ToolRun wrongTree = run({clip, "-o", output, "--skeleton", folder / "tree.rgcf"});
    EXPECT_EQ(wrongTree.status, IMPORT_FAILED);
    EXPECT_NE(wrongTree.err.find("is not the figure's bone tree"), std::string::npos)
        << wrongTree.err;
}

TEST_F(ImportCommandTest, WritesTheAnimationAndSaysWhatItMade) {
    const std::regex summary("Imported out: 31 frames at 30 fps \xe2\x86\x92 [0-9]+ key frames, "
                             "largest error [01]\\.[0-9][0-9]\xc2\xb0, in [0-9.]+ s\n");
    struct Case {
        std::vector<std::string> extra;
        bool looping;
        int frames;
        int mappingLines;
    };
    const Case cases[] = {
        {{}, false, -1, 0},
        {{"--tolerance", "0", "--loop"}, true, 31, 0},
        {{"--verbose", "--map", folder / "own.map"}, false, -1, 21},
    };
    write(folder / "own.map", "# the figure's own names, as a map file would give them\n"
                              "left_hand = left_hand\n");
    for (const Case& c : cases) {
        std::vector<std::string> args = {clip, "-o", output};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const ToolRun r = run(with(args));
        ASSERT_EQ(r.status, IMPORT_OK) << r.err;
        EXPECT_EQ(r.err, "");
        std::istringstream lines(r.out);
        std::string line;
        for (int m = 0; m < c.mappingLines; ++m) {
            std::getline(lines, line);
            EXPECT_NE(line.find(" = "), std::string::npos) << line;
        }
        std::string rest((std::istreambuf_iterator<char>(lines)), {});
        EXPECT_TRUE(std::regex_match(rest, summary)) << rest;

        Animation animation("", false);
        ASSERT_TRUE(readAnimationFile(output, animation));
        EXPECT_EQ(animation.name(), "out");
        EXPECT_EQ(animation.looping(), c.looping);
        if (c.frames > 0) {
            EXPECT_EQ(animation.frameCount(), c.frames);
        } else {
            EXPECT_LT(animation.frameCount(), 31);
        }
        EXPECT_NE(rest.find(std::to_string(animation.frameCount()) + " key frames"),
                  std::string::npos);
    }
    const ToolRun help = run({"--help", "--nonsense"});
    EXPECT_EQ(help.status, IMPORT_OK);
    EXPECT_EQ(help.out.rfind("Usage: kinemorph-import", 0), 0u);
}
