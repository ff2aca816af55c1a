#include "tools/export/ExportCommand.h"

#include "ExportTestSupport.h"

#include "tests/support/ToolRun.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

ToolRun run(const std::vector<std::string>& args) {
    return runTool([&](std::ostream& out, std::ostream& err) { return runExport(args, out, err); });
}

void expectOneErrorLine(const ToolRun& r, int status, const std::string& fragment) {
    expectOneErrorLine(r, "kinemorph-export", status, fragment);
}

class ExportCommandTest : public testing::Test {
protected:
    void SetUp() override {
        std::unique_ptr<Skeleton> skeleton = loadDefaultSkeleton();
        input = folder.file("march.rgaf");
        writeAnimationFile(input, *makeTestAnimation("march", *skeleton));
    }
    // Runs with the program's skeleton, as from the repository root.
    ToolRun exportTo(const std::string& output, std::vector<std::string> more = {}) {
        std::vector<std::string> args = {"--skeleton", defaultSkeletonPath(), input, "-o", output};
        args.insert(args.end(), more.begin(), more.end());
        return run(args);
    }

    TempFolder folder;
    std::string input;
};

} // namespace

TEST_F(ExportCommandTest, BadInputsFailWithOneLineAndWriteNothing) {
    const std::string out = folder.file("out.gltf");
    expectOneErrorLine(exportTo(out, {"--fps", "-1"}), EXPORT_BAD_USAGE, "--fps");
    expectOneErrorLine(run({input}), EXPORT_BAD_USAGE, "no output");
    expectOneErrorLine(
        run({"--skeleton", defaultSkeletonPath(), folder.file("missing.rgaf"), "-o", out}),
        EXPORT_FAILED, "No such file");
    expectOneErrorLine(run({"--skeleton", defaultSkeletonPath(), folder.path(), "-o", out}),
                       EXPORT_FAILED, "not a regular file");

    writeText(folder.file("bad.rgaf"), "RGAF \nwalk\n0\n0\n");
    expectOneErrorLine(
        run({"--skeleton", defaultSkeletonPath(), folder.file("bad.rgaf"), "-o", out}),
        EXPORT_FAILED, "Unexpected header, 'RGAF' expected!");
    // A count that would have the reader build a hundred million frames.
    writeText(folder.file("lying.rgaf"), "RGAF\nwalk\n100000000\n1\n");
    expectOneErrorLine(
        run({"--skeleton", defaultSkeletonPath(), folder.file("lying.rgaf"), "-o", out}),
        EXPORT_FAILED, "announces more than");

    expectOneErrorLine(run({"--skeleton", folder.file("none.rgcf"), input, "-o", out}),
                       EXPORT_FAILED, "cannot read skeleton file");
    writeText(folder.file("bad.rgcf"), "rgcf\n");
    expectOneErrorLine(run({"--skeleton", folder.file("bad.rgcf"), input, "-o", out}),
                       EXPORT_FAILED, "Incorrect file header (RGCF expected)");
    const std::string shortSkeleton = sourceDir() + "/tests/data/skeleton/ends_in_bone_7.rgcf";
    expectOneErrorLine(run({"--skeleton", shortSkeleton, input, "-o", out}), EXPORT_FAILED,
                       "not usable");

    expectOneErrorLine(exportTo(folder.file("no/such/folder/out.gltf")), EXPORT_FAILED,
                       "cannot write");
    writeText(folder.file("plain"), "x");
    expectOneErrorLine(exportTo(folder.file("plain/out.bvh")), EXPORT_FAILED, "cannot write");
    ::mkdir(folder.file("taken.glb").c_str(), 0755);
    expectOneErrorLine(exportTo(folder.file("taken.glb")), EXPORT_FAILED, "folder");
    expectOneErrorLine(exportTo(input, {"--format", "gltf"}), EXPORT_BAD_USAGE, "overwrite");

    // Nothing but a regular file is replaced: not a device, not a read-only
    // file (kept byte for byte).
    expectOneErrorLine(exportTo("/dev/null", {"--format", "bvh"}), EXPORT_FAILED,
                       "not a regular file");
    writeText(folder.file("locked.bvh"), "the previous export\n");
    ::chmod(folder.file("locked.bvh").c_str(), 0444);
    expectOneErrorLine(exportTo(folder.file("locked.bvh")), EXPORT_FAILED, "read-only");
    EXPECT_EQ(readBytes(folder.file("locked.bvh")), "the previous export\n");

    const std::vector<std::string> left = {"bad.rgaf",   "bad.rgcf", "locked.bvh", "lying.rgaf",
                                           "march.rgaf", "plain",    "taken.glb"};
    EXPECT_EQ(folder.entries(), left) << "no output and no temporary file";
}

TEST_F(ExportCommandTest, FailedExportLeavesAnOldOutputAlone) {
    const std::string out = folder.file("walk.bvh");
    writeText(out, "the previous export\n");
    std::unique_ptr<Skeleton> skeleton = loadDefaultSkeleton();
    auto animation = makeTestAnimation("march", *skeleton);
    animation->frameAt(1)->transitionTime = 2147483647.0;
    writeAnimationFile(input, *animation);
    expectOneErrorLine(exportTo(out), EXPORT_FAILED, "too long");
    EXPECT_EQ(readBytes(out), "the previous export\n");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"march.rgaf", "walk.bvh"}));
}

// A write that fails part way (here past a file-size limit, as on a full
// disk) leaves the old output byte for byte and no temporary file.
TEST_F(ExportCommandTest, AFailedWriteLeavesTheOldOutputByteForByte) {
    const std::string out = folder.file("walk.gltf");
    writeText(out, "the previous export\n");
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit small{1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &small);
        ::_exit(exportTo(out).status);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == EXPORT_FAILED) << status;
    EXPECT_EQ(readBytes(out), "the previous export\n");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"march.rgaf", "walk.gltf"}));
}

TEST_F(ExportCommandTest, WritesEachFormatAndReplacesTheOldFile) {
    const std::string gltf = folder.file("walk.gltf");
    writeText(gltf, "old");
    ::chmod(gltf.c_str(), 0640);
    ToolRun r = exportTo(gltf);
    EXPECT_EQ(r.status, EXPORT_OK) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(readBytes(gltf).rfind("{", 0), 0u);
    struct stat info;
    ASSERT_EQ(::stat(gltf.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u) << "keeps the old file's permissions";

    EXPECT_EQ(exportTo(folder.file("walk.glb")).status, EXPORT_OK);
    EXPECT_EQ(readBytes(folder.file("walk.glb")).rfind("glTF", 0), 0u);
    EXPECT_EQ(exportTo(folder.file("walk.txt"), {"--format", "bvh", "--fps", "10"}).status,
              EXPORT_OK);
    EXPECT_EQ(readBytes(folder.file("walk.txt")).rfind("HIERARCHY\n", 0), 0u);
    // A link is written through to its file and stays a link; a name that
    // fills the file system's limit is written too.
    ::mkdir(folder.file("real").c_str(), 0755);
    ::symlink("real/walk.bvh", folder.file("link.bvh").c_str());
    EXPECT_EQ(exportTo(folder.file("link.bvh")).status, EXPORT_OK);
    EXPECT_EQ(readBytes(folder.file("real/walk.bvh")).rfind("HIERARCHY\n", 0), 0u);
    struct stat link;
    ASSERT_EQ(::lstat(folder.file("link.bvh").c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode));
    const std::string longName = std::string(250, 'w') + ".bvh";
    EXPECT_EQ(exportTo(folder.file(longName)).status, EXPORT_OK);
    EXPECT_EQ(folder.entries(),
              (std::vector<std::string>{"link.bvh", "march.rgaf", "real", "walk.glb", "walk.gltf",
                                        "walk.txt", longName}));

    r = run({"--help"});
    EXPECT_EQ(r.status, EXPORT_OK);
    EXPECT_NE(r.out.find("Usage: kinemorph-export"), std::string::npos);
}

TEST_F(ExportCommandTest, ProgramUsesTheDefaultSkeletonAndExitStatus) {
    // The built program, run from the repository root so the default
    // skeleton path resolves: errors on standard error, nothing on
    // standard output.
    const std::string log = folder.file("log");
    auto shell = [&](const std::string& args) {
        const std::string command = "cd '" + sourceDir() + "' && '" KINEMORPH_EXPORT_BINARY "' " +
                                    args + " >'" + log + ".out' 2>'" + log + ".err'";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(shell("'" + input + "' -o '" + folder.file("walk.bvh") + "'"), 0);
    EXPECT_EQ(readBytes(log + ".err"), "");
    EXPECT_EQ(readBytes(folder.file("walk.bvh")).rfind("HIERARCHY\n", 0), 0u);

    EXPECT_EQ(shell("--fps 0 '" + input + "' -o x.gltf"), EXPORT_BAD_USAGE);
    EXPECT_EQ(readBytes(log + ".out"), "");
    EXPECT_EQ(readBytes(log + ".err"),
              "kinemorph-export: --fps needs a number from 1 to 1000, not '0'\n");
    EXPECT_EQ(shell("--help"), 0);
    EXPECT_NE(readBytes(log + ".out").find("Usage:"), std::string::npos);
}

TEST_F(ExportCommandTest, ProgramFindsTheSkeletonBesideTheAnimationsFolder) {
    // A copy of the program's folders, and a working folder without them.
    const std::string skeletonFolder = folder.file("config/skeleton");
    const std::string animations = skeletonFolder + "/animations";
    ASSERT_EQ(
        std::system(("mkdir -p '" + animations + "' '" + folder.file("elsewhere") + "'").c_str()),
        0);
    writeText(skeletonFolder + "/default.rgcf", readBytes(defaultSkeletonPath()));
    writeText(animations + "/walk.rgaf", readBytes(input));
    const std::string log = folder.file("log");
    auto shell = [&](const std::string& workDir, const std::string& args) {
        const std::string command = "cd '" + workDir + "' && '" KINEMORPH_EXPORT_BINARY "' " +
                                    args + " >'" + log + ".out' 2>'" + log + ".err'";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(shell(folder.file("elsewhere"), "'" + animations + "/walk.rgaf' -o walk.glb"), 0)
        << readBytes(log + ".err");
    EXPECT_EQ(readBytes(folder.file("elsewhere/walk.glb")).rfind("glTF", 0), 0u);
    // A name without a folder is in the working folder.
    EXPECT_EQ(shell(animations, "walk.rgaf -o walk.bvh"), 0) << readBytes(log + ".err");
    EXPECT_EQ(readBytes(animations + "/walk.bvh").rfind("HIERARCHY\n", 0), 0u);
    EXPECT_EQ(readBytes(log + ".err"), "");

    // A skeleton named on the command line is the only one tried, and
    // without any default the message is the one it always was.
    EXPECT_EQ(shell(animations, "--skeleton none.rgcf walk.rgaf -o x.bvh"), EXPORT_FAILED);
    EXPECT_NE(readBytes(log + ".err").find("cannot read skeleton file 'none.rgcf'"),
              std::string::npos);
    ASSERT_EQ(std::remove((skeletonFolder + "/default.rgcf").c_str()), 0);
    EXPECT_EQ(shell(animations, "walk.rgaf -o x.bvh"), EXPORT_FAILED);
    EXPECT_EQ(readBytes(log + ".err"),
              "kinemorph-export: cannot read skeleton file "
              "'resources/config/skeleton/default.rgcf': No such file or directory\n");
}
