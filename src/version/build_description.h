#pragma once
// The build's description, written at build time by
// cmake/build_description.cmake.

namespace tavlink {

// `git describe` of the source tree this was built from ("1.6.0-g2919d0a",
// "1.6.0-4-g2919d0a-dirty" past a release tag), or the project's version
// ("1.6.0") when the tree has no git, as in a source tarball.
extern const char kBuildDescription[];

}  // namespace tavlink
