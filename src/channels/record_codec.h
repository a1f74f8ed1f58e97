#pragma once
// Internal to the channel library: the fields of channel_fields.h read from
// and written into record bytes. Writing sets exactly what the reader sets
// when it reads the same fields from a line (the data text's bits; the name
// and one zero byte) and keeps every other byte and bit of the record.

#include "channels/channel_fields.h"
#include "data/receiver_data_records.h"

namespace tavlink::channels::detail {

Diseqc DiseqcOf(uint32_t satFlags);
Tone ToneOf(uint32_t satFlags);
Switch12 Switch12Of(uint32_t satFlags);
Voltage VoltageOf(uint32_t satFlags);
// sat_flags bits 0-9 for the fields, as the reader stores them.
uint32_t SatFlagBits(const SatelliteFields& fields);
// tp_flags bits 0-6 for the fields.
uint16_t TpFlagBits(const TransponderFields& fields);

void WriteSatelliteFields(const SatelliteFields& fields, SatelliteRecord record);
void WriteTransponderFields(const TransponderFields& fields, TransponderRecord record);
// All but the transponder reference (bits 0-14 of the word at 8 stay).
void WriteServiceFields(const ServiceFields& fields, ServiceRecord record);

}  // namespace tavlink::channels::detail
