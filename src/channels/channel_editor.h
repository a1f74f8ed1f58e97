#pragma once
// Edits of a channel list, each one step of an undo history of any depth.
//
// Every edit either
//   - is done: the list changed, one step is added to the history (the redo
//     steps are dropped), the revision goes up and the change listener is told;
//   - has nothing to do (moving rows already at the top, setting a flag that
//     is set): the list, the history and the revision stay as they were; or
//   - is refused, with a message in the data text reader's terms ("video_pid
//     must be 0 to 8191", "tp_index must be 1 to 256 ..."): the list, the
//     history and the revision stay exactly as they were.
// An edit is refused when it would give a record a value the reader refuses,
// overflow a table, leave a reference to a record that is not there, or name
// a record that the list does not hold. Problems the list already had
// (CheckList) do not stop edits of other fields; they can be repaired by
// edits.
//
// Transponders are one table in the block, and the data text writes them
// grouped under their satellites. Here a satellite's transponders are always
// taken in table order, and moving them up, down, to the top or bottom, or to
// a position means among that satellite's own transponders: the moved
// transponders exchange table slots with their satellite's other
// transponders, so the slots of every other satellite's transponders stay as
// they are. A new transponder takes the table slot of the one whose number it
// gets among its satellite's transponders; one added at the end, or moved to
// another satellite, goes right after the last transponder of its satellite
// (for a satellite without transponders: before the first transponder of a
// later satellite, else at the end of the table). Moving satellites leaves
// the transponder table as it is; the text is the same either way.
//
// A new record's bytes that the data text does not carry (reserved bytes,
// kept bits) are zero; a changed record keeps its own.
//
// Undo and redo apply the steps' own operations; no step copies the list,
// and the history drops its oldest steps beyond its byte budget.
//
// Threading: none; an editor and its list are used from one thread. The
// listener runs inside the call that changed the list and must not edit it.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "channels/channel_list.h"
#include "channels/list_change.h"
#include "channels/row_moves.h"
#include "channels/service_order.h"

namespace tavlink::channels {

namespace detail {
struct Step;
class StepBuilder;
}  // namespace detail

struct EditResult {
  enum class Status { kDone, kNothingToDo, kRefused };
  Status status = Status::kDone;
  std::string message;  // kRefused: why

  bool done() const { return status == Status::kDone; }
  bool refused() const { return status == Status::kRefused; }
};

// What deleting records takes with it, told before the deletion; all zero
// (and no description) when an identity is not in the list.
struct DeleteImpact {
  int satellites = 0;
  int transponders = 0;
  int services = 0;
  // The step's description, e.g. "Delete transponder 12663 H and its 4 services".
  std::string description;
};

struct SatelliteChange {
  SatelliteId id;
  SatelliteFields fields;
};
struct TransponderChange {
  TransponderId id;
  TransponderFields fields;
};
struct ServiceChange {
  ServiceId id;
  ServiceFields fields;
};

enum class ServiceFlag { kScramble, kFavorite, kLock };

class ChannelEditor {
 public:
  static constexpr size_t kDefaultHistoryBudget = 10u << 20;

  // `historyBudget`: the bytes the undo and redo steps may hold; beyond it
  // the oldest steps are dropped (the newest one always stays).
  explicit ChannelEditor(ChannelList list, size_t historyBudget = kDefaultHistoryBudget);
  ~ChannelEditor();
  ChannelEditor(const ChannelEditor&) = delete;
  ChannelEditor& operator=(const ChannelEditor&) = delete;

  const ChannelList& list() const { return list_; }

  // An edit of several records is refused whole when one of them is; the
  // message then starts with the record ("service \"BAD\": ...").
  //
  // Satellites. Positions are clamped to the table.
  EditResult InsertSatellites(int position, std::span<const SatelliteFields> satellites,
                              std::vector<SatelliteId>* ids = nullptr);
  EditResult ChangeSatellites(std::span<const SatelliteChange> changes);
  EditResult MoveSatellites(std::span<const SatelliteId> ids, MoveTo to);
  // A satellite takes its transponders and their services with it.
  DeleteImpact SatelliteDeletion(std::span<const SatelliteId> ids) const;
  EditResult DeleteSatellites(std::span<const SatelliteId> ids);

  // Transponders. `number` is the position among the satellite's
  // transponders, from 0, clamped.
  EditResult InsertTransponders(SatelliteId satellite, int number,
                                std::span<const TransponderFields> transponders,
                                std::vector<TransponderId>* ids = nullptr);
  EditResult ChangeTransponders(std::span<const TransponderChange> changes);
  // Among each one's satellite's transponders (see above).
  EditResult MoveTransponders(std::span<const TransponderId> ids, MoveTo to);
  // To the end of `satellite`'s transponders, in their table order; their
  // services go with them.
  EditResult MoveTranspondersToSatellite(std::span<const TransponderId> ids, SatelliteId satellite);
  // A transponder takes its services with it.
  DeleteImpact TransponderDeletion(std::span<const TransponderId> ids) const;
  EditResult DeleteTransponders(std::span<const TransponderId> ids);

  // Services.
  EditResult InsertServices(int position, std::span<const ServiceFields> services,
                            std::vector<ServiceId>* ids = nullptr);
  EditResult ChangeServices(std::span<const ServiceChange> changes);
  EditResult MoveServices(std::span<const ServiceId> ids, MoveTo to);
  DeleteImpact ServiceDeletion(std::span<const ServiceId> ids) const;
  EditResult DeleteServices(std::span<const ServiceId> ids);
  EditResult SortServices(ServiceSort sort);
  // The order of `reference` (service_order.h).
  EditResult ApplyServiceOrder(const ChannelList& reference);
  EditResult SetServiceFlag(std::span<const ServiceId> ids, ServiceFlag flag, bool on);
  // Removes every service of each group of FindDuplicateServices but the first.
  EditResult RemoveDuplicateServices(DuplicateKind kind);

  EditResult SetAntennaConfig(int32_t value);

  // History.
  bool CanUndo() const;
  bool CanRedo() const;
  // The description of the step that Undo or Redo would take, or "".
  std::string_view UndoDescription() const;
  std::string_view RedoDescription() const;
  EditResult Undo();
  EditResult Redo();
  size_t UndoDepth() const;
  size_t RedoDepth() const;
  // The bytes the history holds (every undo and redo step).
  size_t HistoryBytes() const { return history_bytes_; }

  // Goes up by one with every edit done, undo and redo.
  uint64_t revision() const { return revision_; }
  // The list as it is now is the saved one. IsModified() is true while the
  // list is in any other state (undo or redo back to it makes it false).
  void MarkSaved() { saved_state_ = State(); }
  bool IsModified() const { return State() != saved_state_; }

  // Told after every edit done, undo and redo. Replaces any earlier listener.
  void SetChangeListener(std::function<void(const ListChange&)> listener);

 private:
  EditResult Finish(detail::StepBuilder& builder, std::string description);
  void Push(detail::Step step, ListChange& change);
  void DropOldSteps();
  uint64_t State() const;
  void Notify(ListChange& change);

  EditResult DeleteRecords(std::vector<int> satellites, std::vector<int> transponders,
                           std::vector<int> services, std::string description);
  EditResult MoveServicesToOrder(const std::vector<int>& order, std::string description);
  template <typename Id>
  EditResult ResolveIds(std::span<const Id> ids, const char* noun,
                        std::vector<int>* positions) const;

  ChannelList list_;
  std::vector<detail::Step> undo_;  // oldest first
  std::vector<detail::Step> redo_;  // next to redo last
  size_t history_budget_;
  size_t history_bytes_ = 0;
  uint64_t next_serial_ = 1;
  uint64_t base_state_ = 0;  // the state with no undo step left
  uint64_t saved_state_ = 0;
  uint64_t revision_ = 0;
  std::function<void(const ListChange&)> listener_;
};

}  // namespace tavlink::channels
