#pragma once
// Short texts that name a record for a technician, used in the edits'
// descriptions, the check's problems and the comparison's listing.

#include <string>

#include "channels/channel_rows.h"

namespace tavlink::channels {

// The angle as the data text writes it: 192 as "19.2".
std::string AngleText(int tenths);
// The name in double quotes: "ASTRA 1".
std::string QuotedName(std::string_view name);
// The name and the orbital position: "ASTRA 1" 19.2 east.
std::string SatellitePlace(const Satellite& satellite);
// Frequency and polarization: 12663 H.
std::string TransponderLabel(const Transponder& transponder);

}  // namespace tavlink::channels
