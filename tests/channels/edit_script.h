#pragma once
// Random edits of a channel list, drawn from a source of choices: a seeded
// generator in the property tests, the fuzzer's bytes in the fuzz target.
// The edits name existing records mostly and missing ones sometimes, and
// give valid fields mostly and fields beyond a limit sometimes, so that
// refusals are exercised as much as edits.

#include <cstddef>
#include <cstdint>
#include <random>
#include <span>
#include <string>

#include "channels/channel_editor.h"

namespace tavlink::channels::testing {

class ChoiceSource {
 public:
  virtual ~ChoiceSource() = default;
  // A value in 0..bound-1; 0 when bound is 0 or 1.
  virtual uint32_t Next(uint32_t bound) = 0;
  int Between(int low, int high) {
    return low + static_cast<int>(Next(static_cast<uint32_t>(high - low + 1)));
  }
  bool OneIn(uint32_t n) { return Next(n) == 0; }
};

class RandomChoices final : public ChoiceSource {
 public:
  explicit RandomChoices(uint32_t seed) : rng_(seed) {}
  uint32_t Next(uint32_t bound) override { return bound <= 1 ? 0 : rng_() % bound; }

 private:
  std::mt19937 rng_;
};

// Takes each choice from the next bytes; 0 once they run out.
class ByteChoices final : public ChoiceSource {
 public:
  explicit ByteChoices(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  uint32_t Next(uint32_t bound) override;
  bool exhausted() const { return at_ >= bytes_.size(); }

 private:
  std::span<const uint8_t> bytes_;
  size_t at_ = 0;
};

struct ScriptedEdit {
  std::string what;  // the edit asked for, for a failure message
  EditResult result;
};

// Makes one edit (undo and redo included) on `editor`. `reference` is the
// list whose order an "apply order" edit takes.
ScriptedEdit ApplyScriptedEdit(ChannelEditor& editor, ChoiceSource& choose,
                               const ChannelList& reference);

}  // namespace tavlink::channels::testing
