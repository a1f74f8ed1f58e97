#include "sim/sim_options.h"

#include <string_view>

namespace tavlink::sim {

std::string WithNumber(const std::string& text, int number) {
  constexpr std::string_view placeholder = kNumberPlaceholder;
  const std::string value = std::to_string(number);
  std::string result;
  size_t from = 0;
  for (size_t at = text.find(placeholder); at != std::string::npos;
       at = text.find(placeholder, from)) {
    result.append(text, from, at - from);
    result += value;
    from = at + placeholder.size();
  }
  result.append(text, from);
  return result;
}

SimOptions OptionsForReceiver(const SimOptions& options, int number) {
  SimOptions own = options;
  if (const auto it = options.faultsOf.find(number); it != options.faultsOf.end()) {
    own.faults = it->second;
  }
  own.faultsOf.clear();
  own.romOutPath = WithNumber(options.romOutPath, number);
  own.linkPath = WithNumber(options.linkPath, number);
  return own;
}

}  // namespace tavlink::sim
