#pragma once
// The line fuzzer's input: one session against the PC, described compactly so
// that every byte string means a session. It names the operation, what the
// operation's file or buffer holds, and the receiver's answer to each frame
// the PC sends. Frames are described rather than spelled out (the harness
// builds the magic, the length field and the CRC), so mutations reach valid
// frames at once; raw items still put arbitrary bytes on the line.
//
//   input  = operation:1 | variant:1 | size:2 | item*        (numbers big-endian)
//   item   = head:1 | body
//   head   = joins:1 (bit 7) | delay code:4 (bits 3-6) | kind:3 (bits 0-2)
//   kind 1 command frame   code:2
//   kind 2 data frame      length:2 (taken mod 4097) | fill count:1 | fill bytes
//                          (the payload repeats the fill bytes; zeros without any)
//   kind 3 damaged frame   a data frame body | damage:1 | value:2 (LineDamage)
//   kind 4 flood           count:1 | head:1 | body: the inner item (kind 1, 2
//                          or 3) sent count + 1 times
//   kind 5 Cancel          answer:1; the user presses Cancel (bit 0 set: and
//                          answers No to an upgrade's stop question)
//   kind 6 unplug          (no body) the PC's device goes away: from then on
//                          its every read and write fails with EIO
//   other  raw bytes       length:2 | bytes (cut short at the input's end)
//
// An item whose joins bit is clear starts a new answer. The receiver sends
// one answer for each frame the PC writes, and for each time the PC opens
// the line again at another rate (read user data's 19200 baud), in order.
// The items of an answer become readable one after the other, each its
// delay after the one before (the first its delay after the PC's frame); a
// Cancel is pressed then, or at the end of the PC's first wait that ends
// later, and an unplug takes effect then. With kEarlyAnswer in the variant, the first answer is
// already on the line when the session starts. Input cut short ends the item it cuts; all items
// together carry at most 160 KiB (floods are cut there). What the variant and size mean for each
// operation's file or buffer: line_session.cpp.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavlink::fuzz {

using Bytes = std::vector<uint8_t>;

// The operation byte selects one of these, taken modulo 6.
inline constexpr int kLineOperations[6] = {16, 32, 20, 18, 30, 22};

// Variant bits.
inline constexpr uint8_t kEarlyAnswer = 0x80;

// The delays of the 16 delay codes, in milliseconds. Half are 0; the others
// sit on the protocol's pauses and around the port's 20,000-ms time-out.
inline constexpr uint32_t kLineDelaysMs[16] = {0,   0,    0,    0,     0,     0,     0,     0,
                                               100, 1000, 3000, 19800, 19900, 20000, 30000, 45000};

// What a damaged frame's damage byte does (modulo 4) with its value v.
enum LineDamage : uint8_t {
  kFlipCrcBit = 0,      // flip bit v mod 32 of the CRC
  kSetLengthField = 1,  // the length field says v; the body stays as built
  kCutShort = 2,        // only the first v mod (frame size) bytes are sent
  kFlipAnyBit = 3,      // flip bit v mod (8 x frame size) anywhere
};

struct LineItem {
  Bytes bytes;
  uint32_t delayMs = 0;
  bool cancel = false;    // a Cancel press instead of bytes
  bool answerNo = false;  // ... answering No to the stop question
  bool unplug = false;    // the PC's device goes away instead of bytes
};

struct LineScript {
  int operation = 16;
  uint8_t variant = 0;
  uint16_t size = 0;
  std::vector<std::vector<LineItem>> answers;

  bool EarlyAnswer() const { return (variant & kEarlyAnswer) != 0; }
  // The sum of every item's delay.
  uint64_t TotalDelayMs() const;
};

// Decodes any bytes; never fails.
LineScript DecodeLineScript(const uint8_t* data, size_t size);

// Writes inputs in the format above (for the seed corpus and the tests).
class LineScriptWriter {
 public:
  // `operationIndex` indexes kLineOperations.
  LineScriptWriter(int operationIndex, uint8_t variant, uint16_t size);

  // Items that start a new answer; `Join()` before one makes it part of the
  // answer before it instead.
  LineScriptWriter& Join();
  LineScriptWriter& Delay(int delayCode);
  LineScriptWriter& Code(int code);
  LineScriptWriter& Data(uint16_t length, const Bytes& fill = {});
  LineScriptWriter& Damaged(uint16_t length, const Bytes& fill, LineDamage damage, uint16_t value);
  LineScriptWriter& Raw(const Bytes& bytes);
  LineScriptWriter& Silence() { return Raw({}); }  // an answer that sends nothing
  LineScriptWriter& FloodCode(uint8_t extra, int code);
  LineScriptWriter& FloodData(uint8_t extra, uint16_t length, const Bytes& fill = {});
  LineScriptWriter& Cancel(bool answerNo = false);
  LineScriptWriter& Unplug();

  const Bytes& bytes() const { return bytes_; }

 private:
  void Head(int kind);
  void Be16(uint16_t value);
  void DataBody(uint16_t length, const Bytes& fill);

  Bytes bytes_;
  bool join_ = false;
  int delayCode_ = 0;
};

}  // namespace tavlink::fuzz
