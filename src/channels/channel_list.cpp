#include "channels/channel_list.h"

#include <algorithm>
#include <cstring>

#include "channels/list_access.h"
#include "channels/row_access.h"
#include "data/data_text_writer.h"
#include "data/little_endian.h"
#include "data/text_io.h"

namespace tavlink::channels {
namespace {

using detail::RowAccess;

// The header's counts, as receiver_data_block.h lays them out.
constexpr size_t kCountOffset[3] = {12, 16, 20};
constexpr int kCapacity[3] = {kMaxSatellites, kMaxTransponders, kMaxServices};
// A tp_entry that names no transponder, whatever the table holds.
constexpr uint16_t kNoTransponderEntry = 0x7FFF;

std::shared_ptr<const ReceiverDataBlock> EmptyBackground() {
  static const std::shared_ptr<const ReceiverDataBlock> background = [] {
    auto block = std::make_shared<ReceiverDataBlock>();
    block->FinishHeader(0, 0, 0, -1);
    return block;
  }();
  return background;
}

int32_t HeaderCount(const ReceiverDataBlock& block, Table table) {
  return static_cast<int32_t>(LoadLe32(block.bytes() + kCountOffset[static_cast<size_t>(table)]));
}

}  // namespace

ChannelList::ChannelList() : background_(EmptyBackground()) {}

ChannelList ChannelList::FromBlock(const ReceiverDataBlock& block) {
  ChannelList list;
  list.background_ = std::make_shared<const ReceiverDataBlock>(block);
  list.header_.antenna_config = block.antenna_config();
  int counts[3];
  for (const Table table : {Table::kSatellites, Table::kTransponders, Table::kServices}) {
    const auto t = static_cast<size_t>(table);
    const int32_t found = HeaderCount(block, table);
    counts[t] = std::clamp<int32_t>(found, 0, kCapacity[t]);
    if (found != counts[t]) list.header_.count_as_found[t] = found;
  }
  list.satellites_.Reserve(static_cast<size_t>(counts[0]));
  list.transponders_.Reserve(static_cast<size_t>(counts[1]));
  list.services_.Reserve(static_cast<size_t>(counts[2]));
  for (int i = 0; i < counts[0]; ++i) {
    const SatelliteId id{list.satellites_.NextId()};
    list.satellites_.Append(RowAccess::MakeSatellite(id, block.satellite(i).data()));
  }
  for (int i = 0; i < counts[1]; ++i) {
    const ConstTransponderRecord tp = block.transponder(i);
    const TransponderId id{list.transponders_.NextId()};
    const SatelliteId owner =
        tp.owner_sat() < counts[0] ? list.satellites_[tp.owner_sat()].id() : SatelliteId{};
    list.transponders_.Append(RowAccess::MakeTransponder(id, owner, tp.data()));
  }
  for (int i = 0; i < counts[2]; ++i) {
    const ConstServiceRecord service = block.service(i);
    const ServiceId id{list.services_.NextId()};
    const int entry = service.tp_entry();
    const TransponderId tp = entry < counts[1] ? list.transponders_[entry].id() : TransponderId{};
    list.services_.Append(RowAccess::MakeService(id, tp, service.data()));
  }
  return list;
}

int32_t ChannelList::StoredCount(Table table) const {
  const int size = table == Table::kSatellites     ? satellites_.size()
                   : table == Table::kTransponders ? transponders_.size()
                                                   : services_.size();
  const std::optional<int32_t>& found = header_.count_as_found[static_cast<size_t>(table)];
  return found ? *found : size;
}

void ChannelList::ToBlock(ReceiverDataBlock& block) const {
  std::memcpy(block.bytes(), background_->bytes(), ReceiverDataBlock::kSize);
  for (const Table table : {Table::kSatellites, Table::kTransponders, Table::kServices}) {
    StoreLe32(block.bytes() + kCountOffset[static_cast<size_t>(table)],
              static_cast<uint32_t>(StoredCount(table)));
  }
  block.set_antenna_config(header_.antenna_config);

  const int sats = satellites_.size();
  for (int i = 0; i < sats; ++i) {
    std::memcpy(block.satellite(i).data(), satellites_[i].record().data(), kSatelliteRecordSize);
  }
  const int tps = transponders_.size();
  for (int i = 0; i < tps; ++i) {
    const Transponder& row = transponders_[i];
    TransponderRecord tp = block.transponder(i);
    std::memcpy(tp.data(), row.record().data(), kTransponderRecordSize);
    if (row.satellite().valid()) {
      tp.set_owner_sat(static_cast<uint8_t>(PositionOf(row.satellite())));
    } else if (tp.owner_sat() < sats) {
      tp.set_owner_sat(kNoSatellite);
    }
  }
  const int services = services_.size();
  for (int i = 0; i < services; ++i) {
    const Service& row = services_[i];
    ServiceRecord service = block.service(i);
    std::memcpy(service.data(), row.record().data(), kServiceRecordSize);
    int entry = service.tp_entry();
    if (row.transponder().valid()) {
      entry = PositionOf(row.transponder());
    } else if (entry < tps) {
      entry = kNoTransponderEntry;
    }
    service.set_tp_word(static_cast<uint16_t>(entry | (service.radio() ? kRadioBit : 0)));
  }
}

std::unique_ptr<ReceiverDataBlock> ChannelList::ToBlock() const {
  auto block = std::make_unique<ReceiverDataBlock>();
  ToBlock(*block);
  return block;
}

std::string ChannelList::ToDataText() const {
  StringTextOutput text;
  WriteDataText(*ToBlock(), text);
  return text.str();
}

const Satellite* ChannelList::Find(SatelliteId id) const {
  const int at = PositionOf(id);
  return at < 0 ? nullptr : &satellites_[at];
}
const Transponder* ChannelList::Find(TransponderId id) const {
  const int at = PositionOf(id);
  return at < 0 ? nullptr : &transponders_[at];
}
const Service* ChannelList::Find(ServiceId id) const {
  const int at = PositionOf(id);
  return at < 0 ? nullptr : &services_[at];
}

const ChannelList::Derived& ChannelList::derived() const {
  Derived& d = derived_;
  if (d.valid) return d;
  const int sats = satellites_.size();
  const int tps = transponders_.size();
  // Group by satellite position (the last group: no satellite), table order kept.
  std::vector<int> group(static_cast<size_t>(tps));
  d.group_start.assign(static_cast<size_t>(sats) + 2, 0);
  for (int i = 0; i < tps; ++i) {
    const int sat = PositionOf(transponders_[i].satellite());
    group[static_cast<size_t>(i)] = sat < 0 ? sats : sat;
    ++d.group_start[static_cast<size_t>(group[static_cast<size_t>(i)]) + 1];
  }
  for (size_t g = 1; g < d.group_start.size(); ++g) d.group_start[g] += d.group_start[g - 1];
  d.by_satellite.assign(static_cast<size_t>(tps), 0);
  d.number.assign(static_cast<size_t>(tps), 0);
  std::vector<int> fill(d.group_start.begin(), d.group_start.end() - 1);
  for (int i = 0; i < tps; ++i) {
    const auto g = static_cast<size_t>(group[static_cast<size_t>(i)]);
    const int slot = fill[g]++;
    d.by_satellite[static_cast<size_t>(slot)] = i;
    d.number[static_cast<size_t>(i)] =
        static_cast<int>(g) == sats ? 0 : slot - d.group_start[g] + 1;
  }
  d.service_count.assign(static_cast<size_t>(tps), 0);
  for (const Service& service : services_.rows()) {
    const int tp = PositionOf(service.transponder());
    if (tp >= 0) ++d.service_count[static_cast<size_t>(tp)];
  }
  d.valid = true;
  return d;
}

std::span<const int> ChannelList::TransponderPositionsOf(SatelliteId satellite) const {
  const Derived& d = derived();
  int group = satellites_.size();
  if (satellite.valid()) {
    group = PositionOf(satellite);
    if (group < 0) return {};
  }
  const auto g = static_cast<size_t>(group);
  return std::span<const int>(d.by_satellite)
      .subspan(static_cast<size_t>(d.group_start[g]),
               static_cast<size_t>(d.group_start[g + 1] - d.group_start[g]));
}

int ChannelList::TransponderNumber(TransponderId id) const {
  const int at = PositionOf(id);
  return at < 0 ? 0 : derived().number[static_cast<size_t>(at)];
}

int ChannelList::ServiceCountOf(TransponderId id) const {
  const int at = PositionOf(id);
  return at < 0 ? 0 : derived().service_count[static_cast<size_t>(at)];
}

SatelliteId ChannelList::SatelliteOf(const Service& service) const {
  const Transponder* tp = Find(service.transponder());
  return tp ? tp->satellite() : SatelliteId{};
}

}  // namespace tavlink::channels
