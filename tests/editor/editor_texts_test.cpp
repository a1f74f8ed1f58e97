// The editor's texts made from a list: numbers, the title, the counts, the
// antenna meanings, the questions, and the tree's cells, on the sample.
#include "editor/editor_texts.h"

#include <gtest/gtest.h>

#include "channels/data_text_load.h"
#include "editor/record_forms.h"
#include "support/file_bytes.h"
#include "support/paths.h"

namespace tavlink::editor {
namespace {

channels::ChannelList Sample() {
  channels::DataTextLoad load =
      channels::LoadDataText(testing::ReadBytes(testing::SampleDataText().string()));
  EXPECT_TRUE(load.list.has_value()) << load.message;
  return load.list ? std::move(*load.list) : channels::ChannelList();
}

TEST(EditorTextsTest, NumbersAreGroupedByThousands) {
  EXPECT_EQ(Grouped(0), "0");
  EXPECT_EQ(Grouped(999), "999");
  EXPECT_EQ(Grouped(1000), "1,000");
  EXPECT_EQ(Grouped(1212), "1,212");
  EXPECT_EQ(Grouped(65536), "65,536");
  EXPECT_EQ(Grouped(1234567), "1,234,567");
  EXPECT_EQ(Grouped(-1500), "-1,500");
}

TEST(EditorTextsTest, TitleCarriesTheMarkOnlyWhileModified) {
  EXPECT_EQ(WindowTitle("sample.txt", false), "sample.txt - ZOR Link Channel Editor");
  EXPECT_EQ(WindowTitle("sample.txt", true), "sample.txt * - ZOR Link Channel Editor");
}

TEST(EditorTextsTest, CountsStandAgainstTheTablesLimits) {
  const channels::ChannelList sample = Sample();
  EXPECT_EQ(CountsText(sample, 16),
            "16 of 1,500 services, 9 of 1,024 transponders, 3 of 106 satellites");
  EXPECT_EQ(CountsText(sample, 4),
            "4 shown, 16 of 1,500 services, 9 of 1,024 transponders, 3 of 106 satellites");
  EXPECT_EQ(CountsText(channels::ChannelList(), -1),
            "0 of 1,500 services, 0 of 1,024 transponders, 0 of 106 satellites");
}

TEST(EditorTextsTest, AntennaValuesHaveTheBannersMeanings) {
  ASSERT_EQ(AntennaChoices().size(), 10u);
  EXPECT_EQ(AntennaChoices().front().value, -1);
  EXPECT_EQ(AntennaChoices().back().value, 8);
  EXPECT_EQ(AntennaText(3), "3: 0/12V");
  EXPECT_EQ(AntennaText(8), "8: 0/12V + 14/18V + 22KHz");
  // A received block may hold anything.
  EXPECT_EQ(AntennaText(9), "9: not a configuration the receiver knows");
}

TEST(EditorTextsTest, DeleteQuestionsGiveTheModelsCounts) {
  channels::ChannelEditor editor(Sample());
  const channels::ChannelList& list = editor.list();
  const channels::TransponderId zdf = list.services()[1].transponder();  // 11953 H: ZDF, 3sat
  EXPECT_EQ(DeleteQuestion(editor.TransponderDeletion({&zdf, 1})),
            "Delete transponder 11953 H and its 2 services?");
  const channels::SatelliteId hotbird = list.satellites()[1].id();
  EXPECT_EQ(DeleteQuestion(editor.SatelliteDeletion({&hotbird, 1})),
            "Delete satellite \"HOTBIRD13\", its 2 transponders and 5 services?");
  EXPECT_EQ(SaveChangesQuestion("Untitled"), "Save the changes to Untitled?");
}

TEST(EditorTextsTest, TreeCellsOfASatelliteAndATransponder) {
  const channels::ChannelList sample = Sample();
  const channels::Satellite& astra = sample.satellites()[0];
  const std::vector<std::string> satellite = {
      SatelliteCellText(sample, astra, 0), SatelliteCellText(sample, astra, 1),
      SatelliteCellText(sample, astra, 2), SatelliteCellText(sample, astra, 3),
      SatelliteCellText(sample, astra, 4)};
  EXPECT_EQ(satellite, (std::vector<std::string>{"ASTRA 19E", "19.2 E", "8", "9750/10600 universal",
                                                 "DiSEqC a, 22KHz none, 0/12V none, 14/18V none"}));
  const channels::Transponder& last = sample.transponders()[4];  // 12544 H 22000 5/6
  EXPECT_EQ(TransponderCellText(sample, last, 0), "12544 H");
  EXPECT_EQ(TransponderCellText(sample, last, 1), "22000");
  EXPECT_EQ(TransponderCellText(sample, last, 2), "2");
  EXPECT_EQ(TransponderCellText(sample, last, 3), "FEC 5/6");
  EXPECT_EQ(TransponderCellText(sample, last, 4), "22KHz 0, 14/18V 14, 0/12V 0");
}

}  // namespace
}  // namespace tavlink::editor
