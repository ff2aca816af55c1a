// Saving must never destroy anything: links are written through, read-only
// files are left alone, the replaced contents are kept as a backup, every
// name the file system takes can be saved, and a failure at any point
// leaves every file as it was.
#include "animation/SafeFileWrite.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

bool isRoot() {
    return ::geteuid() == 0;
}

} // namespace

TEST(SafeFileWrite, NewFileThenBackupOfTheReplacedOne) {
    TempFolder folder;
    const std::string path = folder / "walk.rgaf";
    EXPECT_TRUE(writeFileSafely(path, "first\n", true));
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"walk.rgaf"}) << "no backup of nothing";
    EXPECT_TRUE(writeFileSafely(path, "second\n", true));
    EXPECT_TRUE(writeFileSafely(path, "third\n", true));
    EXPECT_EQ(read(path), "third\n");
    EXPECT_EQ(read(path + ".bak"), "second\n") << "one level: the version just replaced";
    EXPECT_TRUE(writeFileSafely(path, "fourth\n", false));
    EXPECT_EQ(read(path + ".bak"), "second\n") << "no backup asked for, none made";
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"walk.rgaf", "walk.rgaf.bak"}));
}

TEST(SafeFileWrite, LinksAreWrittenThroughAndStayLinks) {
    TempFolder folder;
    fs::create_directory(folder / "elsewhere");
    const std::string target = folder / "elsewhere/real.rgaf";
    write(target, "old\n");
    const std::string link = folder / "walk.rgaf";
    fs::create_symlink("elsewhere/real.rgaf", link);
    // A chain of two links ends at the same file.
    fs::create_symlink("walk.rgaf", folder / "run.rgaf");

    ASSERT_TRUE(writeFileSafely(folder / "run.rgaf", "new\n", true));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_symlink(folder / "run.rgaf"));
    EXPECT_EQ(read(target), "new\n");
    EXPECT_EQ(read(folder / "run.rgaf.bak"), "old\n");
    EXPECT_FALSE(fs::is_symlink(folder / "run.rgaf.bak"));

    // A dangling link makes the file it points at.
    fs::create_symlink("elsewhere/later.rgaf", folder / "jump.rgaf");
    ASSERT_TRUE(writeFileSafely(folder / "jump.rgaf", "made\n", true));
    EXPECT_EQ(read(folder / "elsewhere/later.rgaf"), "made\n");
    EXPECT_TRUE(fs::is_symlink(folder / "jump.rgaf"));
}

TEST(SafeFileWrite, ReadOnlyFilesAndFoldersInTheWayAreNotReplaced) {
    TempFolder folder;
    const std::string path = folder / "walk.rgaf";
    write(path, "keep me\n");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    std::string reason;
    EXPECT_FALSE(writeFileSafely(path, "new\n", true, &reason));
    EXPECT_NE(reason.find("read-only"), std::string::npos) << reason;
    EXPECT_EQ(read(path), "keep me\n");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"walk.rgaf"});

    fs::create_directory(folder / "dir.rgaf");
    EXPECT_FALSE(writeFileSafely(folder / "dir.rgaf", "new\n", true));
    EXPECT_TRUE(fs::is_directory(folder / "dir.rgaf"));

    // A folder where the backup should go stops the save before anything
    // is replaced, and leaves no temporary file.
    const std::string other = folder / "run.rgaf";
    write(other, "old\n");
    fs::create_directory(other + ".bak");
    fs::create_directory(other + ".bak/full");
    EXPECT_FALSE(writeFileSafely(other, "new\n", true));
    EXPECT_EQ(read(other), "old\n");
    EXPECT_EQ(folder.entries(),
              (std::vector<std::string>{"dir.rgaf", "run.rgaf", "run.rgaf.bak", "walk.rgaf"}));
}

TEST(SafeFileWrite, ReadOnlyOrMissingFolderFailsCleanly) {
    TempFolder folder;
    EXPECT_FALSE(writeFileSafely(folder / "absent/walk.rgaf", "x\n", true));
    if (isRoot())
        GTEST_SKIP() << "root writes into read-only folders";
    const std::string path = folder / "walk.rgaf";
    write(path, "old\n");
    ASSERT_EQ(::chmod(folder.path().c_str(), 0555), 0);
    EXPECT_FALSE(writeFileSafely(path, "new\n", true));
    ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
    EXPECT_EQ(read(path), "old\n");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"walk.rgaf"});
}

TEST(SafeFileWrite, EveryNameTheFileSystemTakesSaves) {
    TempFolder folder;
    const long nameMax = ::pathconf(folder.path().c_str(), _PC_NAME_MAX);
    ASSERT_GE(nameMax, 255);
    // 243 to 250 letters and ".rgaf" fill the name limit; the temporary and
    // the backup must not need more.
    for (int letters = 243; letters <= 250; ++letters) {
        const std::string name = std::string(static_cast<size_t>(letters), 'a') + ".rgaf";
        EXPECT_TRUE(writeFileSafely(folder / name, "one\n", true)) << letters;
        EXPECT_TRUE(writeFileSafely(folder / name, "two\n", true)) << letters;
        EXPECT_EQ(read(folder / name), "two\n") << letters;
        const std::string backup = backupPathFor(folder / name, nameMax);
        EXPECT_EQ(read(backup), "one\n") << letters;
        EXPECT_LE(static_cast<long>(backup.size() - folder.path().size() - 1), nameMax);
    }
    EXPECT_EQ(backupPathFor("/x/walk.rgaf", 255), "/x/walk.rgaf.bak");
    EXPECT_EQ(backupPathFor("walk.rgaf", 10), "walk.r.bak");
}

// Runs a save in a child allowed files of `limit` bytes only, as on a
// nearly full disk. Returns whether it succeeded.
bool saveWithLimit(const std::string& path, const std::string& text, rlim_t limit) {
    pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit small{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &small);
        ::_exit(writeFileSafely(path, text, true) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(SafeFileWrite, AFullDiskLeavesFileAndBackupByteForByte) {
    TempFolder folder;
    const std::string path = folder / "walk.rgaf";
    ASSERT_TRUE(writeFileSafely(path, std::string(3000, 'a'), true));
    ASSERT_TRUE(writeFileSafely(path, std::string(3000, 'b'), true));
    // The new text does not fit at all.
    EXPECT_FALSE(saveWithLimit(path, std::string(9000, 'c'), 8192));
    EXPECT_EQ(read(path), std::string(3000, 'b'));
    EXPECT_EQ(read(path + ".bak"), std::string(3000, 'a'));
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"walk.rgaf", "walk.rgaf.bak"}));
    // With room it goes through and the backup moves on by one.
    EXPECT_TRUE(saveWithLimit(path, std::string(5000, 'c'), 8192));
    EXPECT_EQ(read(path), std::string(5000, 'c'));
    EXPECT_EQ(read(path + ".bak"), std::string(3000, 'b'));
}
