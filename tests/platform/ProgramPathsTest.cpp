// Where a run finds its files: the working folder's resources/ wins as it
// always has, an install is found from the executable wherever its prefix
// was moved, and the user's settings and animations live in the XDG
// folders, made (with the samples) the first time.
#include "platform/ProgramPaths.h"

#include "animation/Animation.h"
#include "skeleton/DefaultFigure.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

void put(const std::string& path, const std::string& text = "") {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path) << text;
}

int modeOf(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 07777) : -1;
}

// A prefix with an installed program and its resources, a working folder
// and a home, all inside one temporary folder:
//   root/prefix/bin/kinemorph, root/prefix/share/kinemorph/config/...
//   root/work/        (the working directory)
//   root/home/        ($HOME)
struct Install {
    TempFolder root;
    std::string share = root / "prefix/share/kinemorph";
    Install() {
        put(share + "/" + SETTINGS_FILE, "[settings]\n");
        put(share + "/config/skeleton/animations/walk.rgaf", "RGAF\nwalk\n");
        put(share + "/config/skeleton/animations/wave.rgaf", "RGAF\nwave\n");
        put(share + "/config/skeleton/animations/notes.txt");
        fs::create_directories(root / "work");
        fs::create_directories(root / "home");
    }
    PathInputs inputs() const {
        PathInputs in;
        in.workingDirectory = root / "work";
        in.executable = root / "prefix/bin/kinemorph";
        in.environment.home = root / "home";
        return in;
    }
};

} // namespace

TEST(ProgramPaths, WorkingLayoutNamesTheFilesTheModelAndToolsDefaultTo) {
    // The skeleton and the animations folder have defaults of their own
    // below this library (tests, the exporter, the sample maker use them):
    // a run from the working folder must read and write those very files.
    auto same = [](const std::string& path) { return fs::path(path).lexically_normal(); };
    const ProgramPaths paths = workingDirectoryPaths();
    EXPECT_EQ(same(paths.skeleton), same(SKELETON_PATH));
    EXPECT_EQ(same(paths.animations), same(ANIMATION_FOLDER));
    EXPECT_FALSE(paths.installed);
}

TEST(ProgramPaths, ChoosesTheLayoutAndTheUserFolders) {
    struct Case {
        const char* name;
        // Changes the install and the inputs before resolving.
        void (*arrange)(Install&, PathInputs&);
        // Expected, with {share}, {home} and {root} standing for the folders.
        bool installed;
        bool found;
        const char* settings;
        const char* animations;
    };
    const Case cases[] = {
        {"installed, nothing of the user's yet", [](Install&, PathInputs&) {}, true, true,
         "{share}/config/settings.ini", "{home}/.local/share/kinemorph/animations/"},
        {"working folder with resources/config wins over the install",
         [](Install& i, PathInputs&) { fs::create_directories(i.root / "work/resources/config"); },
         false, true, "resources/config/settings.ini", "resources/config/skeleton/animations/"},
        {"a resources folder without config is someone else's",
         [](Install& i, PathInputs&) { put(i.root / "work/resources/photo.png"); }, true, true,
         "{share}/config/settings.ini", "{home}/.local/share/kinemorph/animations/"},
        {"the user's settings.ini in the config home",
         [](Install& i, PathInputs&) { put(i.root / "home/.config/kinemorph/settings.ini"); }, true,
         true, "{home}/.config/kinemorph/settings.ini",
         "{home}/.local/share/kinemorph/animations/"},
        {"XDG_CONFIG_HOME and XDG_DATA_HOME, absolute, are used",
         [](Install& i, PathInputs& in) {
             put(i.root / "xdg/config/kinemorph/settings.ini");
             in.environment.configHome = i.root / "xdg/config";
             in.environment.dataHome = i.root / "xdg/data";
         },
         true, true, "{root}/xdg/config/kinemorph/settings.ini",
         "{root}/xdg/data/kinemorph/animations/"},
        {"relative XDG values are ignored",
         [](Install& i, PathInputs& in) {
             put(i.root / "work/cfg/kinemorph/settings.ini");
             in.environment.configHome = "cfg";
             in.environment.dataHome = "data";
         },
         true, true, "{share}/config/settings.ini", "{home}/.local/share/kinemorph/animations/"},
        {"a settings.ini that is a folder is not read",
         [](Install& i, PathInputs&) {
             fs::create_directories(i.root / "home/.config/kinemorph/settings.ini");
         },
         true, true, "{share}/config/settings.ini", "{home}/.local/share/kinemorph/animations/"},
        {"no home at all: the shipped samples, read-only",
         [](Install&, PathInputs& in) { in.environment.home.clear(); }, true, true,
         "{share}/config/settings.ini", "{share}/config/skeleton/animations/"},
        {"a moved prefix, reached through ..",
         [](Install& i, PathInputs& in) {
             fs::rename(i.root / "prefix", i.root / "moved");
             in.executable = i.root / "moved/bin/../bin/kinemorph";
             i.share = i.root / "moved/share/kinemorph";
         },
         true, true, "{share}/config/settings.ini", "{home}/.local/share/kinemorph/animations/"},
        {"neither layout: the working one, marked not found",
         [](Install& i, PathInputs&) { fs::remove_all(i.share); }, false, false,
         "resources/config/settings.ini", "resources/config/skeleton/animations/"},
        {"no executable known: the working one, not found",
         [](Install&, PathInputs& in) { in.executable.clear(); }, false, false,
         "resources/config/settings.ini", "resources/config/skeleton/animations/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Install install;
        PathInputs in = install.inputs();
        c.arrange(install, in);
        const ProgramPaths paths = resolveProgramPaths(in);
        auto expand = [&](std::string text) {
            for (auto [key, value] : {std::pair<std::string, std::string>{"{share}", install.share},
                                      {"{home}", install.root / "home"},
                                      {"{root}", install.root.path()}}) {
                for (std::size_t at; (at = text.find(key)) != std::string::npos;)
                    text.replace(at, key.size(), value);
            }
            return text;
        };
        EXPECT_EQ(paths.installed, c.installed);
        EXPECT_EQ(paths.found, c.found);
        EXPECT_EQ(paths.settings, expand(c.settings));
        EXPECT_EQ(paths.animations, expand(c.animations));
        if (c.installed) {
            EXPECT_EQ(paths.skeleton, install.share + "/config/skeleton/default.rgcf");
            EXPECT_EQ(paths.lacunaFont, install.share + "/fonts/lacuna/LACURG__.TTF");
            EXPECT_EQ(paths.samples, install.share + "/config/skeleton/animations/");
        }
    }
}

TEST(ProgramPaths, TheAnimationsFolderIsMadeOnceWithTheSamples) {
    Install install;
    const std::string dataHome = install.root / "home/.local/share";
    // A shipped sample the package made read-only must become the user's.
    ::chmod((install.share + "/config/skeleton/animations/wave.rgaf").c_str(), 0444);
    const ProgramPaths paths = resolveProgramPaths(install.inputs());
    std::string error;
    ASSERT_TRUE(prepareAnimationFolder(paths, error)) << error;

    const std::string folder = dataHome + "/kinemorph/animations";
    EXPECT_TRUE(fs::exists(folder + "/walk.rgaf"));
    EXPECT_TRUE(fs::exists(folder + "/wave.rgaf"));
    EXPECT_FALSE(fs::exists(folder + "/notes.txt")) << "only animations are copied";
    EXPECT_EQ(modeOf(dataHome), 0700) << "folders the program makes are private";
    EXPECT_EQ(modeOf(folder), 0700);
    EXPECT_TRUE(modeOf(folder + "/wave.rgaf") & 0200);

    // Once made, it is the user's: a deleted sample stays deleted.
    fs::remove(folder + "/walk.rgaf");
    ASSERT_TRUE(prepareAnimationFolder(paths, error));
    EXPECT_FALSE(fs::exists(folder + "/walk.rgaf"));
}

TEST(ProgramPaths, AnAnimationsFolderThatCannotBeMadeIsReported) {
    Install install;
    // The data home is a plain file.
    put(install.root / "home/.local/share");
    const ProgramPaths paths = resolveProgramPaths(install.inputs());
    std::string error;
    EXPECT_FALSE(prepareAnimationFolder(paths, error));
    EXPECT_NE(error.find("Could not make the animations folder"), std::string::npos) << error;
    EXPECT_NE(error.find("kinemorph/animations"), std::string::npos) << error;

    // The working layout makes nothing anywhere.
    error.clear();
    EXPECT_TRUE(prepareAnimationFolder(workingDirectoryPaths(), error));
    EXPECT_TRUE(error.empty());
}
