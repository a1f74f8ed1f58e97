#pragma once
// The rows of a channel list: one satellite, transponder or service record
// with its identity. A row holds its record's bytes exactly as the block
// stores them, reserved bytes, kept bits and the bytes after a name's zero
// byte included, so that all of them travel with the record when it moves.
// A row names another record by identity, never by table index; the block's
// owner_sat and tp_entry are computed when a block is made.
//
// A list hands out rows as const references, valid until its next edit.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <type_traits>

#include "channels/channel_fields.h"
#include "channels/channel_ids.h"
#include "data/receiver_data_records.h"

namespace tavlink::channels {

namespace detail {
struct RowAccess;
}

class Satellite {
 public:
  SatelliteId id() const { return id_; }

  std::string_view name() const { return view().name(); }
  uint16_t lnb_low() const { return view().lnb_low(); }
  uint16_t lnb_high() const { return view().lnb_high(); }
  bool universal_lnb() const { return (view().sat_flags() & sat_flag::kUniversalLnb) != 0; }
  uint16_t angle() const { return view().angle(); }  // tenths of a degree
  bool west() const { return view().west(); }
  Diseqc diseqc() const;
  Tone tone_22khz() const;
  Switch12 switch_0_12v() const;
  Voltage voltage_14_18v() const;
  SatelliteFields fields() const;

  // The 24 bytes of the record as the block stores them.
  std::span<const uint8_t, kSatelliteRecordSize> record() const { return bytes_; }

 private:
  friend struct detail::RowAccess;
  ConstSatelliteRecord view() const { return ConstSatelliteRecord(bytes_.data()); }

  SatelliteId id_;
  std::array<uint8_t, kSatelliteRecordSize> bytes_{};
};

class Transponder {
 public:
  TransponderId id() const { return id_; }
  // The satellite it belongs to; invalid when it belongs to none (owner_sat
  // 255, or an index beyond the satellites of the block it came from).
  SatelliteId satellite() const { return satellite_; }

  uint16_t frequency() const { return view().frequency(); }
  uint16_t symbolrate() const { return view().symbolrate(); }
  bool horizontal() const { return (view().tp_flags() & tp_flag::kHorizontal) != 0; }
  bool tone_22khz() const { return (view().tp_flags() & tp_flag::kTone22) != 0; }
  bool voltage_18v() const { return (view().tp_flags() & tp_flag::kVoltage18) != 0; }
  bool switch_12v() const { return (view().tp_flags() & tp_flag::kSwitch12) != 0; }
  Fec fec() const {
    return static_cast<Fec>((view().tp_flags() & tp_flag::kFec) >> tp_flag::kFecShift);
  }
  TransponderFields fields() const;

  // The 8 bytes of the record. Byte 6 holds owner_sat as the source block had
  // it; it is what a block gets when satellite() is invalid and that value
  // still names no satellite, 255 otherwise.
  std::span<const uint8_t, kTransponderRecordSize> record() const { return bytes_; }

 private:
  friend struct detail::RowAccess;
  ConstTransponderRecord view() const { return ConstTransponderRecord(bytes_.data()); }

  TransponderId id_;
  SatelliteId satellite_;
  std::array<uint8_t, kTransponderRecordSize> bytes_{};
};

class Service {
 public:
  ServiceId id() const { return id_; }
  // Its transponder; invalid when tp_entry named no transponder of the
  // block it came from.
  TransponderId transponder() const { return transponder_; }

  std::string_view name() const { return view().name(); }
  uint16_t service_id() const { return view().service_id(); }
  uint16_t video_pid() const { return view().video_pid(); }
  uint16_t audio_pid() const { return view().audio_pid(); }
  uint16_t pcr_pid() const { return view().pcr_pid(); }
  uint16_t txt_pid() const { return view().txt_pid(); }
  bool radio() const { return view().radio(); }
  bool scramble() const { return (view().service_flags() & service_flag::kScramble) != 0; }
  bool favorite() const { return (view().service_flags() & service_flag::kFavorite) != 0; }
  bool lock() const { return (view().service_flags() & service_flag::kLock) != 0; }
  ServiceFields fields() const;

  // The 28 bytes of the record. Bits 0-14 of the word at 8 hold tp_entry as
  // the source block had it; it is what a block gets when transponder() is
  // invalid and that value still names no transponder, 0x7FFF otherwise.
  std::span<const uint8_t, kServiceRecordSize> record() const { return bytes_; }

 private:
  friend struct detail::RowAccess;
  ConstServiceRecord view() const { return ConstServiceRecord(bytes_.data()); }

  ServiceId id_;
  TransponderId transponder_;
  std::array<uint8_t, kServiceRecordSize> bytes_{};
};

// The undo history stores byte differences of rows: no padding, no pointers.
static_assert(std::has_unique_object_representations_v<Satellite>);
static_assert(std::has_unique_object_representations_v<Transponder>);
static_assert(std::has_unique_object_representations_v<Service>);

}  // namespace tavlink::channels
