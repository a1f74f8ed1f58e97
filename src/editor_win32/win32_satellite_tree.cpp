// The satellite tree on Win32.
#include "editor_win32/win32_satellite_tree.h"

#include <commctrl.h>

#include <set>
#include <string>

#include "editor/record_forms.h"
#include "editor_win32/win32_list_text.h"

namespace tavlink::editor {
namespace {

// A tree item's kind and identity in its lParam.
constexpr LPARAM kSatelliteItem = 1;
constexpr LPARAM kTransponderItem = 2;
LPARAM ItemData(LPARAM kind, uint32_t id) {
  return (kind << 32) | static_cast<LPARAM>(id);
}
LPARAM KindOf(LPARAM data) {
  return data >> 32;
}
uint32_t IdOf(LPARAM data) {
  return static_cast<uint32_t>(data & 0xFFFFFFFF);
}

// "ASTRA 19E  (19.2 E, 8 services, 9750/10600 universal, DiSEqC a, ...)":
// the tree's columns of the Qt editor on one line.
template <typename CellText>
std::wstring TreeText(CellText cell) {
  const std::string services = cell(2) + (cell(2) == "1" ? " service" : " services");
  return ListWide(cell(0) + "  (" + cell(1) + ", " + services + ", " + cell(3) + ", " + cell(4) +
                  ")");
}

LPARAM DataOf(HWND tree, HTREEITEM item) {
  TVITEMW data{};
  data.mask = TVIF_PARAM;
  data.hItem = item;
  return ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data)) ? data.lParam : 0;
}

}  // namespace

void SatelliteTree::Create(HWND parent, int id) {
  window_ = ::CreateWindowExW(
      WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
      WS_CHILD | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
      0, 0, 10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      ::GetModuleHandleW(nullptr), nullptr);
}

void SatelliteTree::Show(const channels::ChannelList& list) {
  std::set<uint32_t> open;
  const bool first = TreeView_GetCount(window_) == 0;
  for (HTREEITEM item = TreeView_GetRoot(window_); item != nullptr;
       item = TreeView_GetNextSibling(window_, item)) {
    if (TreeView_GetItemState(window_, item, TVIS_EXPANDED) & TVIS_EXPANDED)
      open.insert(IdOf(DataOf(window_, item)));
  }
  const LPARAM selected = SelectedData();
  ::SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
  TreeView_DeleteAllItems(window_);
  HTREEITEM select = nullptr;
  auto insert = [&](HTREEITEM parent, std::wstring text, LPARAM data) {
    TVINSERTSTRUCTW item{};
    item.hParent = parent;
    item.hInsertAfter = TVI_LAST;
    item.item.mask = TVIF_TEXT | TVIF_PARAM;
    item.item.pszText = text.data();
    item.item.lParam = data;
    const auto inserted = reinterpret_cast<HTREEITEM>(
        ::SendMessageW(window_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (data == selected) select = inserted;
    return inserted;
  };
  for (const channels::Satellite& satellite : list.satellites()) {
    const HTREEITEM parent = insert(
        TVI_ROOT, TreeText([&](int column) { return SatelliteCellText(list, satellite, column); }),
        ItemData(kSatelliteItem, satellite.id().value));
    for (int position : list.TransponderPositionsOf(satellite.id())) {
      const channels::Transponder& transponder = list.transponders()[static_cast<size_t>(position)];
      insert(parent,
             TreeText([&](int column) { return TransponderCellText(list, transponder, column); }),
             ItemData(kTransponderItem, transponder.id().value));
    }
    if (first || open.count(satellite.id().value) > 0) TreeView_Expand(window_, parent, TVE_EXPAND);
  }
  if (select != nullptr) TreeView_SelectItem(window_, select);
  ::SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(window_, nullptr, TRUE);
}

LPARAM SatelliteTree::SelectedData() const {
  const HTREEITEM item = TreeView_GetSelection(window_);
  return item != nullptr ? DataOf(window_, item) : 0;
}

std::vector<channels::SatelliteId> SatelliteTree::SelectedSatellites() const {
  const LPARAM data = SelectedData();
  if (KindOf(data) != kSatelliteItem) return {};
  return {channels::SatelliteId{IdOf(data)}};
}

std::vector<channels::TransponderId> SatelliteTree::SelectedTransponders() const {
  const LPARAM data = SelectedData();
  if (KindOf(data) != kTransponderItem) return {};
  return {channels::TransponderId{IdOf(data)}};
}

channels::SatelliteId SatelliteTree::CurrentSatellite() const {
  HTREEITEM item = TreeView_GetSelection(window_);
  if (item == nullptr) return {};
  if (const HTREEITEM parent = TreeView_GetParent(window_, item)) item = parent;
  return channels::SatelliteId{IdOf(DataOf(window_, item))};
}

}  // namespace tavlink::editor
