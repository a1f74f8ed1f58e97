#include "editor/service_columns.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "channels/record_labels.h"

namespace tavlink::editor {

using channels::ChannelEditor;
using channels::EditResult;
using channels::Service;
using channels::ServiceFields;
using channels::ServiceFlag;

const char* ServiceColumnTitle(ServiceColumn column) {
  switch (column) {
    case ServiceColumn::kPosition:
      return "Pos";
    case ServiceColumn::kName:
      return "Name";
    case ServiceColumn::kType:
      return "Type";
    case ServiceColumn::kSatellite:
      return "Satellite";
    case ServiceColumn::kTransponder:
      return "Transponder";
    case ServiceColumn::kServiceId:
      return "SID";
    case ServiceColumn::kVideoPid:
      return "V-PID";
    case ServiceColumn::kAudioPid:
      return "A-PID";
    case ServiceColumn::kPcrPid:
      return "PCR";
    case ServiceColumn::kTxtPid:
      return "TXT";
    case ServiceColumn::kFavourite:
      return "Fav";
    case ServiceColumn::kLock:
      return "Lock";
    case ServiceColumn::kScrambled:
      return "Scr";
  }
  return "";
}

bool IsEditableColumn(ServiceColumn column) {
  switch (column) {
    case ServiceColumn::kName:
    case ServiceColumn::kType:
    case ServiceColumn::kServiceId:
    case ServiceColumn::kVideoPid:
    case ServiceColumn::kAudioPid:
    case ServiceColumn::kPcrPid:
    case ServiceColumn::kTxtPid:
      return true;
    default:
      return false;
  }
}

bool IsFlagColumn(ServiceColumn column) {
  return column == ServiceColumn::kFavourite || column == ServiceColumn::kLock ||
         column == ServiceColumn::kScrambled;
}

ServiceFlag FlagOf(ServiceColumn column) {
  return column == ServiceColumn::kFavourite ? ServiceFlag::kFavorite
         : column == ServiceColumn::kLock    ? ServiceFlag::kLock
                                             : ServiceFlag::kScramble;
}

bool FlagValue(const Service& service, ServiceColumn column) {
  switch (FlagOf(column)) {
    case ServiceFlag::kFavorite:
      return service.favorite();
    case ServiceFlag::kLock:
      return service.lock();
    case ServiceFlag::kScramble:
      return service.scramble();
  }
  return false;
}

std::string ServiceCellText(const channels::ChannelList& list, int position, ServiceColumn column) {
  const Service& service = list.services()[static_cast<size_t>(position)];
  switch (column) {
    case ServiceColumn::kPosition:
      return std::to_string(position + 1);
    case ServiceColumn::kName:
      return std::string(service.name());
    case ServiceColumn::kType:
      return service.radio() ? "Radio" : "TV";
    case ServiceColumn::kSatellite: {
      const channels::Satellite* satellite = list.Find(list.SatelliteOf(service));
      return satellite != nullptr ? std::string(satellite->name()) : "(none)";
    }
    case ServiceColumn::kTransponder: {
      const channels::Transponder* transponder = list.Find(service.transponder());
      return transponder != nullptr ? channels::TransponderLabel(*transponder) : "(none)";
    }
    case ServiceColumn::kServiceId:
      return std::to_string(service.service_id());
    case ServiceColumn::kVideoPid:
      return std::to_string(service.video_pid());
    case ServiceColumn::kAudioPid:
      return std::to_string(service.audio_pid());
    case ServiceColumn::kPcrPid:
      return std::to_string(service.pcr_pid());
    case ServiceColumn::kTxtPid:
      return std::to_string(service.txt_pid());
    case ServiceColumn::kFavourite:
    case ServiceColumn::kLock:
    case ServiceColumn::kScrambled:
      return FlagValue(service, column) ? "yes" : "";
  }
  return "";
}

std::optional<long> ParseNumber(std::string_view text, long max) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < 0 || value > max) return std::nullopt;
  return value;
}

namespace {

EditResult Refused(std::string message) {
  return {EditResult::Status::kRefused, std::move(message)};
}

std::string Lower(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (!std::isspace(static_cast<unsigned char>(c))) {
      out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
  }
  return out;
}

// The number field of `column` in `fields`, with its data text name and
// largest value.
struct NumberField {
  uint16_t* value;
  const char* name;
  long max;
};
NumberField NumberOf(ServiceFields& fields, ServiceColumn column) {
  switch (column) {
    case ServiceColumn::kVideoPid:
      return {&fields.video_pid, "video_pid", 8191};
    case ServiceColumn::kAudioPid:
      return {&fields.audio_pid, "audio_pid", 8191};
    case ServiceColumn::kPcrPid:
      return {&fields.pcr_pid, "pcr_pid", 8191};
    case ServiceColumn::kTxtPid:
      return {&fields.txt_pid, "txt_pid", 8191};
    default:
      return {&fields.service_id, "service_id", 65535};
  }
}

}  // namespace

EditResult EditServiceCell(ChannelEditor& editor, channels::ServiceId id, ServiceColumn column,
                           std::string_view text) {
  const Service* service = editor.list().Find(id);
  if (service == nullptr) return Refused("the service is not in the list");
  ServiceFields fields = service->fields();
  switch (column) {
    case ServiceColumn::kName:
      fields.name = std::string(text);
      break;
    case ServiceColumn::kType: {
      const std::string type = Lower(text);
      if (type == "tv" || type == "v") {
        fields.radio = false;
      } else if (type == "radio" || type == "r") {
        fields.radio = true;
      } else {
        return Refused("the type must be TV or Radio");
      }
      break;
    }
    case ServiceColumn::kServiceId:
    case ServiceColumn::kVideoPid:
    case ServiceColumn::kAudioPid:
    case ServiceColumn::kPcrPid:
    case ServiceColumn::kTxtPid: {
      const NumberField field = NumberOf(fields, column);
      const std::optional<long> value = ParseNumber(text, 65535);
      if (!value) {
        return Refused(std::string(field.name) + " must be a number from 0 to " +
                       std::to_string(field.max));
      }
      // Values above the field's range go to the model, which words the
      // refusal in the reader's terms.
      *field.value = static_cast<uint16_t>(*value);
      break;
    }
    default:
      return Refused(std::string(ServiceColumnTitle(column)) + " cannot be typed");
  }
  const channels::ServiceChange change{id, fields};
  return editor.ChangeServices({&change, 1});
}

}  // namespace tavlink::editor
