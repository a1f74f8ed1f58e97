#include "fuzz/line_script.h"

#include <algorithm>

#include "support/frame_bytes.h"

namespace tavlink::fuzz {
namespace {

constexpr int kCommandKind = 1;
constexpr int kDataKind = 2;
constexpr int kDamagedKind = 3;
constexpr int kFloodKind = 4;
constexpr int kCancelKind = 5;
constexpr int kUnplugKind = 6;
constexpr int kRawKind = 0;
constexpr size_t kMaxDataPayload = 4096;
// All items together carry at most this many bytes; the rest is cut off, so
// that floods keep a run short. It is more than a whole user data block in
// the largest frames.
constexpr size_t kMaxScriptBytes = 160 * 1024;

// Reads the input front to back; past its end every read gives zeros.
class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool AtEnd() const { return pos_ >= size_; }
  uint8_t U8() { return pos_ < size_ ? data_[pos_++] : 0; }
  uint16_t U16() {
    const uint16_t high = U8();
    return static_cast<uint16_t>((high << 8) | U8());
  }
  Bytes Take(size_t n) {
    n = std::min(n, size_ - std::min(pos_, size_));
    Bytes out(data_ + pos_, data_ + pos_ + n);
    pos_ += n;
    return out;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

Bytes DataFrameFrom(Reader& in) {
  const size_t length = in.U16() % (kMaxDataPayload + 1);
  const Bytes fill = in.Take(in.U8());
  Bytes payload(length, 0);
  if (!fill.empty())
    for (size_t i = 0; i < length; ++i) payload[i] = fill[i % fill.size()];
  return testing::DataFrame(payload);
}

Bytes Damage(Bytes frame, uint8_t damage, uint16_t value) {
  switch (damage % 4) {
    case kFlipCrcBit:
      frame[frame.size() - 4 + (value % 32) / 8] ^= static_cast<uint8_t>(1u << (value % 8));
      break;
    case kSetLengthField:
      frame[10] = static_cast<uint8_t>(value >> 8);
      frame[11] = static_cast<uint8_t>(value);
      break;
    case kCutShort:
      frame.resize(value % frame.size());
      break;
    default: {
      const size_t bit = value % (frame.size() * 8);
      frame[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
      break;
    }
  }
  return frame;
}

// The bytes of one item of `kind` (not a flood), its body read from `in`.
Bytes FrameOfKind(int kind, Reader& in) {
  switch (kind) {
    case kCommandKind:
      return testing::CommandFrame(in.U16());
    case kDataKind:
      return DataFrameFrom(in);
    case kDamagedKind: {
      Bytes frame = DataFrameFrom(in);
      const uint8_t damage = in.U8();
      return Damage(std::move(frame), damage, in.U16());
    }
    default:
      return in.Take(in.U16());
  }
}

}  // namespace

uint64_t LineScript::TotalDelayMs() const {
  uint64_t total = 0;
  for (const auto& answer : answers)
    for (const auto& item : answer) total += item.delayMs;
  return total;
}

LineScript DecodeLineScript(const uint8_t* data, size_t size) {
  Reader in(data, size);
  LineScript script;
  size_t budget = kMaxScriptBytes;
  script.operation = kLineOperations[in.U8() % 6];
  script.variant = in.U8();
  script.size = in.U16();
  while (!in.AtEnd()) {
    const uint8_t head = in.U8();
    LineItem item;
    item.delayMs = kLineDelaysMs[(head >> 3) & 0x0F];
    const int kind = head & 0x07;
    if (kind == kFloodKind) {
      const int copies = in.U8() + 1;
      int inner = in.U8() & 0x07;
      if (inner != kCommandKind && inner != kDamagedKind) inner = kDataKind;
      const Bytes frame = FrameOfKind(inner, in);
      for (int i = 0; i < copies && item.bytes.size() < budget; ++i)
        item.bytes.insert(item.bytes.end(), frame.begin(), frame.end());
    } else if (kind == kCancelKind) {
      item.cancel = true;
      item.answerNo = (in.U8() & 1) != 0;
    } else if (kind == kUnplugKind) {
      item.unplug = true;
    } else {
      item.bytes = FrameOfKind(kind, in);
    }
    if (item.bytes.size() > budget) item.bytes.resize(budget);
    budget -= item.bytes.size();
    const bool joins = (head & 0x80) != 0 && !script.answers.empty();
    if (!joins) script.answers.emplace_back();
    script.answers.back().push_back(std::move(item));
  }
  return script;
}

LineScriptWriter::LineScriptWriter(int operationIndex, uint8_t variant, uint16_t size) {
  bytes_.push_back(static_cast<uint8_t>(operationIndex));
  bytes_.push_back(variant);
  Be16(size);
}

LineScriptWriter& LineScriptWriter::Join() {
  join_ = true;
  return *this;
}

LineScriptWriter& LineScriptWriter::Delay(int delayCode) {
  delayCode_ = delayCode & 0x0F;
  return *this;
}

void LineScriptWriter::Head(int kind) {
  bytes_.push_back(static_cast<uint8_t>((join_ ? 0x80 : 0) | (delayCode_ << 3) | kind));
  join_ = false;
  delayCode_ = 0;
}

void LineScriptWriter::Be16(uint16_t value) {
  bytes_.push_back(static_cast<uint8_t>(value >> 8));
  bytes_.push_back(static_cast<uint8_t>(value));
}

void LineScriptWriter::DataBody(uint16_t length, const Bytes& fill) {
  Be16(length);
  bytes_.push_back(static_cast<uint8_t>(fill.size()));
  bytes_.insert(bytes_.end(), fill.begin(), fill.end());
}

LineScriptWriter& LineScriptWriter::Code(int code) {
  Head(kCommandKind);
  Be16(static_cast<uint16_t>(code));
  return *this;
}

LineScriptWriter& LineScriptWriter::Data(uint16_t length, const Bytes& fill) {
  Head(kDataKind);
  DataBody(length, fill);
  return *this;
}

LineScriptWriter& LineScriptWriter::Damaged(uint16_t length, const Bytes& fill, LineDamage damage,
                                            uint16_t value) {
  Head(kDamagedKind);
  DataBody(length, fill);
  bytes_.push_back(damage);
  Be16(value);
  return *this;
}

LineScriptWriter& LineScriptWriter::Raw(const Bytes& bytes) {
  Head(kRawKind);
  Be16(static_cast<uint16_t>(bytes.size()));
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}

LineScriptWriter& LineScriptWriter::FloodCode(uint8_t extra, int code) {
  Head(kFloodKind);
  bytes_.push_back(extra);
  bytes_.push_back(kCommandKind);
  Be16(static_cast<uint16_t>(code));
  return *this;
}

LineScriptWriter& LineScriptWriter::FloodData(uint8_t extra, uint16_t length, const Bytes& fill) {
  Head(kFloodKind);
  bytes_.push_back(extra);
  bytes_.push_back(kDataKind);
  DataBody(length, fill);
  return *this;
}

LineScriptWriter& LineScriptWriter::Cancel(bool answerNo) {
  Head(kCancelKind);
  bytes_.push_back(answerNo ? 1 : 0);
  return *this;
}

LineScriptWriter& LineScriptWriter::Unplug() {
  Head(kUnplugKind);
  return *this;
}

}  // namespace tavlink::fuzz
