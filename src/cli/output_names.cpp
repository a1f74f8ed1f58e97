#include "cli/output_names.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <utility>

namespace tavlink::cli {

std::optional<std::vector<std::string>> OutputNames(Terminal& terminal, const std::string& file,
                                                    const std::vector<ReceiverLine>& lines) {
  std::error_code ignored;
  const bool folder = std::filesystem::is_directory(file, ignored);
  const bool pattern = file.find("{port}") != std::string::npos ||
                       file.find("{device}") != std::string::npos ||
                       file.find("{n}") != std::string::npos;
  if (lines.size() > 1 && !folder && !pattern) {
    terminal.Err("tavlink-cli: " + std::to_string(lines.size()) +
                 " receivers need a file each: give a folder, or a name with {port}, {device} "
                 "or {n} in it.\n");
    return std::nullopt;
  }
  std::vector<std::string> names;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!folder && !pattern) {
      names.push_back(file);
      continue;
    }
    // A device path as part of a file name: "/dev/ttyUSB0" as "ttyUSB0".
    std::string device = lines[i].devicePath;
    if (device.rfind("/dev/", 0) == 0) device.erase(0, 5);
    for (char& c : device)
      if (c == '/' || c == '\\' || c == ':') c = '_';
    const std::string port = lines[i].byPort ? lines[i].shortName : device;
    if (folder) {
      names.push_back((std::filesystem::path(file) / (port + ".txt")).string());
      continue;
    }
    // One pass over the pattern: what is filled in is never looked at again,
    // so a device whose path holds "{port}" or "{device}" is taken as it is.
    const std::pair<std::string, std::string> fills[] = {
        {"{port}", port}, {"{device}", device}, {"{n}", std::to_string(i + 1)}};
    std::string name;
    for (size_t at = 0; at < file.size();) {
      const auto fill = std::find_if(std::begin(fills), std::end(fills), [&](const auto& entry) {
        return file.compare(at, entry.first.size(), entry.first) == 0;
      });
      if (fill == std::end(fills)) {
        name += file[at++];
      } else {
        name += fill->second;
        at += fill->first.size();
      }
    }
    names.push_back(name);
  }
  for (size_t i = 0; i < names.size(); ++i)
    for (size_t j = 0; j < i; ++j)
      if (names[i] == names[j]) {
        terminal.Err("tavlink-cli: " + lines[j].shortName + " and " + lines[i].shortName +
                     " would both save to " + names[i] + ".\n");
        return std::nullopt;
      }
  return names;
}

}  // namespace tavlink::cli
