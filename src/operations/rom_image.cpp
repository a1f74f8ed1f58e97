#include "operations/rom_image.h"

#include <array>
#include <cerrno>
#include <cstring>

namespace tavlink {

bool IsRomImageHeader(const uint8_t* header, size_t got) {
  return got >= kRomHeaderSize &&
         std::memcmp(header, ROM_SIGNATURE.data(), ROM_SIGNATURE.size()) == 0;
}

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

}  // namespace tavlink
