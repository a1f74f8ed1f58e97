#include "editor/editor_document.h"

#include <cstring>

#include "channels/data_text_load.h"
#include "editor/path_names.h"
#include "files/data_text_file.h"

namespace tavlink::editor {

using channels::ChannelEditor;
using channels::ChannelList;

std::unique_ptr<EditorDocument> EditorDocument::Untitled() {
  std::unique_ptr<EditorDocument> document(new EditorDocument);
  document->TakeList(ChannelList());
  return document;
}

namespace {

bool LooksLikeBlock(const std::string& bytes) {
  if (bytes.size() != ReceiverDataBlock::kSize) return false;
  return bytes.compare(0, 8, "evileyes") == 0 || bytes.find('\0') != std::string::npos;
}

}  // namespace

std::unique_ptr<EditorDocument> EditorDocument::FromFile(const std::string& path,
                                                         std::string bytes) {
  std::unique_ptr<EditorDocument> document(new EditorDocument);
  document->path_ = path;
  if (LooksLikeBlock(bytes)) {
    auto block = std::make_unique<ReceiverDataBlock>();
    std::memcpy(block->bytes(), bytes.data(), ReceiverDataBlock::kSize);
    document->kind_ = DocumentKind::kBlockImage;
    document->TakeList(ChannelList::FromBlock(*block));
    return document;
  }
  document->kind_ = DocumentKind::kDataText;
  channels::DataTextLoad load = channels::LoadDataText(bytes);
  if (load.list) {
    document->TakeList(std::move(*load.list));
  } else {
    document->repairOriginal_ = bytes;
    document->repair_ = TextRepair{std::move(bytes), load.line, load.message};
  }
  return document;
}

std::unique_ptr<EditorDocument> EditorDocument::FromReceiver(const ReceiverDataBlock& block,
                                                             const std::string& source) {
  std::unique_ptr<EditorDocument> document(new EditorDocument);
  document->kind_ = DocumentKind::kReceiver;
  document->receiverPort_ = source;
  ChannelList list = ChannelList::FromBlock(block);
  document->receiverList_ = list;
  document->receiverSource_ = "read from " + source;
  document->TakeList(std::move(list));
  return document;
}

void EditorDocument::TakeList(ChannelList list) {
  editor_ = std::make_unique<ChannelEditor>(std::move(list));
}

std::string EditorDocument::DisplayName() const {
  if (!path_.empty()) return FileNameOf(path_);
  if (kind_ == DocumentKind::kReceiver) return "Receiver (" + receiverPort_ + ")";
  return "Untitled";
}

bool EditorDocument::IsModified() const {
  if (repair_) return repair_->text != repairOriginal_;
  return mendedUnsaved_ || kind_ == DocumentKind::kReceiver || editor_->IsModified();
}

const TextRepair& EditorDocument::CheckRepair(std::string text) {
  channels::DataTextLoad load = channels::LoadDataText(text);
  repair_ = TextRepair{std::move(text), load.line, load.message};
  return *repair_;
}

bool EditorDocument::FinishRepair() {
  if (!repair_) return false;
  channels::DataTextLoad load = channels::LoadDataText(repair_->text);
  if (!load.list) {
    repair_->line = load.line;
    repair_->message = load.message;
    return false;
  }
  repair_.reset();
  mendedUnsaved_ = true;
  TakeList(std::move(*load.list));
  return true;
}

std::optional<std::string> EditorDocument::BytesFor(DocumentKind kind, std::string* problem) const {
  if (!editor_) {
    *problem = "Line " + std::to_string(repair_->line) +
               " has to be mended before the list can be saved: " + repair_->message;
    return std::nullopt;
  }
  const ChannelList& list = editor_->list();
  if (kind == DocumentKind::kBlockImage) {
    const std::unique_ptr<ReceiverDataBlock> block = list.ToBlock();
    return std::string(reinterpret_cast<const char*>(block->bytes()), ReceiverDataBlock::kSize);
  }
  std::string text = list.ToDataText();
  if (text.empty()) {
    *problem =
        "The list's block has no valid magic, so it has no data text. Export Block Image keeps "
        "it as it is.";
    return std::nullopt;
  }
  if (const std::string refused = ReadBackError(text); !refused.empty()) {
    *problem = "The data text of this list would be refused when it is read again: " + refused +
               "\nMend the list, or keep it as it is with Export Block Image.";
    return std::nullopt;
  }
  return text;
}

void EditorDocument::SavedAs(const std::string& path, DocumentKind kind) {
  path_ = path;
  kind_ = kind;
  mendedUnsaved_ = false;
  if (editor_) editor_->MarkSaved();
}

void EditorDocument::SetReceiverList(ChannelList list, std::string source) {
  receiverList_ = std::move(list);
  receiverSource_ = std::move(source);
}

}  // namespace tavlink::editor
