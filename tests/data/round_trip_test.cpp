// Property: writing any block whose values the reader accepts and reading the
// text back gives the same antenna value, satellites, transponders (grouped
// by satellite) and services. Blocks come from a seeded generator, so a
// failure names a reproducible seed.

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "data/data_text.h"

namespace tavlink {
namespace {

class BlockGenerator {
 public:
  explicit BlockGenerator(uint32_t seed) : rng_(seed) {}

  std::unique_ptr<ReceiverDataBlock> Make() {
    auto block = std::make_unique<ReceiverDataBlock>();
    for (size_t i = 0; i < ReceiverDataBlock::kSize; ++i) block->bytes()[i] = Byte();
    const int sats = Uniform(0, kMaxSatellites);
    const int tps = sats == 0 ? 0 : Uniform(0, kMaxTransponders);
    for (int i = 0; i < sats; ++i) MakeSatellite(block->satellite(i));
    std::vector<int> referable;  // transponders a service may name (position <= 256)
    std::vector<int> seen(256);
    for (int i = 0; i < tps; ++i) {
      TransponderRecord tp = block->transponder(i);
      tp.set_frequency(U16());
      tp.set_symbolrate(U16());
      tp.set_tp_flags(
          static_cast<uint16_t>((U16() & ~tp_flag::kFec) | (Uniform(0, 5) << tp_flag::kFecShift)));
      const int owner = Uniform(0, sats - 1);
      tp.set_owner_sat(static_cast<uint8_t>(owner));
      if (++seen[static_cast<size_t>(owner)] <= 256) referable.push_back(i);
    }
    const int services = referable.empty() ? 0 : Uniform(0, kMaxServices);
    for (int i = 0; i < services; ++i) {
      ServiceRecord s = block->service(i);
      s.set_name(Name(13));
      s.set_service_id(U16());
      s.set_video_pid(static_cast<uint16_t>(Uniform(0, 8191)));
      s.set_audio_pid(static_cast<uint16_t>(Uniform(0, 8191)));
      s.set_pcr_pid(static_cast<uint16_t>(Uniform(0, 8191)));
      s.set_txt_pid(static_cast<uint16_t>(Uniform(0, 8191)));
      s.set_service_flags(U16());
      const int entry = referable[static_cast<size_t>(Uniform(0, int(referable.size()) - 1))];
      s.set_tp_word(static_cast<uint16_t>(entry | (Uniform(0, 1) ? kRadioBit : 0)));
    }
    block->FinishHeader(sats, tps, services, Uniform(-1, 8));
    return block;
  }

 private:
  void MakeSatellite(SatelliteRecord sat) {
    using namespace sat_flag;
    sat.set_name(Name(9));
    sat.set_lnb_low(U16());
    sat.set_lnb_high(U16());
    sat.set_position(static_cast<uint16_t>(Uniform(0, 1800) | (Uniform(0, 1) ? kWestBit : 0)));
    // A setting that is not given has its value bits clear, as the reader stores it.
    uint32_t flags = (static_cast<uint32_t>(rng_()) & ~kDataTextBits) | Bit(kUniversalLnb);
    if (Uniform(0, 1))
      flags |= kDiseqcGiven | (static_cast<uint32_t>(Uniform(0, 3)) << kDiseqcShift);
    if (Uniform(0, 1)) flags |= kToneGiven | Bit(kToneOn);
    if (Uniform(0, 1)) flags |= kSwitch12Given | Bit(kSwitch12On);
    if (Uniform(0, 1)) flags |= kVoltageGiven | Bit(kVoltage18);
    sat.set_sat_flags(flags);
  }

  // Names may hold blanks, tabs, CR, '#' and bytes above 127, never '"'.
  std::string Name(int maxLength) {
    static const std::string kChars = "ABCXYZabcxyz0189 #'-+/.\t\r\xE9\xFC";
    std::string name(static_cast<size_t>(Uniform(0, maxLength)), ' ');
    for (char& c : name) c = kChars[static_cast<size_t>(Uniform(0, int(kChars.size()) - 1))];
    return name;
  }

  int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
  uint16_t U16() { return static_cast<uint16_t>(Uniform(0, 65535)); }
  uint8_t Byte() { return static_cast<uint8_t>(Uniform(0, 255)); }
  uint32_t Bit(uint32_t bit) { return Uniform(0, 1) ? bit : 0; }

  std::mt19937 rng_;
};

void ExpectSameData(const ReceiverDataBlock& a, const ReceiverDataBlock& b) {
  ASSERT_EQ(b.antenna_config(), a.antenna_config());
  ASSERT_EQ(b.sat_count(), a.sat_count());
  ASSERT_EQ(b.tp_count(), a.tp_count());
  ASSERT_EQ(b.service_count(), a.service_count());
  for (int i = 0; i < a.sat_count(); ++i) {
    const ConstSatelliteRecord x = a.satellite(i), y = b.satellite(i);
    ASSERT_EQ(y.name(), x.name()) << "satellite " << i;
    ASSERT_EQ(y.lnb_low(), x.lnb_low()) << "satellite " << i;
    ASSERT_EQ(y.lnb_high(), x.lnb_high()) << "satellite " << i;
    ASSERT_EQ(y.position(), x.position()) << "satellite " << i;
    ASSERT_EQ(y.sat_flags() & sat_flag::kDataTextBits, x.sat_flags() & sat_flag::kDataTextBits)
        << "satellite " << i;
  }
  // Transponders come back grouped by satellite, each group in table order.
  std::vector<int> newIndex(static_cast<size_t>(a.tp_count()));
  int next = 0;
  for (int s = 0; s < a.sat_count(); ++s) {
    for (int i = 0; i < a.tp_count(); ++i) {
      if (a.transponder(i).owner_sat() == s) newIndex[static_cast<size_t>(i)] = next++;
    }
  }
  ASSERT_EQ(next, a.tp_count());
  for (int i = 0; i < a.tp_count(); ++i) {
    const ConstTransponderRecord x = a.transponder(i);
    const ConstTransponderRecord y = b.transponder(newIndex[static_cast<size_t>(i)]);
    ASSERT_EQ(y.frequency(), x.frequency()) << "transponder " << i;
    ASSERT_EQ(y.symbolrate(), x.symbolrate()) << "transponder " << i;
    ASSERT_EQ(y.tp_flags() & tp_flag::kDataTextBits, x.tp_flags() & tp_flag::kDataTextBits)
        << "transponder " << i;
    ASSERT_EQ(y.owner_sat(), x.owner_sat()) << "transponder " << i;
  }
  for (int i = 0; i < a.service_count(); ++i) {
    const ConstServiceRecord x = a.service(i), y = b.service(i);
    ASSERT_EQ(y.name(), x.name()) << "service " << i;
    ASSERT_EQ(y.service_id(), x.service_id()) << "service " << i;
    ASSERT_EQ(y.video_pid(), x.video_pid()) << "service " << i;
    ASSERT_EQ(y.audio_pid(), x.audio_pid()) << "service " << i;
    ASSERT_EQ(y.pcr_pid(), x.pcr_pid()) << "service " << i;
    ASSERT_EQ(y.txt_pid(), x.txt_pid()) << "service " << i;
    ASSERT_EQ(y.radio(), x.radio()) << "service " << i;
    ASSERT_EQ(y.tp_entry(), newIndex[x.tp_entry()]) << "service " << i;
    ASSERT_EQ(y.service_flags() & service_flag::kDataTextBits,
              x.service_flags() & service_flag::kDataTextBits)
        << "service " << i;
  }
}

TEST(DataTextRoundTrip, WrittenBlocksReadBackFieldByField) {
  for (uint32_t seed = 1; seed <= 60; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const auto original = BlockGenerator(seed).Make();
    StringTextOutput text;
    ASSERT_EQ(WriteDataText(*original, text), 0);
    auto copy = std::make_unique<ReceiverDataBlock>();
    DataTextReader reader(*copy);
    StringTextInput in(text.str());
    ASSERT_EQ(reader.ReadDataText(in), 0) << reader.GetErrorText();
    ExpectSameData(*original, *copy);
    // Writing the copy gives the same text again.
    StringTextOutput again;
    ASSERT_EQ(WriteDataText(*copy, again), 0);
    ASSERT_EQ(again.str(), text.str());
  }
}

}  // namespace
}  // namespace tavlink
