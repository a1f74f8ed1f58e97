#include "packaging/man_page.h"

#include <regex>
#include <sstream>

namespace tavlink::testing {
namespace {

// One line of roff as plain text: a request line loses its macro name, and
// escapes become the characters they print.
std::string PlainLine(std::string line) {
  if (line.starts_with(".")) {
    const size_t space = line.find(' ');
    line = space == std::string::npos ? "" : line.substr(space + 1);
    std::erase(line, '"');
  }
  static const std::regex font(R"(\\f[BIRP])");
  line = std::regex_replace(line, font, "");
  static const std::regex dq(R"(\\\(dq)");
  line = std::regex_replace(line, dq, "\"");
  std::string plain;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '-' || line[i + 1] == ' ')) {
      plain += line[++i];
    } else {
      plain += line[i];
    }
  }
  return plain;
}

}  // namespace

ManSections ReadManPage(std::string_view roff) {
  ManSections sections;
  std::istringstream lines{std::string(roff)};
  std::vector<ManEntry>* section = nullptr;
  ManEntry* entry = nullptr;
  bool tagNext = false;
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with(".\\\"")) continue;  // a comment
    if (line.starts_with(".SH ")) {
      section = &sections[PlainLine(line)];
      entry = nullptr;
    } else if (line == ".TP" && section != nullptr) {
      section->emplace_back();
      entry = &section->back();
      tagNext = true;
    } else if (line == ".PP" || line == ".RS" || line == ".RE") {
      entry = nullptr;
    } else if (entry != nullptr) {
      std::string& text = tagNext ? entry->tag : entry->body;
      text += (text.empty() ? "" : " ") + PlainLine(line);
      tagNext = false;
    }
  }
  return sections;
}

std::set<std::string> OptionsNamedIn(std::string_view text) {
  static const std::regex option("(^|[^A-Za-z0-9_-])(--?[A-Za-z][A-Za-z0-9-]*)");
  std::set<std::string> options;
  const std::string copy(text);
  for (auto it = std::sregex_iterator(copy.begin(), copy.end(), option);
       it != std::sregex_iterator(); ++it)
    options.insert((*it)[2].str());
  return options;
}

}  // namespace tavlink::testing
