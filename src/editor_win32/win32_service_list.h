#pragma once
// The services table on Win32: a list view in report mode with a virtual
// list (LVS_OWNERDATA), full-row select and several rows selected, showing
// the rows the filter lets through. The list view's item column is the
// name, so that the list view's own in-place editing edits the name; it is
// shown second, after the position.
//
// Threading: user-interface thread only.

#include <windows.h>
// The common controls' header needs windows.h first.
#include <commctrl.h>

#include <optional>
#include <vector>

#include "channels/channel_list.h"
#include "channels/service_order.h"
#include "editor/service_columns.h"
#include "editor/service_filter.h"

namespace tavlink::editor {

// The service column of list view column `column`, and back.
ServiceColumn ColumnAt(int column);
int ListColumnOf(ServiceColumn column);
// The order a click on the column's header sorts the list by; nothing for
// a column the model does not sort by (the position, the PIDs, the flags).
std::optional<channels::ServiceSort> SortOfColumn(ServiceColumn column);

class ServiceListView {
 public:
  // Makes the list view as a child `id` of `parent`, with its columns as
  // wide as their titles or widest values at `dpi`.
  void Create(HWND parent, int id, int dpi);
  HWND Window() const { return window_; }

  // Shows `list` (nullptr: nothing) through `filter`, keeping the
  // selection by identity.
  void Show(const channels::ChannelList* list, const ServiceFilter& filter);
  int RowCount() const { return static_cast<int>(rows_.size()); }

  channels::ServiceId IdAt(int row) const;
  int RowOf(channels::ServiceId id) const;
  // The list position of `row`; the list's end past the last row.
  int PositionAt(int row) const;
  // The focused row, or -1.
  int CurrentRow() const;
  void SetCurrentRow(int row);

  // The selected services in row order; the focused one when none is
  // selected.
  std::vector<channels::ServiceId> Selected() const;
  // Selects `ids` (the ones shown), focusing `current` or the first.
  void Select(const std::vector<channels::ServiceId>& ids, channels::ServiceId current = {});

  // LVN_GETDISPINFO: the text of one cell.
  void FillCell(NMLVDISPINFOW& info) const;

 private:
  HWND window_ = nullptr;
  const channels::ChannelList* list_ = nullptr;
  std::vector<int> rows_;  // the list positions shown, ascending
  mutable std::wstring cell_;
};

}  // namespace tavlink::editor
