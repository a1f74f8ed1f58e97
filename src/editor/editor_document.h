#pragma once
// One document of an editor window: where its list came from (a data text,
// a 65,536-byte block image, the receiver, or nothing yet), the list with
// its undo history, and the modified mark. A data text the reader refuses
// is held as text to mend: its text, the line the reader stopped at and
// its message, checked again whenever the text changes, until the text
// reads and the list takes its place.
//
// A document never loses a byte the receiver stored: a list opened from a
// block image or read from the receiver keeps every byte of its block, and
// saving it as a block image gives them back; only the data text, which
// carries the list's fields alone, leaves them out.
//
// Threading: none; used from the user-interface thread.

#include <memory>
#include <optional>
#include <string>

#include "channels/channel_editor.h"
#include "data/receiver_data_block.h"

namespace tavlink::editor {

enum class DocumentKind {
  kUntitled,    // a new list, never saved
  kDataText,    // a data text file
  kBlockImage,  // a block image file
  kReceiver,    // read from the receiver, not saved yet
};

// A text being mended, and what the reader says of it now.
struct TextRepair {
  std::string text;     // as typed, lines ending with LF or CR LF
  int line = 0;         // the reader's line, from 1; 0 once the text reads
  std::string message;  // the reader's message; empty once the text reads
  bool reads() const { return line == 0 && message.empty(); }
};

class EditorDocument {
 public:
  // A new, empty list (antenna_config -1).
  static std::unique_ptr<EditorDocument> Untitled();
  // The file `path` with the bytes `bytes`: a block image when it is
  // exactly 65,536 bytes and holds the block's magic or a zero byte, else
  // a data text (mended first when the reader refuses it).
  static std::unique_ptr<EditorDocument> FromFile(const std::string& path, std::string bytes);
  // The list of `block`, read from the receiver at `source` ("COM1").
  static std::unique_ptr<EditorDocument> FromReceiver(const ReceiverDataBlock& block,
                                                      const std::string& source);

  DocumentKind kind() const { return kind_; }
  const std::string& path() const { return path_; }  // empty when not in a file
  // The file's name without its folder, "Untitled", or "Receiver (COM1)".
  std::string DisplayName() const;
  bool IsModified() const;

  // The list and its history; nullptr while the text is being mended.
  channels::ChannelEditor* editor() { return editor_.get(); }
  const channels::ChannelEditor* editor() const { return editor_.get(); }

  bool repairing() const { return repair_.has_value(); }
  const TextRepair& repair() const { return *repair_; }
  // Takes `text` as the text being mended now and checks it again.
  const TextRepair& CheckRepair(std::string text);
  // Once the text being mended reads: it becomes the list (marked modified,
  // since the file still holds the old text). False while it does not.
  bool FinishRepair();

  // What saving as `kind` writes: the data text or the block image's bytes;
  // nothing with `*problem` set when that kind cannot hold the list as it
  // is (a text the reader would refuse, a block without its magic as text).
  std::optional<std::string> BytesFor(DocumentKind kind, std::string* problem) const;
  // After a save into `path` as `kind`: the document is that file, unmodified.
  void SavedAs(const std::string& path, DocumentKind kind);

  // The receiver's list as last read or written in this window, with where
  // and when; nothing before the first read.
  const std::optional<channels::ChannelList>& receiverList() const { return receiverList_; }
  const std::string& receiverSource() const { return receiverSource_; }
  void SetReceiverList(channels::ChannelList list, std::string source);

 private:
  EditorDocument() = default;
  void TakeList(channels::ChannelList list);

  DocumentKind kind_ = DocumentKind::kUntitled;
  std::string path_;
  std::string receiverPort_;
  std::unique_ptr<channels::ChannelEditor> editor_;
  std::optional<TextRepair> repair_;
  std::string repairOriginal_;  // the file's text, to tell whether it was changed
  bool mendedUnsaved_ = false;
  std::optional<channels::ChannelList> receiverList_;
  std::string receiverSource_;
};

}  // namespace tavlink::editor
