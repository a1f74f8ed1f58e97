// The channel editor's menus and keys.
#include "editor_win32/win32_editor_commands.h"

#include <string>
#include <vector>

#include "editor_win32/editor_ids.h"

namespace tavlink::editor {
namespace {

struct Entry {
  enum Kind { kItem, kSeparator, kPopup, kEnd } kind = kItem;
  int id = 0;
  const wchar_t* text = L"";
  BYTE modifiers = 0;  // FCONTROL, FSHIFT
  WORD key = 0;        // a virtual key; 0: none
  const wchar_t* keyName = L"";
};

constexpr BYTE kCtrl = FCONTROL;
constexpr BYTE kCtrlShift = FCONTROL | FSHIFT;

const std::vector<Entry>& Entries() {
  static const std::vector<Entry> entries = {
      {Entry::kPopup, 0, L"&File"},
      {Entry::kItem, IDM_NEW, L"&New", kCtrl, 'N', L"Ctrl+N"},
      {Entry::kItem, IDM_OPEN, L"&Open...", kCtrl, 'O', L"Ctrl+O"},
      {Entry::kPopup, -1, L"Open &Recent"},
      {Entry::kEnd},
      {Entry::kItem, IDM_SAVE, L"&Save", kCtrl, 'S', L"Ctrl+S"},
      {Entry::kItem, IDM_SAVE_AS, L"Save &As...", kCtrlShift, 'S', L"Ctrl+Shift+S"},
      {Entry::kItem, IDM_EXPORT_BLOCK, L"&Export Block Image..."},
      {Entry::kItem, IDM_COMPARE, L"&Compare With..."},
      {Entry::kSeparator},
      {Entry::kItem, IDM_READ_RECEIVER, L"Read from &Receiver...", kCtrl, 'R', L"Ctrl+R"},
      {Entry::kItem, IDM_WRITE_RECEIVER, L"&Write to Receiver...", kCtrl, 'W', L"Ctrl+W"},
      {Entry::kItem, IDM_PORTS, L"&Port Settings..."},
      {Entry::kSeparator},
      {Entry::kItem, IDM_QUIT, L"&Quit", kCtrl, 'Q', L"Ctrl+Q"},
      {Entry::kEnd},
      {Entry::kPopup, 0, L"&Edit"},
      {Entry::kItem, IDM_UNDO, L"&Undo", kCtrl, 'Z', L"Ctrl+Z"},
      {Entry::kItem, IDM_REDO, L"&Redo", kCtrl, 'Y', L"Ctrl+Y"},
      {Entry::kSeparator},
      {Entry::kItem, IDM_CUT, L"Cu&t", kCtrl, 'X', L"Ctrl+X"},
      {Entry::kItem, IDM_COPY, L"&Copy", kCtrl, 'C', L"Ctrl+C"},
      {Entry::kItem, IDM_PASTE, L"&Paste", kCtrl, 'V', L"Ctrl+V"},
      {Entry::kItem, IDM_DELETE, L"&Delete", 0, VK_DELETE, L"Del"},
      {Entry::kItem, IDM_RENAME, L"Re&name / Change...", 0, VK_F2, L"F2"},
      {Entry::kSeparator},
      {Entry::kItem, IDM_FILTER, L"&Filter", kCtrl, 'F', L"Ctrl+F"},
      {Entry::kEnd},
      {Entry::kPopup, 0, L"&Services"},
      {Entry::kItem, IDM_MOVE_UP, L"Move &Up", kCtrl, VK_UP, L"Ctrl+Up"},
      {Entry::kItem, IDM_MOVE_DOWN, L"Move &Down", kCtrl, VK_DOWN, L"Ctrl+Down"},
      {Entry::kItem, IDM_MOVE_TOP, L"Move to &Top", kCtrl, VK_HOME, L"Ctrl+Home"},
      {Entry::kItem, IDM_MOVE_BOTTOM, L"Move to &Bottom", kCtrl, VK_END, L"Ctrl+End"},
      {Entry::kItem, IDM_MOVE_POSITION, L"Move To &Position...", kCtrl, 'G', L"Ctrl+G"},
      {Entry::kPopup, 0, L"&Sort By"},
      {Entry::kItem, IDM_SORT_NAME, L"&Name"},
      {Entry::kItem, IDM_SORT_ID, L"Service &ID"},
      {Entry::kItem, IDM_SORT_SATELLITE, L"&Satellite and Frequency"},
      {Entry::kItem, IDM_SORT_TV, L"&TV before Radio"},
      {Entry::kEnd},
      {Entry::kItem, IDM_APPLY_ORDER, L"Apply &Order From..."},
      {Entry::kSeparator},
      {Entry::kItem, IDM_FAVOURITE, L"&Favourite", 0, VK_SPACE, L"Space"},
      {Entry::kItem, IDM_LOCK, L"&Lock", kCtrl, 'L', L"Ctrl+L"},
      {Entry::kItem, IDM_SCRAMBLED, L"S&crambled", kCtrl, 'K', L"Ctrl+K"},
      {Entry::kSeparator},
      {Entry::kPopup, 0, L"&Remove Duplicates"},
      {Entry::kItem, IDM_DUPLICATES_SERVICE, L"Same Service on a &Transponder"},
      {Entry::kItem, IDM_DUPLICATES_NAME, L"Same &Name"},
      {Entry::kEnd},
      {Entry::kEnd},
      {Entry::kPopup, 0, L"S&atellites"},
      {Entry::kItem, IDM_ADD_SATELLITE, L"Add &Satellite...", kCtrlShift, 'A', L"Ctrl+Shift+A"},
      {Entry::kItem, IDM_ADD_TRANSPONDER, L"Add &Transponder...", kCtrlShift, 'T', L"Ctrl+Shift+T"},
      {Entry::kItem, IDM_CHANGE, L"&Change...", kCtrl, 'E', L"Ctrl+E"},
      {Entry::kItem, IDM_MOVE_TO_SATELLITE, L"&Move Transponders To Satellite...", kCtrl, 'M',
       L"Ctrl+M"},
      {Entry::kEnd},
  };
  return entries;
}

}  // namespace

HMENU BuildEditorMenu(HMENU* recent) {
  std::vector<HMENU> open{::CreateMenu()};
  std::vector<std::wstring> titles;
  std::vector<bool> recentPopup;
  for (const Entry& entry : Entries()) {
    switch (entry.kind) {
      case Entry::kPopup:
        open.push_back(::CreatePopupMenu());
        titles.emplace_back(entry.text);
        recentPopup.push_back(entry.id == -1);
        break;
      case Entry::kEnd: {
        const HMENU popup = open.back();
        open.pop_back();
        ::AppendMenuW(open.back(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                      titles.back().c_str());
        if (recentPopup.back() && recent != nullptr) *recent = popup;
        titles.pop_back();
        recentPopup.pop_back();
        break;
      }
      case Entry::kSeparator:
        ::AppendMenuW(open.back(), MF_SEPARATOR, 0, nullptr);
        break;
      case Entry::kItem: {
        std::wstring text = entry.text;
        if (entry.key != 0) text += std::wstring(L"\t") + entry.keyName;
        ::AppendMenuW(open.back(), MF_STRING, static_cast<UINT_PTR>(entry.id), text.c_str());
        break;
      }
    }
  }
  return open.front();
}

OwnedAccelerators BuildEditorAccelerators() {
  std::vector<ACCEL> keys;
  for (const Entry& entry : Entries()) {
    if (entry.kind == Entry::kItem && entry.key != 0) {
      keys.push_back(
          {static_cast<BYTE>(FVIRTKEY | entry.modifiers), entry.key, static_cast<WORD>(entry.id)});
    }
  }
  return OwnedAccelerators(::CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size())));
}

bool NeedsTables(int id) {
  switch (id) {
    case IDM_NEW:
    case IDM_OPEN:
    case IDM_READ_RECEIVER:
    case IDM_PORTS:
    case IDM_QUIT:
    case IDM_UNDO:
    case IDM_REDO:
      return false;
    default:
      return id > IDM_NEW && id < IDM_RECENT_FIRST;
  }
}

bool FocusKeepsKey(const MSG& message) {
  if (message.message != WM_KEYDOWN && message.message != WM_CHAR) return false;
  char name[16] = {};
  const HWND focus = ::GetFocus();
  if (focus == nullptr || ::GetClassNameA(focus, name, sizeof name) == 0) return false;
  if (lstrcmpiA(name, "Button") == 0) return message.wParam == VK_SPACE;
  if (lstrcmpiA(name, "Edit") != 0) return false;
  const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
  const WPARAM key = message.wParam;
  if (!ctrl) return key != VK_F2;  // every plain key but F2 types or moves
  switch (key) {
    case 'X':
    case 'C':
    case 'V':
    case 'Z':
    case 'Y':
    case 'A':
    case VK_HOME:
    case VK_END:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_DELETE:
    case VK_BACK:
      return true;
    default:
      return false;
  }
}

}  // namespace tavlink::editor
