#pragma once
// The channel editor's behaviour without a toolkit: the File menu's
// commands (new, open, recent files, save, save as, export block image,
// compare, read from and write to the receiver, port settings, closing),
// the mending of a refused text, and every edit of the Edit, Services and
// Satellites menus on the records a window has selected. A window calls one
// operation per command and then shows Title(), Status() and the lists;
// everything the commands need of the technician or the system goes
// through the EditorShell.
//
// Edits are made by identity: a window hands over the identities of the
// selected rows and selects them again afterwards. A refused edit shows the
// model's message through the shell and leaves the list as it was.
//
// Threading: user-interface thread only. While a command runs a transfer,
// the worker uses the request's block; the command touches it again only
// after EditorShell::RunTransfer has returned.

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "channels/channel_editor.h"
#include "editor/editor_document.h"
#include "editor/editor_shell.h"
#include "editor/service_columns.h"
#include "operations/operation_host.h"

namespace tavlink::editor {

// The file dialogs' types.
FileChoice ListFileChoice();  // data texts and block images, to open
FileChoice DataTextSaveChoice();
FileChoice BlockImageChoice();

inline constexpr size_t kRecentFileCount = 8;

class EditorLogic final : private OperationHost {
 public:
  // `shell` must outlive the logic. Starts with an untitled, empty list.
  explicit EditorLogic(EditorShell& shell);
  // Starts with `document` (a window that Read from Receiver opened).
  EditorLogic(EditorShell& shell, std::unique_ptr<EditorDocument> document);
  ~EditorLogic() override;
  EditorLogic(const EditorLogic&) = delete;
  EditorLogic& operator=(const EditorLogic&) = delete;

  const EditorDocument& document() const { return *document_; }
  // The list shown; nullptr while a text is being mended.
  const channels::ChannelList* list() const;
  std::string Title() const;
  // The counts against the limits, with how many services the table shows.
  std::string Status(int shownServices) const;

  // Told after every edit, undo and redo of the document's list, with what
  // changed (for the views to update themselves). One observer; a window
  // sets it after each DocumentReplaced.
  void SetChangeObserver(std::function<void(const channels::ListChange&)> observer);

  // --- File ----------------------------------------------------------------
  void New();
  void Open();
  // Opens `path` without asking about unsaved changes (the command line's
  // FILE, and Open and Open Recent once they have asked). False when it
  // could not be read (told).
  bool OpenPath(const std::string& path);
  void OpenRecent(const std::string& path);
  std::vector<std::string> RecentFiles() const;
  bool Save();
  bool SaveAs();
  void ExportBlockImage();
  void CompareWith();
  void ReadFromReceiver();
  void WriteToReceiver();
  void PortSettings();
  // Before the window closes: asks about unsaved changes; true to close.
  bool CanClose();

  // --- The text being mended -----------------------------------------------
  // The technician changed the text: checked again (see document().repair()).
  const TextRepair& CheckRepair(std::string text);
  // Goes on into the tables once the text reads; false (and told) when not.
  bool ContinueWithRepair();

  // --- Edit ----------------------------------------------------------------
  void Undo();
  void Redo();
  // The history: the steps that can be undone, oldest first, then the
  // steps that can be redone, next first; `UndoDepth()` of them are done.
  std::vector<std::string> History() const;
  size_t UndoDepth() const;
  // Undoes or redoes until `depth` steps are done.
  void GoToHistory(size_t depth);

  // --- Services ------------------------------------------------------------
  channels::EditResult EditCell(channels::ServiceId id, ServiceColumn column,
                                std::string_view text);
  channels::EditResult SetFlag(std::span<const channels::ServiceId> ids, channels::ServiceFlag flag,
                               bool on);
  // Sets the flag on all of them unless all have it, then clears it.
  channels::EditResult ToggleFlag(std::span<const channels::ServiceId> ids,
                                  channels::ServiceFlag flag);
  channels::EditResult MoveServices(std::span<const channels::ServiceId> ids, channels::MoveTo to);
  // Asks for the position.
  channels::EditResult MoveServicesToPosition(std::span<const channels::ServiceId> ids);
  channels::EditResult SortServices(channels::ServiceSort sort);
  // Asks for the file whose order to take.
  channels::EditResult ApplyOrderFrom();
  // Shows what goes and asks first.
  channels::EditResult RemoveDuplicates(channels::DuplicateKind kind);
  channels::EditResult DeleteServices(std::span<const channels::ServiceId> ids);
  void CopyServices(std::span<const channels::ServiceId> ids);
  channels::EditResult CutServices(std::span<const channels::ServiceId> ids);
  // Inserts the clipboard's services at `position`; the new ones' identities.
  std::vector<channels::ServiceId> Paste(int position);
  // The same with a text of the clipboard's form (a drop from another window).
  std::vector<channels::ServiceId> PasteText(const std::string& text, int position);

  // --- Satellites and transponders -------------------------------------------
  std::optional<channels::SatelliteId> AddSatellite(int position);
  channels::EditResult ChangeSatellite(channels::SatelliteId id);
  channels::EditResult DeleteSatellites(std::span<const channels::SatelliteId> ids);
  channels::EditResult MoveSatellites(std::span<const channels::SatelliteId> ids,
                                      channels::MoveTo to);
  std::optional<channels::TransponderId> AddTransponder(channels::SatelliteId satellite,
                                                        int number);
  channels::EditResult ChangeTransponder(channels::TransponderId id);
  channels::EditResult DeleteTransponders(std::span<const channels::TransponderId> ids);
  channels::EditResult MoveTransponders(std::span<const channels::TransponderId> ids,
                                        channels::MoveTo to);
  // Asks for the satellite.
  channels::EditResult MoveTranspondersToSatellite(std::span<const channels::TransponderId> ids);
  channels::EditResult SetAntennaConfig(int value);

 private:
  // OperationHost.
  bool Ask(Question question, std::string_view text) override;
  void Tell(const Notice& notice) override;
  void FileFailed(FileAction action, const std::string& path, int error) override;
  TransferOutcome RunSession(const TransferRequest& request) override;

  channels::ChannelEditor* Editor();
  // Takes `document`; tells the shell unless the logic is being made.
  void Replace(std::unique_ptr<EditorDocument> document, bool tell = true);
  bool ConfirmDiscard();
  bool SaveTo(const std::string& path, DocumentKind kind, bool becomesDocument);
  void AddRecent(const std::string& path);
  // Reads the list of another file; nothing when it cannot be (told).
  std::optional<channels::ChannelList> LoadOtherList(const std::string& path);
  // The port sessions use; asks for one when none is chosen. 0: none.
  int Port();
  std::string PortName() const;
  // Reads the receiver's list; nothing when the read did not succeed.
  std::unique_ptr<ReceiverDataBlock> ReadBlock();
  channels::EditResult Shown(channels::EditResult result);
  void OnChange(const channels::ListChange& change);

  EditorShell& shell_;
  std::unique_ptr<EditorDocument> document_;
  std::function<void(const channels::ListChange&)> observer_;
  std::vector<std::string> undoSteps_;  // oldest first
  std::vector<std::string> redoSteps_;  // the next to redo last
  int port_ = 0;
};

}  // namespace tavlink::editor
