#include "platform/ProgramPaths.h"

#include <sys/stat.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

bool isFolder(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isRegularFile(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The layout's files under `root` (which ends in "/").
ProgramPaths under(const std::string& root) {
    ProgramPaths paths;
    paths.resources = root.substr(0, root.size() - 1);
    paths.settings = root + SETTINGS_FILE;
    paths.skeleton = root + SKELETON_FILE;
    paths.lacunaFont = root + LACUNA_FONT_FILE;
    paths.echolotFont = root + ECHOLOT_FONT_FILE;
    paths.music = root + MUSIC_FILE;
    paths.animations = root + ANIMATIONS_SUBFOLDER;
    return paths;
}

std::string installedRoot(const PathInputs& inputs) {
    if (inputs.executable.empty())
        return "";
    const fs::path folder = fs::path(inputs.executable).parent_path();
    if (folder.empty())
        return "";
    return (folder / inputs.installedFromExecutable).lexically_normal().string();
}

} // namespace

ProgramPaths workingDirectoryPaths() {
    return under(std::string(WORKING_RESOURCES) + "/");
}

ProgramPaths resolveProgramPaths(const PathInputs& inputs) {
    const std::string working = inputs.workingDirectory + "/" + WORKING_RESOURCES;
    if (isFolder(working + "/config"))
        return workingDirectoryPaths();

    std::string root = installedRoot(inputs);
    if (root.empty() || !isFolder(root + "/config")) {
        ProgramPaths paths = workingDirectoryPaths();
        paths.found = false;
        return paths;
    }
    if (root.back() != '/')
        root += "/";
    ProgramPaths paths = under(root);
    paths.installed = true;
    paths.samples = paths.animations;

    const std::string config = userConfigHome(inputs.environment);
    const std::string userSettings = config + "/kinemorph/settings.ini";
    if (!config.empty() && isRegularFile(userSettings))
        paths.settings = userSettings;
    const std::string data = userDataHome(inputs.environment);
    // Without any home folder there is nowhere of the user's own: the
    // shipped samples still load, and saves fail with their message.
    paths.animations = data.empty() ? paths.samples : data + "/kinemorph/animations/";
    return paths;
}

ProgramPaths currentProgramPaths() {
    PathInputs inputs;
    std::error_code error;
    inputs.executable = fs::read_symlink("/proc/self/exe", error).string();
    if (error)
        inputs.executable.clear();
#ifdef KINEMORPH_DATA_FROM_BIN
    inputs.installedFromExecutable = KINEMORPH_DATA_FROM_BIN;
#endif
    inputs.environment = currentUserEnvironment();
    return resolveProgramPaths(inputs);
}

bool prepareAnimationFolder(const ProgramPaths& paths, std::string& error) {
    if (!paths.installed || paths.animations == paths.samples)
        return true;
    std::string folder = paths.animations;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (isFolder(folder))
        return true;
    std::string reason;
    if (!makeUserFolder(folder, reason)) {
        error = "Could not make the animations folder " + folder + ": " + reason;
        return false;
    }
    // A fresh folder: the samples are copied once, so a sample the user
    // deletes later stays deleted.
    std::error_code walk;
    for (fs::directory_iterator it(paths.samples, walk), end; !walk && it != end;
         it.increment(walk)) {
        const fs::path& sample = it->path();
        if (sample.extension() != ".rgaf" || !isRegularFile(sample.string()))
            continue;
        const fs::path copy = fs::path(folder) / sample.filename();
        std::error_code copied;
        fs::copy_file(sample, copy, fs::copy_options::skip_existing, copied);
        // Shipped files may be read-only; the user's copy must not be.
        if (!copied)
            fs::permissions(copy, fs::perms::owner_read | fs::perms::owner_write,
                            fs::perm_options::add, copied);
        if (copied) {
            error = "Could not copy the sample " + sample.filename().string() + " into " + folder +
                    ": " + copied.message();
            return false;
        }
    }
    return true;
}
