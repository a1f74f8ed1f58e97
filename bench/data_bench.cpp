// Reading and writing the data text of a full receiver data block
// (106 satellites, 1,024 transponders, 1,500 services).

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "data/data_text.h"

namespace tavlink {
namespace {

std::unique_ptr<ReceiverDataBlock> MakeFullBlock() {
  auto block = std::make_unique<ReceiverDataBlock>();
  for (int i = 0; i < kMaxSatellites; ++i) {
    SatelliteRecord sat = block->satellite(i);
    sat.set_name("SAT " + std::to_string(i));
    sat.set_lnb_low(9750);
    sat.set_lnb_high(10600);
    sat.set_position(static_cast<uint16_t>(i * 17 % 1801));
    sat.set_sat_flags(sat_flag::kUniversalLnb | sat_flag::kDiseqcGiven |
                      (static_cast<uint32_t>(i % 4) << sat_flag::kDiseqcShift));
  }
  for (int i = 0; i < kMaxTransponders; ++i) {
    TransponderRecord tp = block->transponder(i);
    tp.set_frequency(static_cast<uint16_t>(10700 + i));
    tp.set_symbolrate(27500);
    tp.set_tp_flags(static_cast<uint16_t>((i & 1) | (3 << tp_flag::kFecShift)));
    tp.set_owner_sat(static_cast<uint8_t>(i % kMaxSatellites));
  }
  for (int i = 0; i < kMaxServices; ++i) {
    ServiceRecord service = block->service(i);
    service.set_name("Service " + std::to_string(i));
    service.set_service_id(static_cast<uint16_t>(i));
    service.set_video_pid(static_cast<uint16_t>(100 + i % 8000));
    service.set_audio_pid(static_cast<uint16_t>(200 + i % 7000));
    service.set_pcr_pid(static_cast<uint16_t>(100 + i % 8000));
    service.set_txt_pid(0);
    service.set_tp_word(static_cast<uint16_t>(i % kMaxTransponders));
  }
  block->FinishHeader(kMaxSatellites, kMaxTransponders, kMaxServices, 1);
  return block;
}

void BM_WriteFullBlock(benchmark::State& state) {
  const auto block = MakeFullBlock();
  size_t bytes = 0;
  for (auto _ : state) {
    StringTextOutput out;
    WriteDataText(*block, out);
    bytes = out.str().size();
    benchmark::DoNotOptimize(out.str().data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_WriteFullBlock);

void BM_ReadFullBlock(benchmark::State& state) {
  StringTextOutput out;
  WriteDataText(*MakeFullBlock(), out);
  auto block = std::make_unique<ReceiverDataBlock>();
  DataTextReader reader(*block);
  for (auto _ : state) {
    StringTextInput in(out.str());
    if (reader.ReadDataText(in) != 0) state.SkipWithError(reader.GetErrorText());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.str().size()));
}
BENCHMARK(BM_ReadFullBlock);

}  // namespace
}  // namespace tavlink
