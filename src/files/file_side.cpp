#include "files/file_side.h"

#include <array>
#include <cerrno>
#include <cstring>

#include "data/data_text_reader.h"
#include "data/data_text_writer.h"
#include "data/text_io.h"
#include "files/file_error.h"

namespace tavlink {

RomCheck CheckRomImage(std::FILE* image, uint64_t length, int* error) {
  std::array<uint8_t, kRomHeaderSize> header{};
  errno = 0;
  const size_t got = std::fread(header.data(), 1, header.size(), image);
  *error = std::ferror(image) ? (errno != 0 ? errno : EIO) : 0;
  if (*error != 0) return RomCheck::kUnreadable;
  if (!IsRomImageHeader(header.data(), got)) return RomCheck::kWrongImage;
  if (length > kMaxRomImageSize) return RomCheck::kTooLong;
  return RomCheck::kGood;
}

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

std::string DescribeFileError(int error) {
  switch (error) {
    case kErrorNotPlainFile:
      return "not a plain file";
    case kErrorInUse:
      return "another program is using it";
    case kErrorIsTheInput:
      return "it is the input file; give another output file";
    default:
      return std::strerror(error);
  }
}

}  // namespace tavlink
