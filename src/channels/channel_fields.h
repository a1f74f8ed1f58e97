#pragma once
// The fields of each record kind that the data text carries, as plain values
// that an edit takes and a view shows. Their names and meanings are those of
// the data text (the writer's keywords): a setting that the text can leave
// out ("none") has its own enumerator. What a record holds beyond these
// fields (reserved bytes, kept bits, the bytes after a name's zero byte)
// stays in the record when an edit applies new fields to it.

#include <cstdint>
#include <string>

#include "channels/channel_ids.h"

namespace tavlink::channels {

enum class Diseqc : uint8_t { kNone, kA, kB, kC, kD };  // DiSEqC: none, a..d
enum class Tone : uint8_t { kNone, k0, k22 };           // 22KHz: none, 0, 22
enum class Switch12 : uint8_t { kNone, k0V, k12V };     // 0/12V: none, 0, 12
enum class Voltage : uint8_t { kNone, k14V, k18V };     // 14/18V: none, 14, 18
// FEC: the codes 0..7 of tp_flags bits 4-6; 6 and 7 have no keyword.
enum class Fec : uint8_t { kAuto, k1_2, k2_3, k3_4, k5_6, k7_8, kCode6, kCode7 };

struct SatelliteFields {
  std::string name;  // at most 9 characters
  uint16_t lnb_low = 9750;
  uint16_t lnb_high = 10600;
  bool universal_lnb = true;
  uint16_t angle = 0;  // tenths of a degree, 0 to 1800
  bool west = false;   // east_west
  Diseqc diseqc = Diseqc::kNone;
  Tone tone_22khz = Tone::kNone;
  Switch12 switch_0_12v = Switch12::kNone;
  Voltage voltage_14_18v = Voltage::kNone;

  friend bool operator==(const SatelliteFields&, const SatelliteFields&) = default;
};

// A transponder's satellite is not one of its fields: it changes through
// ChannelEditor::MoveTranspondersToSatellite.
struct TransponderFields {
  uint16_t frequency = 0;    // MHz
  uint16_t symbolrate = 0;   // kilosymbols per second
  bool horizontal = false;   // polarization
  bool tone_22khz = false;   // 22 KHz
  bool voltage_18v = false;  // 14/18 Volt
  bool switch_12v = false;   // 0/12 Volt
  Fec fec = Fec::kAuto;

  friend bool operator==(const TransponderFields&, const TransponderFields&) = default;
};

struct ServiceFields {
  std::string name;  // at most 13 characters
  TransponderId transponder;
  bool radio = false;  // tv_radio
  uint16_t service_id = 0;
  uint16_t video_pid = 0;  // the four PIDs 0 to 8191
  uint16_t audio_pid = 0;
  uint16_t pcr_pid = 0;
  uint16_t txt_pid = 0;
  bool scramble = false;
  bool favorite = false;
  bool lock = false;

  friend bool operator==(const ServiceFields&, const ServiceFields&) = default;
};

// The data text's words for the settings, as the writer writes them.
const char* DiseqcText(Diseqc diseqc);   // "none", "a".."d"
const char* ToneText(Tone tone);         // "none", "0", "22"
const char* SwitchText(Switch12 value);  // "none", "0", "12"
const char* VoltageText(Voltage value);  // "none", "14", "18"
const char* FecText(Fec fec);            // "auto", "1/2".."7/8", "fec6", "fec7"

}  // namespace tavlink::channels
