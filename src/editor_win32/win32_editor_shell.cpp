// EditorShell on Win32.
#include "editor_win32/win32_editor_shell.h"

#include <cstring>

#include "editor/editor_document.h"
#include "editor_win32/win32_editor_dialogs.h"
#include "editor_win32/win32_list_text.h"
#include "win32_widgets/win32_file_dialog.h"
#include "win32_widgets/win32_message_box.h"
#include "win32_widgets/win32_port_dialog.h"
#include "win32_widgets/win32_text.h"
#include "win32_widgets/win32_transfer_window.h"

namespace tavlink::editor {
namespace {

// The clipboard, opened for the length of a scope; another program may
// hold it for a moment, so opening is tried a few times.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) {
    for (int attempt = 0; attempt < 10 && !open_; ++attempt) {
      open_ = ::OpenClipboard(owner) != 0;
      if (!open_) ::Sleep(20);
    }
  }
  ~OpenedClipboard() {
    if (open_) ::CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  bool open() const { return open_; }

 private:
  bool open_ = false;
};

// An application box as the desktop tool shows it (its caption the
// executable's name, the exclamation icon), with the list's names in it
// as the list holds them.
int ListBox(HWND owner, std::string_view text, UINT type) {
  const std::wstring body = ListWide(text);
  const std::wstring caption = app::Widen(app::ApplicationCaption());
  return ::MessageBoxW(owner, body.c_str(), caption.c_str(), type | MB_ICONEXCLAMATION);
}

}  // namespace

Win32EditorShell::Win32EditorShell(std::shared_ptr<SettingStore> store,
                                   app::DeviceLister listDevices, Hooks hooks)
    : store_(std::move(store)), listDevices_(std::move(listDevices)), hooks_(std::move(hooks)) {}

void Win32EditorShell::ShowMessage(std::string_view text) {
  ListBox(owner_, text, MB_OK);
}

bool Win32EditorShell::Ask(std::string_view text, bool okCancel) {
  // The default button is OK, or No: a Yes/No question asks before
  // something is deleted or dropped.
  const int answer =
      ListBox(owner_, text, okCancel ? MB_OKCANCEL | MB_DEFBUTTON1 : MB_YESNO | MB_DEFBUTTON2);
  return answer == IDOK || answer == IDYES;
}

SaveAnswer Win32EditorShell::AskSaveChanges(std::string_view text) {
  // Yes saves, No discards; Esc and the close box answer Cancel. Save is
  // the default button. The question names the file, in the process's
  // code page as file names are.
  const std::wstring body = app::Widen(std::string(text));
  const std::wstring caption = app::Widen(app::ApplicationCaption());
  switch (::MessageBoxW(owner_, body.c_str(), caption.c_str(),
                        MB_YESNOCANCEL | MB_DEFBUTTON1 | MB_ICONEXCLAMATION)) {
    case IDYES:
      return SaveAnswer::kSave;
    case IDNO:
      return SaveAnswer::kDiscard;
    default:
      return SaveAnswer::kCancel;
  }
}

void Win32EditorShell::ShowFileError(std::string_view text) {
  app::ShowStopBox(owner_, text);
}

std::optional<std::string> Win32EditorShell::ChooseOpenFile(const FileChoice& choice) {
  return app::RunFileDialog(owner_, choice, app::FileDialogForm::kOpenExisting);
}

std::optional<std::string> Win32EditorShell::ChooseSaveFile(const FileChoice& choice) {
  return app::RunFileDialog(owner_, choice, app::FileDialogForm::kSave);
}

std::optional<int> Win32EditorShell::AskNumber(std::string_view text, int value, int low,
                                               int high) {
  return RunNumberDialog(owner_, text, value, low, high);
}

std::optional<int> Win32EditorShell::AskChoice(std::string_view text,
                                               const std::vector<std::string>& items, int current) {
  return RunChoiceDialog(owner_, text, items, current);
}

std::optional<std::vector<std::string>> Win32EditorShell::EditRecord(const RecordForm& form) {
  return RunRecordDialog(owner_, form);
}

PreviewAnswer Win32EditorShell::ShowPreview(const WritePreview& preview) {
  return RunPreviewDialog(owner_, preview);
}

void Win32EditorShell::ShowReport(const Report& report) {
  RunReportDialog(owner_, report);
}

std::optional<PortChoice> Win32EditorShell::RunPortDialog(const PortDialogOffer& offer) {
  return app::RunPortDialog(owner_, offer);
}

TransferOutcome Win32EditorShell::RunTransfer(const TransferRequest& request,
                                              const ComDevice& device) {
  app::Win32TransferWindow window(owner_);
  return RunTransferOn(window, window, request, device);
}

void Win32EditorShell::OpenWindow(std::unique_ptr<EditorDocument> document) {
  if (hooks_.openWindow) hooks_.openWindow(std::move(document));
}

void Win32EditorShell::SetClipboardText(const std::string& text) {
  const std::wstring wide = ListWide(text);
  OpenedClipboard clipboard(owner_);
  if (!clipboard.open()) return;
  ::EmptyClipboard();
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory == nullptr) return;
  if (void* target = ::GlobalLock(memory)) {
    std::memcpy(target, wide.c_str(), bytes);
    ::GlobalUnlock(memory);
    // The clipboard owns the memory once it has taken it.
    if (::SetClipboardData(CF_UNICODETEXT, memory) != nullptr) return;
  }
  ::GlobalFree(memory);
}

std::string Win32EditorShell::ClipboardText() {
  OpenedClipboard clipboard(owner_);
  if (!clipboard.open()) return {};
  HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
  if (data == nullptr) return {};
  const auto* text = static_cast<const wchar_t*>(::GlobalLock(data));
  if (text == nullptr) return {};
  std::string bytes = ListBytes(text);
  ::GlobalUnlock(data);
  return bytes;
}

void Win32EditorShell::DocumentReplaced() {
  if (hooks_.documentReplaced) hooks_.documentReplaced();
}

}  // namespace tavlink::editor
