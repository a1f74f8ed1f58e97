#include "editor/editor_texts.h"

#include <array>

namespace tavlink::editor {

std::string Grouped(long long value) {
  const bool negative = value < 0;
  std::string digits = std::to_string(negative ? -value : value);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return negative ? "-" + out : out;
}

std::string WindowTitle(std::string_view documentName, bool modified) {
  std::string title(documentName);
  if (modified) title += " *";
  title += " - ";
  title += kEditorName;
  return title;
}

namespace {

std::string OfLimit(size_t count, int limit, const char* noun) {
  return Grouped(static_cast<long long>(count)) + " of " + Grouped(limit) + " " + noun;
}

}  // namespace

std::string CountsText(const channels::ChannelList& list, int shown) {
  std::string text;
  if (shown >= 0 && static_cast<size_t>(shown) < list.services().size()) {
    text = Grouped(shown) + " shown, ";
  }
  text += OfLimit(list.services().size(), kMaxServices, "services") + ", ";
  text += OfLimit(list.transponders().size(), kMaxTransponders, "transponders") + ", ";
  text += OfLimit(list.satellites().size(), kMaxSatellites, "satellites");
  return text;
}

const std::vector<AntennaChoice>& AntennaChoices() {
  static const std::vector<AntennaChoice> choices = {
      {-1, "-1: ignore the switch config (each satellite's own settings)"},
      {0, "0: none"},
      {1, "1: DiSEqC"},
      {2, "2: 22KHz"},
      {3, "3: 0/12V"},
      {4, "4: 14/18V + 22KHz"},
      {5, "5: 0/12V + 14/18V"},
      {6, "6: 0/12V + 22KHz"},
      {7, "7: 0/12V + DiSEqC"},
      {8, "8: 0/12V + 14/18V + 22KHz"},
  };
  return choices;
}

std::string AntennaText(int value) {
  for (const AntennaChoice& choice : AntennaChoices()) {
    if (choice.value == value) return choice.text;
  }
  return std::to_string(value) + ": not a configuration the receiver knows";
}

std::string DeleteQuestion(const channels::DeleteImpact& impact) {
  return impact.description + "?";
}

std::string SaveChangesQuestion(std::string_view documentName) {
  return "Save the changes to " + std::string(documentName) + "?";
}

}  // namespace tavlink::editor
