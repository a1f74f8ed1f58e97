#include "editor/service_filter.h"

#include <algorithm>
#include <cctype>

namespace tavlink::editor {

namespace {

bool ContainsWithoutCase(std::string_view text, std::string_view part) {
  if (part.empty()) return true;
  auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
  return std::search(text.begin(), text.end(), part.begin(), part.end(),
                     [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

}  // namespace

bool Matches(const channels::ChannelList& list, const channels::Service& service,
             const ServiceFilter& filter) {
  if (filter.kind == ServiceFilter::Kind::kTv && service.radio()) return false;
  if (filter.kind == ServiceFilter::Kind::kRadio && !service.radio()) return false;
  if (filter.favourites_only && !service.favorite()) return false;
  if (filter.transponder.valid() && service.transponder() != filter.transponder) return false;
  if (filter.satellite.valid() && list.SatelliteOf(service) != filter.satellite) return false;
  return ContainsWithoutCase(service.name(), filter.name);
}

std::vector<int> ShownServices(const channels::ChannelList& list, const ServiceFilter& filter) {
  const auto& services = list.services();
  std::vector<int> shown;
  shown.reserve(services.size());
  for (size_t i = 0; i < services.size(); ++i) {
    if (filter.empty() || Matches(list, services[i], filter)) shown.push_back(static_cast<int>(i));
  }
  return shown;
}

}  // namespace tavlink::editor
