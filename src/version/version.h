#pragma once
// The product's version as its users see it, for the programs' --version.

#include <string>
#include <string_view>

namespace tavlink {

// "ZOR Link Version 1.6": the About box's first line, from the project's
// major and minor version.
std::string ProductVersionLine();

// How this build was made: see kBuildDescription ("1.6.0-g2919d0a", or
// "1.6.0" from a tree without git).
std::string BuildDescription();

// The line --version prints (without its newline):
// "tavlink-cli: ZOR Link Version 1.6 (build 1.6.0-g2919d0a)".
std::string ProgramVersionLine(std::string_view program);

}  // namespace tavlink
