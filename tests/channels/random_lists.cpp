#include "channels/random_lists.h"

#include <cstring>
#include <vector>

#include "data/little_endian.h"

namespace tavlink::channels::testing {

std::string RandomBlocks::Name(int maxLength) {
  // Blanks, tabs, CR, '#' and bytes above 127 are read back as written.
  static const std::string kChars = "ABCXYZabcxyz0189 #'-+/.\t\r\xE9\xFC";
  std::string name(static_cast<size_t>(Uniform(0, maxLength)), ' ');
  for (char& c : name) c = kChars[static_cast<size_t>(Uniform(0, int(kChars.size()) - 1))];
  return name;
}

std::unique_ptr<ReceiverDataBlock> RandomBlocks::Make(ListSize limit) {
  return MakeExactly(
      {Uniform(0, limit.satellites), Uniform(0, limit.transponders), Uniform(0, limit.services)});
}

std::unique_ptr<ReceiverDataBlock> RandomBlocks::MakeExactly(ListSize size) {
  auto block = std::make_unique<ReceiverDataBlock>();
  // Noise everywhere first, from a cheap generator seeded by the main one.
  uint64_t state = (uint64_t{rng_()} << 32) | rng_() | 1;
  uint8_t* bytes = block->bytes();
  for (size_t i = 0; i < ReceiverDataBlock::kSize; i += 8) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    std::memcpy(bytes + i, &state, 8);
  }
  const int sats = size.satellites;
  const int tps = sats == 0 ? 0 : size.transponders;
  using namespace sat_flag;
  for (int i = 0; i < sats; ++i) {
    SatelliteRecord sat = block->satellite(i);
    sat.set_name(Name(9));
    sat.set_lnb_low(U16());
    sat.set_lnb_high(U16());
    sat.set_position(static_cast<uint16_t>(Uniform(0, 1800) | (Uniform(0, 1) ? kWestBit : 0)));
    uint32_t flags = (static_cast<uint32_t>(rng_()) & ~kDataTextBits) | (U16() & kUniversalLnb);
    if (Uniform(0, 1))
      flags |= kDiseqcGiven | (static_cast<uint32_t>(Uniform(0, 3)) << kDiseqcShift);
    if (Uniform(0, 1)) flags |= kToneGiven | (Uniform(0, 1) ? kToneOn : 0);
    if (Uniform(0, 1)) flags |= kSwitch12Given | (Uniform(0, 1) ? kSwitch12On : 0);
    if (Uniform(0, 1)) flags |= kVoltageGiven | (Uniform(0, 1) ? kVoltage18 : 0);
    sat.set_sat_flags(flags);
  }
  std::vector<int> referable;
  std::vector<int> seen(static_cast<size_t>(sats));
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
  const int services = referable.empty() ? 0 : size.services;
  for (int i = 0; i < services; ++i) {
    ServiceRecord s = block->service(i);
    s.set_name(Name(13));
    s.set_service_id(static_cast<uint16_t>(Uniform(0, 3) == 0 ? Uniform(0, 5) : U16()));
    s.set_video_pid(static_cast<uint16_t>(Uniform(0, 8191)));
    s.set_audio_pid(static_cast<uint16_t>(Uniform(0, 8191)));
    s.set_pcr_pid(static_cast<uint16_t>(Uniform(0, 8191)));
    s.set_txt_pid(static_cast<uint16_t>(Uniform(0, 8191)));
    s.set_service_flags(U16());
    const int entry = referable[static_cast<size_t>(Uniform(0, int(referable.size()) - 1))];
    s.set_tp_word(static_cast<uint16_t>(entry | (Uniform(0, 1) ? kRadioBit : 0)));
  }
  // The header as a receiver leaves it: both reserved fields hold data.
  const uint32_t reserved = rng_();
  const uint32_t reservedTail = rng_();
  block->FinishHeader(sats, tps, services, Uniform(-1, 8));
  StoreLe32(block->bytes() + 8, reserved);
  StoreLe32(block->bytes() + 28, reservedTail);
  return block;
}

}  // namespace tavlink::channels::testing
