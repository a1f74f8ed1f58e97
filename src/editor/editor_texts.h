#pragma once
// The channel editor's fixed texts and the texts it makes from a list: the
// window title, the status line with the counts against the tables'
// limits, the antenna configuration's meanings, and the questions it asks.
// Both desktop editors show them as given.

#include <string>
#include <string_view>
#include <vector>

#include "channels/channel_editor.h"

namespace tavlink::editor {

inline constexpr std::string_view kEditorName = "ZOR Link Channel Editor";

// 1212 as "1,212".
std::string Grouped(long long value);

// "sample.txt * - ZOR Link Channel Editor" while modified, without the mark
// otherwise; `documentName` is the file's name without its folder.
std::string WindowTitle(std::string_view documentName, bool modified);

// "1,212 of 1,500 services, 24 of 1,024 transponders, 3 of 106 satellites";
// with `shown` below the service count, "12 shown, " first.
std::string CountsText(const channels::ChannelList& list, int shown);

struct AntennaChoice {
  int value;         // -1 to 8
  std::string text;  // "1: DiSEqC"
};
// The ten values the antenna configuration takes, -1 first, with the
// meanings the data text's banner gives them.
const std::vector<AntennaChoice>& AntennaChoices();
// The meaning of `value`; for a value outside -1..8 (a received block),
// "N: not a configuration the receiver knows".
std::string AntennaText(int value);

// "Delete transponder 12663 H and its 4 services?"
std::string DeleteQuestion(const channels::DeleteImpact& impact);

// "Save the changes to sample.txt?" (Untitled, the receiver's data...).
std::string SaveChangesQuestion(std::string_view documentName);

}  // namespace tavlink::editor
