#pragma once
// Satellites and transponders as the editor shows them: the columns of the
// satellite/transponder tree, and the form in which one record is added or
// changed (a field per data text setting, each a typed text or a choice of
// the data text's words). A form's texts are read back into fields here, so
// that both desktop editors refuse the same texts with the same messages.

#include <string>
#include <variant>
#include <vector>

#include "channels/channel_list.h"

namespace tavlink::editor {

// The tree's columns: a satellite row and a transponder row each fill all
// five.
//   0 "Satellite / TP": ASTRA 19E     | 11836 H
//   1 "Pos. / SR":      19.2 E        | 27500 (symbol rate)
//   2 "Services":       the services of the satellite | of the transponder
//   3 "LNB / FEC":      9750/10600 universal | FEC 3/4
//   4 "Switches":       DiSEqC a, 22KHz none, 0/12V none, 14/18V none
//                                     | 22KHz 0, 14/18V 14, 0/12V 0
inline constexpr int kTreeColumnCount = 5;
const char* TreeColumnTitle(int column);
std::string SatelliteCellText(const channels::ChannelList& list,
                              const channels::Satellite& satellite, int column);
std::string TransponderCellText(const channels::ChannelList& list,
                                const channels::Transponder& transponder, int column);
// The services whose transponder belongs to `satellite`.
int SatelliteServiceCount(const channels::ChannelList& list, channels::SatelliteId satellite);

// One field of a record form.
struct FormField {
  std::string label;                 // "LNB low (MHz)"
  std::string text;                  // the value now
  std::vector<std::string> choices;  // the words a choice offers; empty for typed text
};
struct RecordForm {
  std::string title;  // "Change satellite \"ASTRA 19E\"", "Add transponder to ..."
  std::vector<FormField> fields;
  std::string message;  // why the last texts were refused; empty at first
};

RecordForm SatelliteForm(const channels::SatelliteFields& fields);
RecordForm TransponderForm(const channels::TransponderFields& fields);

// The form's texts (in its fields' order) as fields, or why not (a number
// that is no number, a word that is no choice, a value the reader refuses).
std::variant<channels::SatelliteFields, std::string> ReadSatelliteForm(
    const std::vector<std::string>& texts);
std::variant<channels::TransponderFields, std::string> ReadTransponderForm(
    const std::vector<std::string>& texts);

// What a new record holds before the technician fills it in.
channels::SatelliteFields NewSatelliteFields();
channels::TransponderFields NewTransponderFields();

}  // namespace tavlink::editor
