#include "tools/export/ExportCommand.h"

#include "ExportTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>

namespace {

std::string validatorFolder() {
    return sourceDir() + "/tools/gltf-validator";
}

// Why the validator cannot run here, or "" when it can.
std::string validatorMissing() {
    if (std::system("command -v node >/dev/null 2>&1") != 0) {
        return "node is not installed";
    }
    if (!std::filesystem::exists(validatorFolder() + "/node_modules/gltf-validator/package.json")) {
        return "gltf-validator is not installed (run tools/gltf-validator/install.sh)";
    }
    return "";
}

} // namespace

TEST(GltfValidator, ExportsHaveNoErrorsOrWarnings) {
    const std::string missing = validatorMissing();
    if (!missing.empty()) {
        GTEST_SKIP() << missing;
    }
    TempFolder folder;
    std::unique_ptr<Skeleton> skeleton = loadDefaultSkeleton();
    std::string files;
    for (const char* name : {"march", "reach", "stride", "single", "single_loop", "empty"}) {
        const std::string input = folder.file(std::string(name) + ".rgaf");
        writeAnimationFile(input, *makeTestAnimation(name, *skeleton));
        for (const char* extension : {".gltf", ".glb"}) {
            const std::string output = folder.file(name + std::string(extension));
            std::ostringstream out, err;
            ASSERT_EQ(
                runExport({"--skeleton", defaultSkeletonPath(), "--fps", "24", input, "-o", output},
                          out, err),
                EXPORT_OK)
                << err.str();
            files += " '" + output + "'";
        }
    }
    // The samples shipped with the program.
    for (const char* name : {"walk", "wave", "jump"}) {
        const std::string input =
            sourceDir() + "/resources/config/skeleton/animations/" + name + ".rgaf";
        for (const char* extension : {".gltf", ".glb"}) {
            const std::string output = folder.file("sample_" + (name + std::string(extension)));
            std::ostringstream out, err;
            ASSERT_EQ(runExport({input, "-o", output}, out, err), EXPORT_OK) << err.str();
            files += " '" + output + "'";
        }
    }
    const std::string log = folder.file("validator.log");
    const std::string command =
        "node '" + validatorFolder() + "/validate.js'" + files + " >'" + log + "' 2>&1";
    const int status = std::system(command.c_str());
    const std::string report = readBytes(log);
    ASSERT_TRUE(WIFEXITED(status)) << report;
    EXPECT_EQ(WEXITSTATUS(status), 0) << report;
    // One summary line per file, each clean.
    std::istringstream lines(report);
    std::string line;
    int clean = 0;
    while (std::getline(lines, line)) {
        clean += line.find(": 0 errors, 0 warnings,") != std::string::npos;
    }
    EXPECT_EQ(clean, 18) << report;
}
