#pragma once
// The check of a whole list before it is written: every problem, not only
// the first. A list without problems gives a block whose data text the
// reader reads back into the block that the list's own block becomes when
// only the text's content is kept (see the tests' definition in
// tests/channels/reader_model.h): the same header counts and antenna_config,
// satellites, transponders grouped by satellite in satellite order, services
// naming the same transponders; zero wherever the text carries nothing.
//
// Two kinds of problem:
//   kRefused    the writer's text would be refused by the reader (a name too
//               long, a PID above 8191, FEC 6, a service naming no
//               transponder...), or the writer writes no text at all (magic);
//   kNotInText  the text is read, but into another list: what the block
//               holds cannot be written as text (a transponder of no
//               satellite, a count outside the table, a setting's value bit
//               set while the setting is none).

#include <string>
#include <vector>

#include "channels/channel_list.h"

namespace tavlink::channels {

struct Problem {
  enum class Kind { kRefused, kNotInText };
  enum class Place { kHeader, kSatellite, kTransponder, kService };
  Kind kind = Kind::kRefused;
  Place place = Place::kHeader;
  uint32_t id = 0;    // the record's identity (SatelliteId and so on); 0 for the header
  int position = 0;   // the record's position in its table, from 0
  std::string field;  // the data text's field name, or the block's
  std::string text;   // one line for a technician, e.g.
                      // service 12 "ZDF": video_pid must be 0 to 8191 (it is 9000)
};

std::vector<Problem> CheckList(const ChannelList& list);

}  // namespace tavlink::channels
