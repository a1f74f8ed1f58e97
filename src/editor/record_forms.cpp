#include "editor/record_forms.h"

#include <array>

#include "channels/field_limits.h"
#include "channels/record_labels.h"
#include "editor/service_columns.h"

namespace tavlink::editor {

using channels::ChannelList;
using channels::Diseqc;
using channels::Fec;
using channels::SatelliteFields;
using channels::Switch12;
using channels::Tone;
using channels::TransponderFields;
using channels::Voltage;

const char* TreeColumnTitle(int column) {
  static constexpr std::array<const char*, kTreeColumnCount> titles = {
      "Satellite / TP", "Pos. / SR", "Services", "LNB / FEC", "Switches"};
  return column >= 0 && column < kTreeColumnCount ? titles[static_cast<size_t>(column)] : "";
}

int SatelliteServiceCount(const ChannelList& list, channels::SatelliteId satellite) {
  int count = 0;
  for (int position : list.TransponderPositionsOf(satellite)) {
    count += list.ServiceCountOf(list.transponders()[static_cast<size_t>(position)].id());
  }
  return count;
}

std::string SatelliteCellText(const ChannelList& list, const channels::Satellite& satellite,
                              int column) {
  switch (column) {
    case 0:
      return std::string(satellite.name());
    case 1:
      return channels::AngleText(satellite.angle()) + (satellite.west() ? " W" : " E");
    case 3:
      return std::to_string(satellite.lnb_low()) + "/" + std::to_string(satellite.lnb_high()) +
             (satellite.universal_lnb() ? " universal" : " normal");
    case 4:
      return std::string("DiSEqC ") + channels::DiseqcText(satellite.diseqc()) + ", 22KHz " +
             channels::ToneText(satellite.tone_22khz()) + ", 0/12V " +
             channels::SwitchText(satellite.switch_0_12v()) + ", 14/18V " +
             channels::VoltageText(satellite.voltage_14_18v());
    case 2:
      return std::to_string(SatelliteServiceCount(list, satellite.id()));
  }
  return "";
}

std::string TransponderCellText(const ChannelList& list, const channels::Transponder& transponder,
                                int column) {
  switch (column) {
    case 0:
      return channels::TransponderLabel(transponder);
    case 1:
      return std::to_string(transponder.symbolrate());
    case 3:
      return std::string("FEC ") + channels::FecText(transponder.fec());
    case 4:
      return std::string("22KHz ") + (transponder.tone_22khz() ? "22" : "0") + ", 14/18V " +
             (transponder.voltage_18v() ? "18" : "14") + ", 0/12V " +
             (transponder.switch_12v() ? "12" : "0");
    case 2:
      return std::to_string(list.ServiceCountOf(transponder.id()));
  }
  return "";
}

namespace {

// The choices of each setting, in the order of its enumerators.
const std::vector<std::string> kLnbTypes = {"universal", "normal"};
const std::vector<std::string> kSides = {"east", "west"};
const std::vector<std::string> kDiseqc = {"none", "a", "b", "c", "d"};
const std::vector<std::string> kTones = {"none", "0", "22"};
const std::vector<std::string> kSwitches = {"none", "0", "12"};
const std::vector<std::string> kVoltages = {"none", "14", "18"};
const std::vector<std::string> kPolarizations = {"ver", "hor"};
const std::vector<std::string> kOffOn22 = {"0", "22"};
const std::vector<std::string> kVolts = {"14", "18"};
const std::vector<std::string> kOffOn12 = {"0", "12"};
const std::vector<std::string> kFecs = {"auto", "1/2", "2/3", "3/4", "5/6", "7/8"};

// The index of `text` among `choices`, or -1.
int ChoiceIndex(const std::vector<std::string>& choices, const std::string& text) {
  for (size_t i = 0; i < choices.size(); ++i) {
    if (choices[i] == text) return static_cast<int>(i);
  }
  return -1;
}

// Reads the texts of a form field by field; the first failure is kept.
class FormReader {
 public:
  explicit FormReader(const std::vector<std::string>& texts) : texts_(texts) {}

  uint16_t Number(const char* name, long max) {
    const std::string& text = Next();
    const std::optional<long> value = ParseNumber(text, max);
    if (!value) Fail(std::string(name) + " must be a number from 0 to " + std::to_string(max));
    return static_cast<uint16_t>(value.value_or(0));
  }
  // Tenths from "19.2" (one decimal at most).
  uint16_t Angle() {
    const std::string& text = Next();
    const size_t dot = text.find('.');
    const std::optional<long> whole = ParseNumber(text.substr(0, dot), 180);
    std::optional<long> tenth = 0L;
    if (dot != std::string::npos) {
      tenth = text.size() == dot + 2 ? ParseNumber(text.substr(dot + 1), 9) : std::nullopt;
    }
    if (!whole || !tenth || *whole * 10 + *tenth > channels::kMaxAngle) {
      Fail("angle must be 0.0 to 180.0");
      return 0;
    }
    return static_cast<uint16_t>(*whole * 10 + *tenth);
  }
  int Choice(const char* name, const std::vector<std::string>& choices) {
    const std::string& text = Next();
    const int index = ChoiceIndex(choices, text);
    if (index < 0) {
      std::string words;
      for (const std::string& choice : choices) words += (words.empty() ? "" : ", ") + choice;
      Fail(std::string(name) + " must be one of " + words);
    }
    return index < 0 ? 0 : index;
  }
  std::string Text() { return Next(); }

  const std::string& problem() const { return problem_; }

 private:
  const std::string& Next() {
    static const std::string kEmpty;
    return index_ < texts_.size() ? texts_[index_++] : kEmpty;
  }
  void Fail(std::string message) {
    if (problem_.empty()) problem_ = std::move(message);
  }

  const std::vector<std::string>& texts_;
  size_t index_ = 0;
  std::string problem_;
};

template <typename E>
std::string Word(const std::vector<std::string>& choices, E value) {
  const auto index = static_cast<size_t>(value);
  return index < choices.size() ? choices[index] : std::to_string(index);
}

}  // namespace

RecordForm SatelliteForm(const SatelliteFields& f) {
  RecordForm form;
  form.fields = {
      {"Name (at most 9 characters)", f.name, {}},
      {"LNB low (MHz)", std::to_string(f.lnb_low), {}},
      {"LNB high (MHz)", std::to_string(f.lnb_high), {}},
      {"LNB type", f.universal_lnb ? "universal" : "normal", kLnbTypes},
      {"Angle (degrees)", channels::AngleText(f.angle), {}},
      {"East / west", f.west ? "west" : "east", kSides},
      {"DiSEqC", Word(kDiseqc, f.diseqc), kDiseqc},
      {"22KHz", Word(kTones, f.tone_22khz), kTones},
      {"0/12V", Word(kSwitches, f.switch_0_12v), kSwitches},
      {"14/18V", Word(kVoltages, f.voltage_14_18v), kVoltages},
  };
  return form;
}

RecordForm TransponderForm(const TransponderFields& f) {
  RecordForm form;
  form.fields = {
      {"Frequency (MHz)", std::to_string(f.frequency), {}},
      {"Symbol rate (kS/s)", std::to_string(f.symbolrate), {}},
      {"Polarization", f.horizontal ? "hor" : "ver", kPolarizations},
      {"22KHz", f.tone_22khz ? "22" : "0", kOffOn22},
      {"14/18V", f.voltage_18v ? "18" : "14", kVolts},
      {"0/12V", f.switch_12v ? "12" : "0", kOffOn12},
      {"FEC", Word(kFecs, f.fec), kFecs},
  };
  return form;
}

std::variant<SatelliteFields, std::string> ReadSatelliteForm(
    const std::vector<std::string>& texts) {
  FormReader in(texts);
  SatelliteFields f;
  f.name = in.Text();
  f.lnb_low = in.Number("lnb_low", 65535);
  f.lnb_high = in.Number("lnb_high", 65535);
  f.universal_lnb = in.Choice("lnb_type", kLnbTypes) == 0;
  f.angle = in.Angle();
  f.west = in.Choice("east_west", kSides) == 1;
  f.diseqc = static_cast<Diseqc>(in.Choice("DiSEqC", kDiseqc));
  f.tone_22khz = static_cast<Tone>(in.Choice("22KHz", kTones));
  f.switch_0_12v = static_cast<Switch12>(in.Choice("0/12V", kSwitches));
  f.voltage_14_18v = static_cast<Voltage>(in.Choice("14/18V", kVoltages));
  if (!in.problem().empty()) return in.problem();
  if (auto problem = channels::SatelliteProblem(f)) return problem->message;
  return f;
}

std::variant<TransponderFields, std::string> ReadTransponderForm(
    const std::vector<std::string>& texts) {
  FormReader in(texts);
  TransponderFields f;
  f.frequency = in.Number("frequency", 65535);
  f.symbolrate = in.Number("symbol", 65535);
  f.horizontal = in.Choice("polar", kPolarizations) == 1;
  f.tone_22khz = in.Choice("22K", kOffOn22) == 1;
  f.voltage_18v = in.Choice("14/18V", kVolts) == 1;
  f.switch_12v = in.Choice("0/12V", kOffOn12) == 1;
  f.fec = static_cast<Fec>(in.Choice("FEC", kFecs));
  if (!in.problem().empty()) return in.problem();
  if (auto problem = channels::TransponderProblem(f)) return problem->message;
  return f;
}

SatelliteFields NewSatelliteFields() {
  SatelliteFields f;
  f.name = "NEW SAT";
  return f;
}

TransponderFields NewTransponderFields() {
  TransponderFields f;
  f.frequency = 10714;
  f.symbolrate = 22000;
  f.horizontal = true;
  f.fec = Fec::k5_6;
  return f;
}

}  // namespace tavlink::editor
