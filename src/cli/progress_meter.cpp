#include "cli/progress_meter.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace tavlink::cli {
namespace {

constexpr int kMinBar = 8;
constexpr int kMaxBar = 30;

std::string Bar(int position, int upper, int width) {
  const int inside = width - 2;
  const int filled = std::clamp(
      static_cast<int>(static_cast<long long>(position) * inside / std::max(upper, 1)), 0, inside);
  return "[" + std::string(static_cast<size_t>(filled), '#') +
         std::string(static_cast<size_t>(inside - filled), '.') + "]";
}

}  // namespace

std::string FormatDuration(std::chrono::seconds duration) {
  const long long total = std::max<long long>(0, duration.count());
  char text[32];
  if (total >= 3600)
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60,
                  total % 60);
  else
    std::snprintf(text, sizeof text, "%lld:%02lld", total / 60, total % 60);
  return text;
}

std::optional<std::chrono::seconds> TimeLeft(int position, int upper,
                                             std::chrono::seconds elapsed) {
  if (position <= 0 || upper <= 0) return std::nullopt;
  if (position >= upper) return std::chrono::seconds(0);
  return std::chrono::seconds(elapsed.count() * (upper - position) / position);
}

std::string FormatProgressMeter(std::string_view status, int position, int upper,
                                std::chrono::seconds elapsed,
                                std::optional<std::chrono::seconds> left, int width) {
  const size_t limit = static_cast<size_t>(std::max(width, 2) - 1);
  std::string percent;
  if (upper > 0) {
    char text[8];
    std::snprintf(text, sizeof text, "%3d%%",
                  static_cast<int>(std::clamp(100LL * position / upper, 0LL, 100LL)));
    percent = text;
  }
  const std::string elapsedText = FormatDuration(elapsed);
  const std::string leftText = left ? FormatDuration(*left) + " left" : std::string();
  // The status with its runs of blanks made single, for narrow terminals.
  std::string condensed;
  for (const char c : status)
    if (c != ' ' || condensed.empty() || condensed.back() != ' ') condensed += c;

  // The shapes the line may take, widest first.
  struct Shape {
    bool condense, bar, left, elapsed, percent;
  };
  static constexpr Shape kShapes[] = {
      {false, true, true, true, true},    {false, false, true, true, true},
      {false, false, false, true, true},  {false, false, false, false, true},
      {true, false, false, true, true},   {true, false, false, false, true},
      {true, false, false, false, false},
  };
  for (const Shape& shape : kShapes) {
    const std::string& head = shape.condense ? condensed : std::string(status);
    std::string tail;
    if (shape.percent && !percent.empty())
      tail += "  " + (shape.condense ? percent.substr(percent.find_first_not_of(' ')) : percent);
    if (shape.elapsed) tail += "  " + elapsedText;
    if (shape.left && !leftText.empty()) tail += "  " + leftText;
    if (shape.bar && upper > 0) {
      const int room = static_cast<int>(limit) - static_cast<int>(head.size() + tail.size()) - 2;
      if (room < kMinBar) continue;
      tail = "  " + Bar(position, upper, std::min(room, kMaxBar)) + tail;
    }
    if (head.size() + tail.size() <= limit) return head + tail;
  }
  // Even the condensed status is too wide: as much of it as fits.
  return condensed.substr(0, limit);
}

}  // namespace tavlink::cli
