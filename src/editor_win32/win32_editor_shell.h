#pragma once
// The Win32 implementation of EditorShell for one editor window: the
// desktop tool's message boxes (the executable's name as caption), the
// common file dialog, the editor's own dialogs, the shared port dialog and
// transfer window, and the system clipboard, all owned by the window.
//
// Threading: user-interface thread only (the transfer's worker reaches the
// window through Win32TransferWindow).

#include <windows.h>

#include <functional>
#include <memory>

#include "editor/editor_shell.h"

namespace tavlink::editor {

class Win32EditorShell final : public EditorShell {
 public:
  struct Hooks {
    std::function<void()> documentReplaced;
    std::function<void(std::unique_ptr<EditorDocument>)> openWindow;
  };
  // `store` is shared by every window of the program; `listDevices` is
  // asked each time the port dialog opens.
  Win32EditorShell(std::shared_ptr<SettingStore> store, app::DeviceLister listDevices, Hooks hooks);

  // The window, owner of every box and dialog once it exists.
  void SetOwner(HWND owner) { owner_ = owner; }

  void ShowMessage(std::string_view text) override;
  bool Ask(std::string_view text, bool okCancel) override;
  SaveAnswer AskSaveChanges(std::string_view text) override;
  void ShowFileError(std::string_view text) override;
  std::optional<std::string> ChooseOpenFile(const FileChoice& choice) override;
  std::optional<std::string> ChooseSaveFile(const FileChoice& choice) override;
  std::optional<int> AskNumber(std::string_view text, int value, int low, int high) override;
  std::optional<int> AskChoice(std::string_view text, const std::vector<std::string>& items,
                               int current) override;
  std::optional<std::vector<std::string>> EditRecord(const RecordForm& form) override;
  PreviewAnswer ShowPreview(const WritePreview& preview) override;
  void ShowReport(const Report& report) override;
  std::optional<PortChoice> RunPortDialog(const PortDialogOffer& offer) override;
  std::vector<SerialDeviceInfo> SerialDevices() override { return listDevices_(); }
  TransferOutcome RunTransfer(const TransferRequest& request, const ComDevice& device) override;
  void OpenWindow(std::unique_ptr<EditorDocument> document) override;
  void SetClipboardText(const std::string& text) override;
  std::string ClipboardText() override;
  void DocumentReplaced() override;
  SettingStore& Settings() override { return *store_; }

 private:
  HWND owner_ = nullptr;
  std::shared_ptr<SettingStore> store_;
  app::DeviceLister listDevices_;
  Hooks hooks_;
};

}  // namespace tavlink::editor
