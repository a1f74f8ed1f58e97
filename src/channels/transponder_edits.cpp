// The editor's transponder edits. A satellite's transponders are taken in
// table order; see channel_editor.h for where new and moved ones go.

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

using detail::Position;
using detail::RowAccess;
using detail::StepBuilder;

namespace {

std::string Refer(const Transponder& tp) {
  return "transponder " + TransponderLabel(tp);
}

// The table position, in the table without the rows marked in `skip`, where
// a transponder goes that is added at the end of `satellite`'s.
int EndOfSatellite(const ChannelList& list, SatelliteId satellite, const std::vector<bool>& skip) {
  const int satAt = list.PositionOf(satellite);
  int kept = 0;
  int afterLast = -1;
  int firstLater = -1;
  const auto& tps = list.transponders();
  for (size_t i = 0; i < tps.size(); ++i) {
    if (!skip.empty() && skip[i]) continue;
    if (tps[i].satellite() == satellite) afterLast = kept + 1;
    const int owner = list.PositionOf(tps[i].satellite());
    if (firstLater < 0 && owner > satAt) firstLater = kept;
    ++kept;
  }
  if (afterLast >= 0) return afterLast;
  return firstLater >= 0 ? firstLater : kept;
}

}  // namespace

EditResult ChannelEditor::InsertTransponders(SatelliteId satellite, int number,
                                             std::span<const TransponderFields> tps,
                                             std::vector<TransponderId>* ids) {
  if (tps.empty()) return detail::NothingToDo();
  const Satellite* sat = list_.Find(satellite);
  if (!sat) {
    return detail::Refused("the list has no satellite with identity " +
                           std::to_string(satellite.value));
  }
  const int size = static_cast<int>(list_.transponders().size());
  const int count = static_cast<int>(tps.size());
  if (size + count > kMaxTransponders) {
    return detail::Refused(detail::OverflowMessage("tps", size + count, kMaxTransponders));
  }
  for (const TransponderFields& fields : tps) {
    if (auto problem = TransponderProblem(fields)) return detail::Refused(problem->message);
  }
  const std::span<const int> group = list_.TransponderPositionsOf(satellite);
  const size_t at = static_cast<size_t>(std::clamp(number, 0, static_cast<int>(group.size())));
  const int first = at < group.size() ? group[at] : EndOfSatellite(list_, satellite, {});
  const std::string satName = QuotedName(sat->name());

  auto& table = detail::ListAccess::Transponders(list_);
  std::vector<Transponder> rows;
  std::vector<Position> positions;
  for (int i = 0; i < count; ++i) {
    const uint8_t zero[kTransponderRecordSize] = {};
    Transponder row = RowAccess::MakeTransponder(TransponderId{table.NextId()}, satellite, zero);
    detail::WriteTransponderFields(tps[static_cast<size_t>(i)], RowAccess::Record(row));
    rows.push_back(row);
    positions.push_back(static_cast<Position>(first + i));
  }
  if (ids) {
    ids->clear();
    for (const Transponder& row : rows) ids->push_back(row.id());
  }
  const std::string description =
      count == 1 ? "Insert " + Refer(rows[0]) + " into satellite " + satName
                 : "Insert " + detail::Counted(tps.size(), "transponder", "transponders") +
                       " into satellite " + satName;
  const std::vector<uint32_t> beyond = detail::ServicesBeyondTpIndex(list_);
  StepBuilder builder(list_);
  builder.Insert(std::move(positions), std::move(rows));
  if (auto problem = detail::NewTpIndexProblem(list_, beyond)) return detail::Refused(*problem);
  return Finish(builder, description);
}

EditResult ChannelEditor::ChangeTransponders(std::span<const TransponderChange> changes) {
  StepBuilder builder(list_);
  std::string description;
  for (const TransponderChange& change : changes) {
    const int at = list_.PositionOf(change.id);
    if (at < 0) {
      return detail::Refused("the list has no transponder with identity " +
                             std::to_string(change.id.value));
    }
    const Transponder& current = list_.transponders()[static_cast<size_t>(at)];
    TransponderFields checked = change.fields;
    if (checked.fec == current.fec()) checked.fec = Fec::kAuto;
    if (auto problem = TransponderProblem(checked)) {
      return detail::Refused(changes.size() == 1 ? problem->message
                                                 : Refer(current) + ": " + problem->message);
    }
    description = "Change " + Refer(current);
    Transponder row = current;
    detail::WriteTransponderFields(change.fields, RowAccess::Record(row));
    builder.Replace(at, row);
  }
  if (changes.size() > 1) {
    description = "Change " + detail::Counted(changes.size(), "transponder", "transponders");
  }
  return Finish(builder, std::move(description));
}

EditResult ChannelEditor::MoveTransponders(std::span<const TransponderId> ids, MoveTo to) {
  std::vector<int> selected;
  if (EditResult r = ResolveIds(ids, "transponder", &selected); r.refused()) return r;
  if (selected.empty()) return detail::NothingToDo();
  const auto& tps = list_.transponders();
  // Each satellite's selected transponders move among that satellite's
  // transponders, whose table slots they exchange.
  std::vector<SatelliteId> satellites;
  for (const int at : selected) satellites.push_back(tps[static_cast<size_t>(at)].satellite());
  std::sort(satellites.begin(), satellites.end());
  satellites.erase(std::unique(satellites.begin(), satellites.end()), satellites.end());
  std::vector<Position> from, slots;
  for (const SatelliteId sat : satellites) {
    const std::span<const int> group = list_.TransponderPositionsOf(sat);
    std::vector<int> chosen;  // indexes into group
    for (size_t j = 0; j < group.size(); ++j) {
      if (std::binary_search(selected.begin(), selected.end(), group[j])) {
        chosen.push_back(static_cast<int>(j));
      }
    }
    const std::vector<int> after = MovedPositions(static_cast<int>(group.size()), chosen, to);
    std::vector<int> arrangement(group.size(), -1);  // group index now at each group index
    for (size_t k = 0; k < chosen.size(); ++k)
      arrangement[static_cast<size_t>(after[k])] = chosen[k];
    size_t next = 0;
    for (int& slot : arrangement) {
      if (slot >= 0) continue;
      while (std::binary_search(chosen.begin(), chosen.end(), static_cast<int>(next))) ++next;
      slot = static_cast<int>(next++);
    }
    for (size_t j = 0; j < group.size(); ++j) {
      from.push_back(static_cast<Position>(group[static_cast<size_t>(arrangement[j])]));
      slots.push_back(static_cast<Position>(group[j]));
    }
  }
  const std::string description =
      selected.size() == 1
          ? "Move " + Refer(tps[static_cast<size_t>(selected[0])])
          : "Move " + detail::Counted(selected.size(), "transponder", "transponders");
  const std::vector<uint32_t> beyond = detail::ServicesBeyondTpIndex(list_);
  StepBuilder builder(list_);
  builder.Exchange<Transponder>(std::move(from), std::move(slots));
  if (auto problem = detail::NewTpIndexProblem(list_, beyond)) return detail::Refused(*problem);
  return Finish(builder, description);
}

EditResult ChannelEditor::MoveTranspondersToSatellite(std::span<const TransponderId> ids,
                                                      SatelliteId satellite) {
  const Satellite* sat = list_.Find(satellite);
  if (!sat) {
    return detail::Refused("the list has no satellite with identity " +
                           std::to_string(satellite.value));
  }
  std::vector<int> positions;
  if (EditResult r = ResolveIds(ids, "transponder", &positions); r.refused()) return r;
  const auto& tps = list_.transponders();
  std::erase_if(positions,
                [&](int at) { return tps[static_cast<size_t>(at)].satellite() == satellite; });
  if (positions.empty()) return detail::NothingToDo();
  const size_t count = positions.size();
  const std::string description =
      (count == 1 ? "Move " + Refer(tps[static_cast<size_t>(positions[0])])
                  : "Move " + detail::Counted(count, "transponder", "transponders")) +
      " to satellite " + QuotedName(sat->name());

  std::vector<bool> moving(tps.size(), false);
  for (const int at : positions) moving[static_cast<size_t>(at)] = true;
  const int first = EndOfSatellite(list_, satellite, moving);
  std::vector<Position> to;
  for (size_t k = 0; k < count; ++k)
    to.push_back(static_cast<Position>(first + static_cast<int>(k)));

  const std::vector<uint32_t> beyond = detail::ServicesBeyondTpIndex(list_);
  StepBuilder builder(list_);
  builder.Move<Transponder>(detail::ToPositions(positions), to);
  for (const Position at : to) {
    Transponder row = list_.transponders()[at];
    RowAccess::SetSatellite(row, satellite);
    builder.Replace(at, row);
  }
  if (auto problem = detail::NewTpIndexProblem(list_, beyond)) return detail::Refused(*problem);
  return Finish(builder, description);
}

namespace {

struct TransponderCascade {
  std::vector<int> transponders, services;
};

TransponderCascade CascadeOf(const ChannelList& list, std::vector<int> transponders) {
  TransponderCascade cascade;
  std::vector<bool> deleted(list.transponders().size(), false);
  for (const int t : transponders) deleted[static_cast<size_t>(t)] = true;
  const auto& services = list.services();
  for (size_t i = 0; i < services.size(); ++i) {
    const int tp = list.PositionOf(services[i].transponder());
    if (tp >= 0 && deleted[static_cast<size_t>(tp)])
      cascade.services.push_back(static_cast<int>(i));
  }
  cascade.transponders = std::move(transponders);
  return cascade;
}

std::string TransponderDeletionText(const ChannelList& list, const TransponderCascade& c) {
  const bool one = c.transponders.size() == 1;
  std::string text =
      one ? "Delete " + Refer(list.transponders()[static_cast<size_t>(c.transponders[0])])
          : "Delete " + detail::Counted(c.transponders.size(), "transponder", "transponders");
  if (c.services.size() == 1 && one) {
    text += " and its service";
  } else if (!c.services.empty()) {
    text += std::string(one ? " and its " : " and their ") +
            detail::Counted(c.services.size(), "service", "services");
  }
  return text;
}

}  // namespace

DeleteImpact ChannelEditor::TransponderDeletion(std::span<const TransponderId> ids) const {
  std::vector<int> positions;
  if (ResolveIds(ids, "transponder", &positions).refused() || positions.empty()) return {};
  const TransponderCascade c = CascadeOf(list_, std::move(positions));
  return DeleteImpact{0, static_cast<int>(c.transponders.size()),
                      static_cast<int>(c.services.size()), TransponderDeletionText(list_, c)};
}

EditResult ChannelEditor::DeleteTransponders(std::span<const TransponderId> ids) {
  std::vector<int> positions;
  if (EditResult r = ResolveIds(ids, "transponder", &positions); r.refused()) return r;
  if (positions.empty()) return detail::NothingToDo();
  TransponderCascade c = CascadeOf(list_, std::move(positions));
  std::string description = TransponderDeletionText(list_, c);
  return DeleteRecords({}, std::move(c.transponders), std::move(c.services),
                       std::move(description));
}

}  // namespace tavlink::channels
