#pragma once
// The check every front end makes after saving a data text made from a
// received or stored block: the writer puts out whatever the block holds
// (names with quotes or control bytes, an antenna value outside -1 to 8),
// and the reader refuses some of it, so the technician is told at once
// rather than when writing the file back.

#include <string>
#include <string_view>

namespace tavlink {

// Said before the reader's message when a saved text does not read back.
inline constexpr std::string_view kSavedTextRefused =
    "The file is saved, but Write Factory Data would refuse it as it stands:";

// The reader's message (its line and field) when it refuses `text`, the
// bytes of a data text as saved (CR LF line ends); empty when the text reads
// back. Reads into a scratch block of its own.
std::string ReadBackError(std::string_view text);

}  // namespace tavlink
