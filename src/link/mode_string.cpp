#include "link/mode_string.h"

#include <cctype>
#include <charconv>
#include <string>
#include <vector>

namespace tavlink {
namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::optional<uint32_t> ParseUnsigned(std::string_view s) {
  uint32_t v = 0;
  if (s.empty()) return std::nullopt;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

// Two-digit rates are the old MODE abbreviations; anything else is literal.
std::optional<uint32_t> ParseBaud(std::string_view s) {
  auto v = ParseUnsigned(s);
  if (!v || *v == 0) return std::nullopt;
  switch (*v) {
    case 11:
      return 110;
    case 15:
      return 150;
    case 30:
      return 300;
    case 60:
      return 600;
    case 12:
      return 1200;
    case 24:
      return 2400;
    case 48:
      return 4800;
    case 96:
      return 9600;
    case 19:
      return 19200;
    default:
      return *v;
  }
}

bool ParseParity(std::string_view s, char* parity) {
  if (s.size() != 1 || std::string_view("neoms").find(s[0]) == std::string_view::npos) return false;
  *parity = s[0];
  return true;
}

bool ParseData(std::string_view s, int* bits) {
  auto v = ParseUnsigned(s);
  if (!v || *v < 5 || *v > 8) return false;
  *bits = static_cast<int>(*v);
  return true;
}

bool ParseStop(std::string_view s, double* stop) {
  if (s == "1")
    *stop = 1;
  else if (s == "1.5")
    *stop = 1.5;
  else if (s == "2")
    *stop = 2;
  else
    return false;
  return true;
}

bool IsOnOff(std::string_view s) {
  return s == "on" || s == "off";
}

std::vector<std::string_view> Split(std::string_view s, auto isSeparator) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= s.size(); ++i) {
    if (i == s.size() || isSeparator(s[i])) {
      parts.push_back(s.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// "96,n,8,1[,p]": every field after the rate may be left out or empty.
std::optional<ModeSettings> ParseShortForm(std::string_view mode) {
  auto fields = Split(mode, [](char c) { return c == ','; });
  if (fields.size() > 5) return std::nullopt;
  ModeSettings m;
  auto baud = ParseBaud(Trim(fields[0]));
  if (!baud) return std::nullopt;
  m.baudRate = *baud;
  if (fields.size() > 1 && !Trim(fields[1]).empty() && !ParseParity(Trim(fields[1]), &m.parity))
    return std::nullopt;
  if (fields.size() > 2 && !Trim(fields[2]).empty() && !ParseData(Trim(fields[2]), &m.dataBits))
    return std::nullopt;
  if (fields.size() > 3 && !Trim(fields[3]).empty() && !ParseStop(Trim(fields[3]), &m.stopBits))
    return std::nullopt;
  if (fields.size() > 4) {
    auto retry = Trim(fields[4]);
    if (!retry.empty() && retry != "p" && retry != "e" && retry != "b" && retry != "x")
      return std::nullopt;
  }
  return m;
}

// "baud=96 parity=n data=8 stop=1 xon=off ...": each key at most once.
std::optional<ModeSettings> ParseKeywordForm(std::string_view mode) {
  ModeSettings m;
  std::vector<std::string> seen;
  for (auto word :
       Split(mode, [](char c) { return std::isspace(static_cast<unsigned char>(c)); })) {
    if (word.empty()) continue;
    const size_t eq = word.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    const std::string key(word.substr(0, eq));
    const std::string_view value = word.substr(eq + 1);
    for (const auto& k : seen)
      if (k == key) return std::nullopt;
    seen.push_back(key);
    bool ok = false;
    if (key == "baud") {
      auto b = ParseBaud(value);
      ok = b.has_value();
      if (ok) m.baudRate = *b;
    } else if (key == "parity") {
      ok = ParseParity(value, &m.parity);
    } else if (key == "data") {
      ok = ParseData(value, &m.dataBits);
    } else if (key == "stop") {
      ok = ParseStop(value, &m.stopBits);
    } else if (key == "to" || key == "xon" || key == "odsr" || key == "octs" || key == "idsr") {
      ok = IsOnOff(value);
    } else if (key == "dtr") {
      ok = IsOnOff(value) || value == "hs";
    } else if (key == "rts") {
      ok = IsOnOff(value) || value == "hs" || value == "tg";
    }
    if (!ok) return std::nullopt;
  }
  if (seen.empty()) return std::nullopt;
  return m;
}

}  // namespace

std::optional<ModeSettings> ParseModeString(std::string_view mode) {
  std::string text = Lower(Trim(mode));
  std::string_view rest = text;
  // An optional device prefix such as "COM1:" is allowed, as by MODE.
  if (rest.starts_with("com")) {
    const size_t colon = rest.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    rest = Trim(rest.substr(colon + 1));
  }
  if (rest.empty()) return std::nullopt;
  if (rest.find('=') != std::string_view::npos) return ParseKeywordForm(rest);
  return ParseShortForm(rest);
}

}  // namespace tavlink
