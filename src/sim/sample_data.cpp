#include "sim/sample_data.h"

namespace tavlink::sim {
namespace {

constexpr const char* kSampleFile = "sample_factory_data.txt";

}  // namespace

std::filesystem::path SampleDataPath(const std::filesystem::path& program,
                                     const std::filesystem::path& installedRelative,
                                     const std::filesystem::path& sourceDir) {
  const std::filesystem::path installed =
      (program.parent_path() / installedRelative / kSampleFile).lexically_normal();
  std::error_code ec;
  if (!program.empty() && std::filesystem::is_regular_file(installed, ec)) return installed;
  return sourceDir / kSampleFile;
}

std::filesystem::path DefaultSampleDataPath() {
  std::error_code ec;
  // The program's own file; empty if /proc is not mounted.
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
  return SampleDataPath(program, TAVLINK_INSTALLED_DATA_DIR, TAVLINK_RESOURCE_DIR);
}

}  // namespace tavlink::sim
