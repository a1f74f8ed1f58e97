// The channel list on a full block (106 satellites, 1,024 transponders,
// 1,500 services): building it and back, one edit with its undo, sorting,
// comparing two lists, and the bytes 1,000 steps of history hold.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "channels/channel_editor.h"
#include "channels/list_compare.h"

namespace tavlink::channels {
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
                      (static_cast<uint32_t>(i % 4) << sat_flag::kDiseqcShift) | (1u << 20));
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
    // Names in no particular order, so that sorting has work to do.
    service.set_name("Service " + std::to_string((i * 7919) % 10007));
    service.set_service_id(static_cast<uint16_t>(i * 31 % 5000));
    service.set_video_pid(static_cast<uint16_t>(100 + i % 8000));
    service.set_audio_pid(static_cast<uint16_t>(200 + i % 7000));
    service.set_pcr_pid(static_cast<uint16_t>(100 + i % 8000));
    service.set_txt_pid(0);
    service.set_tp_word(
        static_cast<uint16_t>((i * 13) % kMaxTransponders | (i % 5 == 0 ? kRadioBit : 0)));
  }
  block->FinishHeader(kMaxSatellites, kMaxTransponders, kMaxServices, 1);
  return block;
}

const ReceiverDataBlock& FullBlock() {
  static const auto block = MakeFullBlock();
  return *block;
}

void BM_ListFromFullBlock(benchmark::State& state) {
  for (auto _ : state) {
    ChannelList list = ChannelList::FromBlock(FullBlock());
    benchmark::DoNotOptimize(list.services().data());
  }
}
BENCHMARK(BM_ListFromFullBlock)->Unit(benchmark::kMicrosecond);

void BM_FullListToBlock(benchmark::State& state) {
  const ChannelList list = ChannelList::FromBlock(FullBlock());
  auto block = std::make_unique<ReceiverDataBlock>();
  for (auto _ : state) {
    list.ToBlock(*block);
    benchmark::DoNotOptimize(block->bytes());
  }
}
BENCHMARK(BM_FullListToBlock)->Unit(benchmark::kMicrosecond);

// One edit and its undo, on a full list; the edit is built from the list
// as it stands (the same every time, since each is undone). An insert needs
// a free slot: with `room`, the list's last transponder (and its services)
// and last service are deleted first.
using Edit = EditResult (*)(ChannelEditor&);

template <Edit edit, bool room = false>
void BM_EditAndUndo(benchmark::State& state) {
  ChannelEditor editor(ChannelList::FromBlock(FullBlock()));
  if (room) {
    editor.DeleteTransponders(std::vector{editor.list().transponders().back().id()});
    editor.DeleteServices(std::vector{editor.list().services().back().id()});
  }
  const size_t before = editor.HistoryBytes();
  size_t step = 0;
  for (auto _ : state) {
    if (!edit(editor).done()) state.SkipWithError("the edit was not done");
    step = editor.HistoryBytes() - before;
    editor.Undo();
  }
  state.counters["step_bytes"] = static_cast<double>(step);
}

const ChannelList& L(ChannelEditor& e) {
  return e.list();
}

EditResult MoveLastServiceToTop(ChannelEditor& e) {
  return e.MoveServices(std::vector{L(e).services().back().id()}, MoveTo::Top());
}
EditResult MoveTenScatteredServicesDown(ChannelEditor& e) {
  std::vector<ServiceId> ids;
  for (int i = 0; i < 10; ++i) ids.push_back(L(e).services()[static_cast<size_t>(i * 140)].id());
  return e.MoveServices(ids, MoveTo::Down());
}
EditResult RenameService(ChannelEditor& e) {
  ServiceFields f = L(e).services()[700].fields();
  f.name = "Renamed";
  return e.ChangeServices(std::vector<ServiceChange>{{L(e).services()[700].id(), f}});
}
EditResult InsertServiceAtTop(ChannelEditor& e) {
  ServiceFields f;
  f.name = "New";
  f.transponder = L(e).transponders()[5].id();
  return e.InsertServices(0, std::vector{f});
}
EditResult DeleteSatellite(ChannelEditor& e) {
  return e.DeleteSatellites(std::vector{L(e).satellites()[50].id()});
}
EditResult DeleteTransponder(ChannelEditor& e) {
  return e.DeleteTransponders(std::vector{L(e).transponders()[500].id()});
}
EditResult MoveTransponderToTop(ChannelEditor& e) {
  const SatelliteId sat = L(e).satellites()[3].id();
  const int last = L(e).TransponderPositionsOf(sat).back();
  return e.MoveTransponders(std::vector{L(e).transponders()[static_cast<size_t>(last)].id()},
                            MoveTo::Top());
}
EditResult MoveTransponderToSatellite(ChannelEditor& e) {
  return e.MoveTranspondersToSatellite(std::vector{L(e).transponders()[10].id()},
                                       L(e).satellites()[90].id());
}
EditResult InsertTransponder(ChannelEditor& e) {
  return e.InsertTransponders(L(e).satellites()[40].id(), 0, std::vector<TransponderFields>(1));
}
EditResult FavoriteEveryService(ChannelEditor& e) {
  std::vector<ServiceId> ids;
  for (const Service& s : L(e).services()) ids.push_back(s.id());
  return e.SetServiceFlag(ids, ServiceFlag::kFavorite, true);
}
EditResult DeleteAllServices(ChannelEditor& e) {
  std::vector<ServiceId> ids;
  for (const Service& s : L(e).services()) ids.push_back(s.id());
  return e.DeleteServices(ids);
}
EditResult SortByName(ChannelEditor& e) {
  return e.SortServices(ServiceSort::kByName);
}
EditResult SortBySatelliteAndFrequency(ChannelEditor& e) {
  return e.SortServices(ServiceSort::kBySatelliteAndFrequency);
}

BENCHMARK(BM_EditAndUndo<MoveLastServiceToTop>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditAndUndo<MoveTenScatteredServicesDown>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditAndUndo<RenameService>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditAndUndo<DeleteSatellite>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditAndUndo<DeleteTransponder>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditAndUndo<MoveTransponderToTop>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditAndUndo<MoveTransponderToSatellite>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditAndUndo<InsertTransponder, true>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditAndUndo<InsertServiceAtTop, true>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditAndUndo<FavoriteEveryService>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditAndUndo<DeleteAllServices>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditAndUndo<SortByName>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditAndUndo<SortBySatelliteAndFrequency>)->Unit(benchmark::kMicrosecond);

void BM_CompareFullLists(benchmark::State& state) {
  const ChannelList before = ChannelList::FromBlock(FullBlock());
  ChannelEditor editor(before);
  editor.SortServices(ServiceSort::kByName);
  editor.DeleteSatellites(std::vector{editor.list().satellites()[7].id()});
  const ChannelList& after = editor.list();
  size_t differences = 0;
  for (auto _ : state) {
    const ListDiff diff = CompareLists(before, after);
    differences = diff.records.size();
    benchmark::DoNotOptimize(diff.records.data());
  }
  state.counters["differences"] = static_cast<double>(differences);
}
BENCHMARK(BM_CompareFullLists)->Unit(benchmark::kMicrosecond);

// 1,000 steps of a technician's session: moves, renames, flags, inserts and
// deletes, and every fiftieth step a sort. Reports the history's bytes.
void BM_HistoryOfThousandSteps(benchmark::State& state) {
  size_t bytes = 0;
  for (auto _ : state) {
    ChannelEditor editor(ChannelList::FromBlock(FullBlock()), size_t{1} << 30);
    editor.DeleteServices(std::vector{editor.list().services().back().id()});
    const size_t before = editor.HistoryBytes();
    for (int i = 0; editor.UndoDepth() < 1001; ++i) {
      const ChannelList& l = editor.list();
      const auto& services = l.services();
      const ServiceId one = services[static_cast<size_t>(i * 37 % services.size())].id();
      switch (i % 8) {
        case 0:
          editor.MoveServices(std::vector{one}, MoveTo::ToPosition(i % 1400));
          break;
        case 1: {
          ServiceFields f = l.Find(one)->fields();
          f.name = "Name " + std::to_string(i);
          editor.ChangeServices(std::vector<ServiceChange>{{one, f}});
          break;
        }
        case 2: {
          std::vector<ServiceId> ids;
          for (int k = 0; k < 20; ++k)
            ids.push_back(services[static_cast<size_t>((i + k * 61) % services.size())].id());
          editor.SetServiceFlag(ids, ServiceFlag::kLock, i % 16 == 2);
          break;
        }
        case 3:
          editor.DeleteServices(std::vector{one});
          break;
        case 4: {
          ServiceFields f;
          f.name = "Added";
          f.transponder = l.transponders()[static_cast<size_t>(i % 1000)].id();
          editor.InsertServices(i % 1000, std::vector{f});
          break;
        }
        case 5:
          editor.MoveTransponders(std::vector{l.transponders()[static_cast<size_t>(i % 1000)].id()},
                                  MoveTo::Up());
          break;
        case 6:
          if (i % 50 == 6) {
            editor.SortServices(i % 100 == 6 ? ServiceSort::kByName : ServiceSort::kByServiceId);
          } else {
            editor.MoveServices(std::vector{one}, MoveTo::Down());
          }
          break;
        default:
          editor.SetAntennaConfig(i % 9 - 1);
          break;
      }
    }
    bytes = editor.HistoryBytes() - before;
  }
  state.counters["history_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_HistoryOfThousandSteps)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace tavlink::channels
