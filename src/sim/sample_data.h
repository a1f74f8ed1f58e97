#pragma once
// Where the simulator finds the sample factory data it serves unless given
// --user-data.

#include <filesystem>

namespace tavlink::sim {

// The installed copy, `installedRelative` (e.g. "../share/tavlink") from the
// folder of `program`, when that file exists; else the copy in `sourceDir`,
// the source tree's resources folder the program was built from.
std::filesystem::path SampleDataPath(const std::filesystem::path& program,
                                     const std::filesystem::path& installedRelative,
                                     const std::filesystem::path& sourceDir);

// SampleDataPath for this running program and the folders it was built for.
std::filesystem::path DefaultSampleDataPath();

}  // namespace tavlink::sim
