#pragma once
// Typed views over the three record kinds of the receiver data block. A view
// holds a pointer to the first byte of one record inside the block and reads
// or writes its little-endian fields in place; it owns nothing and is valid as
// long as the block is. A view over const bytes only reads.
//
//   satellite   (24): lnb_low u16 | lnb_high u16 | position u16 | rsv 2 |
//                     sat_flags u32 | name[10] | rsv 2
//   transponder  (8): frequency u16 | symbolrate u16 | tp_flags u16 |
//                     owner_sat u8 | rsv 1
//   service     (28): service_id u16 | video_pid u16 | audio_pid u16 |
//                     pcr_pid u16 | tp_entry:15 tv_radio:1 | txt_pid u16 |
//                     service_flags u16 | name[14]

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

#include "data/little_endian.h"

namespace tavlink {

inline constexpr size_t kSatelliteRecordSize = 24;
inline constexpr size_t kTransponderRecordSize = 8;
inline constexpr size_t kServiceRecordSize = 28;
inline constexpr size_t kSatelliteNameSize = 10;  // 9 characters and a zero byte
inline constexpr size_t kServiceNameSize = 14;    // 13 characters and a zero byte

// position: bits 0-14 the angle in tenths of a degree, bit 15 west.
inline constexpr uint16_t kAngleMask = 0x7FFF;
inline constexpr uint16_t kWestBit = 0x8000;

// Bits of sat_flags. A "given" bit says whether its setting is present at all.
namespace sat_flag {
inline constexpr uint32_t kUniversalLnb = 1u << 0;
inline constexpr uint32_t kDiseqcGiven = 1u << 1;
inline constexpr int kDiseqcShift = 2;  // two bits: input a..d as 0..3
inline constexpr uint32_t kDiseqcInput = 3u << kDiseqcShift;
inline constexpr uint32_t kToneGiven = 1u << 4;
inline constexpr uint32_t kToneOn = 1u << 5;
inline constexpr uint32_t kSwitch12Given = 1u << 6;
inline constexpr uint32_t kSwitch12On = 1u << 7;
inline constexpr uint32_t kVoltageGiven = 1u << 8;
inline constexpr uint32_t kVoltage18 = 1u << 9;
inline constexpr uint32_t kDataTextBits = 0x3FF;  // bits 10-31 are kept as found
}  // namespace sat_flag

// Bits of tp_flags.
namespace tp_flag {
inline constexpr uint16_t kHorizontal = 1u << 0;
inline constexpr uint16_t kTone22 = 1u << 1;
inline constexpr uint16_t kVoltage18 = 1u << 2;
inline constexpr uint16_t kSwitch12 = 1u << 3;
inline constexpr int kFecShift = 4;  // three bits: 0 auto, 1..5 = 1/2 2/3 3/4 5/6 7/8
inline constexpr uint16_t kFec = 7u << kFecShift;
inline constexpr uint16_t kDataTextBits = 0x7F;  // bits 7-15 are kept as found
}  // namespace tp_flag

// The word at offset 8 of a service record.
inline constexpr uint16_t kTpEntryMask = 0x7FFF;
inline constexpr uint16_t kRadioBit = 0x8000;

// Bits of service_flags.
namespace service_flag {
inline constexpr uint16_t kScramble = 1u << 0;
inline constexpr uint16_t kFavorite = 1u << 1;
inline constexpr uint16_t kLock = 1u << 2;
inline constexpr uint16_t kDataTextBits = 0x7;  // bits 3-15 are kept as found
}  // namespace service_flag

namespace detail {

// Common part of the views: the record's first byte and field access by offset.
template <typename Byte>
class RecordView {
 public:
  static constexpr bool kWritable = !std::is_const_v<Byte>;

  explicit RecordView(Byte* record) : p_(record) {}
  Byte* data() const { return p_; }

 protected:
  uint16_t U16(size_t offset) const { return LoadLe16(p_ + offset); }
  uint32_t U32(size_t offset) const { return LoadLe32(p_ + offset); }
  void SetU16(size_t offset, uint16_t v) const requires kWritable { StoreLe16(p_ + offset, v); }
  void SetU32(size_t offset, uint32_t v) const requires kWritable { StoreLe32(p_ + offset, v); }
  // The name up to its zero byte, at most `size` bytes when there is none.
  std::string_view Name(size_t offset, size_t size) const {
    const char* text = reinterpret_cast<const char*>(p_ + offset);
    const void* zero = std::memchr(text, 0, size);
    return {text, zero ? static_cast<size_t>(static_cast<const char*>(zero) - text) : size};
  }
  // Stores the name and one zero byte; the bytes after the zero keep their value.
  // REQUIRES: name.size() < size.
  void SetName(size_t offset, size_t size, std::string_view name) const requires kWritable {
    const size_t n = name.size() < size ? name.size() : size - 1;
    std::memcpy(p_ + offset, name.data(), n);
    p_[offset + n] = 0;
  }

 private:
  Byte* p_;
};

}  // namespace detail

template <typename Byte>
class SatelliteRecordView : public detail::RecordView<Byte> {
  using Base = detail::RecordView<Byte>;

 public:
  using Base::Base;
  // A read-only view of a writable record.
  template <typename Other>
  requires(std::is_same_v<const Other, Byte> && !std::is_same_v<Other, Byte>)
      SatelliteRecordView(const SatelliteRecordView<Other>& other)
      : Base(other.data()) {}
  uint16_t lnb_low() const { return this->U16(0); }
  uint16_t lnb_high() const { return this->U16(2); }
  uint16_t position() const { return this->U16(4); }
  uint16_t angle() const { return position() & kAngleMask; }
  bool west() const { return (position() & kWestBit) != 0; }
  uint32_t sat_flags() const { return this->U32(8); }
  std::string_view name() const { return this->Name(12, kSatelliteNameSize); }

  void set_lnb_low(uint16_t v) const requires Base::kWritable { this->SetU16(0, v); }
  void set_lnb_high(uint16_t v) const requires Base::kWritable { this->SetU16(2, v); }
  void set_position(uint16_t v) const requires Base::kWritable { this->SetU16(4, v); }
  void set_sat_flags(uint32_t v) const requires Base::kWritable { this->SetU32(8, v); }
  void set_name(std::string_view name) const requires Base::kWritable {
    this->SetName(12, kSatelliteNameSize, name);
  }
};

template <typename Byte>
class TransponderRecordView : public detail::RecordView<Byte> {
  using Base = detail::RecordView<Byte>;

 public:
  using Base::Base;
  // A read-only view of a writable record.
  template <typename Other>
  requires(std::is_same_v<const Other, Byte> && !std::is_same_v<Other, Byte>)
      TransponderRecordView(const TransponderRecordView<Other>& other)
      : Base(other.data()) {}
  uint16_t frequency() const { return this->U16(0); }
  uint16_t symbolrate() const { return this->U16(2); }
  uint16_t tp_flags() const { return this->U16(4); }
  uint8_t owner_sat() const { return this->data()[6]; }

  void set_frequency(uint16_t v) const requires Base::kWritable { this->SetU16(0, v); }
  void set_symbolrate(uint16_t v) const requires Base::kWritable { this->SetU16(2, v); }
  void set_tp_flags(uint16_t v) const requires Base::kWritable { this->SetU16(4, v); }
  void set_owner_sat(uint8_t v) const requires Base::kWritable { this->data()[6] = v; }
};

template <typename Byte>
class ServiceRecordView : public detail::RecordView<Byte> {
  using Base = detail::RecordView<Byte>;

 public:
  using Base::Base;
  // A read-only view of a writable record.
  template <typename Other>
  requires(std::is_same_v<const Other, Byte> && !std::is_same_v<Other, Byte>)
      ServiceRecordView(const ServiceRecordView<Other>& other)
      : Base(other.data()) {}
  uint16_t service_id() const { return this->U16(0); }
  uint16_t video_pid() const { return this->U16(2); }
  uint16_t audio_pid() const { return this->U16(4); }
  uint16_t pcr_pid() const { return this->U16(6); }
  uint16_t tp_word() const { return this->U16(8); }  // tp_entry and tv_radio
  uint16_t tp_entry() const { return tp_word() & kTpEntryMask; }
  bool radio() const { return (tp_word() & kRadioBit) != 0; }
  uint16_t txt_pid() const { return this->U16(10); }
  uint16_t service_flags() const { return this->U16(12); }
  std::string_view name() const { return this->Name(14, kServiceNameSize); }

  void set_service_id(uint16_t v) const requires Base::kWritable { this->SetU16(0, v); }
  void set_video_pid(uint16_t v) const requires Base::kWritable { this->SetU16(2, v); }
  void set_audio_pid(uint16_t v) const requires Base::kWritable { this->SetU16(4, v); }
  void set_pcr_pid(uint16_t v) const requires Base::kWritable { this->SetU16(6, v); }
  void set_tp_word(uint16_t v) const requires Base::kWritable { this->SetU16(8, v); }
  void set_txt_pid(uint16_t v) const requires Base::kWritable { this->SetU16(10, v); }
  void set_service_flags(uint16_t v) const requires Base::kWritable { this->SetU16(12, v); }
  void set_name(std::string_view name) const requires Base::kWritable {
    this->SetName(14, kServiceNameSize, name);
  }
};

using SatelliteRecord = SatelliteRecordView<uint8_t>;
using ConstSatelliteRecord = SatelliteRecordView<const uint8_t>;
using TransponderRecord = TransponderRecordView<uint8_t>;
using ConstTransponderRecord = TransponderRecordView<const uint8_t>;
using ServiceRecord = ServiceRecordView<uint8_t>;
using ConstServiceRecord = ServiceRecordView<const uint8_t>;

}  // namespace tavlink
