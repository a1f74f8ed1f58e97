#include "channels/list_compare.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_map>

#include "channels/record_keys.h"
#include "channels/record_labels.h"

namespace tavlink::channels {
namespace {

struct Pair {
  int before;
  int after;
};

struct Matching {
  std::vector<Pair> pairs;  // by position before
  std::vector<bool> before_matched;
  std::vector<bool> after_matched;
};

// Matches records of equal key, in list order; `Matching` may hold pairs of
// an earlier pass.
void MatchByKey(const std::vector<std::string>& before, const std::vector<std::string>& after,
                Matching& m) {
  std::unordered_map<std::string_view, std::vector<int>> candidates;
  for (size_t j = after.size(); j-- > 0;) {
    if (!m.after_matched[j]) candidates[after[j]].push_back(static_cast<int>(j));
  }
  for (size_t i = 0; i < before.size(); ++i) {
    if (m.before_matched[i]) continue;
    auto it = candidates.find(before[i]);
    if (it == candidates.end() || it->second.empty()) continue;
    const int j = it->second.back();
    it->second.pop_back();
    m.pairs.push_back({static_cast<int>(i), j});
    m.before_matched[i] = true;
    m.after_matched[static_cast<size_t>(j)] = true;
  }
}

Matching NewMatching(size_t before, size_t after) {
  return Matching{{}, std::vector<bool>(before, false), std::vector<bool>(after, false)};
}

void SortPairs(Matching& m) {
  std::sort(m.pairs.begin(), m.pairs.end(),
            [](const Pair& a, const Pair& b) { return a.before < b.before; });
}

// For `values` in their order, true for the members of one longest strictly
// increasing subsequence: the records that kept their order.
std::vector<bool> KeptOrder(const std::vector<int>& values) {
  std::vector<int> tailValue, tailIndex;
  std::vector<int> previous(values.size(), -1);
  for (size_t i = 0; i < values.size(); ++i) {
    const auto at = static_cast<size_t>(
        std::lower_bound(tailValue.begin(), tailValue.end(), values[i]) - tailValue.begin());
    if (at > 0) previous[i] = tailIndex[at - 1];
    if (at == tailValue.size()) {
      tailValue.push_back(values[i]);
      tailIndex.push_back(static_cast<int>(i));
    } else {
      tailValue[at] = values[i];
      tailIndex[at] = static_cast<int>(i);
    }
  }
  std::vector<bool> kept(values.size(), false);
  for (int i = tailIndex.empty() ? -1 : tailIndex.back(); i >= 0;
       i = previous[static_cast<size_t>(i)]) {
    kept[static_cast<size_t>(i)] = true;
  }
  return kept;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (const uint8_t b : bytes) {
    text.push_back(kDigits[b >> 4]);
    text.push_back(kDigits[b & 15]);
  }
  return text;
}

// The record's bytes with everything the data text carries cleared.
template <size_t N>
std::vector<uint8_t> KeptBytes(std::span<const uint8_t, N> record, size_t nameOffset,
                               size_t nameSize,
                               std::initializer_list<std::pair<size_t, uint8_t>> keep) {
  std::vector<uint8_t> kept(N, 0);
  for (const auto& [offset, mask] : keep) kept[offset] = record[offset] & mask;
  if (nameSize > 0) {
    size_t zero = 0;
    while (zero < nameSize && record[nameOffset + zero] != 0) ++zero;
    for (size_t i = zero + 1; i < nameSize; ++i) kept[nameOffset + i] = record[nameOffset + i];
  }
  return kept;
}

std::vector<uint8_t> KeptBytesOf(const Satellite& s) {
  // reserved 6-7 and 22-23; sat_flags bits 10-31
  return KeptBytes(
      s.record(), 12, kSatelliteNameSize,
      {{6, 0xFF}, {7, 0xFF}, {9, 0xFC}, {10, 0xFF}, {11, 0xFF}, {22, 0xFF}, {23, 0xFF}});
}
std::vector<uint8_t> KeptBytesOf(const Transponder& t) {
  // tp_flags bits 7-15; reserved 7
  return KeptBytes(t.record(), 0, 0, {{4, 0x80}, {5, 0xFF}, {7, 0xFF}});
}
std::vector<uint8_t> KeptBytesOf(const Service& s) {
  // service_flags bits 3-15
  return KeptBytes(s.record(), 14, kServiceNameSize, {{12, 0xF8}, {13, 0xFF}});
}

class Fields {
 public:
  template <typename T, typename U>
  void Add(const char* field, const T& before, const U& after) {
    std::string x = Text(before);
    std::string y = Text(after);
    if (x != y) changes_.push_back({field, std::move(x), std::move(y)});
  }
  std::vector<FieldChange> Take() { return std::move(changes_); }

 private:
  static std::string Text(const std::string& s) { return s; }
  static std::string Text(const char* s) { return s; }
  static std::string Text(int v) { return std::to_string(v); }

  std::vector<FieldChange> changes_;
};

const char* Bit(bool on) {
  return on ? "1" : "0";
}

class Comparer {
 public:
  Comparer(const ChannelList& before, const ChannelList& after, const CompareOptions& options)
      : a_(before), b_(after), options_(options) {}

  ListDiff Run() {
    const std::vector<std::string> satA = detail::SatelliteKeys(a_);
    const std::vector<std::string> satB = detail::SatelliteKeys(b_);
    const std::vector<std::string> tpA = detail::TransponderKeys(a_, satA);
    const std::vector<std::string> tpB = detail::TransponderKeys(b_, satB);
    CompareSatellites(satA, satB);
    CompareTransponders(tpA, tpB);
    CompareServices(detail::ServiceKeys(a_, tpA), detail::ServiceKeys(b_, tpB));
    if (a_.antenna_config() != b_.antenna_config()) {
      diff_.antenna_config = AntennaChange{a_.antenna_config(), b_.antenna_config()};
    }
    return std::move(diff_);
  }

 private:
  // Records of one table, in the listing's order.
  void AddRecords(Table table, const Matching& m, const std::vector<bool>& kept,
                  const auto& positionBefore, const auto& positionAfter, const auto& labelBefore,
                  const auto& labelAfter, const auto& changedFields) {
    for (size_t i = 0; i < m.before_matched.size(); ++i) {
      if (m.before_matched[i]) continue;
      diff_.records.push_back({table,
                               DiffKind::kRemoved,
                               labelBefore(static_cast<int>(i)),
                               positionBefore(static_cast<int>(i)),
                               0,
                               {}});
    }
    for (size_t j = 0; j < m.after_matched.size(); ++j) {
      if (m.after_matched[j]) continue;
      diff_.records.push_back({table,
                               DiffKind::kAdded,
                               labelAfter(static_cast<int>(j)),
                               0,
                               positionAfter(static_cast<int>(j)),
                               {}});
    }
    std::vector<size_t> byAfter(m.pairs.size());
    for (size_t k = 0; k < byAfter.size(); ++k) byAfter[k] = k;
    std::sort(byAfter.begin(), byAfter.end(),
              [&](size_t x, size_t y) { return m.pairs[x].after < m.pairs[y].after; });
    for (const size_t k : byAfter) {
      if (kept[k]) continue;
      const Pair& p = m.pairs[k];
      diff_.records.push_back({table,
                               DiffKind::kMoved,
                               labelAfter(p.after),
                               positionBefore(p.before),
                               positionAfter(p.after),
                               {}});
    }
    for (const size_t k : byAfter) {
      const Pair& p = m.pairs[k];
      std::vector<FieldChange> fields = changedFields(p.before, p.after);
      if (fields.empty()) continue;
      diff_.records.push_back({table, DiffKind::kChanged, labelAfter(p.after),
                               positionBefore(p.before), positionAfter(p.after),
                               std::move(fields)});
    }
  }

  template <typename Row>
  void AddKeptBytes(Fields& fields, const Row& before, const Row& after) const {
    if (options_.kept_bytes)
      fields.Add("kept bytes", Hex(KeptBytesOf(before)), Hex(KeptBytesOf(after)));
  }

  void CompareSatellites(const std::vector<std::string>& keysA,
                         const std::vector<std::string>& keysB) {
    Matching m = NewMatching(keysA.size(), keysB.size());
    MatchByKey(keysA, keysB, m);
    SortPairs(m);
    std::vector<int> order;
    for (const Pair& p : m.pairs) order.push_back(p.after);
    const auto position = [](int at) { return at + 1; };
    const auto label = [](const ChannelList& list) {
      return [&list](int at) { return SatellitePlace(list.satellites()[static_cast<size_t>(at)]); };
    };
    AddRecords(Table::kSatellites, m, KeptOrder(order), position, position, label(a_), label(b_),
               [&](int i, int j) {
                 const Satellite& x = a_.satellites()[static_cast<size_t>(i)];
                 const Satellite& y = b_.satellites()[static_cast<size_t>(j)];
                 Fields f;
                 f.Add("lnb_low", int{x.lnb_low()}, int{y.lnb_low()});
                 f.Add("lnb_high", int{x.lnb_high()}, int{y.lnb_high()});
                 f.Add("universal_lnb", x.universal_lnb() ? "universal" : "normal",
                       y.universal_lnb() ? "universal" : "normal");
                 f.Add("DiSEqC", DiseqcText(x.diseqc()), DiseqcText(y.diseqc()));
                 f.Add("22KHz", ToneText(x.tone_22khz()), ToneText(y.tone_22khz()));
                 f.Add("0/12V", SwitchText(x.switch_0_12v()), SwitchText(y.switch_0_12v()));
                 f.Add("14/18V", VoltageText(x.voltage_14_18v()), VoltageText(y.voltage_14_18v()));
                 AddKeptBytes(f, x, y);
                 return f.Take();
               });
  }

  // A transponder's position among its satellite's transponders, from 1
  // (among those of no satellite for one of no satellite).
  static std::vector<int> TransponderPositions(const ChannelList& list) {
    std::vector<int> numbers(list.transponders().size(), 0);
    std::vector<SatelliteId> groups{SatelliteId{}};
    for (const Satellite& s : list.satellites()) groups.push_back(s.id());
    for (const SatelliteId g : groups) {
      int n = 0;
      for (const int at : list.TransponderPositionsOf(g)) numbers[static_cast<size_t>(at)] = ++n;
    }
    return numbers;
  }

  static std::string TransponderPlace(const ChannelList& list, const Transponder& tp) {
    const Satellite* sat = list.Find(tp.satellite());
    return TransponderLabel(tp) + " of " + (sat ? SatellitePlace(*sat) : "no satellite");
  }

  void CompareTransponders(const std::vector<std::string>& keysA,
                           const std::vector<std::string>& keysB) {
    Matching m = NewMatching(keysA.size(), keysB.size());
    MatchByKey(keysA, keysB, m);
    SortPairs(m);
    const std::vector<int> numberA = TransponderPositions(a_);
    const std::vector<int> numberB = TransponderPositions(b_);
    // Order is kept per satellite: pairs grouped by the satellite after,
    // each group in the order before.
    std::vector<bool> kept(m.pairs.size(), false);
    std::unordered_map<uint32_t, std::vector<size_t>> groups;
    for (size_t k = 0; k < m.pairs.size(); ++k) {
      groups[b_.transponders()[static_cast<size_t>(m.pairs[k].after)].satellite().value].push_back(
          k);
    }
    for (const auto& [satellite, members] : groups) {
      std::vector<int> order;
      for (const size_t k : members)
        order.push_back(numberB[static_cast<size_t>(m.pairs[k].after)]);
      const std::vector<bool> groupKept = KeptOrder(order);
      for (size_t g = 0; g < members.size(); ++g) kept[members[g]] = groupKept[g];
    }
    const auto position = [](const std::vector<int>& numbers) {
      return [&numbers](int at) { return numbers[static_cast<size_t>(at)]; };
    };
    const auto label = [](const ChannelList& list) {
      return [&list](int at) {
        return TransponderPlace(list, list.transponders()[static_cast<size_t>(at)]);
      };
    };
    AddRecords(Table::kTransponders, m, kept, position(numberA), position(numberB), label(a_),
               label(b_), [&](int i, int j) {
                 const Transponder& x = a_.transponders()[static_cast<size_t>(i)];
                 const Transponder& y = b_.transponders()[static_cast<size_t>(j)];
                 Fields f;
                 f.Add("symbolrate", int{x.symbolrate()}, int{y.symbolrate()});
                 f.Add("22 KHz", x.tone_22khz() ? "22" : "0", y.tone_22khz() ? "22" : "0");
                 f.Add("14/18 Volt", x.voltage_18v() ? "18" : "14", y.voltage_18v() ? "18" : "14");
                 f.Add("0/12 Volt", x.switch_12v() ? "12" : "0", y.switch_12v() ? "12" : "0");
                 f.Add("FEC", FecText(x.fec()), FecText(y.fec()));
                 AddKeptBytes(f, x, y);
                 return f.Take();
               });
  }

  static std::string ServicePlace(const ChannelList& list, const Service& s) {
    const Transponder* tp = list.Find(s.transponder());
    return QuotedName(s.name()) + " (service_id " + std::to_string(s.service_id()) + " on " +
           (tp ? TransponderPlace(list, *tp) : "no transponder") + ")";
  }

  void CompareServices(const std::vector<std::string>& keysA,
                       const std::vector<std::string>& keysB) {
    // First the same key and name, then the same key alone (a renamed service).
    const auto withNames = [](const ChannelList& list, const std::vector<std::string>& keys) {
      std::vector<std::string> named = keys;
      for (size_t i = 0; i < named.size(); ++i) {
        named[i].push_back('\0');
        named[i] += list.services()[i].name();
      }
      return named;
    };
    Matching m = NewMatching(keysA.size(), keysB.size());
    MatchByKey(withNames(a_, keysA), withNames(b_, keysB), m);
    MatchByKey(keysA, keysB, m);
    SortPairs(m);
    std::vector<int> order;
    for (const Pair& p : m.pairs) order.push_back(p.after);
    const auto position = [](int at) { return at + 1; };
    const auto label = [](const ChannelList& list) {
      return
          [&list](int at) { return ServicePlace(list, list.services()[static_cast<size_t>(at)]); };
    };
    AddRecords(Table::kServices, m, KeptOrder(order), position, position, label(a_), label(b_),
               [&](int i, int j) {
                 const Service& x = a_.services()[static_cast<size_t>(i)];
                 const Service& y = b_.services()[static_cast<size_t>(j)];
                 Fields f;
                 f.Add("name", QuotedName(x.name()), QuotedName(y.name()));
                 f.Add("tv_radio", x.radio() ? "radio" : "tv", y.radio() ? "radio" : "tv");
                 f.Add("video_pid", int{x.video_pid()}, int{y.video_pid()});
                 f.Add("audio_pid", int{x.audio_pid()}, int{y.audio_pid()});
                 f.Add("pcr_pid", int{x.pcr_pid()}, int{y.pcr_pid()});
                 f.Add("txt_pid", int{x.txt_pid()}, int{y.txt_pid()});
                 f.Add("scramble", Bit(x.scramble()), Bit(y.scramble()));
                 f.Add("favorite", Bit(x.favorite()), Bit(y.favorite()));
                 f.Add("lock", Bit(x.lock()), Bit(y.lock()));
                 AddKeptBytes(f, x, y);
                 return f.Take();
               });
  }

  const ChannelList& a_;
  const ChannelList& b_;
  const CompareOptions& options_;
  ListDiff diff_;
};

}  // namespace

int ListDiff::Count(Table table, DiffKind kind) const {
  return static_cast<int>(std::count_if(records.begin(), records.end(), [&](const RecordDiff& r) {
    return r.table == table && r.kind == kind;
  }));
}

ListDiff CompareLists(const ChannelList& before, const ChannelList& after,
                      const CompareOptions& options) {
  return Comparer(before, after, options).Run();
}

}  // namespace tavlink::channels
