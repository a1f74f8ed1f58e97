#include "channels/service_order.h"

#include <algorithm>
#include <numeric>
#include <string_view>
#include <unordered_map>

#include "channels/record_keys.h"

namespace tavlink::channels {
namespace {

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// ASCII letters without case first; names equal that way by their bytes.
bool NameLess(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(Lower(a[i]));
    const auto y = static_cast<unsigned char>(Lower(b[i]));
    if (x != y) return x < y;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

std::vector<int> Identity(size_t size) {
  std::vector<int> order(size);
  std::iota(order.begin(), order.end(), 0);
  return order;
}

// Positions in `list` of services matched to each reference service, filled
// from queues of candidates by key.
class Matcher {
 public:
  explicit Matcher(size_t services) : matched_(services, false) {}

  // Matches every reference service whose key has an unmatched candidate.
  void Match(const std::vector<std::string>& keys, const std::vector<std::string>& referenceKeys,
             std::vector<int>& matchOfReference) {
    std::unordered_map<std::string_view, std::vector<int>> candidates;
    for (size_t i = keys.size(); i-- > 0;) {
      if (!matched_[i]) candidates[keys[i]].push_back(static_cast<int>(i));
    }
    for (size_t r = 0; r < referenceKeys.size(); ++r) {
      if (matchOfReference[r] >= 0) continue;
      auto it = candidates.find(referenceKeys[r]);
      if (it == candidates.end() || it->second.empty()) continue;
      const int at = it->second.back();  // the first in list order
      it->second.pop_back();
      matchOfReference[r] = at;
      matched_[static_cast<size_t>(at)] = true;
    }
  }

  bool matched(size_t i) const { return matched_[i]; }

 private:
  std::vector<bool> matched_;
};

std::vector<std::string> Names(const ChannelList& list) {
  std::vector<std::string> names;
  names.reserve(list.services().size());
  for (const Service& s : list.services()) names.emplace_back(s.name());
  return names;
}

}  // namespace

std::vector<int> SortedServiceOrder(const ChannelList& list, ServiceSort sort) {
  const auto& services = list.services();
  std::vector<int> order = Identity(services.size());
  auto at = [&](int i) -> const Service& { return services[static_cast<size_t>(i)]; };
  switch (sort) {
    case ServiceSort::kByName:
      std::stable_sort(order.begin(), order.end(),
                       [&](int a, int b) { return NameLess(at(a).name(), at(b).name()); });
      break;
    case ServiceSort::kByServiceId:
      std::stable_sort(order.begin(), order.end(),
                       [&](int a, int b) { return at(a).service_id() < at(b).service_id(); });
      break;
    case ServiceSort::kBySatelliteAndFrequency: {
      // satellite position (none last), frequency, vertical before horizontal
      std::vector<uint64_t> keys(services.size());
      for (size_t i = 0; i < services.size(); ++i) {
        const Transponder* tp = list.Find(services[i].transponder());
        const int sat = tp ? list.PositionOf(tp->satellite()) : -1;
        keys[i] = sat < 0 ? UINT64_MAX
                          : (static_cast<uint64_t>(sat) << 32) | (uint64_t{tp->frequency()} << 1) |
                                (tp->horizontal() ? 1 : 0);
      }
      std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return keys[static_cast<size_t>(a)] < keys[static_cast<size_t>(b)];
      });
      break;
    }
    case ServiceSort::kTvBeforeRadio:
      std::stable_partition(order.begin(), order.end(), [&](int a) { return !at(a).radio(); });
      break;
  }
  return order;
}

std::vector<int> ReferenceServiceOrder(const ChannelList& list, const ChannelList& reference) {
  const auto keysOf = [](const ChannelList& l) {
    return detail::ServiceKeys(l, detail::TransponderKeys(l, detail::SatelliteKeys(l)));
  };
  const size_t size = list.services().size();
  std::vector<int> matchOfReference(reference.services().size(), -1);
  Matcher matcher(size);
  matcher.Match(keysOf(list), keysOf(reference), matchOfReference);
  matcher.Match(Names(list), Names(reference), matchOfReference);

  std::vector<int> order;
  order.reserve(size);
  for (const int at : matchOfReference) {
    if (at >= 0) order.push_back(at);
  }
  for (size_t i = 0; i < size; ++i) {
    if (!matcher.matched(i)) order.push_back(static_cast<int>(i));
  }
  return order;
}

std::vector<std::vector<ServiceId>> FindDuplicateServices(const ChannelList& list,
                                                          DuplicateKind kind) {
  const auto& services = list.services();
  std::vector<std::string> keys;
  keys.reserve(services.size());
  for (const Service& s : services) {
    if (kind == DuplicateKind::kSameName) {
      keys.emplace_back(s.name());
    } else {
      // service_id and transponder; a service without a transponder is a
      // duplicate of none, so its own identity keys it.
      std::string key = std::to_string(s.service_id());
      key += s.transponder().valid() ? '/' : '#';
      key += std::to_string(s.transponder().valid() ? s.transponder().value : s.id().value);
      keys.push_back(std::move(key));
    }
  }
  std::unordered_map<std::string_view, size_t> groupOf;
  std::vector<std::vector<ServiceId>> groups;
  for (size_t i = 0; i < services.size(); ++i) {
    const auto [it, added] = groupOf.try_emplace(keys[i], groups.size());
    if (added) groups.emplace_back();
    groups[it->second].push_back(services[i].id());
  }
  std::erase_if(groups, [](const std::vector<ServiceId>& g) { return g.size() < 2; });
  return groups;
}

}  // namespace tavlink::channels
