#pragma once
// Services on the clipboard, as text both desktop editors (and a person)
// can read: a data text of the copied services with the satellites and
// transponders they are on, without the banners, after one comment line.
// A paste reads it with the data text reader, so a text that lost a line
// on the way is refused rather than half pasted. Pasting finds each
// service's satellite (name and position) and transponder (frequency and
// polarization) in the list, and adds those it lacks.

#include <span>
#include <string>
#include <vector>

#include "channels/channel_editor.h"

namespace tavlink::editor {

inline constexpr std::string_view kClipboardHeading = "# ZOR Link channel editor: services";

struct CopiedRows {
  std::string text;  // empty when no service could be copied
  int services = 0;  // copied
  int skipped = 0;   // not copied: on no transponder
};
CopiedRows CopyServices(const channels::ChannelList& list,
                        std::span<const channels::ServiceId> ids);

struct PasteResult {
  channels::EditResult result;              // the first refusal, or done
  std::vector<channels::ServiceId> pasted;  // the new services
  int steps = 0;                            // edits done (satellites, transponders, services)
};
// Inserts the clipboard's services at `position` of the list.
PasteResult PasteServices(channels::ChannelEditor& editor, const std::string& text, int position);

}  // namespace tavlink::editor
