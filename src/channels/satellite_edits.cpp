// The editor's satellite edits.

#include <algorithm>

#include "channels/channel_editor.h"
#include "channels/edit_step.h"
#include "channels/editor_support.h"
#include "channels/field_limits.h"
#include "channels/list_access.h"
#include "channels/record_codec.h"
#include "channels/record_labels.h"
#include "channels/row_access.h"

namespace tavlink::channels {

using detail::RowAccess;
using detail::StepBuilder;

namespace {

// The fields that `after` changes against `before`; the others as valid
// values, so that a problem the record already had does not stop the edit.
SatelliteFields ChangedFields(const SatelliteFields& before, const SatelliteFields& after) {
  SatelliteFields f = after;
  if (f.name == before.name) f.name.clear();
  if (f.angle == before.angle) f.angle = 0;
  return f;
}

}  // namespace

EditResult ChannelEditor::InsertSatellites(int position, std::span<const SatelliteFields> sats,
                                           std::vector<SatelliteId>* ids) {
  if (sats.empty()) return detail::NothingToDo();
  const int size = static_cast<int>(list_.satellites().size());
  const int count = static_cast<int>(sats.size());
  if (size + count > kMaxSatellites) {
    return detail::Refused(detail::OverflowMessage("satellites", size + count, kMaxSatellites));
  }
  for (const SatelliteFields& fields : sats) {
    if (auto problem = SatelliteProblem(fields)) {
      return detail::Refused(count == 1 ? problem->message
                                        : "satellite " + QuotedName(fields.name) + ": " +
                                              problem->message);
    }
  }
  const int first = std::clamp(position, 0, size);
  auto& table = detail::ListAccess::Satellites(list_);
  std::vector<Satellite> rows;
  std::vector<detail::Position> positions;
  for (int i = 0; i < count; ++i) {
    const uint8_t zero[kSatelliteRecordSize] = {};
    Satellite row = RowAccess::MakeSatellite(SatelliteId{table.NextId()}, zero);
    detail::WriteSatelliteFields(sats[static_cast<size_t>(i)], RowAccess::Record(row));
    rows.push_back(row);
    positions.push_back(static_cast<detail::Position>(first + i));
  }
  if (ids) {
    ids->clear();
    for (const Satellite& row : rows) ids->push_back(row.id());
  }
  StepBuilder builder(list_);
  builder.Insert(std::move(positions), std::move(rows));
  return Finish(builder, count == 1
                             ? "Insert satellite " + QuotedName(sats[0].name)
                             : "Insert " + detail::Counted(sats.size(), "satellite", "satellites"));
}

EditResult ChannelEditor::ChangeSatellites(std::span<const SatelliteChange> changes) {
  StepBuilder builder(list_);
  std::string description;
  for (const SatelliteChange& change : changes) {
    const int at = list_.PositionOf(change.id);
    if (at < 0) {
      return detail::Refused("the list has no satellite with identity " +
                             std::to_string(change.id.value));
    }
    const Satellite& current = list_.satellites()[static_cast<size_t>(at)];
    const SatelliteFields before = current.fields();
    if (auto problem = SatelliteProblem(ChangedFields(before, change.fields))) {
      return detail::Refused(changes.size() == 1 ? problem->message
                                                 : "satellite " + QuotedName(current.name()) +
                                                       ": " + problem->message);
    }
    SatelliteFields merged = change.fields;
    Satellite row = current;
    detail::WriteSatelliteFields(merged, RowAccess::Record(row));
    SatelliteFields renamed = before;
    renamed.name = change.fields.name;
    description = renamed == change.fields && before.name != change.fields.name
                      ? "Rename satellite " + QuotedName(before.name) + " to " +
                            QuotedName(change.fields.name)
                      : "Change satellite " + QuotedName(before.name);
    builder.Replace(at, row);
  }
  if (changes.size() > 1) {
    description = "Change " + detail::Counted(changes.size(), "satellite", "satellites");
  }
  return Finish(builder, std::move(description));
}

EditResult ChannelEditor::MoveSatellites(std::span<const SatelliteId> ids, MoveTo to) {
  std::vector<int> from;
  if (EditResult r = ResolveIds(ids, "satellite", &from); r.refused()) return r;
  const std::vector<int> after =
      MovedPositions(static_cast<int>(list_.satellites().size()), from, to);
  const std::string description =
      from.size() == 1
          ? "Move satellite " + QuotedName(list_.satellites()[static_cast<size_t>(from[0])].name())
          : "Move " + detail::Counted(from.size(), "satellite", "satellites");
  StepBuilder builder(list_);
  builder.Move<Satellite>(detail::ToPositions(from), detail::ToPositions(after));
  return Finish(builder, description);
}

namespace {

struct SatelliteCascade {
  std::vector<int> satellites, transponders, services;
};

SatelliteCascade CascadeOf(const ChannelList& list, std::vector<int> satellites) {
  SatelliteCascade cascade;
  std::vector<bool> tpDeleted(list.transponders().size(), false);
  for (const int s : satellites) {
    for (const int t :
         list.TransponderPositionsOf(list.satellites()[static_cast<size_t>(s)].id())) {
      cascade.transponders.push_back(t);
      tpDeleted[static_cast<size_t>(t)] = true;
    }
  }
  std::sort(cascade.transponders.begin(), cascade.transponders.end());
  const auto& services = list.services();
  for (size_t i = 0; i < services.size(); ++i) {
    const int tp = list.PositionOf(services[i].transponder());
    if (tp >= 0 && tpDeleted[static_cast<size_t>(tp)])
      cascade.services.push_back(static_cast<int>(i));
  }
  cascade.satellites = std::move(satellites);
  return cascade;
}

std::string SatelliteDeletionText(const ChannelList& list, const SatelliteCascade& c) {
  std::string text =
      c.satellites.size() == 1
          ? "Delete satellite " +
                QuotedName(list.satellites()[static_cast<size_t>(c.satellites[0])].name())
          : "Delete " + detail::Counted(c.satellites.size(), "satellite", "satellites");
  const char* their = c.satellites.size() == 1 ? "its " : "their ";
  const std::string tps = detail::Counted(c.transponders.size(), "transponder", "transponders");
  const std::string services = detail::Counted(c.services.size(), "service", "services");
  if (!c.transponders.empty() && !c.services.empty()) {
    text += ", " + (their + tps) + " and " + services;
  } else if (!c.transponders.empty()) {
    text += " and " + (their + tps);
  }
  return text;
}

}  // namespace

DeleteImpact ChannelEditor::SatelliteDeletion(std::span<const SatelliteId> ids) const {
  std::vector<int> positions;
  if (ResolveIds(ids, "satellite", &positions).refused() || positions.empty()) return {};
  const SatelliteCascade c = CascadeOf(list_, std::move(positions));
  return DeleteImpact{static_cast<int>(c.satellites.size()),
                      static_cast<int>(c.transponders.size()), static_cast<int>(c.services.size()),
                      SatelliteDeletionText(list_, c)};
}

EditResult ChannelEditor::DeleteSatellites(std::span<const SatelliteId> ids) {
  std::vector<int> positions;
  if (EditResult r = ResolveIds(ids, "satellite", &positions); r.refused()) return r;
  if (positions.empty()) return detail::NothingToDo();
  SatelliteCascade c = CascadeOf(list_, std::move(positions));
  std::string description = SatelliteDeletionText(list_, c);
  return DeleteRecords(std::move(c.satellites), std::move(c.transponders), std::move(c.services),
                       std::move(description));
}

}  // namespace tavlink::channels
