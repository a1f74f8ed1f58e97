// The services table on Win32.
#include "editor_win32/win32_service_list.h"

#include <algorithm>
#include <string>

#include "editor_win32/win32_list_text.h"

namespace tavlink::editor {

using channels::ServiceId;

ServiceColumn ColumnAt(int column) {
  if (column == 0) return ServiceColumn::kName;
  if (column == 1) return ServiceColumn::kPosition;
  return static_cast<ServiceColumn>(column);
}

int ListColumnOf(ServiceColumn column) {
  if (column == ServiceColumn::kName) return 0;
  if (column == ServiceColumn::kPosition) return 1;
  return static_cast<int>(column);
}

std::optional<channels::ServiceSort> SortOfColumn(ServiceColumn column) {
  switch (column) {
    case ServiceColumn::kName:
      return channels::ServiceSort::kByName;
    case ServiceColumn::kServiceId:
      return channels::ServiceSort::kByServiceId;
    case ServiceColumn::kSatellite:
    case ServiceColumn::kTransponder:
      return channels::ServiceSort::kBySatelliteAndFrequency;
    case ServiceColumn::kType:
      return channels::ServiceSort::kTvBeforeRadio;
    default:
      return std::nullopt;
  }
}

void ServiceListView::Create(HWND parent, int id, int dpi) {
  window_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                  LVS_SHOWSELALWAYS | LVS_EDITLABELS,
                              0, 0, 100, 100, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  ListView_SetExtendedListViewStyle(window_, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP |
                                                 LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
  // Each column as wide as its title or its widest value, in digits.
  const int digits[kServiceColumnCount] = {4, 13, 5, 10, 8, 5, 4, 4, 4, 4, 3, 3, 3};
  const int digit = ::MulDiv(7, dpi, 96);
  for (int column = 0; column < kServiceColumnCount; ++column) {
    const ServiceColumn shown = ColumnAt(column);
    std::wstring title = ListWide(ServiceColumnTitle(shown));
    const int index = static_cast<int>(shown);
    LVCOLUMNW data{};
    data.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    data.fmt = shown == ServiceColumn::kName || shown == ServiceColumn::kSatellite ? LVCFMT_LEFT
                                                                                   : LVCFMT_RIGHT;
    if (column == 0) data.fmt = LVCFMT_LEFT;  // the item column is always left-aligned
    data.pszText = title.data();
    data.cx = std::max(digits[index] * digit, static_cast<int>(title.size()) * digit) +
              ::MulDiv(18, dpi, 96);
    data.iSubItem = column;
    ::SendMessageW(window_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column),
                   reinterpret_cast<LPARAM>(&data));
  }
  // The position first, then the name, then the others as they come.
  std::vector<int> order(kServiceColumnCount);
  for (int i = 0; i < kServiceColumnCount; ++i) order[static_cast<size_t>(i)] = i;
  std::swap(order[0], order[1]);
  ListView_SetColumnOrderArray(window_, kServiceColumnCount, order.data());
}

void ServiceListView::Show(const channels::ChannelList* list, const ServiceFilter& filter) {
  const std::vector<ServiceId> selected = list_ == list ? Selected() : std::vector<ServiceId>{};
  const ServiceId current = list_ == list ? IdAt(CurrentRow()) : ServiceId{};
  list_ = list;
  rows_ = list != nullptr ? ShownServices(*list, filter) : std::vector<int>{};
  ListView_SetItemCountEx(window_, static_cast<int>(rows_.size()), LVSICF_NOSCROLL);
  ::InvalidateRect(window_, nullptr, FALSE);
  Select(selected, current);
}

ServiceId ServiceListView::IdAt(int row) const {
  if (list_ == nullptr || row < 0 || static_cast<size_t>(row) >= rows_.size()) return {};
  return list_->services()[static_cast<size_t>(rows_[static_cast<size_t>(row)])].id();
}

int ServiceListView::RowOf(ServiceId id) const {
  if (list_ == nullptr) return -1;
  const int position = list_->PositionOf(id);
  if (position < 0) return -1;
  const auto it = std::lower_bound(rows_.begin(), rows_.end(), position);
  return it != rows_.end() && *it == position ? static_cast<int>(it - rows_.begin()) : -1;
}

int ServiceListView::PositionAt(int row) const {
  if (row >= 0 && static_cast<size_t>(row) < rows_.size()) return rows_[static_cast<size_t>(row)];
  return list_ != nullptr ? static_cast<int>(list_->services().size()) : 0;
}

int ServiceListView::CurrentRow() const {
  return static_cast<int>(ListView_GetNextItem(window_, -1, LVNI_FOCUSED));
}

void ServiceListView::SetCurrentRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  ListView_SetItemState(window_, -1, 0, LVIS_SELECTED);
  ListView_SetItemState(window_, row, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
  ListView_EnsureVisible(window_, row, FALSE);
}

std::vector<ServiceId> ServiceListView::Selected() const {
  std::vector<ServiceId> ids;
  for (int row = ListView_GetNextItem(window_, -1, LVNI_SELECTED); row >= 0;
       row = ListView_GetNextItem(window_, row, LVNI_SELECTED)) {
    ids.push_back(IdAt(row));
  }
  if (ids.empty() && CurrentRow() >= 0) ids.push_back(IdAt(CurrentRow()));
  std::erase_if(ids, [](ServiceId id) { return !id.valid(); });
  return ids;
}

void ServiceListView::Select(const std::vector<ServiceId>& ids, ServiceId current) {
  ListView_SetItemState(window_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  for (ServiceId id : ids) {
    const int row = RowOf(id);
    if (row >= 0) ListView_SetItemState(window_, row, LVIS_SELECTED, LVIS_SELECTED);
  }
  const int focused = RowOf(current.valid() ? current : (ids.empty() ? ServiceId{} : ids.front()));
  if (focused >= 0) {
    ListView_SetItemState(window_, focused, LVIS_FOCUSED, LVIS_FOCUSED);
    ListView_EnsureVisible(window_, focused, FALSE);
  }
}

void ServiceListView::FillCell(NMLVDISPINFOW& info) const {
  if (!(info.item.mask & LVIF_TEXT) || info.item.pszText == nullptr || info.item.cchTextMax <= 0)
    return;
  const int row = info.item.iItem;
  if (list_ == nullptr || row < 0 || static_cast<size_t>(row) >= rows_.size()) {
    info.item.pszText[0] = L'\0';
    return;
  }
  const ServiceColumn column = ColumnAt(info.item.iSubItem);
  cell_ = ListWide(ServiceCellText(*list_, rows_[static_cast<size_t>(row)], column));
  const size_t length = std::min(cell_.size(), static_cast<size_t>(info.item.cchTextMax - 1));
  cell_.copy(info.item.pszText, length);
  info.item.pszText[length] = L'\0';
}

}  // namespace tavlink::editor
