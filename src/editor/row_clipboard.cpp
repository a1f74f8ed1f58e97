#include "editor/row_clipboard.h"

#include <map>
#include <set>

#include "channels/data_text_load.h"

namespace tavlink::editor {

using channels::ChannelEditor;
using channels::ChannelList;
using channels::EditResult;
using channels::SatelliteId;
using channels::ServiceId;
using channels::TransponderId;

namespace {

// The data lines of a data text, after the heading: banners, comments and
// empty lines dropped. Lines end with CR LF, as the writer stores them.
std::string DataLines(const std::string& text) {
  std::string out(kClipboardHeading);
  out += "\r\n";
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size() - 1;
    const std::string line = text.substr(start, end - start + 1);
    const size_t first = line.find_first_not_of(" \t\r\n");
    if (first != std::string::npos && line[first] != '#') out += line;
    start = end + 1;
  }
  return out;
}

bool SameSatellite(const channels::Satellite& a, const channels::Satellite& b) {
  return a.name() == b.name() && a.angle() == b.angle() && a.west() == b.west();
}

}  // namespace

CopiedRows CopyServices(const ChannelList& list, std::span<const ServiceId> ids) {
  CopiedRows copied;
  // The copied services in list order, and what they are on.
  std::set<int> positions;
  for (ServiceId id : ids) {
    const int position = list.PositionOf(id);
    if (position < 0) continue;
    const channels::Service& service = list.services()[static_cast<size_t>(position)];
    if (list.Find(service.transponder()) == nullptr ||
        list.Find(list.SatelliteOf(service)) == nullptr) {
      ++copied.skipped;
      continue;
    }
    positions.insert(position);
  }
  if (positions.empty()) return copied;

  ChannelEditor out{ChannelList(), 0};
  std::map<SatelliteId, SatelliteId> satellites;  // list's -> copy's
  std::map<TransponderId, TransponderId> transponders;
  std::vector<channels::ServiceFields> services;
  for (int position : positions) {
    const channels::Service& service = list.services()[static_cast<size_t>(position)];
    const channels::Transponder& transponder = *list.Find(service.transponder());
    const SatelliteId satellite = list.SatelliteOf(service);
    if (!satellites.count(satellite)) {
      const channels::SatelliteFields fields = list.Find(satellite)->fields();
      std::vector<SatelliteId> made;
      out.InsertSatellites(static_cast<int>(satellites.size()), {&fields, 1}, &made);
      satellites[satellite] = made.front();
    }
    if (!transponders.count(transponder.id())) {
      const channels::TransponderFields fields = transponder.fields();
      std::vector<TransponderId> made;
      out.InsertTransponders(satellites[satellite], kMaxTransponders, {&fields, 1}, &made);
      transponders[transponder.id()] = made.front();
    }
    channels::ServiceFields fields = service.fields();
    fields.transponder = transponders[transponder.id()];
    services.push_back(std::move(fields));
  }
  out.InsertServices(0, services);
  copied.services = static_cast<int>(out.list().services().size());
  copied.text = DataLines(out.list().ToDataText());
  return copied;
}

PasteResult PasteServices(ChannelEditor& editor, const std::string& text, int position) {
  PasteResult paste;
  channels::DataTextLoad load = channels::LoadDataText(text);
  if (!load.list || load.list->services().empty()) {
    paste.result = {EditResult::Status::kRefused,
                    load.list ? "The clipboard holds no services."
                              : "The clipboard holds no services the editor can read: line " +
                                    std::to_string(load.line) + ": " + load.message};
    return paste;
  }
  const ChannelList& from = *load.list;
  std::map<SatelliteId, SatelliteId> satellites;  // clipboard's -> list's
  for (const channels::Satellite& satellite : from.satellites()) {
    for (const channels::Satellite& mine : editor.list().satellites()) {
      if (SameSatellite(satellite, mine)) {
        satellites[satellite.id()] = mine.id();
        break;
      }
    }
    if (satellites.count(satellite.id())) continue;
    const channels::SatelliteFields fields = satellite.fields();
    std::vector<SatelliteId> made;
    paste.result = editor.InsertSatellites(kMaxSatellites, {&fields, 1}, &made);
    if (!paste.result.done()) return paste;
    ++paste.steps;
    satellites[satellite.id()] = made.front();
  }
  std::map<TransponderId, TransponderId> transponders;
  for (const channels::Transponder& transponder : from.transponders()) {
    const SatelliteId satellite = satellites[transponder.satellite()];
    for (int at : editor.list().TransponderPositionsOf(satellite)) {
      const channels::Transponder& mine = editor.list().transponders()[static_cast<size_t>(at)];
      if (mine.frequency() == transponder.frequency() &&
          mine.horizontal() == transponder.horizontal()) {
        transponders[transponder.id()] = mine.id();
        break;
      }
    }
    if (transponders.count(transponder.id())) continue;
    const channels::TransponderFields fields = transponder.fields();
    std::vector<TransponderId> made;
    paste.result = editor.InsertTransponders(satellite, kMaxTransponders, {&fields, 1}, &made);
    if (!paste.result.done()) return paste;
    ++paste.steps;
    transponders[transponder.id()] = made.front();
  }
  std::vector<channels::ServiceFields> services;
  for (const channels::Service& service : from.services()) {
    channels::ServiceFields fields = service.fields();
    fields.transponder = transponders[service.transponder()];
    services.push_back(std::move(fields));
  }
  paste.result = editor.InsertServices(position, services, &paste.pasted);
  if (paste.result.done()) ++paste.steps;
  return paste;
}

}  // namespace tavlink::editor
