#include "packaging/help_listing.h"

#include <regex>
#include <sstream>

namespace tavlink::testing {

HelpListing ReadHelpListing(std::string_view help) {
  static const std::regex optionLine("^  (-[^ ]+).*");
  static const std::regex heading("^[^ ].*:$");
  static const std::regex commandLine("^  ([a-z][^ ]*).*");
  HelpListing listing;
  std::istringstream lines{std::string(help)};
  bool inCommands = false;
  std::smatch match;
  for (std::string line; std::getline(lines, line);) {
    if (std::regex_match(line, heading)) {
      inCommands = line.ends_with("ommands:");
    } else if (std::regex_match(line, match, optionLine)) {
      std::istringstream names(match[1].str());
      for (std::string name; std::getline(names, name, ',');) listing.options.insert(name);
    } else if (inCommands && std::regex_match(line, match, commandLine)) {
      listing.commands.push_back(match[1].str());
    }
  }
  return listing;
}

}  // namespace tavlink::testing
