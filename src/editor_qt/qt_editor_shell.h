#pragma once
// The Qt implementation of EditorShell for one editor window: message
// boxes, file dialogs, the editor's own dialogs, and the desktop tool's
// port dialog and transfer window (src/qt_widgets), all over the window.
//
// Threading: user-interface thread only.

#include <functional>
#include <memory>

#include "qt_widgets/qt_error_reporter.h"
#include "editor/editor_shell.h"

class QWidget;

namespace tavlink::editor {

class QtEditorShell final : public EditorShell {
 public:
  struct Hooks {
    std::function<void()> documentReplaced;
    std::function<void(std::unique_ptr<EditorDocument>)> openWindow;
  };
  // `owner` (the window) must outlive the shell; `store` is shared by every
  // window of the program.
  QtEditorShell(QWidget* owner, std::shared_ptr<SettingStore> store, app::DeviceLister listDevices,
                Hooks hooks);

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
  QWidget* owner_;
  std::shared_ptr<SettingStore> store_;
  app::DeviceLister listDevices_;
  Hooks hooks_;
  app::QtErrorReporter errors_;
};

}  // namespace tavlink::editor
