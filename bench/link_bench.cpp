// The serial link's own cost: CRC-32 throughput and one frame received from
// an in-memory line (no device, no polling pause: what we add on top).

#include <benchmark/benchmark.h>

#include <memory>

#include "link/crc32.h"
#include "link/frame.h"
#include "link/serial_port.h"
#include "support/frame_bytes.h"
#include "support/port_fixture.h"

namespace tavlink {
namespace {

void BM_Crc32(benchmark::State& state) {
  const auto data = testing::Pattern(static_cast<size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(Crc32(data.data(), data.size()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_Crc32)->Arg(16)->Arg(2048)->Arg(4096);

// Receives one data frame of the given payload size per iteration.
void BM_ReceiveFrame(benchmark::State& state) {
  testing::PortOnMemoryLine p;
  auto& port = p.port;
  auto& line = p.line;
  const auto frame = testing::DataFrame(testing::Pattern(static_cast<size_t>(state.range(0))));
  uint8_t payload[kMaxPayload];
  uint32_t length = 0;
  for (auto _ : state) {
    state.PauseTiming();
    line->Deliver(frame);
    state.ResumeTiming();
    benchmark::DoNotOptimize(ReceiveFrame(port, payload, &length));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(frame.size()));
}
BENCHMARK(BM_ReceiveFrame)->Arg(0)->Arg(2048)->Arg(4084);

// Sends one data frame per iteration (the frame is built, checked and written).
void BM_SendData(benchmark::State& state) {
  testing::PortOnMemoryLine p;
  auto& port = p.port;
  auto& line = p.line;
  line->recordWrites = false;
  const auto payload = testing::Pattern(static_cast<size_t>(state.range(0)));
  for (auto _ : state) SendData(port, payload.data(), payload.size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_SendData)->Arg(2048);

}  // namespace
}  // namespace tavlink
