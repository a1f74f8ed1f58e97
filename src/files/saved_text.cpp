#include "files/saved_text.h"

#include <memory>

#include "data/data_text_reader.h"
#include "data/text_io.h"

namespace tavlink {

std::string ReadBackError(std::string_view text) {
  auto scratch = std::make_unique<ReceiverDataBlock>();
  DataTextReader reader(*scratch);
  StringTextInput input{std::string(text)};
  if (reader.ReadDataText(input) == kReadOk) return {};
  return reader.GetErrorText();
}

}  // namespace tavlink
