#include "tools/export/ExportOptions.h"

#include <gtest/gtest.h>

namespace {

struct Parsed {
    bool ok;
    ExportOptions options;
    std::string error;
};

Parsed parse(const std::vector<std::string>& args) {
    Parsed p;
    p.ok = parseExportOptions(args, p.options, p.error);
    return p;
}

} // namespace

TEST(ExportOptions, RefusesBadCommandLines) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "no input"},
        {{"walk.rgaf"}, "no output"},
        {{"walk.rgaf", "-o"}, "needs a value"},
        {{"walk.rgaf", "-o", "a.gltf", "-o", "b.gltf"}, "twice"},
        {{"walk.rgaf", "run.rgaf", "-o", "a.gltf"}, "only one input"},
        {{"walk.rgaf", "-o", "a.gltf", "--speed", "2"}, "unknown option '--speed'"},
        {{"walk.rgaf", "-o", "a.gltf", "--fps"}, "needs a value"},
        {{"walk.rgaf", "-o", "walk.obj"}, "cannot tell the format"},
        {{"walk.rgaf", "-o", "walk"}, "cannot tell the format"},
        {{"walk.rgaf", "-o", "dir.gltf/walk"}, "cannot tell the format"},
        {{"walk.rgaf", "-o", "a.gltf", "--format", "fbx"}, "unknown format 'fbx'"},
        {{"walk.rgaf", "-o", "a.gltf", "--skeleton="}, "--skeleton needs a file"},
    };
    for (const auto& [args, message] : cases) {
        const Parsed p = parse(args);
        EXPECT_FALSE(p.ok) << message;
        EXPECT_NE(p.error.find(message), std::string::npos) << p.error;
        EXPECT_EQ(p.error.find('\n'), std::string::npos) << "one line: " << p.error;
    }
    for (const char* fps : {"0", "-5", "abc", "30abc", " 30", "", "nan", "inf", "1e9", "1e999",
                            "0x1e", "0.5", "1e-300"}) {
        const Parsed p = parse({"walk.rgaf", "-o", "a.gltf", "--fps", fps});
        EXPECT_FALSE(p.ok) << fps;
        EXPECT_NE(p.error.find("--fps needs a number"), std::string::npos) << p.error;
    }
}

TEST(ExportOptions, DefaultsAndFormats) {
    Parsed p = parse({"walk.rgaf", "-o", "out/Walk.GLTF"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.input, "walk.rgaf");
    EXPECT_EQ(p.options.output, "out/Walk.GLTF");
    EXPECT_EQ(p.options.skeletonPath, "resources/config/skeleton/default.rgcf");
    EXPECT_EQ(p.options.fps, 30);
    EXPECT_EQ(p.options.format, ExportFormat::Gltf);
    EXPECT_FALSE(p.options.help);

    p = parse({"-o", "walk.glb", "--fps", "12.5", "--skeleton", "my.rgcf", "walk.rgaf"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.format, ExportFormat::Glb);
    EXPECT_EQ(p.options.fps, 12.5);
    EXPECT_EQ(p.options.skeletonPath, "my.rgcf");

    // An explicit format wins over the extension; --name=value works too.
    p = parse({"walk.rgaf", "--output=walk.txt", "--format=BVH", "--fps=1000"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.format, ExportFormat::Bvh);
    EXPECT_EQ(p.options.fps, 1000);

    // After "--" a name that starts with a dash is the input.
    p = parse({"-o", "a.bvh", "--", "-odd.rgaf"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.input, "-odd.rgaf");

    p = parse({"--fps", "nonsense", "--help"});
    ASSERT_TRUE(p.ok);
    EXPECT_TRUE(p.options.help);
    EXPECT_NE(exportUsage().find("Usage: kinemorph-export"), std::string::npos);
}
