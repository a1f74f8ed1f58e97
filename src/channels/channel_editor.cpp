#include "channels/channel_editor.h"

#include <algorithm>
#include <utility>

#include "channels/edit_step.h"
#include "channels/editor_support.h"
#include "channels/field_limits.h"

namespace tavlink::channels {

using detail::Step;
using detail::StepBuilder;

ChannelEditor::ChannelEditor(ChannelList list, size_t historyBudget)
    : list_(std::move(list)), history_budget_(historyBudget) {}

ChannelEditor::~ChannelEditor() = default;

uint64_t ChannelEditor::State() const {
  return undo_.empty() ? base_state_ : undo_.back().serial;
}

void ChannelEditor::SetChangeListener(std::function<void(const ListChange&)> listener) {
  listener_ = std::move(listener);
}

void ChannelEditor::Notify(ListChange& change) {
  ++revision_;
  if (listener_) listener_(change);
}

EditResult ChannelEditor::Finish(StepBuilder& builder, std::string description) {
  if (builder.empty()) {
    builder.Commit({});  // nothing applied, nothing to undo
    return detail::NothingToDo();
  }
  Step step = builder.Commit(std::move(description));
  step.serial = next_serial_++;
  ListChange change = detail::DescribeChange(step, true);
  change.cause = ListChange::Cause::kEdit;
  Push(std::move(step), change);
  return detail::Done();
}

void ChannelEditor::Push(Step step, ListChange& change) {
  for (const Step& dropped : redo_) history_bytes_ -= dropped.Bytes();
  redo_.clear();
  history_bytes_ += step.Bytes();
  undo_.push_back(std::move(step));
  DropOldSteps();
  Notify(change);
}

void ChannelEditor::DropOldSteps() {
  // The newest step stays, however large.
  size_t dropped = 0;
  while (history_bytes_ > history_budget_ && undo_.size() - dropped > 1) {
    base_state_ = undo_[dropped].serial;
    history_bytes_ -= undo_[dropped].Bytes();
    ++dropped;
  }
  undo_.erase(undo_.begin(), undo_.begin() + static_cast<std::ptrdiff_t>(dropped));
}

bool ChannelEditor::CanUndo() const {
  return !undo_.empty();
}
bool ChannelEditor::CanRedo() const {
  return !redo_.empty();
}
size_t ChannelEditor::UndoDepth() const {
  return undo_.size();
}
size_t ChannelEditor::RedoDepth() const {
  return redo_.size();
}

std::string_view ChannelEditor::UndoDescription() const {
  return undo_.empty() ? std::string_view() : std::string_view(undo_.back().description);
}

std::string_view ChannelEditor::RedoDescription() const {
  return redo_.empty() ? std::string_view() : std::string_view(redo_.back().description);
}

EditResult ChannelEditor::Undo() {
  if (undo_.empty()) return detail::NothingToDo();
  Step step = std::move(undo_.back());
  undo_.pop_back();
  detail::Undo(list_, step);
  ListChange change = detail::DescribeChange(step, false);
  change.cause = ListChange::Cause::kUndo;
  redo_.push_back(std::move(step));
  Notify(change);
  return detail::Done();
}

EditResult ChannelEditor::Redo() {
  if (redo_.empty()) return detail::NothingToDo();
  Step step = std::move(redo_.back());
  redo_.pop_back();
  detail::Redo(list_, step);
  ListChange change = detail::DescribeChange(step, true);
  change.cause = ListChange::Cause::kRedo;
  undo_.push_back(std::move(step));
  Notify(change);
  return detail::Done();
}

template <typename Id>
EditResult ChannelEditor::ResolveIds(std::span<const Id> ids, const char* noun,
                                     std::vector<int>* positions) const {
  positions->clear();
  positions->reserve(ids.size());
  for (const Id id : ids) {
    const int at = list_.PositionOf(id);
    if (at < 0) {
      return detail::Refused(std::string("the list has no ") + noun + " with identity " +
                             std::to_string(id.value));
    }
    positions->push_back(at);
  }
  std::sort(positions->begin(), positions->end());
  positions->erase(std::unique(positions->begin(), positions->end()), positions->end());
  return detail::Done();
}

template EditResult ChannelEditor::ResolveIds(std::span<const SatelliteId>, const char*,
                                              std::vector<int>*) const;
template EditResult ChannelEditor::ResolveIds(std::span<const TransponderId>, const char*,
                                              std::vector<int>*) const;
template EditResult ChannelEditor::ResolveIds(std::span<const ServiceId>, const char*,
                                              std::vector<int>*) const;

EditResult ChannelEditor::DeleteRecords(std::vector<int> satellites, std::vector<int> transponders,
                                        std::vector<int> services, std::string description) {
  StepBuilder builder(list_);
  builder.Remove<Service>(detail::ToPositions(services));
  builder.Remove<Transponder>(detail::ToPositions(transponders));
  builder.Remove<Satellite>(detail::ToPositions(satellites));
  return Finish(builder, std::move(description));
}

EditResult ChannelEditor::SetAntennaConfig(int32_t value) {
  if (auto problem = AntennaConfigProblem(value)) return detail::Refused(problem->message);
  StepBuilder builder(list_);
  HeaderState header = list_.header();
  header.antenna_config = value;
  builder.SetHeader(header);
  return Finish(builder, "Set antenna_config to " + std::to_string(value));
}

}  // namespace tavlink::channels
