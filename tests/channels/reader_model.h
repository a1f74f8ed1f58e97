#pragma once
// What "passes the reader" means for a channel list, stated without the
// channel library: the block that reading the writer's text of `block` into
// an all-zero block gives, computed from `block` directly.
//
//   header        magic, reserved 0, the same three counts and antenna_config,
//                 the last 4 header bytes 0;
//   satellites    name (up to its zero byte) and one zero byte, lnb_low,
//                 lnb_high, position, sat_flags bits 0-9; every other byte 0;
//   transponders  grouped by satellite in satellite order, table order
//                 within a satellite; frequency, symbolrate, tp_flags bits
//                 0-6, owner_sat; every other byte 0;
//   services      name, service_id, the PIDs, tp_entry renumbered to the
//                 grouped table, tv_radio, service_flags bits 0-2;
//   everything else (unused slots, the tails of the regions, the 4,096 bytes
//   at 61,440) 0.
//
// The property: for a list that CheckList finds no problem in, the reader
// reads its data text with result 0 into exactly TextContentOf(its block).

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "data/data_text.h"

namespace tavlink::channels::testing {

// Into `out`, which must not be `block`.
inline void TextContentOf(const ReceiverDataBlock& block, ReceiverDataBlock* out) {
  std::memset(out->bytes(), 0, ReceiverDataBlock::kSize);
  const int sats = block.sat_count();
  const int tps = block.tp_count();
  const int services = block.service_count();
  for (int i = 0; i < sats; ++i) {
    const ConstSatelliteRecord from = block.satellite(i);
    SatelliteRecord to = out->satellite(i);
    to.set_name(from.name());
    to.set_lnb_low(from.lnb_low());
    to.set_lnb_high(from.lnb_high());
    to.set_position(from.position());
    to.set_sat_flags(from.sat_flags() & sat_flag::kDataTextBits);
  }
  std::vector<int> newIndex(static_cast<size_t>(tps), -1);
  int next = 0;
  for (int s = 0; s < sats; ++s) {
    for (int i = 0; i < tps; ++i) {
      const ConstTransponderRecord from = block.transponder(i);
      if (from.owner_sat() != s) continue;
      TransponderRecord to = out->transponder(next);
      to.set_frequency(from.frequency());
      to.set_symbolrate(from.symbolrate());
      to.set_tp_flags(from.tp_flags() & tp_flag::kDataTextBits);
      to.set_owner_sat(from.owner_sat());
      newIndex[static_cast<size_t>(i)] = next++;
    }
  }
  for (int i = 0; i < services; ++i) {
    const ConstServiceRecord from = block.service(i);
    ServiceRecord to = out->service(i);
    to.set_name(from.name());
    to.set_service_id(from.service_id());
    to.set_video_pid(from.video_pid());
    to.set_audio_pid(from.audio_pid());
    to.set_pcr_pid(from.pcr_pid());
    to.set_txt_pid(from.txt_pid());
    const int entry = from.tp_entry() < tps ? newIndex[from.tp_entry()] : 0x7FFF;
    to.set_tp_word(static_cast<uint16_t>(entry | (from.radio() ? kRadioBit : 0)));
    to.set_service_flags(from.service_flags() & service_flag::kDataTextBits);
  }
  out->FinishHeader(sats, next, services, block.antenna_config());
}

inline std::unique_ptr<ReceiverDataBlock> TextContentOf(const ReceiverDataBlock& block) {
  auto out = std::make_unique<ReceiverDataBlock>();
  TextContentOf(block, out.get());
  return out;
}

// Reads `text` into `block` cleared to zero; false when the reader refuses it.
inline bool ReadIntoZeroBlock(const std::string& text, ReceiverDataBlock* block) {
  std::memset(block->bytes(), 0, ReceiverDataBlock::kSize);
  DataTextReader reader(*block);
  StringTextInput input(text);
  return reader.ReadDataText(input) == kReadOk;
}

}  // namespace tavlink::channels::testing
