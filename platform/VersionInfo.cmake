# Writes the version source at build time, so a build from a clone carries
# the commit it was made from. Run by CMake in script mode with
#   VERSION   the project's version
#   SOURCE    the source folder (asked for `git describe`)
#   OUTPUT    the .cpp to write; left untouched when nothing changed, so an
#             unchanged commit rebuilds nothing.
set(described "")
find_package(Git QUIET)
if(GIT_FOUND AND EXISTS "${SOURCE}/.git")
  execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE}" describe --tags --always --dirty
    OUTPUT_VARIABLE described OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    set(described "")
  endif()
endif()
set(text "${VERSION}")
if(described)
  set(text "${VERSION} (git ${described})")
endif()
set(content "// Written by platform/VersionInfo.cmake at build time.\n#include \"platform/Version.h\"\n\nconst char* kinemorphVersion() { return \"${text}\"; }\n")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
else()
  set(old "")
endif()
if(NOT old STREQUAL content)
  file(WRITE "${OUTPUT}" "${content}")
endif()
