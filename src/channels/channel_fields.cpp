#include "channels/channel_fields.h"

#include "channels/channel_rows.h"
#include "channels/record_codec.h"

namespace tavlink::channels {

const char* DiseqcText(Diseqc diseqc) {
  static constexpr const char* kTexts[] = {"none", "a", "b", "c", "d"};
  return diseqc <= Diseqc::kD ? kTexts[static_cast<int>(diseqc)] : "?";
}
const char* ToneText(Tone tone) {
  static constexpr const char* kTexts[] = {"none", "0", "22"};
  return tone <= Tone::k22 ? kTexts[static_cast<int>(tone)] : "?";
}
const char* SwitchText(Switch12 value) {
  static constexpr const char* kTexts[] = {"none", "0", "12"};
  return value <= Switch12::k12V ? kTexts[static_cast<int>(value)] : "?";
}
const char* VoltageText(Voltage value) {
  static constexpr const char* kTexts[] = {"none", "14", "18"};
  return value <= Voltage::k18V ? kTexts[static_cast<int>(value)] : "?";
}
const char* FecText(Fec fec) {
  static constexpr const char* kTexts[] = {"auto", "1/2", "2/3",  "3/4",
                                           "5/6",  "7/8", "fec6", "fec7"};
  return fec <= Fec::kCode7 ? kTexts[static_cast<int>(fec)] : "?";
}

namespace detail {

using namespace sat_flag;

Diseqc DiseqcOf(uint32_t f) {
  if (!(f & kDiseqcGiven)) return Diseqc::kNone;
  return static_cast<Diseqc>(1 + ((f & kDiseqcInput) >> kDiseqcShift));
}
Tone ToneOf(uint32_t f) {
  if (!(f & kToneGiven)) return Tone::kNone;
  return (f & kToneOn) ? Tone::k22 : Tone::k0;
}
Switch12 Switch12Of(uint32_t f) {
  if (!(f & kSwitch12Given)) return Switch12::kNone;
  return (f & kSwitch12On) ? Switch12::k12V : Switch12::k0V;
}
Voltage VoltageOf(uint32_t f) {
  if (!(f & kVoltageGiven)) return Voltage::kNone;
  return (f & kVoltage18) ? Voltage::k18V : Voltage::k14V;
}

uint32_t SatFlagBits(const SatelliteFields& f) {
  uint32_t bits = f.universal_lnb ? kUniversalLnb : 0;
  if (f.diseqc != Diseqc::kNone) {
    bits |= kDiseqcGiven | ((static_cast<uint32_t>(f.diseqc) - 1) << kDiseqcShift);
  }
  if (f.tone_22khz != Tone::kNone) bits |= kToneGiven | (f.tone_22khz == Tone::k22 ? kToneOn : 0);
  if (f.switch_0_12v != Switch12::kNone) {
    bits |= kSwitch12Given | (f.switch_0_12v == Switch12::k12V ? kSwitch12On : 0);
  }
  if (f.voltage_14_18v != Voltage::kNone) {
    bits |= kVoltageGiven | (f.voltage_14_18v == Voltage::k18V ? kVoltage18 : 0);
  }
  return bits & kDataTextBits;
}

uint16_t TpFlagBits(const TransponderFields& f) {
  uint16_t bits = static_cast<uint16_t>(static_cast<unsigned>(f.fec) << tp_flag::kFecShift);
  if (f.horizontal) bits |= tp_flag::kHorizontal;
  if (f.tone_22khz) bits |= tp_flag::kTone22;
  if (f.voltage_18v) bits |= tp_flag::kVoltage18;
  if (f.switch_12v) bits |= tp_flag::kSwitch12;
  return static_cast<uint16_t>(bits & tp_flag::kDataTextBits);
}

void WriteSatelliteFields(const SatelliteFields& f, SatelliteRecord r) {
  r.set_name(f.name);
  r.set_lnb_low(f.lnb_low);
  r.set_lnb_high(f.lnb_high);
  r.set_position(static_cast<uint16_t>((f.angle & kAngleMask) | (f.west ? kWestBit : 0)));
  r.set_sat_flags((r.sat_flags() & ~kDataTextBits) | SatFlagBits(f));
}

void WriteTransponderFields(const TransponderFields& f, TransponderRecord r) {
  r.set_frequency(f.frequency);
  r.set_symbolrate(f.symbolrate);
  r.set_tp_flags(static_cast<uint16_t>((r.tp_flags() & ~tp_flag::kDataTextBits) | TpFlagBits(f)));
}

void WriteServiceFields(const ServiceFields& f, ServiceRecord r) {
  r.set_name(f.name);
  r.set_service_id(f.service_id);
  r.set_video_pid(f.video_pid);
  r.set_audio_pid(f.audio_pid);
  r.set_pcr_pid(f.pcr_pid);
  r.set_txt_pid(f.txt_pid);
  r.set_tp_word(static_cast<uint16_t>((r.tp_word() & kTpEntryMask) | (f.radio ? kRadioBit : 0)));
  uint16_t flags = r.service_flags() & ~service_flag::kDataTextBits;
  if (f.scramble) flags |= service_flag::kScramble;
  if (f.favorite) flags |= service_flag::kFavorite;
  if (f.lock) flags |= service_flag::kLock;
  r.set_service_flags(flags);
}

}  // namespace detail

Diseqc Satellite::diseqc() const {
  return detail::DiseqcOf(view().sat_flags());
}
Tone Satellite::tone_22khz() const {
  return detail::ToneOf(view().sat_flags());
}
Switch12 Satellite::switch_0_12v() const {
  return detail::Switch12Of(view().sat_flags());
}
Voltage Satellite::voltage_14_18v() const {
  return detail::VoltageOf(view().sat_flags());
}

SatelliteFields Satellite::fields() const {
  return SatelliteFields{std::string(name()),
                         lnb_low(),
                         lnb_high(),
                         universal_lnb(),
                         angle(),
                         west(),
                         diseqc(),
                         tone_22khz(),
                         switch_0_12v(),
                         voltage_14_18v()};
}

TransponderFields Transponder::fields() const {
  return TransponderFields{frequency(),   symbolrate(), horizontal(), tone_22khz(),
                           voltage_18v(), switch_12v(), fec()};
}

ServiceFields Service::fields() const {
  return ServiceFields{std::string(name()), transponder(), radio(),   service_id(),
                       video_pid(),         audio_pid(),   pcr_pid(), txt_pid(),
                       scramble(),          favorite(),    lock()};
}

}  // namespace tavlink::channels
