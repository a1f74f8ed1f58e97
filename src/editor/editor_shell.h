#pragma once
// The toolkit seam of the channel editor. The editor's logic (EditorLogic)
// reaches the technician, the file dialogs, the port dialog, the transfer
// window, the clipboard and the settings only through this interface; the
// Qt editor, the Win32 editor and the tests each implement it.
//
// Threading: every call is made on the user-interface thread and returns
// when the window it shows has been dismissed.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/link_shell.h"
#include "editor/record_forms.h"

namespace tavlink::editor {

class EditorDocument;

enum class SaveAnswer { kSave, kDiscard, kCancel };

// What the preview before a write shows: the comparison of what the
// receiver holds with what will be written.
struct WritePreview {
  std::string receiver;  // where the receiver's list comes from: "read from COM1 at 10:42"
  std::string summary;   // DiffSummary, or why there is no comparison
  std::string listing;   // DiffListing; empty when there are no differences
  bool verify = true;    // the "read back and compare after writing" check, as remembered
};
struct PreviewAnswer {
  bool write = false;  // Write, not Cancel
  bool verify = true;  // the check as the technician left it
};

// A text with a title to read (a comparison, the problems of a check, what
// a removal takes): shown with its summary line above a listing.
struct Report {
  std::string title;
  std::string summary;
  std::string listing;
};

class EditorShell {
 public:
  virtual ~EditorShell() = default;

  // A message box with OK (the exclamation icon).
  virtual void ShowMessage(std::string_view text) = 0;
  // A question; true for Yes (or OK). `okCancel` words it OK / Cancel.
  virtual bool Ask(std::string_view text, bool okCancel) = 0;
  // Save, Discard or Cancel; Esc and the close box answer Cancel.
  virtual SaveAnswer AskSaveChanges(std::string_view text) = 0;
  // The file-error box (stop icon, OK).
  virtual void ShowFileError(std::string_view text) = 0;

  // The open and the save form of the file dialog; the chosen path, or
  // nothing when cancelled. The save form asks before replacing a file.
  virtual std::optional<std::string> ChooseOpenFile(const FileChoice& choice) = 0;
  virtual std::optional<std::string> ChooseSaveFile(const FileChoice& choice) = 0;

  // A number from `low` to `high`, `value` at first; nothing when cancelled.
  virtual std::optional<int> AskNumber(std::string_view text, int value, int low, int high) = 0;
  // One of `items` (an index), `current` at first; nothing when cancelled.
  virtual std::optional<int> AskChoice(std::string_view text, const std::vector<std::string>& items,
                                       int current) = 0;
  // The record form, filled as `form` holds it (with its message when the
  // last texts were refused): the texts in its fields' order after OK,
  // nothing after Cancel.
  virtual std::optional<std::vector<std::string>> EditRecord(const RecordForm& form) = 0;

  // The preview of a write; its answer.
  virtual PreviewAnswer ShowPreview(const WritePreview& preview) = 0;
  // A report to read, with Close.
  virtual void ShowReport(const Report& report) = 0;

  // The desktop tool's port dialog, its serial device list and its
  // transfer window (link_shell.h).
  virtual std::optional<PortChoice> RunPortDialog(const PortDialogOffer& offer) = 0;
  virtual std::vector<SerialDeviceInfo> SerialDevices() = 0;
  virtual TransferOutcome RunTransfer(const TransferRequest& request, const ComDevice& device) = 0;

  // Opens `document` in a new editor window of its own.
  virtual void OpenWindow(std::unique_ptr<EditorDocument> document) = 0;

  // The system clipboard's text, shared with every other window.
  virtual void SetClipboardText(const std::string& text) = 0;
  virtual std::string ClipboardText() = 0;

  // The window's document was replaced or changed its state (tables or
  // text to mend): views are rebuilt from the logic.
  virtual void DocumentReplaced() = 0;

  // The persistent settings (port, devices, recent files, verify).
  virtual SettingStore& Settings() = 0;
};

}  // namespace tavlink::editor
