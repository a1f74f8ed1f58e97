#pragma once
// Reads the option and command listing of a program's --help, as the
// command-line programs print it (and the desktop tool copies):
//
//   Options:
//     -h,--help                   Print this help message and exit
//     --port INT:INT in [1 - 255] Excludes: --device
//   Subcommands:
//     check                       Read a data text file ...
//
// An option line has two blanks and then the option's names, separated by
// commas; under a heading that ends in "ommands:" each line with two blanks
// and a lower-case word names a command.

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tavlink::testing {

struct HelpListing {
  std::set<std::string> options;      // "-h", "--help", "--port"
  std::vector<std::string> commands;  // in the listing's order
};

HelpListing ReadHelpListing(std::string_view help);

}  // namespace tavlink::testing
