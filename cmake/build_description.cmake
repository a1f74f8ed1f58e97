# cmake -DSOURCE_DIR=... -DVERSION=1.6.0 -DOUTPUT=file.cpp -P build_description.cmake
#
# Writes OUTPUT, a C++ file that defines tavlink::kBuildDescription: the
# `git describe` of SOURCE_DIR past its last release tag ("1.6.0-4-g2919d0a",
# "-dirty" when files are changed), VERSION-g<commit> when no release tag is
# reachable, and plain VERSION when SOURCE_DIR is not a git tree (a source
# tarball, even one unpacked inside another git tree) or git is missing.
# The file is rewritten only when its text changes.
set(description "${VERSION}")
if(EXISTS "${SOURCE_DIR}/.git")
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(
      COMMAND "${GIT_EXECUTABLE}" describe --tags --dirty --abbrev=7
        --match "v[0-9]*" --match "[0-9]*"
      WORKING_DIRECTORY "${SOURCE_DIR}"
      RESULT_VARIABLE result
      OUTPUT_VARIABLE described
      ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(result EQUAL 0 AND described)
      string(REGEX REPLACE "^v" "" description "${described}")
    else()
      execute_process(
        COMMAND "${GIT_EXECUTABLE}" describe --always --dirty --abbrev=7
        WORKING_DIRECTORY "${SOURCE_DIR}"
        RESULT_VARIABLE result
        OUTPUT_VARIABLE described
        ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
      if(result EQUAL 0 AND described)
        set(description "${VERSION}-g${described}")
      endif()
    endif()
  endif()
endif()

# Only characters that need no escaping in a C++ string literal.
string(REGEX REPLACE "[^A-Za-z0-9._+~-]" "_" description "${description}")
set(text "// Written by cmake/build_description.cmake at build time.\n#include \"version/build_description.h\"\n\nnamespace tavlink {\nconst char kBuildDescription[] = \"${description}\";\n}  // namespace tavlink\n")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
else()
  set(old "")
endif()
if(NOT old STREQUAL text)
  file(WRITE "${OUTPUT}" "${text}")
endif()
