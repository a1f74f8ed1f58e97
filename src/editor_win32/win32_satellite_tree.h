#pragma once
// The satellites and their transponders on Win32: a tree view, one line
// per record with the Qt editor's tree columns ("11953 H  (27500,
// 2 services, FEC 3/4, ...)"), each item knowing its record's identity.
// One item is selected at a time (a tree view has no several).
//
// Threading: user-interface thread only.

#include <windows.h>

#include <vector>

#include "channels/channel_list.h"

namespace tavlink::editor {

class SatelliteTree {
 public:
  // Makes the tree view as a child `id` of `parent`.
  void Create(HWND parent, int id);
  HWND Window() const { return window_; }

  // Shows `list`, keeping which satellites are open and which record is
  // selected (every satellite open the first time). Selection changes on
  // the way are notified as usual.
  void Show(const channels::ChannelList& list);

  // The selected satellite or transponder (none, or one).
  std::vector<channels::SatelliteId> SelectedSatellites() const;
  std::vector<channels::TransponderId> SelectedTransponders() const;
  // The selected satellite, or the selected transponder's.
  channels::SatelliteId CurrentSatellite() const;

 private:
  // The selected item's kind and identity; 0 when none.
  LPARAM SelectedData() const;

  HWND window_ = nullptr;
};

}  // namespace tavlink::editor
