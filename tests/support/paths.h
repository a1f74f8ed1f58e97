#pragma once
// Where a test finds the source tree (resources, sample files) and the
// built programs (tavlink-cli, tavlink-sim): the environment variables
// TAVLINK_SOURCE_DIR and TAVLINK_BIN_DIR when set, else the folders the
// test was built for.

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tavlink::testing {

inline std::filesystem::path FromEnvironmentOr(const char* name, const char* built) {
  const char* value = std::getenv(name);
  return (value != nullptr && *value != '\0') ? value : built;
}

inline std::filesystem::path SourceDir() {
  return FromEnvironmentOr("TAVLINK_SOURCE_DIR", TAVLINK_BUILT_SOURCE_DIR);
}

inline std::filesystem::path BinDir() {
  return FromEnvironmentOr("TAVLINK_BIN_DIR", TAVLINK_BUILT_BIN_DIR);
}

// The sample data text the simulator serves unless told otherwise.
inline std::filesystem::path SampleDataText() {
  return SourceDir() / "resources" / "sample_factory_data.txt";
}

}  // namespace tavlink::testing
