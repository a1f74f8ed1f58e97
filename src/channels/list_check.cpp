#include "channels/list_check.h"

#include <optional>

#include "channels/field_limits.h"
#include "channels/record_codec.h"
#include "channels/record_labels.h"

namespace tavlink::channels {
namespace {

using Kind = Problem::Kind;
using Place = Problem::Place;

class Checker {
 public:
  explicit Checker(const ChannelList& list) : list_(list) {}

  std::vector<Problem> Run() {
    CheckHeader();
    const auto& sats = list_.satellites();
    for (size_t i = 0; i < sats.size(); ++i) CheckSatellite(sats[i], static_cast<int>(i));
    const auto& tps = list_.transponders();
    for (size_t i = 0; i < tps.size(); ++i) CheckTransponder(tps[i], static_cast<int>(i));
    const auto& services = list_.services();
    for (size_t i = 0; i < services.size(); ++i) CheckService(services[i], static_cast<int>(i));
    return std::move(problems_);
  }

 private:
  void Add(Kind kind, Place place, uint32_t id, int position, std::string field, std::string text) {
    problems_.push_back(Problem{kind, place, id, position, std::move(field), std::move(text)});
  }

  void CheckHeader() {
    if (!list_.has_valid_magic()) {
      Add(Kind::kRefused, Place::kHeader, 0, 0, "magic",
          "block: the magic is not \"evileyes\", the writer writes no text");
    }
    static constexpr const char* kCountNames[] = {"sat_count", "tp_count", "service_count"};
    static constexpr int kCapacities[] = {kMaxSatellites, kMaxTransponders, kMaxServices};
    for (const Table table : {Table::kSatellites, Table::kTransponders, Table::kServices}) {
      const auto t = static_cast<size_t>(table);
      if (const std::optional<int32_t> found = list_.CountAsFound(table)) {
        Add(Kind::kNotInText, Place::kHeader, 0, 0, kCountNames[t],
            std::string("block: ") + kCountNames[t] + " is " + std::to_string(*found) +
                ", outside 0 to " + std::to_string(kCapacities[t]));
      }
    }
    if (auto problem = AntennaConfigProblem(list_.antenna_config())) {
      Add(Kind::kRefused, Place::kHeader, 0, 0, problem->field,
          problem->message + " (it is " + std::to_string(list_.antenna_config()) + ")");
    }
  }

  void CheckSatellite(const Satellite& sat, int at) {
    const std::string where = "satellite " + std::to_string(at + 1) + " " + QuotedName(sat.name());
    if (auto problem = SatelliteProblem(sat.fields())) {
      std::string text = where + ": " + problem->message;
      if (problem->field == "angle") text += " (it is " + AngleText(sat.angle()) + ")";
      Add(Kind::kRefused, Place::kSatellite, sat.id().value, at, problem->field, text);
    }
    // Value bits of a setting that is none: the text says "none", the reader clears them.
    using namespace sat_flag;
    const uint32_t flags = ConstSatelliteRecord(sat.record().data()).sat_flags();
    struct Setting {
      uint32_t given, value;
      const char* field;
    };
    static constexpr Setting kSettings[] = {{kDiseqcGiven, kDiseqcInput, "DiSEqC"},
                                            {kToneGiven, kToneOn, "22KHz"},
                                            {kSwitch12Given, kSwitch12On, "0/12V"},
                                            {kVoltageGiven, kVoltage18, "14/18V"}};
    for (const Setting& s : kSettings) {
      if (!(flags & s.given) && (flags & s.value)) {
        Add(Kind::kNotInText, Place::kSatellite, sat.id().value, at, s.field,
            where + ": " + s.field + " is none but its value bits are set in sat_flags");
      }
    }
  }

  void CheckTransponder(const Transponder& tp, int at) {
    const int number = list_.TransponderNumber(tp.id());
    const int sat = list_.PositionOf(tp.satellite());
    std::string where = "transponder " + TransponderLabel(tp);
    if (sat >= 0) {
      where +=
          " (number " + std::to_string(number) + " of satellite " + std::to_string(sat + 1) + ")";
    } else {
      where += " (table position " + std::to_string(at + 1) + ")";
      Add(Kind::kNotInText, Place::kTransponder, tp.id().value, at, "owner_sat",
          where + ": belongs to no satellite (owner_sat " + std::to_string(tp.record()[6]) +
              "), the writer leaves it out");
    }
    if (auto problem = TransponderProblem(tp.fields())) {
      Add(Kind::kRefused, Place::kTransponder, tp.id().value, at, problem->field,
          where + ": " + problem->message + " (it is " + FecText(tp.fec()) + ")");
    }
  }

  void CheckService(const Service& service, int at) {
    const std::string where =
        "service " + std::to_string(at + 1) + " " + QuotedName(service.name());
    const uint32_t id = service.id().value;
    if (auto problem = ServiceProblem(service.fields())) {
      std::string text = where + ": " + problem->message;
      const ServiceFields f = service.fields();
      const int value = problem->field == "video_pid"   ? f.video_pid
                        : problem->field == "audio_pid" ? f.audio_pid
                        : problem->field == "pcr_pid"   ? f.pcr_pid
                        : problem->field == "txt_pid"   ? f.txt_pid
                                                        : -1;
      if (value >= 0) text += " (it is " + std::to_string(value) + ")";
      Add(Kind::kRefused, Place::kService, id, at, problem->field, text);
    }
    const Transponder* tp = list_.Find(service.transponder());
    if (!tp) {
      Add(Kind::kRefused, Place::kService, id, at, "tp_entry",
          where + ": The satellite or transponder is not valid. (tp_entry names no transponder)");
      return;
    }
    if (!tp->satellite().valid()) {
      Add(Kind::kRefused, Place::kService, id, at, "sat_index",
          where + ": The satellite or transponder is not valid. (its transponder " +
              TransponderLabel(*tp) + " belongs to no satellite)");
      return;
    }
    const int number = list_.TransponderNumber(tp->id());
    if (number > kMaxTpIndex) {
      Add(Kind::kRefused, Place::kService, id, at, "tp_index",
          where + ": tp_index must be 1 to 256 (its transponder " + TransponderLabel(*tp) +
              " is number " + std::to_string(number) + " of its satellite)");
    }
  }

  const ChannelList& list_;
  std::vector<Problem> problems_;
};

}  // namespace

std::vector<Problem> CheckList(const ChannelList& list) {
  return Checker(list).Run();
}

}  // namespace tavlink::channels
