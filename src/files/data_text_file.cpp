#include "files/data_text_file.h"

#include <cerrno>
#include <memory>

#include "data/data_text_reader.h"
#include "data/data_text_writer.h"
#include "data/text_io.h"

namespace tavlink {

DataTextRead ReadDataTextFrom(std::FILE* text, ReceiverDataBlock& block) {
  FileTextInput input(text);
  DataTextReader reader(block);
  DataTextRead read;
  errno = 0;
  read.result = reader.ReadDataText(input);
  if (input.failed()) {
    read.error = input.error();  // taken where the read failed
    return read;
  }
  if (read.result != kReadOk) read.message = reader.GetErrorText();
  return read;
}

std::optional<std::string> DataTextToSave(const ReceiverDataBlock& block) {
  StringTextOutput text;
  if (WriteDataText(block, text) != 0) return std::nullopt;
  return text.str();
}

std::string ReadBackError(std::string_view text) {
  auto scratch = std::make_unique<ReceiverDataBlock>();
  DataTextReader reader(*scratch);
  StringTextInput input{std::string(text)};
  if (reader.ReadDataText(input) == kReadOk) return {};
  return reader.GetErrorText();
}

}  // namespace tavlink
