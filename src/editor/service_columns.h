#pragma once
// The services table: its columns, the text of each cell, and an edit of
// one cell in place. An edit goes through the channel editor, so a value
// the model refuses leaves the service as it was and comes back with the
// model's message.

#include <optional>
#include <string>
#include <string_view>

#include "channels/channel_editor.h"

namespace tavlink::editor {

enum class ServiceColumn {
  kPosition,     // from 1, the order the receiver shows
  kName,         // editable
  kType,         // "TV" or "Radio"; editable: tv, radio
  kSatellite,    // the satellite's name
  kTransponder,  // "11836 H"
  kServiceId,    // editable, like the four PIDs
  kVideoPid,
  kAudioPid,
  kPcrPid,
  kTxtPid,
  kFavourite,  // a check: "yes" or ""
  kLock,
  kScrambled,
};
inline constexpr int kServiceColumnCount = 13;

// "Pos", "Name", "Type", "Satellite", "Transponder", "SID", "V-PID", ...
const char* ServiceColumnTitle(ServiceColumn column);
// Name, type, service id and the PIDs take typed text.
bool IsEditableColumn(ServiceColumn column);
// Favourite, lock and scrambled: shown as checks, toggled.
bool IsFlagColumn(ServiceColumn column);
// The flag a flag column shows.
channels::ServiceFlag FlagOf(ServiceColumn column);
bool FlagValue(const channels::Service& service, ServiceColumn column);

// The cell of the service at `position` of the list.
std::string ServiceCellText(const channels::ChannelList& list, int position, ServiceColumn column);

// Sets the cell of service `id` to `text`: a name as typed, "tv"/"radio"
// (any case, "v"/"r" too), a number in decimal. A text that is no value of
// the field is refused with a message in the field's terms ("video_pid
// must be 0 to 8191"), as is whatever the model refuses.
channels::EditResult EditServiceCell(channels::ChannelEditor& editor, channels::ServiceId id,
                                     ServiceColumn column, std::string_view text);

// A decimal number in 0..max from `text` (blanks around it allowed), or
// nothing.
std::optional<long> ParseNumber(std::string_view text, long max);

}  // namespace tavlink::editor
