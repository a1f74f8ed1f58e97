#pragma once
// The limits that a record's fields must keep for the data text of the list
// to be read back by the reader: the same ranges and name rules the reader
// checks, in its terms (its field names). Each check gives the first field
// that breaks a limit, or nothing.
//
// A name is what the writer puts between double quotes and the reader takes
// back: at most 9 (satellite) or 13 (service) characters, no double quote
// (the reader would end the name there) and no LF (the line would end
// there). Every other byte, CR, tabs and bytes above 127 included, is read
// back as written.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "channels/channel_fields.h"

namespace tavlink::channels {

struct FieldProblem {
  std::string field;    // the data text's field name, e.g. "video_pid"
  std::string message;  // e.g. "video_pid must be 0 to 8191"
};

inline constexpr int kMaxSatelliteNameLength = 9;
inline constexpr int kMaxServiceNameLength = 13;
inline constexpr int kMaxPid = 8191;
inline constexpr int kMaxAngle = 1800;  // tenths of a degree
// A service can name only the first 256 transponders of a satellite.
inline constexpr int kMaxTpIndex = 256;

std::optional<FieldProblem> NameProblem(std::string_view name, int maxLength);
std::optional<FieldProblem> SatelliteProblem(const SatelliteFields& fields);
std::optional<FieldProblem> TransponderProblem(const TransponderFields& fields);
// The service's own fields; its transponder is the editor's to check.
std::optional<FieldProblem> ServiceProblem(const ServiceFields& fields);
std::optional<FieldProblem> AntennaConfigProblem(int32_t value);

}  // namespace tavlink::channels
