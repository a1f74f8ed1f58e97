#include "data/data_text_writer.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "data/data_text_banners.h"
#include "data/printf_like.h"

namespace tavlink {
namespace {

int Clamp(int32_t count, int capacity) {
  return std::clamp<int32_t>(count, 0, capacity);
}

std::string Quoted(std::string_view name) {
  std::string quoted = "\"";
  quoted += name;
  quoted += '"';
  return quoted;
}

// Tenths written with exactly one decimal: 192 as "19.2", 6 as "0.6".
std::string AngleText(int tenths) {
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

const char* LnbTypeText(uint32_t flags) {
  return (flags & sat_flag::kUniversalLnb) ? "universal" : "normal";
}

const char* DiseqcText(uint32_t flags) {
  static constexpr const char* kInputs[] = {"a", "b", "c", "d"};
  if (!(flags & sat_flag::kDiseqcGiven)) return "none";
  return kInputs[(flags & sat_flag::kDiseqcInput) >> sat_flag::kDiseqcShift];
}

// A setting that is either absent ("none") or one of two values.
const char* SettingText(uint32_t flags, uint32_t given, uint32_t on, const char* onText,
                        const char* offText) {
  if (!(flags & given)) return "none";
  return (flags & on) ? onText : offText;
}

const char* FecText(uint16_t flags) {
  static constexpr const char* kCodes[] = {"auto", "1/2", "2/3",  "3/4",
                                           "5/6",  "7/8", "fec6", "fec7"};
  return kCodes[(flags & tp_flag::kFec) >> tp_flag::kFecShift];
}

class DataTextWriter {
 public:
  DataTextWriter(const ReceiverDataBlock& block, TextOutput& file)
      : block_(block),
        file_(file),
        sat_count_(Clamp(block.sat_count(), kMaxSatellites)),
        tp_count_(Clamp(block.tp_count(), kMaxTransponders)),
        service_count_(Clamp(block.service_count(), kMaxServices)) {}

  void Write() {
    file_.WriteString(TitleBanner());
    if (block_.antenna_config() != -1) {
      file_.WriteString(AntennaBanner());
      Printf("a         %d\n\n", block_.antenna_config());
    }
    file_.WriteString(SatelliteBanner());
    for (int i = 0; i < sat_count_; ++i) WriteSatellite(i);
    file_.WriteString(ProgramBanner());
    WriteServices();
  }

 private:
  void WriteSatellite(int index) {
    const ConstSatelliteRecord sat = block_.satellite(index);
    const uint32_t flags = sat.sat_flags();
    Printf("  s       %-16s%-10d%-10d%-10s%-10s%-10s%-10s%-10s%-10s%s\n",
           Quoted(sat.name()).c_str(), sat.lnb_low(), sat.lnb_high(), LnbTypeText(flags),
           AngleText(sat.angle()).c_str(), sat.west() ? "west" : "east", DiseqcText(flags),
           SettingText(flags, sat_flag::kToneGiven, sat_flag::kToneOn, "22", "0"),
           SettingText(flags, sat_flag::kSwitch12Given, sat_flag::kSwitch12On, "12", "0"),
           SettingText(flags, sat_flag::kVoltageGiven, sat_flag::kVoltage18, "18", "14"));
    WriteTransponders(index);
  }

  void WriteTransponders(int satellite) {
    for (int i = 0; i < tp_count_; ++i) {
      const ConstTransponderRecord tp = block_.transponder(i);
      if (tp.owner_sat() != satellite) continue;
      const uint16_t flags = tp.tp_flags();
      Printf("      t   %-16d%-10d%-10s%-10s%-10s%-10s%s\n", tp.frequency(), tp.symbolrate(),
             (flags & tp_flag::kHorizontal) ? "hor" : "ver",
             (flags & tp_flag::kTone22) ? "22" : "0", (flags & tp_flag::kVoltage18) ? "18" : "14",
             (flags & tp_flag::kSwitch12) ? "12" : "0", FecText(flags));
    }
  }

  void WriteServices() {
    // Each transponder's number among its satellite's transponders, from 1.
    std::vector<int> position(static_cast<size_t>(tp_count_));
    std::array<int, 256> seen{};
    for (int i = 0; i < tp_count_; ++i) {
      position[static_cast<size_t>(i)] = ++seen[block_.transponder(i).owner_sat()];
    }
    for (int i = 0; i < service_count_; ++i) {
      const ConstServiceRecord service = block_.service(i);
      const int entry = service.tp_entry();
      // A reference outside the table is written as 0 and 0.
      const int satNumber = entry < tp_count_ ? block_.transponder(entry).owner_sat() + 1 : 0;
      const int tpNumber = entry < tp_count_ ? position[static_cast<size_t>(entry)] : 0;
      const uint16_t flags = service.service_flags();
      Printf("%-10s%-16s%-10d%-10d%-10d%-10d%-10d%-10d%-10d%-10d%-10d%d\n",
             service.radio() ? "  r" : "  v", Quoted(service.name()).c_str(), satNumber, tpNumber,
             service.service_id(), service.video_pid(), service.audio_pid(), service.pcr_pid(),
             service.txt_pid(), (flags & service_flag::kScramble) ? 1 : 0,
             (flags & service_flag::kFavorite) ? 1 : 0, (flags & service_flag::kLock) ? 1 : 0);
    }
  }

  // Formats one data line (never longer than the buffer: names are at most 14
  // characters and every number at most 11) and hands it to the file.
  void Printf(const char* format, ...) TAVLINK_PRINTF_LIKE(2, 3) {
    std::array<char, 1024> line;
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(line.data(), line.size(), format, args);
    va_end(args);
    if (length > 0) {
      file_.WriteString(std::string_view(line.data(), std::min<size_t>(length, line.size() - 1)));
    }
  }

  const ReceiverDataBlock& block_;
  TextOutput& file_;
  const int sat_count_;
  const int tp_count_;
  const int service_count_;
};

}  // namespace

int WriteDataText(const ReceiverDataBlock& block, TextOutput& file) {
  if (!block.IsValid()) return 1;
  DataTextWriter(block, file).Write();
  return 0;
}

}  // namespace tavlink
