#include "channels/record_labels.h"

namespace tavlink::channels {

std::string AngleText(int tenths) {
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

std::string QuotedName(std::string_view name) {
  std::string text = "\"";
  text += name;
  text += '"';
  return text;
}

std::string SatellitePlace(const Satellite& satellite) {
  return QuotedName(satellite.name()) + " " + AngleText(satellite.angle()) +
         (satellite.west() ? " west" : " east");
}

std::string TransponderLabel(const Transponder& transponder) {
  return std::to_string(transponder.frequency()) + (transponder.horizontal() ? " H" : " V");
}

}  // namespace tavlink::channels
