#include "cli/iso_time.h"

#include <cstdio>

namespace tavlink::cli {

std::string IsoTime(std::chrono::system_clock::time_point at) {
  const long long seconds = std::chrono::floor<std::chrono::seconds>(at.time_since_epoch()).count();
  long long days = seconds / 86400;
  long long rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  // Counted from 0000-03-01 in eras of 400 years (146,097 days), so that
  // the leap day ends a year: March is month 0, February month 11.
  days += 719468;
  const long long era = (days >= 0 ? days : days - 146096) / 146097;
  const long long dayOfEra = days - era * 146097;
  const long long yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const long long monthFromMarch = (5 * dayOfYear + 2) / 153;
  const long long day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
  const long long month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
  // January and February belong to the year after the one their March began.
  const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  char text[128];
  std::snprintf(text, sizeof text, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lldZ", year, month, day,
                rest / 3600, rest / 60 % 60, rest % 60);
  return text;
}

}  // namespace tavlink::cli
