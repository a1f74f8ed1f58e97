#include "data/data_text_reader.h"

#include <cstdarg>
#include <cstdio>
#include <optional>

#include "data/data_text_keywords.h"
#include "data/field_scanner.h"
#include "data/printf_like.h"

namespace tavlink {
namespace {

constexpr size_t kMaxSatelliteName = kSatelliteNameSize - 1;
constexpr size_t kMaxServiceName = kServiceNameSize - 1;

// The line that names the failing field, by the parser's negative result.
const char* SatelliteFieldText(int error) {
  static constexpr const char* kTexts[] = {
      "         : Overflow number of satellites.\n",
      "   field : name\n",
      "   field : lnb_low\n",
      "   field : lnb_high\n",
      "   field : universal_lnb\n",
      "   field : angle\n",
      "   field : east_west\n",
      "   field : DiSEqC\n",
      "   field : 22KHz\n",
      "   field : 0/12V\n",
      "   field : 14/18V\n",
  };
  return kTexts[-error - 1];
}

const char* TransponderFieldText(int error) {
  static constexpr const char* kTexts[] = {
      "         : Overflow number of tps.\n",
      "   field : frequency\n",
      "   field : symbolrate\n",
      "   field : polarization\n",
      "   field : 22 KHz\n",
      "   field : 14/18 Volt\n",
      "   field : 0/12 Volt\n",
      "   field : FEC\n",
  };
  return kTexts[-error - 1];
}

const char* ServiceFieldText(int error) {
  static constexpr const char* kTexts[] = {
      "         : Overflow number of service.\n",
      "   field : name\n",
      "   field : service_id\n",
      "",  // -4 is not used
      "   field : video_pid\n",
      "   field : audio_pid\n",
      "   field : pcr_pid\n",
      "   field : txt_pid\n",
      "   field : scramble\n",
      "   field : favorite\n",
      "   field : lock\n",
      "   field : sat_index\n",
      "   field : tp_index\n",
      "         : The satellite or transponder is not valid.\n",
  };
  return kTexts[-error - 1];
}

bool IsSkippedLeadByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b >= 1 && b <= 32) || b >= 128;
}

// The name between the first double quote of `fromTag` and the next one, and
// the text after the closing quote; nothing when a quote is missing or the
// name is longer than `maxLength`.
struct QuotedName {
  std::string_view name;
  std::string_view rest;
};
std::optional<QuotedName> FindQuotedName(std::string_view fromTag, size_t maxLength) {
  const size_t open = fromTag.find('"');
  if (open == std::string_view::npos) return std::nullopt;
  const size_t close = fromTag.find('"', open + 1);
  if (close == std::string_view::npos || close - open - 1 > maxLength) return std::nullopt;
  return QuotedName{fromTag.substr(open + 1, close - open - 1), fromTag.substr(close + 1)};
}

bool InRange(int value, int low, int high) {
  return value >= low && value <= high;
}

using ErrorText = std::array<char, DataTextReader::kLineBufferSize>;

// Puts the message into `text` and returns `result`.
int Fail(ErrorText& text, int result, const char* format, ...) TAVLINK_PRINTF_LIKE(3, 4);

int Fail(ErrorText& text, int result, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(text.data(), text.size(), format, args);
  va_end(args);
  return result;
}

}  // namespace

int DataTextReader::ReadDataText(TextInput& file) {
  line_number_ = 1;
  sat_count_ = tp_count_ = service_count_ = 0;
  antenna_value_ = -1;
  antenna_seen_ = program_seen_ = false;
  current_satellite_ = -1;
  error_text_[0] = '\0';
  block_.set_antenna_config(-1);

  for (;; ++line_number_) {
    const LineResult lineResult = ReadLine(file);
    if (lineResult == LineResult::kTooLong) {
      return Fail(error_text_, kReadLineTooLong,
                  " * Error : line %d is too long. size of line_buffer = %d.\n", line_number_,
                  static_cast<int>(kLineBufferSize));
    }
    if (lineResult == LineResult::kEndOfFile) {
      block_.FinishHeader(sat_count_, tp_count_, service_count_, antenna_value_);
      return kReadOk;
    }
    // The line ends at its first zero byte, which ReadLine guarantees.
    const std::string_view line(line_buffer_.data());
    size_t at = 0;
    while (at < line.size() && IsSkippedLeadByte(line[at])) ++at;
    const std::string_view fromTag = line.substr(at);
    const char tag = fromTag.empty() ? '\0' : fromTag[0];

    switch (tag) {
      case '\0':
      case '#':
        break;
      case 'a':
      case 'A':
        if (const int result = ReadAntennaLine(fromTag); result != kReadOk) return result;
        break;
      case 's':
      case 'S': {
        if (program_seen_) {
          return Fail(error_text_, kReadSatelliteAfterService,
                      " * Error : line %d. Program information and satellite information mixed.",
                      line_number_);
        }
        const int index = ParseSatelliteLine(fromTag);
        if (index < 0) {
          return Fail(error_text_, kReadSatelliteError,
                      " * Error : line %d. Default Satellite Data format error.\n%s", line_number_,
                      SatelliteFieldText(index));
        }
        current_satellite_ = index;
        break;
      }
      case 't':
      case 'T': {
        if (program_seen_) {
          return Fail(error_text_, kReadTransponderAfterService,
                      " * Error : line %d. Program information and transponder information mixed.",
                      line_number_);
        }
        const int index = ParseTransponderLine(fromTag, current_satellite_);
        if (index < 0) {
          return Fail(error_text_, kReadTransponderError,
                      " * Error : line %d. Default TP Data format error.\n%s", line_number_,
                      TransponderFieldText(index));
        }
        break;
      }
      case 'v':
      case 'V':
      case 'r':
      case 'R': {
        program_seen_ = true;
        const int index = ParseServiceLine(fromTag);
        if (index < 0) {
          return Fail(error_text_, kReadServiceError,
                      " * Error : line %d. Default Service Data format error.\n%s", line_number_,
                      ServiceFieldText(index));
        }
        break;
      }
      default:
        return Fail(error_text_, kReadInvalidTag, " * Error : line %d. Invalid tag '%c'.\n",
                    line_number_, tag);
    }
  }
}

DataTextReader::LineResult DataTextReader::ReadLine(TextInput& file) {
  // Positions 0..1023; a read at the end of the file uses a position too.
  size_t used = 0;
  int byte;
  do {
    byte = file.ReadByte();
    line_buffer_[used++] = byte < 0 ? '\0' : static_cast<char>(byte);
  } while (byte >= 0 && byte != '\n' && used < kLineBufferSize);
  if (used == kLineBufferSize) {
    line_buffer_[kLineBufferSize - 1] = '\0';  // never interpreted; keeps the buffer a string
    return LineResult::kTooLong;
  }
  line_buffer_[used - 1] = '\0';
  // Text after the last LF is never interpreted.
  return byte < 0 ? LineResult::kEndOfFile : LineResult::kLine;
}

int DataTextReader::ReadAntennaLine(std::string_view fromTag) {
  if (program_seen_) {
    return Fail(error_text_, kReadAntennaAfterService,
                " * Error : line %d. Program information and switch configuration mixed.",
                line_number_);
  }
  if (antenna_seen_) {
    return Fail(error_text_, kReadAntennaError,
                " * Error : line %d. Default Switch Configuation value was defined duplicatly.",
                line_number_);
  }
  FieldScanner scan(fromTag);
  std::string_view tagWord;
  int value = 0;
  if (!scan.ReadWord(&tagWord) || !scan.ReadInt(&value) || !InRange(value, -1, 8)) {
    return Fail(error_text_, kReadAntennaError,
                " * Error : line %d. Default Switch Configuation value format error.",
                line_number_);
  }
  antenna_value_ = value;
  antenna_seen_ = true;
  return kReadOk;
}

int DataTextReader::ParseSatelliteLine(std::string_view fromTag) {
  if (sat_count_ == kMaxSatellites) return -1;
  const std::optional<QuotedName> quoted = FindQuotedName(fromTag, kMaxSatelliteName);
  if (!quoted) return -2;
  SatelliteRecord record = block_.satellite(sat_count_);
  record.set_name(quoted->name);

  // "%d %d %s %f %s %s %s %s %s"
  FieldScanner scan(quoted->rest);
  int lnbLow = 0;
  int lnbHigh = 0;
  std::string_view lnbType, angleText, eastWest, diseqc, tone, switch12, voltage;
  const bool hasLnbLow = scan.ReadInt(&lnbLow);
  const bool hasLnbHigh = scan.ReadInt(&lnbHigh);
  scan.ReadWord(&lnbType);
  const bool hasAngle = scan.ReadNumberText(&angleText);
  scan.ReadWord(&eastWest);
  scan.ReadWord(&diseqc);
  scan.ReadWord(&tone);
  scan.ReadWord(&switch12);
  scan.ReadWord(&voltage);

  if (!hasLnbLow || lnbLow == -1) return -3;
  if (!hasLnbHigh || lnbHigh == -1) return -4;
  const std::optional<uint32_t> lnbBits = ParseLnbTypeKeyword(lnbType);
  if (!lnbBits) return -5;
  int tenths = 0;
  if (!hasAngle || !NumberToTenths(angleText, &tenths) || !InRange(tenths, 0, 1800)) return -6;
  const std::optional<bool> west = ParseEastWestKeyword(eastWest);
  if (!west) return -7;
  const std::optional<uint32_t> diseqcBits = ParseDiseqcKeyword(diseqc);
  if (!diseqcBits) return -8;
  const std::optional<uint32_t> toneBits = ParseToneKeyword(tone);
  if (!toneBits) return -9;
  const std::optional<uint32_t> switch12Bits = ParseSwitch12Keyword(switch12);
  if (!switch12Bits) return -10;
  const std::optional<uint32_t> voltageBits = ParseVoltageKeyword(voltage);
  if (!voltageBits) return -11;

  record.set_lnb_low(static_cast<uint16_t>(lnbLow));
  record.set_lnb_high(static_cast<uint16_t>(lnbHigh));
  record.set_position(static_cast<uint16_t>(tenths | (*west ? kWestBit : 0)));
  record.set_sat_flags((record.sat_flags() & ~sat_flag::kDataTextBits) | *lnbBits | *diseqcBits |
                       *toneBits | *switch12Bits | *voltageBits);
  return sat_count_++;
}

int DataTextReader::ParseTransponderLine(std::string_view fromTag, int satellite) {
  if (tp_count_ == kMaxTransponders) return -1;
  // "%s %d %d %s %d %d %d %s", the first word being the tag word.
  FieldScanner scan(fromTag);
  std::string_view tagWord, polarization, fec;
  int frequency = 0, symbolrate = 0, tone = 0, voltage = 0, switch12 = 0;
  scan.ReadWord(&tagWord);
  const bool hasFrequency = scan.ReadInt(&frequency);
  const bool hasSymbolrate = scan.ReadInt(&symbolrate);
  scan.ReadWord(&polarization);
  const bool hasTone = scan.ReadInt(&tone);
  const bool hasVoltage = scan.ReadInt(&voltage);
  const bool hasSwitch12 = scan.ReadInt(&switch12);
  scan.ReadWord(&fec);

  if (!hasFrequency || frequency == -1) return -2;
  if (!hasSymbolrate || symbolrate == -1) return -3;
  const std::optional<uint16_t> polarizationBits = ParsePolarizationKeyword(polarization);
  if (!polarizationBits) return -4;
  if (!hasTone || (tone != 0 && tone != 22)) return -5;
  if (!hasVoltage || (voltage != 14 && voltage != 18)) return -6;
  if (!hasSwitch12 || (switch12 != 0 && switch12 != 12)) return -7;
  const std::optional<uint16_t> fecBits = ParseFecKeyword(fec);
  if (!fecBits) return -8;

  TransponderRecord record = block_.transponder(tp_count_);
  record.set_frequency(static_cast<uint16_t>(frequency));
  record.set_symbolrate(static_cast<uint16_t>(symbolrate));
  uint16_t bits = *polarizationBits | *fecBits;
  if (tone == 22) bits |= tp_flag::kTone22;
  if (voltage == 18) bits |= tp_flag::kVoltage18;
  if (switch12 == 12) bits |= tp_flag::kSwitch12;
  record.set_tp_flags(static_cast<uint16_t>((record.tp_flags() & ~tp_flag::kDataTextBits) | bits));
  record.set_owner_sat(static_cast<uint8_t>(satellite));  // -1, before any satellite, gives 255
  return tp_count_++;
}

int DataTextReader::ParseServiceLine(std::string_view fromTag) {
  if (service_count_ == kMaxServices) return -1;
  // Only the first character of the tag word counts.
  const bool radio = !(fromTag[0] == 'v' || fromTag[0] == 'V');
  const std::optional<QuotedName> quoted = FindQuotedName(fromTag, kMaxServiceName);
  if (!quoted) return -2;
  ServiceRecord record = block_.service(service_count_);
  record.set_name(quoted->name);

  // "%d %d %d %d %d %d %d %d %d %d"; fields not reached count as 0 for the
  // two indexes and as -1 for the others.
  enum { kSat, kTp, kServiceId, kVideo, kAudio, kPcr, kTxt, kScramble, kFavorite, kLock, kCount };
  int v[kCount] = {0, 0, -1, -1, -1, -1, -1, -1, -1, -1};
  FieldScanner scan(quoted->rest);
  for (int& field : v) {
    if (!scan.ReadInt(&field)) break;
  }

  if (!InRange(v[kServiceId], 0, 65535)) return -3;
  if (!InRange(v[kVideo], 0, 8191)) return -5;
  if (!InRange(v[kAudio], 0, 8191)) return -6;
  if (!InRange(v[kPcr], 0, 8191)) return -7;
  if (!InRange(v[kTxt], 0, 8191)) return -8;
  if (!InRange(v[kScramble], 0, 1)) return -9;
  if (!InRange(v[kFavorite], 0, 1)) return -10;
  if (!InRange(v[kLock], 0, 1)) return -11;
  if (!InRange(v[kSat], 1, 128)) return -12;
  if (!InRange(v[kTp], 1, 256)) return -13;

  int entry = -1;
  for (int i = 0, seen = 0; i < tp_count_; ++i) {
    if (block_.transponder(i).owner_sat() == v[kSat] - 1 && ++seen == v[kTp]) {
      entry = i;
      break;
    }
  }
  if (entry < 0) return -14;

  record.set_service_id(static_cast<uint16_t>(v[kServiceId]));
  record.set_video_pid(static_cast<uint16_t>(v[kVideo]));
  record.set_audio_pid(static_cast<uint16_t>(v[kAudio]));
  record.set_pcr_pid(static_cast<uint16_t>(v[kPcr]));
  record.set_txt_pid(static_cast<uint16_t>(v[kTxt]));
  record.set_tp_word(static_cast<uint16_t>(entry | (radio ? kRadioBit : 0)));
  uint16_t flags = record.service_flags() & ~service_flag::kDataTextBits;
  if (v[kScramble]) flags |= service_flag::kScramble;
  if (v[kFavorite]) flags |= service_flag::kFavorite;
  if (v[kLock]) flags |= service_flag::kLock;
  record.set_service_flags(flags);
  return service_count_++;
}

}  // namespace tavlink
