// The editor's File menu, the mending of a refused text, and the history.
#include "editor/editor_logic.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "app/main_logic.h"
#include "channels/data_text_load.h"
#include "channels/diff_format.h"
#include "channels/list_check.h"
#include "editor/editor_texts.h"
#include "editor/path_names.h"
#include "files/input_file.h"
#include "files/save_target.h"
#include "operations/factory_verification.h"
#include "operations/operation_texts.h"
#include "operations/receiver_operations.h"

namespace tavlink::editor {

using channels::ChannelList;
using channels::EditResult;

FileChoice ListFileChoice() {
  return {"",
          {{"Channel lists (*.txt *.bin)", "*.txt;*.bin"},
           {"Factory data files (*.txt)", "*.txt"},
           {"Block images (*.bin)", "*.bin"},
           {"All files (*.*)", "*.*"}}};
}

FileChoice DataTextSaveChoice() {
  return {"factory_data.txt",
          {{"Factory data files (*.txt)", "*.txt"}, {"All files (*.*)", "*.*"}}};
}

FileChoice BlockImageChoice() {
  return {"factory_data.bin", {{"Block images (*.bin)", "*.bin"}, {"All files (*.*)", "*.*"}}};
}

namespace {

// The desktop tool's port choice (MainLogic::ChoosePort) on the editor's
// shell: the same dialog, the same stored settings.
class PortShell final : public LinkShell {
 public:
  explicit PortShell(EditorShell& shell) : shell_(shell) {}
  BoxAnswer ShowAppMessage(std::string_view text, BoxButtons) override {
    shell_.ShowMessage(text);
    return BoxAnswer::kOk;
  }
  void ShowFileError(std::string_view text) override { shell_.ShowFileError(text); }
  std::optional<std::string> ChooseFile(const FileChoice& choice) override {
    return shell_.ChooseOpenFile(choice);
  }
  std::optional<PortChoice> RunPortDialog(const PortDialogOffer& offer) override {
    return shell_.RunPortDialog(offer);
  }
  std::vector<SerialDeviceInfo> SerialDevices() override { return shell_.SerialDevices(); }
  TransferOutcome RunTransfer(const TransferRequest& request, const ComDevice& device) override {
    return shell_.RunTransfer(request, device);
  }
  void ShowAbout() override {}
  SettingStore& Settings() override { return shell_.Settings(); }

 private:
  EditorShell& shell_;
};

std::string ReadFileText(const std::string& path, int* error) {
  std::optional<InputFile> file = OpenInputFile(path, error);
  if (!file) return {};
  std::string bytes;
  bytes.resize(static_cast<size_t>(file->length));
  const size_t read = std::fread(bytes.data(), 1, bytes.size(), file->stream.get());
  if (read != bytes.size() || std::ferror(file->stream.get())) {
    *error = EIO;
    return {};
  }
  *error = 0;
  return bytes;
}

}  // namespace

EditorLogic::EditorLogic(EditorShell& shell) : EditorLogic(shell, EditorDocument::Untitled()) {}

EditorLogic::EditorLogic(EditorShell& shell, std::unique_ptr<EditorDocument> document)
    : shell_(shell) {
  port_ = shell_.Settings().ReadPort().value_or(0);
  Replace(std::move(document), false);
}

EditorLogic::~EditorLogic() = default;

const ChannelList* EditorLogic::list() const {
  return document_->editor() != nullptr ? &document_->editor()->list() : nullptr;
}

channels::ChannelEditor* EditorLogic::Editor() {
  return document_->editor();
}

std::string EditorLogic::Title() const {
  return WindowTitle(document_->DisplayName(), document_->IsModified());
}

std::string EditorLogic::Status(int shownServices) const {
  if (document_->repairing()) {
    const TextRepair& repair = document_->repair();
    return repair.reads()
               ? "The text reads: go on into the tables."
               : "Line " + std::to_string(repair.line) + " is refused: mend it to go on.";
  }
  return CountsText(*list(), shownServices);
}

void EditorLogic::SetChangeObserver(std::function<void(const channels::ListChange&)> observer) {
  observer_ = std::move(observer);
}

void EditorLogic::OnChange(const channels::ListChange& change) {
  switch (change.cause) {
    case channels::ListChange::Cause::kEdit:
      undoSteps_.push_back(change.description);
      redoSteps_.clear();
      break;
    case channels::ListChange::Cause::kUndo:
      if (!undoSteps_.empty()) {
        redoSteps_.push_back(std::move(undoSteps_.back()));
        undoSteps_.pop_back();
      }
      break;
    case channels::ListChange::Cause::kRedo:
      if (!redoSteps_.empty()) {
        undoSteps_.push_back(std::move(redoSteps_.back()));
        redoSteps_.pop_back();
      }
      break;
  }
  // The history drops its oldest steps beyond its budget.
  const channels::ChannelEditor& editor = *document_->editor();
  if (undoSteps_.size() > editor.UndoDepth()) {
    undoSteps_.erase(
        undoSteps_.begin(),
        undoSteps_.begin() + static_cast<std::ptrdiff_t>(undoSteps_.size() - editor.UndoDepth()));
  }
  if (observer_) observer_(change);
}

void EditorLogic::Replace(std::unique_ptr<EditorDocument> document, bool tell) {
  document_ = std::move(document);
  undoSteps_.clear();
  redoSteps_.clear();
  observer_ = nullptr;
  if (document_->editor() != nullptr) {
    document_->editor()->SetChangeListener(
        [this](const channels::ListChange& change) { OnChange(change); });
  }
  if (tell) shell_.DocumentReplaced();
}

// --- File ------------------------------------------------------------------

bool EditorLogic::ConfirmDiscard() {
  if (!document_->IsModified()) return true;
  switch (shell_.AskSaveChanges(SaveChangesQuestion(document_->DisplayName()))) {
    case SaveAnswer::kSave:
      return Save();
    case SaveAnswer::kDiscard:
      return true;
    case SaveAnswer::kCancel:
      return false;
  }
  return false;
}

bool EditorLogic::CanClose() {
  return ConfirmDiscard();
}

void EditorLogic::New() {
  if (ConfirmDiscard()) Replace(EditorDocument::Untitled());
}

void EditorLogic::Open() {
  if (!ConfirmDiscard()) return;
  if (const auto path = shell_.ChooseOpenFile(ListFileChoice())) OpenPath(*path);
}

bool EditorLogic::OpenPath(const std::string& path) {
  int error = 0;
  std::string bytes = ReadFileText(path, &error);
  if (error != 0) {
    shell_.ShowFileError(FileErrorText("reading", path, error));
    return false;
  }
  const std::string absolute = AbsolutePath(path);
  Replace(EditorDocument::FromFile(absolute, std::move(bytes)));
  AddRecent(absolute);
  return true;
}

void EditorLogic::OpenRecent(const std::string& path) {
  if (!ConfirmDiscard()) return;
  if (OpenPath(path)) return;
  // A file that is gone leaves the list.
  std::vector<std::string> recent = RecentFiles();
  std::erase(recent, path);
  shell_.Settings().WriteRecentFiles(recent);
}

std::vector<std::string> EditorLogic::RecentFiles() const {
  return shell_.Settings().ReadRecentFiles();
}

void EditorLogic::AddRecent(const std::string& path) {
  std::vector<std::string> recent = RecentFiles();
  std::erase(recent, path);
  recent.insert(recent.begin(), path);
  if (recent.size() > kRecentFileCount) recent.resize(kRecentFileCount);
  shell_.Settings().WriteRecentFiles(recent);
}

bool EditorLogic::Save() {
  switch (document_->kind()) {
    case DocumentKind::kDataText:
    case DocumentKind::kBlockImage:
      return SaveTo(document_->path(), document_->kind(), true);
    case DocumentKind::kUntitled:
    case DocumentKind::kReceiver:
      return SaveAs();
  }
  return false;
}

bool EditorLogic::SaveAs() {
  const auto path = shell_.ChooseSaveFile(DataTextSaveChoice());
  return path && SaveTo(*path, DocumentKind::kDataText, true);
}

void EditorLogic::ExportBlockImage() {
  if (const auto path = shell_.ChooseSaveFile(BlockImageChoice())) {
    SaveTo(*path, DocumentKind::kBlockImage, false);
  }
}

bool EditorLogic::SaveTo(const std::string& path, DocumentKind kind, bool becomesDocument) {
  std::string problem;
  const std::optional<std::string> bytes = document_->BytesFor(kind, &problem);
  if (!bytes) {
    shell_.ShowMessage(problem);
    return false;
  }
  int error = 0;
  std::unique_ptr<SaveTarget> target = SaveTarget::Prepare(path, "", {}, &error);
  if (!target) {
    shell_.ShowFileError(FileErrorText("writing", path, error));
    return false;
  }
  if (std::fwrite(bytes->data(), 1, bytes->size(), target->stream()) != bytes->size() ||
      std::fflush(target->stream()) != 0) {
    shell_.ShowFileError(FileErrorText("writing", path, errno));
    return false;
  }
  if (!target->Commit(&error)) {
    shell_.ShowFileError(FileErrorText("writing", path, error));
    return false;
  }
  if (becomesDocument) {
    document_->SavedAs(AbsolutePath(path), kind);
    AddRecent(document_->path());
  }
  return true;
}

std::optional<ChannelList> EditorLogic::LoadOtherList(const std::string& path) {
  int error = 0;
  std::string bytes = ReadFileText(path, &error);
  if (error != 0) {
    shell_.ShowFileError(FileErrorText("reading", path, error));
    return std::nullopt;
  }
  std::unique_ptr<EditorDocument> other = EditorDocument::FromFile(path, std::move(bytes));
  if (other->repairing()) {
    shell_.ShowMessage(other->DisplayName() + " cannot be read: line " +
                       std::to_string(other->repair().line) + ": " + other->repair().message);
    return std::nullopt;
  }
  return other->editor()->list();
}

void EditorLogic::CompareWith() {
  if (list() == nullptr) return;
  const auto path = shell_.ChooseOpenFile(ListFileChoice());
  if (!path) return;
  const std::optional<ChannelList> other = LoadOtherList(*path);
  if (!other) return;
  const channels::ListDiff diff = channels::CompareLists(*other, *list());
  shell_.ShowReport({"Compare " + FileNameOf(*path) + " with " +
                         document_->DisplayName(),
                     channels::DiffSummary(diff), channels::DiffListing(diff)});
}

void EditorLogic::PortSettings() {
  ReceiverDataBlock unused;
  PortShell shell(shell_);
  MainLogic ports(shell, unused);
  ports.selectedPort = shell_.Settings().ReadPort().value_or(port_);
  ports.ChoosePort();
  port_ = ports.selectedPort;
}

int EditorLogic::Port() {
  if (port_ == 0) port_ = shell_.Settings().ReadPort().value_or(0);
  if (port_ == 0) PortSettings();
  return port_;
}

std::string EditorLogic::PortName() const {
  return "COM" + std::to_string(port_);
}

std::unique_ptr<ReceiverDataBlock> EditorLogic::ReadBlock() {
  if (Port() == 0) return nullptr;
  if (!ConfirmReceiverOff(*this)) return nullptr;
  auto block = std::make_unique<ReceiverDataBlock>();
  if (ReceiveUserData(*this, *block) != TransferOutcome::kSucceeded) return nullptr;
  if (!block->IsValid()) {
    shell_.ShowMessage(kFactoryDataNotValid);
    return nullptr;
  }
  return block;
}

void EditorLogic::ReadFromReceiver() {
  std::unique_ptr<ReceiverDataBlock> block = ReadBlock();
  if (!block) return;
  std::unique_ptr<EditorDocument> read = EditorDocument::FromReceiver(*block, PortName());
  if (document_->IsModified()) {
    shell_.OpenWindow(std::move(read));
  } else {
    Replace(std::move(read));
  }
}

void EditorLogic::WriteToReceiver() {
  if (list() == nullptr) {
    shell_.ShowMessage("Mend the text and go on into the tables before writing the list.");
    return;
  }
  const std::vector<channels::Problem> problems = channels::CheckList(*list());
  if (!problems.empty()) {
    std::string lines;
    for (const channels::Problem& problem : problems) lines += problem.text + "\n";
    shell_.ShowReport({"The list is not written",
                       "The receiver would not take this list as it is: " +
                           Grouped(static_cast<long long>(problems.size())) +
                           (problems.size() == 1 ? " problem." : " problems."),
                       lines});
    return;
  }
  if (Port() == 0) return;
  if (!document_->receiverList() &&
      shell_.Ask("No list has been read from the receiver in this window.\n\nRead it now, to "
                 "see what the write will change?",
                 false)) {
    std::unique_ptr<ReceiverDataBlock> block = ReadBlock();
    if (!block) return;
    document_->SetReceiverList(ChannelList::FromBlock(*block), "read from " + PortName());
  }
  WritePreview preview;
  preview.verify = shell_.Settings().ReadVerifyAfterWrite().value_or(true);
  if (const auto& held = document_->receiverList()) {
    const channels::ListDiff diff = channels::CompareLists(*held, *list());
    preview.receiver =
        "The receiver's list, " + document_->receiverSource() + ", against this list";
    preview.summary = channels::DiffSummary(diff);
    preview.listing = channels::DiffListing(diff);
  } else {
    preview.receiver = "The receiver's list was not read";
    preview.summary = "The whole list is written: " + CountsText(*list(), -1);
  }
  const PreviewAnswer answer = shell_.ShowPreview(preview);
  if (answer.verify != preview.verify) shell_.Settings().WriteVerifyAfterWrite(answer.verify);
  if (!answer.write) return;

  const std::unique_ptr<ReceiverDataBlock> block = list()->ToBlock();
  if (WriteFactoryData(*this, *block) != TransferOutcome::kSucceeded) return;
  document_->SetReceiverList(*list(), "written to " + PortName());
  if (!answer.verify) {
    shell_.ShowMessage(
        "The list is written.\n\nTurn the receiver off and on again: it starts with the new list.");
    return;
  }
  // The same read back as the command line's --verify.
  const Verification check = VerifyFactoryData(*this, *block);
  if (!check.held) {
    if (check.outcome != TransferOutcome::kNotRun) shell_.ShowMessage(check.summary);
    return;
  }
  document_->SetReceiverList(ChannelList::FromBlock(*check.held), "read back from " + PortName());
  if (check.verified) {
    shell_.ShowMessage(check.summary);
  } else {
    shell_.ShowReport({"The list read back", check.summary, check.listing});
  }
}

// --- OperationHost ------------------------------------------------------------

bool EditorLogic::Ask(Question, std::string_view text) {
  return shell_.Ask(text, true);
}

void EditorLogic::Tell(const Notice& notice) {
  shell_.ShowMessage(notice.text);
}

void EditorLogic::FileFailed(FileAction action, const std::string& path, int error) {
  shell_.ShowFileError(
      FileErrorText(action == FileAction::kRead ? "reading" : "writing", path, error));
}

TransferOutcome EditorLogic::RunSession(const TransferRequest& request) {
  TransferRequest onPort = request;
  onPort.portNumber = port_;
  return shell_.RunTransfer(onPort, DeviceOfPort(shell_.Settings(), port_));
}

// --- The text being mended ---------------------------------------------------

const TextRepair& EditorLogic::CheckRepair(std::string text) {
  return document_->CheckRepair(std::move(text));
}

bool EditorLogic::ContinueWithRepair() {
  if (!document_->repairing()) return true;
  if (!document_->FinishRepair()) {
    const TextRepair& repair = document_->repair();
    shell_.ShowMessage("Line " + std::to_string(repair.line) +
                       " is still refused: " + repair.message);
    return false;
  }
  std::unique_ptr<EditorDocument> mended = std::move(document_);
  Replace(std::move(mended));
  return true;
}

// --- History -----------------------------------------------------------------

void EditorLogic::Undo() {
  if (Editor() != nullptr) Shown(Editor()->Undo());
}

void EditorLogic::Redo() {
  if (Editor() != nullptr) Shown(Editor()->Redo());
}

std::vector<std::string> EditorLogic::History() const {
  std::vector<std::string> steps = undoSteps_;
  steps.insert(steps.end(), redoSteps_.rbegin(), redoSteps_.rend());
  return steps;
}

size_t EditorLogic::UndoDepth() const {
  return undoSteps_.size();
}

void EditorLogic::GoToHistory(size_t depth) {
  channels::ChannelEditor* editor = Editor();
  if (editor == nullptr) return;
  while (undoSteps_.size() > depth && editor->CanUndo()) {
    if (!editor->Undo().done()) break;
  }
  while (undoSteps_.size() < depth && editor->CanRedo()) {
    if (!editor->Redo().done()) break;
  }
}

EditResult EditorLogic::Shown(EditResult result) {
  if (result.refused()) shell_.ShowMessage(result.message);
  return result;
}

}  // namespace tavlink::editor
