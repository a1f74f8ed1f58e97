// The editor's service edits: insert, change, move, delete, sort, the order
// of a reference list, flags and duplicates.

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

std::string Refer(const Service& service) {
  return "service " + QuotedName(service.name());
}

std::string Refer(const ChannelList& list, const std::vector<int>& positions) {
  return positions.size() == 1 ? Refer(list.services()[static_cast<size_t>(positions[0])])
                               : detail::Counted(positions.size(), "service", "services");
}

// The fields that `after` changes against `before`; the others as valid values.
ServiceFields ChangedFields(const ServiceFields& before, const ServiceFields& after) {
  ServiceFields f = after;
  if (f.name == before.name) f.name.clear();
  if (f.video_pid == before.video_pid) f.video_pid = 0;
  if (f.audio_pid == before.audio_pid) f.audio_pid = 0;
  if (f.pcr_pid == before.pcr_pid) f.pcr_pid = 0;
  if (f.txt_pid == before.txt_pid) f.txt_pid = 0;
  return f;
}

const char* FlagName(ServiceFlag flag) {
  return flag == ServiceFlag::kScramble   ? "scramble"
         : flag == ServiceFlag::kFavorite ? "favorite"
                                          : "lock";
}

const char* SortName(ServiceSort sort) {
  switch (sort) {
    case ServiceSort::kByName:
      return "Sort services by name";
    case ServiceSort::kByServiceId:
      return "Sort services by service_id";
    case ServiceSort::kBySatelliteAndFrequency:
      return "Sort services by satellite and frequency";
    case ServiceSort::kTvBeforeRadio:
      return "Sort TV services before radio services";
  }
  return "Sort services";
}

}  // namespace

EditResult ChannelEditor::InsertServices(int position, std::span<const ServiceFields> services,
                                         std::vector<ServiceId>* ids) {
  if (services.empty()) return detail::NothingToDo();
  const int size = static_cast<int>(list_.services().size());
  const int count = static_cast<int>(services.size());
  if (size + count > kMaxServices) {
    return detail::Refused(detail::OverflowMessage("service", size + count, kMaxServices));
  }
  for (const ServiceFields& fields : services) {
    std::optional<std::string> problem;
    if (auto field = ServiceProblem(fields)) problem = field->message;
    if (!problem) problem = detail::TransponderReferenceProblem(list_, fields.transponder);
    if (problem) {
      return detail::Refused(count == 1 ? *problem
                                        : "service " + QuotedName(fields.name) + ": " + *problem);
    }
  }
  const int first = std::clamp(position, 0, size);
  auto& table = detail::ListAccess::Services(list_);
  std::vector<Service> rows;
  std::vector<Position> positions;
  for (int i = 0; i < count; ++i) {
    const ServiceFields& fields = services[static_cast<size_t>(i)];
    const uint8_t zero[kServiceRecordSize] = {};
    Service row = RowAccess::MakeService(ServiceId{table.NextId()}, fields.transponder, zero);
    detail::WriteServiceFields(fields, RowAccess::Record(row));
    rows.push_back(row);
    positions.push_back(static_cast<Position>(first + i));
  }
  if (ids) {
    ids->clear();
    for (const Service& row : rows) ids->push_back(row.id());
  }
  const std::string description =
      count == 1 ? "Insert " + Refer(rows[0])
                 : "Insert " + detail::Counted(services.size(), "service", "services");
  StepBuilder builder(list_);
  builder.Insert(std::move(positions), std::move(rows));
  return Finish(builder, description);
}

EditResult ChannelEditor::ChangeServices(std::span<const ServiceChange> changes) {
  StepBuilder builder(list_);
  std::string description;
  for (const ServiceChange& change : changes) {
    const int at = list_.PositionOf(change.id);
    if (at < 0) {
      return detail::Refused("the list has no service with identity " +
                             std::to_string(change.id.value));
    }
    const Service& current = list_.services()[static_cast<size_t>(at)];
    const ServiceFields before = current.fields();
    std::optional<std::string> problem;
    if (auto field = ServiceProblem(ChangedFields(before, change.fields))) problem = field->message;
    if (!problem && change.fields.transponder != before.transponder) {
      problem = detail::TransponderReferenceProblem(list_, change.fields.transponder);
    }
    if (problem) {
      return detail::Refused(changes.size() == 1 ? *problem : Refer(current) + ": " + *problem);
    }
    ServiceFields renamed = before;
    renamed.name = change.fields.name;
    description =
        renamed == change.fields && before.name != change.fields.name
            ? "Rename service " + QuotedName(before.name) + " to " + QuotedName(change.fields.name)
            : "Change " + Refer(current);
    Service row = current;
    detail::WriteServiceFields(change.fields, RowAccess::Record(row));
    RowAccess::SetTransponder(row, change.fields.transponder);
    builder.Replace(at, row);
  }
  if (changes.size() > 1) {
    description = "Change " + detail::Counted(changes.size(), "service", "services");
  }
  return Finish(builder, std::move(description));
}

EditResult ChannelEditor::MoveServices(std::span<const ServiceId> ids, MoveTo to) {
  std::vector<int> from;
  if (EditResult r = ResolveIds(ids, "service", &from); r.refused()) return r;
  const std::vector<int> after =
      MovedPositions(static_cast<int>(list_.services().size()), from, to);
  const std::string description = "Move " + Refer(list_, from);
  StepBuilder builder(list_);
  builder.Move<Service>(detail::ToPositions(from), detail::ToPositions(after));
  return Finish(builder, description);
}

DeleteImpact ChannelEditor::ServiceDeletion(std::span<const ServiceId> ids) const {
  std::vector<int> positions;
  if (ResolveIds(ids, "service", &positions).refused() || positions.empty()) return {};
  return DeleteImpact{0, 0, static_cast<int>(positions.size()),
                      "Delete " + Refer(list_, positions)};
}

EditResult ChannelEditor::DeleteServices(std::span<const ServiceId> ids) {
  std::vector<int> positions;
  if (EditResult r = ResolveIds(ids, "service", &positions); r.refused()) return r;
  if (positions.empty()) return detail::NothingToDo();
  std::string description = "Delete " + Refer(list_, positions);
  return DeleteRecords({}, {}, std::move(positions), std::move(description));
}

EditResult ChannelEditor::MoveServicesToOrder(const std::vector<int>& order,
                                              std::string description) {
  std::vector<Position> from, to;
  for (size_t i = 0; i < order.size(); ++i) {
    from.push_back(static_cast<Position>(order[i]));
    to.push_back(static_cast<Position>(i));
  }
  StepBuilder builder(list_);
  builder.Exchange<Service>(std::move(from), std::move(to));
  return Finish(builder, std::move(description));
}

EditResult ChannelEditor::SortServices(ServiceSort sort) {
  return MoveServicesToOrder(SortedServiceOrder(list_, sort), SortName(sort));
}

EditResult ChannelEditor::ApplyServiceOrder(const ChannelList& reference) {
  return MoveServicesToOrder(ReferenceServiceOrder(list_, reference),
                             "Apply the order of the reference list");
}

EditResult ChannelEditor::SetServiceFlag(std::span<const ServiceId> ids, ServiceFlag flag,
                                         bool on) {
  std::vector<int> positions;
  if (EditResult r = ResolveIds(ids, "service", &positions); r.refused()) return r;
  const uint16_t bit = flag == ServiceFlag::kScramble   ? service_flag::kScramble
                       : flag == ServiceFlag::kFavorite ? service_flag::kFavorite
                                                        : service_flag::kLock;
  std::vector<int> changed;
  for (const int at : positions) {
    const Service& s = list_.services()[static_cast<size_t>(at)];
    if (((ConstServiceRecord(s.record().data()).service_flags() & bit) != 0) != on) {
      changed.push_back(at);
    }
  }
  const std::string description =
      std::string(on ? "Set " : "Clear ") + FlagName(flag) + " on " + Refer(list_, changed);
  StepBuilder builder(list_);
  for (const int at : changed) {
    Service row = list_.services()[static_cast<size_t>(at)];
    ServiceRecord record = RowAccess::Record(row);
    record.set_service_flags(
        static_cast<uint16_t>(on ? record.service_flags() | bit : record.service_flags() & ~bit));
    builder.Replace(at, row);
  }
  return Finish(builder, description);
}

EditResult ChannelEditor::RemoveDuplicateServices(DuplicateKind kind) {
  std::vector<int> positions;
  for (const std::vector<ServiceId>& group : FindDuplicateServices(list_, kind)) {
    for (size_t i = 1; i < group.size(); ++i) positions.push_back(list_.PositionOf(group[i]));
  }
  std::sort(positions.begin(), positions.end());
  if (positions.empty()) return detail::NothingToDo();
  std::string description =
      "Remove " + detail::Counted(positions.size(), "duplicate service", "duplicate services");
  return DeleteRecords({}, {}, std::move(positions), std::move(description));
}

}  // namespace tavlink::channels
