#include "cli/list_files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "channels/data_text_load.h"
#include "channels/record_labels.h"
#include "cli/offline_files.h"
#include "data/receiver_data_block.h"
#include "files/file_error.h"

namespace tavlink::cli {
namespace {

// No data text or block image comes near this; a larger file is neither.
constexpr uint64_t kMaxListFile = 16u << 20;

}  // namespace

std::optional<channels::ChannelList> LoadChannelList(Terminal& terminal, const std::string& path) {
  uint64_t length = 0;
  const FilePtr file = OpenPlainFile(terminal, path, &length);
  if (!file) return std::nullopt;
  if (length > kMaxListFile) {
    terminal.Err("tavlink-cli: " + path + " is neither a data text nor a block image: it holds " +
                 std::to_string(length) + " bytes.\n");
    return std::nullopt;
  }
  std::string bytes(static_cast<size_t>(length), '\0');
  errno = 0;
  if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
    terminal.Err("tavlink-cli: cannot read " + path + ": " +
                 DescribeFileError(errno != 0 ? errno : EIO) + "\n");
    return std::nullopt;
  }
  const bool image = bytes.size() == ReceiverDataBlock::kSize &&
                     (bytes.compare(0, 8, "evileyes") == 0 || bytes.find('\0') != bytes.npos);
  if (image) {
    auto block = std::make_unique<ReceiverDataBlock>();
    std::memcpy(block->bytes(), bytes.data(), bytes.size());
    if (!block->IsValid()) {
      terminal.Err("tavlink-cli: " + path +
                   " is not a valid receiver data block: its first 8 bytes are not "
                   "\"evileyes\".\n");
      return std::nullopt;
    }
    return channels::ChannelList::FromBlock(*block);
  }
  channels::DataTextLoad load = channels::LoadDataText(std::move(bytes));
  if (!load.list) {
    std::string message = load.message;
    while (!message.empty() && message.back() == '\n') message.pop_back();
    terminal.Err("tavlink-cli: " + path + ": the data text reader refuses line " +
                 std::to_string(load.line) + ":\n" + message + "\n");
    return std::nullopt;
  }
  return std::move(load.list);
}

std::string ResolvedServices(const channels::ChannelList& list) {
  std::string text;
  const auto& services = list.services();
  for (size_t i = 0; i < services.size(); ++i) {
    const channels::Service& service = services[i];
    std::string line = std::to_string(i + 1);
    line.insert(0, line.size() < 4 ? 4 - line.size() : 0, ' ');
    std::string name = channels::QuotedName(service.name());
    if (name.size() < 16) name.resize(16, ' ');
    line += "  " + name + (service.radio() ? " radio" : " tv   ");
    const channels::Transponder* transponder = list.Find(service.transponder());
    const channels::Satellite* satellite =
        transponder != nullptr ? list.Find(transponder->satellite()) : nullptr;
    if (transponder == nullptr) {
      line += "  no transponder";
    } else {
      line += "  " + channels::TransponderLabel(*transponder) + " of " +
              (satellite != nullptr ? channels::SatellitePlace(*satellite)
                                    : std::string("no satellite"));
    }
    line += "  service_id " + std::to_string(service.service_id());
    text += line + "\n";
  }
  return text;
}

}  // namespace tavlink::cli
