#include "fuzz/channel_session.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <span>

#include "channels/channel_editor.h"
#include "channels/diff_format.h"
#include "channels/edit_script.h"
#include "channels/list_check.h"
#include "channels/list_compare.h"
#include "channels/random_lists.h"
#include "channels/reader_model.h"

namespace tavlink::fuzz {
namespace {

using namespace channels;
using channels::testing::ByteChoices;

constexpr size_t kBlockSize = ReceiverDataBlock::kSize;
constexpr int kMostEdits = 64;
// A clean list is checked after every this many edits, and at the end.
constexpr int kCheckEvery = 8;

bool Same(const ReceiverDataBlock& a, const ReceiverDataBlock& b) {
  return std::memcmp(a.bytes(), b.bytes(), kBlockSize) == 0;
}

// The block the input gives and the offset of its edit script.
std::unique_ptr<ReceiverDataBlock> BlockOf(const uint8_t* data, size_t size, size_t* script) {
  if (size >= 1 + kBlockSize && (data[0] & 1)) {
    auto block = std::make_unique<ReceiverDataBlock>();
    std::memcpy(block->bytes(), data + 1, kBlockSize);
    *script = 1 + kBlockSize;
    return block;
  }
  uint8_t head[9] = {};
  std::memcpy(head, data, std::min<size_t>(size, sizeof head));
  const uint32_t seed = head[1] | (head[2] << 8) | (head[3] << 16) | (uint32_t{head[4]} << 24);
  channels::testing::RandomBlocks blocks(seed);
  // Mostly small lists, which play fast; full tables at 255.
  const auto scaled = [](uint8_t b, int factor, int capacity) {
    return b == 255 ? capacity : std::min(b * factor, capacity);
  };
  auto block =
      blocks.MakeExactly({head[5] % (kMaxSatellites + 1), scaled(head[6], 2, kMaxTransponders),
                          scaled(head[7], 3, kMaxServices)});
  size_t at = std::min<size_t>(size, sizeof head);
  for (int pokes = head[8] % 32; pokes > 0 && at + 3 <= size; --pokes, at += 3) {
    block->bytes()[data[at] | (data[at + 1] << 8)] = data[at + 2];
  }
  *script = at;
  return block;
}

class Session {
 public:
  explicit Session(ChannelSessionResult& result) : result_(result) {}

  void Play(const uint8_t* data, size_t size) {
    size_t script = 0;
    const auto first = BlockOf(data, size, &script);
    const ChannelList reference = ChannelList::FromBlock(*first);
    ChannelEditor editor(reference, size_t{1} << 30);
    auto before = editor.list().ToBlock();
    Expect(Same(*first, *before), "the list does not give its block back");
    const bool clean = CheckList(editor.list()).empty();

    ByteChoices choose(std::span<const uint8_t>(data + script, size - script));
    auto after = std::make_unique<ReceiverDataBlock>();
    while (!choose.exhausted() && result_.edits < kMostEdits) {
      const uint64_t revision = editor.revision();
      const size_t undo = editor.UndoDepth();
      const size_t redo = editor.RedoDepth();
      const channels::testing::ScriptedEdit edit =
          channels::testing::ApplyScriptedEdit(editor, choose, reference);
      ++result_.edits;
      editor.list().ToBlock(*after);
      if (edit.result.done()) {
        ++result_.done;
        Expect(editor.revision() == revision + 1, edit.what + ": the revision did not go up");
      } else {
        Expect(Same(*before, *after), edit.what + ": not done, but the block changed");
        Expect(editor.revision() == revision && editor.UndoDepth() == undo &&
                   editor.RedoDepth() == redo,
               edit.what + ": not done, but the history changed");
      }
      if (clean && result_.edits % kCheckEvery == 0) ExpectClean(editor.list(), edit.what);
      std::swap(before, after);
    }

    const ChannelList last = editor.list();
    if (clean) {
      ExpectClean(last, "the last edit");
      ExpectReadBack(last, *before);
    }
    const ListDiff diff = CompareLists(reference, last);
    Expect(DiffSummary(diff) == "no differences" || !diff.empty(), "an empty summary");
    Expect(!DiffListing(diff).empty() || diff.empty(), "a difference without a line");
    Expect(!DiffJson(diff).empty(), "no JSON");

    const size_t depth = editor.UndoDepth();
    while (editor.CanUndo()) editor.Undo();
    Expect(Same(*first, *editor.list().ToBlock()), "undoing everything is not the first block");
    for (size_t i = 0; i < depth; ++i) editor.Redo();
    Expect(Same(*before, *editor.list().ToBlock()), "redoing everything is not the last block");
  }

 private:
  void ExpectClean(const ChannelList& list, const std::string& what) {
    const std::vector<Problem> problems = CheckList(list);
    Expect(problems.empty(),
           what + " left a problem: " + (problems.empty() ? "" : problems.front().text));
  }

  void ExpectReadBack(const ChannelList& list, const ReceiverDataBlock& block) {
    StringTextOutput text;
    Expect(WriteDataText(block, text) == 0, "the writer refused a clean list");
    const auto read = std::make_unique<ReceiverDataBlock>();
    Expect(channels::testing::ReadIntoZeroBlock(text.str(), read.get()),
           "the reader refused a clean list's text");
    Expect(Same(*read, *channels::testing::TextContentOf(block)),
           "a clean list's text read back into another block");
    Expect(list.ToDataText() == text.str(), "the list's text is not the writer's");
  }

  void Expect(bool condition, const std::string& violation) {
    if (!condition) result_.violations.push_back(violation);
  }

  ChannelSessionResult& result_;
};

}  // namespace

ChannelSessionResult PlayChannelSession(const uint8_t* data, size_t size) {
  ChannelSessionResult result;
  Session(result).Play(data, size);
  return result;
}

}  // namespace tavlink::fuzz
