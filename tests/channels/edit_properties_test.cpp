// Properties over thousands of seeded random edit sequences on random valid
// lists: a refused edit (or one with nothing to do) leaves the list, its
// history and its revision as they were; every state passes the check and
// the reader (reader_model.h); undoing everything gives the first block
// byte for byte; redoing everything gives the edited block again. A failure
// names the seed and the step.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "channels/channel_editor.h"
#include "channels/edit_script.h"
#include "channels/list_check.h"
#include "channels/random_lists.h"
#include "channels/reader_model.h"

namespace tavlink::channels {
namespace {

using namespace testing;

bool SameBlock(const ReceiverDataBlock& a, const ReceiverDataBlock& b) {
  return std::memcmp(a.bytes(), b.bytes(), ReceiverDataBlock::kSize) == 0;
}

// Empty when the list passes the check and the text of `block`, the list's
// block, reads back into the block's text content; what went wrong otherwise.
std::string ReaderFailure(const ChannelList& list, const ReceiverDataBlock& block) {
  const std::vector<Problem> problems = CheckList(list);
  if (!problems.empty()) return "check: " + problems.front().text;
  StringTextOutput text;
  if (WriteDataText(block, text) != 0) return "the writer refused the block";
  // Reused: a fresh 64 KiB block per state costs more than the check.
  static const auto read = std::make_unique<ReceiverDataBlock>();
  static const auto content = std::make_unique<ReceiverDataBlock>();
  if (!ReadIntoZeroBlock(text.str(), read.get())) return "the reader refused the list's text";
  TextContentOf(block, content.get());
  if (!SameBlock(*read, *content)) return "the text read back differs";
  return "";
}

std::string ReaderFailure(const ChannelList& list) {
  return ReaderFailure(list, *list.ToBlock());
}

constexpr uint32_t kShortSequences = 1000;

struct Run {
  uint32_t seed;
  ListSize size;
  int edits;
};

void PlayEdits(const Run& run) {
  RandomBlocks blocks(run.seed);
  const auto first = blocks.Make(run.size);
  const ChannelList reference = ChannelList::FromBlock(*blocks.Make(run.size));
  ChannelEditor editor(ChannelList::FromBlock(*first), 1u << 30);
  ASSERT_TRUE(SameBlock(*first, *editor.list().ToBlock())) << "seed " << run.seed;
  ASSERT_EQ(ReaderFailure(editor.list()), "") << "seed " << run.seed;

  RandomChoices choose(run.seed);
  auto before = editor.list().ToBlock();
  auto after = std::make_unique<ReceiverDataBlock>();
  for (int step = 0; step < run.edits; ++step) {
    const uint64_t revision = editor.revision();
    const size_t undo = editor.UndoDepth();
    const size_t redo = editor.RedoDepth();
    const ScriptedEdit edit = ApplyScriptedEdit(editor, choose, reference);
    const std::string where = "seed " + std::to_string(run.seed) + " step " + std::to_string(step) +
                              " (" + edit.what + ": " + edit.result.message + ")";
    editor.list().ToBlock(*after);
    if (edit.result.done()) {
      ASSERT_EQ(editor.revision(), revision + 1) << where;
    } else {
      ASSERT_TRUE(SameBlock(*before, *after)) << where;
      ASSERT_EQ(editor.revision(), revision) << where;
      ASSERT_EQ(editor.UndoDepth(), undo) << where;
      ASSERT_EQ(editor.RedoDepth(), redo) << where;
    }
    ASSERT_EQ(ReaderFailure(editor.list(), *after), "") << where;
    std::swap(before, after);
  }

  const auto edited = editor.list().ToBlock();
  const size_t depth = editor.UndoDepth();
  while (editor.CanUndo()) ASSERT_TRUE(editor.Undo().done());
  ASSERT_TRUE(SameBlock(*first, *editor.list().ToBlock())) << "undo all, seed " << run.seed;
  for (size_t i = 0; i < depth; ++i) ASSERT_TRUE(editor.Redo().done());
  ASSERT_TRUE(SameBlock(*edited, *editor.list().ToBlock())) << "redo all, seed " << run.seed;
}

// Every state of every sequence goes through the writer and the reader,
// which dominates the time: the lists are small, the sequences many.
TEST(EditProperties, ThousandsOfShortSequencesOnSmallLists) {
  for (uint32_t seed = 1; seed <= kShortSequences; ++seed) {
    PlayEdits({seed, {5, 16, 24}, 3});
    if (HasFatalFailure()) return;
  }
}

TEST(EditProperties, LongSequencesOnLargerLists) {
  for (uint32_t seed = 5001; seed <= 5004; ++seed) {
    PlayEdits({seed, {30, 160, 200}, 40});
    if (HasFatalFailure()) return;
  }
}

// Full tables: every insert overflows. The check runs on every state, the
// writer and reader on the first and the last.
TEST(EditProperties, FullLists) {
  const uint32_t seed = 9001;
  RandomBlocks blocks(seed);
  const auto full = blocks.MakeExactly({kMaxSatellites, kMaxTransponders, kMaxServices});
  ChannelEditor editor(ChannelList::FromBlock(*full));
  ASSERT_EQ(ReaderFailure(editor.list()), "");
  RandomChoices choose(seed);
  for (int step = 0; step < 40; ++step) {
    const auto before = editor.list().ToBlock();
    const ScriptedEdit edit = ApplyScriptedEdit(editor, choose, editor.list());
    if (!edit.result.done()) {
      ASSERT_TRUE(SameBlock(*before, *editor.list().ToBlock())) << step;
    }
    const std::vector<Problem> problems = CheckList(editor.list());
    ASSERT_TRUE(problems.empty()) << step << ": " << problems.front().text;
  }
  ASSERT_EQ(ReaderFailure(editor.list()), "");
  while (editor.CanUndo()) editor.Undo();
  ASSERT_TRUE(SameBlock(*full, *editor.list().ToBlock()));
}

// A satellite with 300 transponders: services may name only its first 256.
TEST(EditProperties, TransponderEditsKeepEveryServiceWithinItsTpIndex) {
  RandomBlocks blocks(77);
  auto block = blocks.MakeExactly({2, 300, 0});
  for (int i = 0; i < 300; ++i) block->transponder(i).set_owner_sat(0);
  for (int i = 0; i < 40; ++i) {
    ServiceRecord s = block->service(i);
    s.set_name("S");
    s.set_video_pid(0);
    s.set_audio_pid(0);
    s.set_pcr_pid(0);
    s.set_txt_pid(0);
    s.set_tp_word(static_cast<uint16_t>(200 + i));  // numbers 201..240
  }
  block->FinishHeader(2, 300, 40, -1);
  ChannelEditor editor(ChannelList::FromBlock(*block));
  ASSERT_EQ(ReaderFailure(editor.list()), "");
  const ChannelList& list = editor.list();
  const SatelliteId sat = list.satellites()[0].id();
  const std::vector<TransponderId> used{list.transponders()[239].id()};

  // 17 new ones before it would make it number 257.
  EditResult r = editor.InsertTransponders(sat, 0, std::vector<TransponderFields>(17));
  EXPECT_TRUE(r.refused());
  EXPECT_NE(r.message.find("tp_index must be 1 to 256"), std::string::npos) << r.message;
  EXPECT_TRUE(editor.InsertTransponders(sat, 0, std::vector<TransponderFields>(16)).done());
  EXPECT_TRUE(editor.MoveTransponders(used, MoveTo::Bottom()).refused());
  EXPECT_TRUE(editor.MoveTransponders(used, MoveTo::Top()).done());
  const std::vector<TransponderId> unused{list.transponders()[299].id()};
  EXPECT_TRUE(editor.MoveTransponders(unused, MoveTo::Top()).refused());
  EXPECT_EQ(ReaderFailure(list), "");
}

}  // namespace
}  // namespace tavlink::channels
