#pragma once
// Test helpers that fill records of a receiver data block field by field.

#include <memory>
#include <string_view>

#include "data/receiver_data_block.h"

namespace tavlink::testing {

inline std::unique_ptr<ReceiverDataBlock> MakeBlock() {
  return std::make_unique<ReceiverDataBlock>();
}

inline void SetSatellite(ReceiverDataBlock& block, int index, std::string_view name,
                         uint16_t lnbLow, uint16_t lnbHigh, uint16_t position, uint32_t flags) {
  SatelliteRecord sat = block.satellite(index);
  sat.set_name(name);
  sat.set_lnb_low(lnbLow);
  sat.set_lnb_high(lnbHigh);
  sat.set_position(position);
  sat.set_sat_flags(flags);
}

inline void SetTransponder(ReceiverDataBlock& block, int index, uint16_t frequency,
                           uint16_t symbolrate, uint16_t flags, uint8_t owner) {
  TransponderRecord tp = block.transponder(index);
  tp.set_frequency(frequency);
  tp.set_symbolrate(symbolrate);
  tp.set_tp_flags(flags);
  tp.set_owner_sat(owner);
}

struct ServiceFields {
  std::string_view name;
  uint16_t tp_word;  // tp_entry | radio bit
  uint16_t service_id, video_pid, audio_pid, pcr_pid, txt_pid;
  uint16_t flags;
};

inline void SetService(ReceiverDataBlock& block, int index, const ServiceFields& f) {
  ServiceRecord s = block.service(index);
  s.set_name(f.name);
  s.set_tp_word(f.tp_word);
  s.set_service_id(f.service_id);
  s.set_video_pid(f.video_pid);
  s.set_audio_pid(f.audio_pid);
  s.set_pcr_pid(f.pcr_pid);
  s.set_txt_pid(f.txt_pid);
  s.set_service_flags(f.flags);
}

}  // namespace tavlink::testing
