#include "version/version.h"

#include "version/build_description.h"

#define TAVLINK_STRINGIFY_(x) #x
#define TAVLINK_STRINGIFY(x) TAVLINK_STRINGIFY_(x)

namespace tavlink {

std::string ProductVersionLine() {
  return "ZOR Link Version " TAVLINK_STRINGIFY(TAVLINK_VERSION_MAJOR) "." TAVLINK_STRINGIFY(
      TAVLINK_VERSION_MINOR);
}

std::string BuildDescription() {
  return kBuildDescription;
}

std::string ProgramVersionLine(std::string_view program) {
  return std::string(program) + ": " + ProductVersionLine() + " (build " + BuildDescription() + ")";
}

}  // namespace tavlink
