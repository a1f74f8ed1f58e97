#pragma once
// The boxed comment banners of the data text. A box is lines of exactly 122
// characters: a border of '#', text lines "# " + text padded to 119 + "#",
// and a closing border; each line ends with LF.

#include <string>
#include <string_view>

namespace tavlink {

// Banner A (title), followed by its empty line.
const std::string& TitleBanner();
// Banner B (antenna information).
const std::string& AntennaBanner();
// Banner C (satellite and transponder information), with the empty line before it.
const std::string& SatelliteBanner();
// Banner D (program information), with the empty line before it.
const std::string& ProgramBanner();

}  // namespace tavlink
