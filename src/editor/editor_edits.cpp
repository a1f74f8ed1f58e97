// The editor's edits of services, satellites and transponders.
#include <algorithm>

#include "channels/record_labels.h"
#include "editor/editor_logic.h"
#include "editor/editor_texts.h"
#include "editor/path_names.h"
#include "editor/record_forms.h"
#include "editor/row_clipboard.h"

namespace tavlink::editor {

using channels::EditResult;
using channels::SatelliteId;
using channels::ServiceId;
using channels::TransponderId;

namespace {

EditResult NoList() {
  return {EditResult::Status::kNothingToDo, {}};
}

// At most this many lines of what a removal takes are listed in its question.
constexpr size_t kListedRemovals = 20;

}  // namespace

EditResult EditorLogic::EditCell(ServiceId id, ServiceColumn column, std::string_view text) {
  if (Editor() == nullptr) return NoList();
  return Shown(EditServiceCell(*Editor(), id, column, text));
}

EditResult EditorLogic::SetFlag(std::span<const ServiceId> ids, channels::ServiceFlag flag,
                                bool on) {
  if (Editor() == nullptr) return NoList();
  return Shown(Editor()->SetServiceFlag(ids, flag, on));
}

EditResult EditorLogic::ToggleFlag(std::span<const ServiceId> ids, channels::ServiceFlag flag) {
  if (Editor() == nullptr) return NoList();
  bool all = !ids.empty();
  for (ServiceId id : ids) {
    const channels::Service* service = list()->Find(id);
    if (service == nullptr) continue;
    const bool set = flag == channels::ServiceFlag::kFavorite ? service->favorite()
                     : flag == channels::ServiceFlag::kLock   ? service->lock()
                                                              : service->scramble();
    all = all && set;
  }
  return SetFlag(ids, flag, !all);
}

EditResult EditorLogic::MoveServices(std::span<const ServiceId> ids, channels::MoveTo to) {
  if (Editor() == nullptr) return NoList();
  return Shown(Editor()->MoveServices(ids, to));
}

EditResult EditorLogic::MoveServicesToPosition(std::span<const ServiceId> ids) {
  if (Editor() == nullptr || ids.empty()) return NoList();
  const int size = static_cast<int>(list()->services().size());
  int first = size;
  for (ServiceId id : ids) first = std::min(first, list()->PositionOf(id));
  const std::optional<int> position =
      shell_.AskNumber("Move the selected services to position:", first + 1, 1, size);
  if (!position) return NoList();
  return MoveServices(ids, channels::MoveTo::ToPosition(*position - 1));
}

EditResult EditorLogic::SortServices(channels::ServiceSort sort) {
  if (Editor() == nullptr) return NoList();
  return Shown(Editor()->SortServices(sort));
}

EditResult EditorLogic::ApplyOrderFrom() {
  if (Editor() == nullptr) return NoList();
  const auto path = shell_.ChooseOpenFile(ListFileChoice());
  if (!path) return NoList();
  const std::optional<channels::ChannelList> reference = LoadOtherList(*path);
  if (!reference) return NoList();
  EditResult result = Shown(Editor()->ApplyServiceOrder(*reference));
  if (result.status == EditResult::Status::kNothingToDo) {
    shell_.ShowMessage("The services are in the order of " +
                       FileNameOf(*path) + " already.");
  }
  return result;
}

EditResult EditorLogic::RemoveDuplicates(channels::DuplicateKind kind) {
  if (Editor() == nullptr) return NoList();
  const auto groups = channels::FindDuplicateServices(*list(), kind);
  std::vector<std::string> lines;
  for (const auto& group : groups) {
    for (size_t i = 1; i < group.size(); ++i) {
      const int position = list()->PositionOf(group[i]);
      const channels::Service& service = list()->services()[static_cast<size_t>(position)];
      lines.push_back("service " + std::to_string(position + 1) + " " +
                      channels::QuotedName(service.name()) + " (service_id " +
                      std::to_string(service.service_id()) + "), a duplicate of service " +
                      std::to_string(list()->PositionOf(group.front()) + 1));
    }
  }
  if (lines.empty()) {
    shell_.ShowMessage("The list has no duplicate services.");
    return NoList();
  }
  std::string question = "Remove " + Grouped(static_cast<long long>(lines.size())) +
                         (lines.size() == 1 ? " duplicate service?\n" : " duplicate services?\n");
  for (size_t i = 0; i < lines.size() && i < kListedRemovals; ++i) question += "\n" + lines[i];
  if (lines.size() > kListedRemovals) {
    question +=
        "\n... and " + Grouped(static_cast<long long>(lines.size() - kListedRemovals)) + " more";
  }
  if (!shell_.Ask(question, false)) return NoList();
  return Shown(Editor()->RemoveDuplicateServices(kind));
}

EditResult EditorLogic::DeleteServices(std::span<const ServiceId> ids) {
  if (Editor() == nullptr) return NoList();
  return Shown(Editor()->DeleteServices(ids));
}

void EditorLogic::CopyServices(std::span<const ServiceId> ids) {
  if (Editor() == nullptr) return;
  const CopiedRows copied = editor::CopyServices(*list(), ids);
  if (copied.skipped > 0) {
    shell_.ShowMessage(Grouped(copied.skipped) +
                       (copied.skipped == 1 ? " service is" : " services are") +
                       " on no transponder and not copied.");
  }
  if (copied.services > 0) shell_.SetClipboardText(copied.text);
}

EditResult EditorLogic::CutServices(std::span<const ServiceId> ids) {
  if (Editor() == nullptr) return NoList();
  CopyServices(ids);
  return DeleteServices(ids);
}

std::vector<ServiceId> EditorLogic::Paste(int position) {
  return PasteText(shell_.ClipboardText(), position);
}

std::vector<ServiceId> EditorLogic::PasteText(const std::string& text, int position) {
  if (Editor() == nullptr) return {};
  PasteResult paste = PasteServices(*Editor(), text, position);
  Shown(paste.result);
  return paste.pasted;
}

// --- Satellites and transponders -----------------------------------------------

namespace {

// Runs `form` until its texts are read and `apply` takes them, or the
// technician cancels: a refusal comes back in the form with its message and
// the texts as typed.
template <typename Fields, typename Read, typename Apply>
EditResult RunForm(EditorShell& shell, RecordForm form, Read read, Apply apply) {
  for (;;) {
    const std::optional<std::vector<std::string>> texts = shell.EditRecord(form);
    if (!texts) return {EditResult::Status::kNothingToDo, {}};
    for (size_t i = 0; i < form.fields.size() && i < texts->size(); ++i) {
      form.fields[i].text = (*texts)[i];
    }
    auto fields = read(*texts);
    if (auto* message = std::get_if<std::string>(&fields)) {
      form.message = *message;
      continue;
    }
    EditResult result = apply(std::get<Fields>(fields));
    if (!result.refused()) return result;
    form.message = result.message;
  }
}

}  // namespace

std::optional<SatelliteId> EditorLogic::AddSatellite(int position) {
  if (Editor() == nullptr) return std::nullopt;
  RecordForm form = SatelliteForm(NewSatelliteFields());
  form.title = "Add satellite";
  std::vector<SatelliteId> made;
  RunForm<channels::SatelliteFields>(
      shell_, form, ReadSatelliteForm, [&](const channels::SatelliteFields& fields) {
        return Editor()->InsertSatellites(position, {&fields, 1}, &made);
      });
  if (made.empty()) return std::nullopt;
  return made.front();
}

EditResult EditorLogic::ChangeSatellite(SatelliteId id) {
  if (Editor() == nullptr || list()->Find(id) == nullptr) return NoList();
  const channels::Satellite& satellite = *list()->Find(id);
  RecordForm form = SatelliteForm(satellite.fields());
  form.title = "Change satellite " + channels::QuotedName(satellite.name());
  return RunForm<channels::SatelliteFields>(shell_, form, ReadSatelliteForm,
                                            [&](const channels::SatelliteFields& fields) {
                                              const channels::SatelliteChange change{id, fields};
                                              return Editor()->ChangeSatellites({&change, 1});
                                            });
}

EditResult EditorLogic::DeleteSatellites(std::span<const SatelliteId> ids) {
  if (Editor() == nullptr) return NoList();
  const channels::DeleteImpact impact = Editor()->SatelliteDeletion(ids);
  if (impact.satellites == 0) return NoList();
  if (!shell_.Ask(DeleteQuestion(impact), false)) return NoList();
  return Shown(Editor()->DeleteSatellites(ids));
}

EditResult EditorLogic::MoveSatellites(std::span<const SatelliteId> ids, channels::MoveTo to) {
  if (Editor() == nullptr) return NoList();
  return Shown(Editor()->MoveSatellites(ids, to));
}

std::optional<TransponderId> EditorLogic::AddTransponder(SatelliteId satellite, int number) {
  if (Editor() == nullptr || list()->Find(satellite) == nullptr) return std::nullopt;
  RecordForm form = TransponderForm(NewTransponderFields());
  form.title = "Add transponder to " + channels::SatellitePlace(*list()->Find(satellite));
  std::vector<TransponderId> made;
  RunForm<channels::TransponderFields>(
      shell_, form, ReadTransponderForm, [&](const channels::TransponderFields& fields) {
        return Editor()->InsertTransponders(satellite, number, {&fields, 1}, &made);
      });
  if (made.empty()) return std::nullopt;
  return made.front();
}

EditResult EditorLogic::ChangeTransponder(TransponderId id) {
  if (Editor() == nullptr || list()->Find(id) == nullptr) return NoList();
  const channels::Transponder& transponder = *list()->Find(id);
  RecordForm form = TransponderForm(transponder.fields());
  form.title = "Change transponder " + channels::TransponderLabel(transponder);
  return RunForm<channels::TransponderFields>(
      shell_, form, ReadTransponderForm, [&](const channels::TransponderFields& fields) {
        const channels::TransponderChange change{id, fields};
        return Editor()->ChangeTransponders({&change, 1});
      });
}

EditResult EditorLogic::DeleteTransponders(std::span<const TransponderId> ids) {
  if (Editor() == nullptr) return NoList();
  const channels::DeleteImpact impact = Editor()->TransponderDeletion(ids);
  if (impact.transponders == 0) return NoList();
  if (!shell_.Ask(DeleteQuestion(impact), false)) return NoList();
  return Shown(Editor()->DeleteTransponders(ids));
}

EditResult EditorLogic::MoveTransponders(std::span<const TransponderId> ids, channels::MoveTo to) {
  if (Editor() == nullptr) return NoList();
  return Shown(Editor()->MoveTransponders(ids, to));
}

EditResult EditorLogic::MoveTranspondersToSatellite(std::span<const TransponderId> ids) {
  if (Editor() == nullptr || ids.empty() || list()->satellites().empty()) return NoList();
  std::vector<std::string> names;
  int current = 0;
  const channels::Transponder* first = list()->Find(ids.front());
  for (const channels::Satellite& satellite : list()->satellites()) {
    if (first != nullptr && satellite.id() == first->satellite()) {
      current = static_cast<int>(names.size());
    }
    names.push_back(channels::SatellitePlace(satellite));
  }
  const std::optional<int> chosen =
      shell_.AskChoice("Move the selected transponders and their services to:", names, current);
  if (!chosen || *chosen < 0 || static_cast<size_t>(*chosen) >= names.size()) return NoList();
  return Shown(Editor()->MoveTranspondersToSatellite(
      ids, list()->satellites()[static_cast<size_t>(*chosen)].id()));
}

EditResult EditorLogic::SetAntennaConfig(int value) {
  if (Editor() == nullptr) return NoList();
  return Shown(Editor()->SetAntennaConfig(value));
}

}  // namespace tavlink::editor
