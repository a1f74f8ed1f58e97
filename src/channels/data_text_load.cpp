#include "channels/data_text_load.h"

#include <memory>
#include <string_view>
#include <utility>

#include "data/data_text_reader.h"
#include "data/text_io.h"

namespace tavlink::channels {
namespace {

// Every message of the reader starts " * Error : line N"; N is the line.
int LineOf(std::string_view message) {
  const size_t at = message.find("line ");
  if (at == std::string_view::npos) return 0;
  int line = 0;
  for (size_t i = at + 5; i < message.size() && message[i] >= '0' && message[i] <= '9'; ++i) {
    if (line < 100000000) line = line * 10 + (message[i] - '0');
  }
  return line;
}

}  // namespace

DataTextLoad LoadDataText(std::string text, const ReceiverDataBlock& base) {
  auto block = std::make_unique<ReceiverDataBlock>(base);
  DataTextReader reader(*block);
  StringTextInput input(std::move(text));
  DataTextLoad load;
  load.result = reader.ReadDataText(input);
  if (load.result == kReadOk) {
    load.list = ChannelList::FromBlock(*block);
  } else {
    load.message = reader.GetErrorText();
    load.line = LineOf(load.message);
  }
  return load;
}

DataTextLoad LoadDataText(std::string text) {
  const auto zero = std::make_unique<ReceiverDataBlock>();
  return LoadDataText(std::move(text), *zero);
}

}  // namespace tavlink::channels
