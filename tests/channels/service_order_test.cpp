// Sorts, the order of a reference list, and duplicates, on lists written as
// data text.

#include "channels/service_order.h"

#include <gtest/gtest.h>

#include "channels/channel_editor.h"
#include "channels/text_lists.h"

namespace tavlink::channels {
namespace {

using testing::ListOf;

// Two satellites; ASTRA's transponders 12663 H and 11953 V, HOTBIRD's 10719 V.
const char* const kSatellites =
    "s \"ASTRA\" 9750 10600 u 19.2 e a n n n\n"
    "t 12663 22000 h 0 14 0 3/4\n"
    "t 11953 27500 v 0 14 0 3/4\n"
    "s \"HOTBIRD\" 9750 10600 u 13.0 e b n n n\n"
    "t 10719 27500 v 0 14 0 3/4\n";

std::vector<std::string> Names(const ChannelList& list, const std::vector<int>& order) {
  std::vector<std::string> names;
  for (const int at : order) names.emplace_back(list.services()[static_cast<size_t>(at)].name());
  return names;
}

using Names_ = std::vector<std::string>;

TEST(ServiceOrder, SortsStablyByEachKey) {
  const ChannelList list = ListOf(std::string(kSatellites) +
                                  "r \"beta\"  2 1 30 0 0 0 0 0 0 0\n"
                                  "v \"Alpha\" 1 1 20 0 0 0 0 0 0 0\n"
                                  "v \"alpha\" 1 2 20 0 0 0 0 0 0 0\n"
                                  "r \"Gamma\" 1 1 10 0 0 0 0 0 0 0\n"
                                  "v \"ALPHA\" 2 1 5  0 0 0 0 0 0 0\n");
  EXPECT_EQ(Names(list, SortedServiceOrder(list, ServiceSort::kByName)),
            (Names_{"ALPHA", "Alpha", "alpha", "beta", "Gamma"}));
  EXPECT_EQ(Names(list, SortedServiceOrder(list, ServiceSort::kByServiceId)),
            (Names_{"ALPHA", "Gamma", "Alpha", "alpha", "beta"}));
  // ASTRA 11953 V, ASTRA 12663 H, HOTBIRD 10719 V.
  EXPECT_EQ(Names(list, SortedServiceOrder(list, ServiceSort::kBySatelliteAndFrequency)),
            (Names_{"alpha", "Alpha", "Gamma", "beta", "ALPHA"}));
  EXPECT_EQ(Names(list, SortedServiceOrder(list, ServiceSort::kTvBeforeRadio)),
            (Names_{"Alpha", "alpha", "ALPHA", "beta", "Gamma"}));
}

TEST(ServiceOrder, TakesAReferenceListsOrder) {
  const ChannelList list = ListOf(std::string(kSatellites) +
                                  "v \"One\"   1 1 1 0 0 0 0 0 0 0\n"
                                  "v \"Two\"   1 2 2 0 0 0 0 0 0 0\n"
                                  "v \"Three\" 2 1 3 0 0 0 0 0 0 0\n"
                                  "v \"Four\"  2 1 4 0 0 0 0 0 0 0\n"
                                  "v \"Five\"  1 1 5 0 0 0 0 0 0 0\n");
  // The reference lists HOTBIRD first; its transponders are found by
  // satellite name and position, frequency and polarization, not by number.
  const ChannelList reference = ListOf(
      "s \"HOTBIRD\" 9750 10600 u 13.0 e b n n n\n"
      "t 10719 27500 v 0 14 0 3/4\n"
      "s \"ASTRA\" 9750 10600 u 19.2 e a n n n\n"
      "t 11953 27500 v 0 14 0 3/4\n"
      "t 12663 22000 h 0 14 0 3/4\n"
      "v \"Four\"    1 1 4 0 0 0 0 0 0 0\n"    // by service_id and transponder
      "v \"Renamed\" 2 1 2 0 0 0 0 0 0 0\n"    // Two, by its key
      "v \"Five\"    2 1 77 0 0 0 0 0 0 0\n"   // by name only
      "v \"Absent\"  1 1 9 0 0 0 0 0 0 0\n"    // matches nothing
      "v \"One\"     2 2 1 0 0 0 0 0 0 0\n");  // One on 12663 H
  EXPECT_EQ(Names(list, ReferenceServiceOrder(list, reference)),
            (Names_{"Four", "Two", "Five", "One", "Three"}));

  ChannelEditor editor(list);
  ASSERT_TRUE(editor.ApplyServiceOrder(reference).done());
  EXPECT_EQ(editor.UndoDescription(), "Apply the order of the reference list");
  EXPECT_EQ(editor.list().services()[0].name(), "Four");
  EXPECT_EQ(editor.ApplyServiceOrder(reference).status, EditResult::Status::kNothingToDo);
}

TEST(ServiceOrder, FindsAndRemovesDuplicates) {
  const ChannelList list = ListOf(std::string(kSatellites) +
                                  "v \"A\" 1 1 1 0 0 0 0 0 0 0\n"
                                  "v \"B\" 1 1 1 0 0 0 0 0 0 0\n"  // A's id and transponder
                                  "v \"A\" 1 2 1 0 0 0 0 0 0 0\n"  // another transponder
                                  "v \"C\" 2 1 7 0 0 0 0 0 0 0\n"
                                  "v \"A\" 1 1 1 0 0 0 0 0 0 0\n");  // both
  const auto sameService = FindDuplicateServices(list, DuplicateKind::kSameServiceOnTransponder);
  ASSERT_EQ(sameService.size(), 1u);
  EXPECT_EQ(sameService[0],
            (std::vector<ServiceId>{list.services()[0].id(), list.services()[1].id(),
                                    list.services()[4].id()}));
  const auto sameName = FindDuplicateServices(list, DuplicateKind::kSameName);
  ASSERT_EQ(sameName.size(), 1u);
  EXPECT_EQ(sameName[0].size(), 3u);

  ChannelEditor editor(list);
  ASSERT_TRUE(editor.RemoveDuplicateServices(DuplicateKind::kSameServiceOnTransponder).done());
  EXPECT_EQ(editor.UndoDescription(), "Remove 2 duplicate services");
  std::vector<std::string> left;
  for (const Service& s : editor.list().services()) left.emplace_back(s.name());
  EXPECT_EQ(left, (Names_{"A", "A", "C"}));
  EXPECT_EQ(editor.RemoveDuplicateServices(DuplicateKind::kSameServiceOnTransponder).status,
            EditResult::Status::kNothingToDo);
}

}  // namespace
}  // namespace tavlink::channels
