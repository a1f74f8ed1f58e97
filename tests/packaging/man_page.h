#pragma once
// Reads a manual page written in roff with the man macros, as far as the
// pages in docs/man use them: sections (.SH) holding tagged paragraphs
// (.TP, then the tag line, then the body). Text comes back plain: font
// changes and macro names removed, "\-" as "-".

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tavlink::testing {

struct ManEntry {
  std::string tag;   // "--port N", "upgrade ROM_FILE"
  std::string body;  // the paragraph under the tag
};

// The tagged paragraphs of each section, by the section's name ("OPTIONS").
using ManSections = std::map<std::string, std::vector<ManEntry>>;

ManSections ReadManPage(std::string_view roff);

// The options named in plain text: "-h", "--port"; not the "-C" of "Ctrl-C"
// nor the "-terminal" of "pseudo-terminal".
std::set<std::string> OptionsNamedIn(std::string_view text);

}  // namespace tavlink::testing
