#pragma once
// An EditorShell without widgets for the editor's logic tests: every
// question, dialog and transfer is answered from a script and recorded.
// Unscripted questions answer No (Cancel), unscripted dialogs are
// cancelled, an unscripted preview is cancelled, and an unscripted
// transfer fails.

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/scripted_shell.h"
#include "editor/editor_document.h"
#include "editor/editor_shell.h"

namespace tavlink::testing {

// The editor's settings kept in memory, beside the port and devices.
class EditorMemoryStore final : public SettingStore {
 public:
  std::optional<int32_t> ReadPort() override { return port; }
  bool WritePort(int32_t value) override {
    port = value;
    return true;
  }
  std::optional<std::string> ReadDevice(int) override { return std::nullopt; }
  bool WriteDevice(int, const std::string&) override { return true; }
  std::vector<std::string> ReadRecentFiles() override { return recent; }
  bool WriteRecentFiles(const std::vector<std::string>& paths) override {
    recent = paths;
    return true;
  }
  std::optional<bool> ReadVerifyAfterWrite() override { return verify; }
  bool WriteVerifyAfterWrite(bool value) override {
    verify = value;
    return true;
  }

  std::optional<int32_t> port = 1;
  std::vector<std::string> recent;
  std::optional<bool> verify;
};

class ScriptedEditorShell final : public editor::EditorShell {
 public:
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  bool Ask(std::string_view text, bool) override {
    questions.emplace_back(text);
    return Next(answers, false);
  }
  editor::SaveAnswer AskSaveChanges(std::string_view text) override {
    saveQuestions.emplace_back(text);
    return Next(saveAnswers, editor::SaveAnswer::kCancel);
  }
  void ShowFileError(std::string_view text) override { fileErrors.emplace_back(text); }
  std::optional<std::string> ChooseOpenFile(const FileChoice&) override {
    return Next(openFiles, std::optional<std::string>{});
  }
  std::optional<std::string> ChooseSaveFile(const FileChoice&) override {
    return Next(saveFiles, std::optional<std::string>{});
  }
  std::optional<int> AskNumber(std::string_view, int, int low, int high) override {
    numberRanges.push_back({low, high});
    return Next(numbers, std::optional<int>{});
  }
  std::optional<int> AskChoice(std::string_view, const std::vector<std::string>& items,
                               int) override {
    choiceItems.push_back(items);
    return Next(choices, std::optional<int>{});
  }
  std::optional<std::vector<std::string>> EditRecord(const editor::RecordForm& form) override {
    forms.push_back(form);
    return Next(formTexts, std::optional<std::vector<std::string>>{});
  }
  editor::PreviewAnswer ShowPreview(const editor::WritePreview& preview) override {
    previews.push_back(preview);
    return Next(previewAnswers, editor::PreviewAnswer{false, preview.verify});
  }
  void ShowReport(const editor::Report& report) override { reports.push_back(report); }
  std::optional<PortChoice> RunPortDialog(const PortDialogOffer&) override {
    ++portDialogs;
    return Next(portAnswers, std::optional<PortChoice>{});
  }
  std::vector<SerialDeviceInfo> SerialDevices() override { return {}; }
  TransferOutcome RunTransfer(const TransferRequest& request, const ComDevice&) override {
    operations.push_back(request.operation);
    ports.push_back(request.portNumber);
    if (!transfer) return TransferOutcome::kFailed;
    return transfer(request);
  }
  void OpenWindow(std::unique_ptr<editor::EditorDocument> document) override {
    windows.push_back(std::move(document));
  }
  void SetClipboardText(const std::string& text) override { clipboard = text; }
  std::string ClipboardText() override { return clipboard; }
  void DocumentReplaced() override { ++replaced; }
  SettingStore& Settings() override { return store; }

  // Script.
  std::deque<bool> answers;
  std::deque<editor::SaveAnswer> saveAnswers;
  std::deque<std::optional<std::string>> openFiles;
  std::deque<std::optional<std::string>> saveFiles;
  std::deque<std::optional<int>> numbers;
  std::deque<std::optional<int>> choices;
  std::deque<std::optional<std::vector<std::string>>> formTexts;
  std::deque<editor::PreviewAnswer> previewAnswers;
  std::deque<std::optional<PortChoice>> portAnswers;
  std::function<TransferOutcome(const TransferRequest&)> transfer;
  std::string clipboard;
  EditorMemoryStore store;

  // Record.
  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::vector<std::string> saveQuestions;
  std::vector<std::string> fileErrors;
  std::vector<std::pair<int, int>> numberRanges;
  std::vector<std::vector<std::string>> choiceItems;
  std::vector<editor::RecordForm> forms;
  std::vector<editor::WritePreview> previews;
  std::vector<editor::Report> reports;
  std::vector<int> operations;  // each transfer's operation code
  std::vector<int> ports;
  std::vector<std::unique_ptr<editor::EditorDocument>> windows;
  int portDialogs = 0;
  int replaced = 0;

 private:
  template <typename T>
  static T Next(std::deque<T>& queue, T fallback) {
    if (queue.empty()) return fallback;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
  }
};

}  // namespace tavlink::testing
