// The services table's cells and their edits in place, the record forms of
// satellites and transponders, and the filter, on the sample.
#include <gtest/gtest.h>

#include "channels/data_text_load.h"
#include "editor/record_forms.h"
#include "editor/service_columns.h"
#include "editor/service_filter.h"
#include "support/file_bytes.h"
#include "support/paths.h"

namespace tavlink::editor {
namespace {

using channels::ChannelEditor;

channels::ChannelList Sample() {
  channels::DataTextLoad load =
      channels::LoadDataText(testing::ReadBytes(testing::SampleDataText().string()));
  return load.list ? std::move(*load.list) : channels::ChannelList();
}

std::vector<std::string> Row(const channels::ChannelList& list, int position) {
  std::vector<std::string> cells;
  for (int column = 0; column < kServiceColumnCount; ++column) {
    cells.push_back(ServiceCellText(list, position, static_cast<ServiceColumn>(column)));
  }
  return cells;
}

TEST(ServiceTableTest, ARowShowsEveryColumnOfTheService) {
  const channels::ChannelList sample = Sample();
  // "ZDF" 1 2 28006 110 120 110 130 0 1 0
  EXPECT_EQ(Row(sample, 1),
            (std::vector<std::string>{"2", "ZDF", "TV", "ASTRA 19E", "11953 H", "28006", "110",
                                      "120", "110", "130", "yes", "", ""}));
  // "Bayern 3", a radio service on the fourth transponder.
  EXPECT_EQ(Row(sample, 6)[2], "Radio");
  EXPECT_EQ(Row(sample, 6)[4], "12266 H");
  EXPECT_EQ(Row(sample, 15)[3], "TURKSAT3A");
}

TEST(ServiceTableTest, TypedCellsChangeTheirField) {
  ChannelEditor editor(Sample());
  const channels::ServiceId zdf = editor.list().services()[1].id();
  EXPECT_TRUE(EditServiceCell(editor, zdf, ServiceColumn::kName, "ZDF HD").done());
  EXPECT_TRUE(EditServiceCell(editor, zdf, ServiceColumn::kVideoPid, " 8191 ").done());
  EXPECT_TRUE(EditServiceCell(editor, zdf, ServiceColumn::kType, "radio").done());
  EXPECT_TRUE(EditServiceCell(editor, zdf, ServiceColumn::kServiceId, "65535").done());
  EXPECT_EQ(Row(editor.list(), 1),
            (std::vector<std::string>{"2", "ZDF HD", "Radio", "ASTRA 19E", "11953 H", "65535",
                                      "8191", "120", "110", "130", "yes", "", ""}));
  EXPECT_TRUE(EditServiceCell(editor, zdf, ServiceColumn::kType, "V").done());
  EXPECT_EQ(Row(editor.list(), 1)[2], "TV");
}

// A refused value keeps the old one, with the model's message or the
// field's own.
TEST(ServiceTableTest, RefusedCellsKeepTheOldValue) {
  ChannelEditor editor(Sample());
  const channels::ServiceId zdf = editor.list().services()[1].id();
  const uint64_t revision = editor.revision();
  struct Case {
    ServiceColumn column;
    const char* text;
    const char* message;
  };
  for (const Case& c : {
           Case{ServiceColumn::kVideoPid, "9000", "video_pid must be 0 to 8191"},
           Case{ServiceColumn::kAudioPid, "70000", "audio_pid must be a number from 0 to 8191"},
           Case{ServiceColumn::kPcrPid, "-1", "pcr_pid must be a number from 0 to 8191"},
           Case{ServiceColumn::kTxtPid, "12a", "txt_pid must be a number from 0 to 8191"},
           Case{ServiceColumn::kServiceId, "", "service_id must be a number from 0 to 65535"},
           Case{ServiceColumn::kName, "FOURTEEN CHARS", "name must be at most 13 characters"},
           Case{ServiceColumn::kName, "Z\"DF", "name must not contain a double quote"},
           Case{ServiceColumn::kType, "data", "the type must be TV or Radio"},
           Case{ServiceColumn::kSatellite, "HOTBIRD13", "Satellite cannot be typed"},
       }) {
    const channels::EditResult result = EditServiceCell(editor, zdf, c.column, c.text);
    EXPECT_TRUE(result.refused()) << c.text;
    EXPECT_NE(result.message.find(c.message), std::string::npos)
        << c.text << ": " << result.message;
  }
  EXPECT_EQ(editor.revision(), revision);
  EXPECT_EQ(Row(editor.list(), 1)[1], "ZDF");
  EXPECT_EQ(Row(editor.list(), 1)[6], "110");
}

TEST(RecordFormTest, SatelliteFormShowsTheDataTextsWordsAndReadsThemBack) {
  const channels::ChannelList sample = Sample();
  const RecordForm form = SatelliteForm(sample.satellites()[1].fields());  // HOTBIRD13
  std::vector<std::string> texts;
  for (const FormField& field : form.fields) texts.push_back(field.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"HOTBIRD13", "9750", "10600", "universal", "13.0",
                                             "east", "b", "none", "none", "none"}));
  texts[0] = "EUTELSAT";
  texts[4] = "7.5";
  texts[5] = "west";
  texts[7] = "22";
  const auto read = ReadSatelliteForm(texts);
  ASSERT_TRUE(std::holds_alternative<channels::SatelliteFields>(read))
      << std::get<std::string>(read);
  const auto& fields = std::get<channels::SatelliteFields>(read);
  EXPECT_EQ(fields.name, "EUTELSAT");
  EXPECT_EQ(fields.angle, 75);
  EXPECT_TRUE(fields.west);
  EXPECT_EQ(fields.tone_22khz, channels::Tone::k22);
  EXPECT_EQ(fields.diseqc, channels::Diseqc::kB);
}

TEST(RecordFormTest, SatelliteFormRefusesWhatTheReaderWould) {
  const std::vector<std::string> good = {"ASTRA", "9750", "10600", "universal", "19.2",
                                         "east",  "a",    "none",  "none",      "none"};
  struct Case {
    size_t field;
    const char* text;
    const char* message;
  };
  for (const Case& c :
       {Case{4, "180.1", "angle must be 0.0 to 180.0"},
        Case{4, "19.25", "angle must be 0.0 to 180.0"},
        Case{4, "19.", "angle must be 0.0 to 180.0"}, Case{4, "east", "angle must be 0.0 to 180.0"},
        Case{1, "65536", "lnb_low must be a number from 0 to 65535"},
        Case{6, "e", "DiSEqC must be one of none, a, b, c, d"},
        Case{0, "TEN CHARSX", "name must be at most 9 characters"}}) {
    std::vector<std::string> texts = good;
    texts[c.field] = c.text;
    const auto read = ReadSatelliteForm(texts);
    ASSERT_TRUE(std::holds_alternative<std::string>(read)) << c.text;
    EXPECT_EQ(std::get<std::string>(read), c.message) << c.text;
  }
  std::vector<std::string> edge = good;
  edge[4] = "180.0";
  EXPECT_EQ(std::get<channels::SatelliteFields>(ReadSatelliteForm(edge)).angle, 1800);
  edge[4] = "0.7";
  EXPECT_EQ(std::get<channels::SatelliteFields>(ReadSatelliteForm(edge)).angle, 7);
}

TEST(RecordFormTest, TransponderFormReadsBackAndRefusesAWrongWord) {
  const channels::ChannelList sample = Sample();
  const RecordForm form = TransponderForm(sample.transponders()[5].fields());  // 11766 V 2/3
  std::vector<std::string> texts;
  for (const FormField& field : form.fields) texts.push_back(field.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"11766", "27500", "ver", "0", "14", "0", "2/3"}));
  const auto read = ReadTransponderForm(texts);
  ASSERT_TRUE(std::holds_alternative<channels::TransponderFields>(read));
  EXPECT_EQ(std::get<channels::TransponderFields>(read), sample.transponders()[5].fields());
  texts[6] = "9/10";
  EXPECT_EQ(std::get<std::string>(ReadTransponderForm(texts)),
            "FEC must be one of auto, 1/2, 2/3, 3/4, 5/6, 7/8");
}

TEST(ServiceFilterTest, EachPartNarrowsTheShownServices) {
  const channels::ChannelList sample = Sample();
  ServiceFilter filter;
  EXPECT_EQ(ShownServices(sample, filter).size(), 16u);
  filter.name = "rai";  // without case: Rai 1, Rai 2, Rai 3, Rai Radio 1
  EXPECT_EQ(ShownServices(sample, filter), (std::vector<int>{8, 9, 10, 11}));
  filter.kind = ServiceFilter::Kind::kRadio;
  EXPECT_EQ(ShownServices(sample, filter), (std::vector<int>{11}));
  filter = {};
  filter.favourites_only = true;
  EXPECT_EQ(ShownServices(sample, filter), (std::vector<int>{0, 1, 3, 7, 8, 13}));
  filter = {};
  filter.satellite = sample.satellites()[2].id();  // TURKSAT3A
  EXPECT_EQ(ShownServices(sample, filter), (std::vector<int>{13, 14, 15}));
  filter = {};
  filter.transponder = sample.services()[1].transponder();  // 11953 H
  EXPECT_EQ(ShownServices(sample, filter), (std::vector<int>{1, 2}));
  filter.kind = ServiceFilter::Kind::kTv;
  filter.name = "3S";
  EXPECT_EQ(ShownServices(sample, filter), (std::vector<int>{2}));
}

}  // namespace
}  // namespace tavlink::editor
