// The channel list against hand-written bytes: a list made from a block
// gives the block back byte for byte, broken blocks included, and edits put
// each record's own bytes where the record went.

#include "channels/channel_list.h"

#include <gtest/gtest.h>

#include <cstring>

#include "channels/channel_editor.h"
#include "channels/data_text_load.h"
#include "channels/golden_block.h"
#include "data/data_text.h"

namespace tavlink::channels {
namespace {

using namespace testing;

// Where two blocks differ, as "offset: expected got" lines (empty when equal).
std::string Differences(const ReceiverDataBlock& expected, const ReceiverDataBlock& got) {
  std::string text;
  int shown = 0;
  for (size_t i = 0; i < ReceiverDataBlock::kSize && shown < 20; ++i) {
    if (expected.bytes()[i] != got.bytes()[i]) {
      char line[64];
      std::snprintf(line, sizeof line, "0x%04zx: %02x %02x\n", i, expected.bytes()[i],
                    got.bytes()[i]);
      text += line;
      ++shown;
    }
  }
  return text;
}

TEST(ChannelList, ReadsTheRecordsOfAHandWrittenBlock) {
  const ChannelList list = ChannelList::FromBlock(*GoldenBlock());
  ASSERT_EQ(list.satellites().size(), 3u);
  ASSERT_EQ(list.transponders().size(), 4u);
  ASSERT_EQ(list.services().size(), 3u);
  const Satellite& astra = list.satellites()[0];
  EXPECT_EQ(astra.name(), "ASTRA");
  EXPECT_EQ(astra.lnb_low(), 9750);
  EXPECT_EQ(astra.angle(), 192);
  EXPECT_TRUE(astra.universal_lnb());
  EXPECT_EQ(astra.diseqc(), Diseqc::kA);
  EXPECT_EQ(astra.tone_22khz(), Tone::kNone);
  EXPECT_EQ(list.satellites()[1].tone_22khz(), Tone::k22);
  EXPECT_TRUE(list.satellites()[2].west());
  EXPECT_EQ(list.satellites()[2].lnb_high(), 10750);

  const Transponder& tp = list.transponders()[2];
  EXPECT_EQ(tp.frequency(), 12663);
  EXPECT_EQ(tp.symbolrate(), 22000);
  EXPECT_TRUE(tp.horizontal());
  EXPECT_TRUE(tp.voltage_18v());
  EXPECT_EQ(tp.fec(), Fec::k2_3);
  EXPECT_EQ(tp.satellite(), astra.id());

  const Service& ard = list.services()[1];
  EXPECT_EQ(ard.name(), "ARD");
  EXPECT_TRUE(ard.radio());
  EXPECT_TRUE(ard.lock());
  EXPECT_FALSE(ard.favorite());
  EXPECT_EQ(ard.audio_pid(), 1030);
  EXPECT_EQ(ard.transponder(), tp.id());
  EXPECT_EQ(list.antenna_config(), 2);
}

TEST(ChannelList, NumbersTranspondersAmongTheirSatellite) {
  const ChannelList list = ChannelList::FromBlock(*GoldenBlock());
  const auto& tps = list.transponders();
  const std::span<const int> astra = list.TransponderPositionsOf(list.satellites()[0].id());
  ASSERT_EQ(astra.size(), 2u);
  EXPECT_EQ(astra[0], 0);
  EXPECT_EQ(astra[1], 2);
  EXPECT_EQ(list.TransponderNumber(tps[2].id()), 2);  // the second of ASTRA, the third in the table
  EXPECT_EQ(list.TransponderNumber(tps[3].id()), 1);
  EXPECT_EQ(list.ServiceCountOf(tps[0].id()), 1);
  EXPECT_EQ(list.ServiceCountOf(tps[1].id()), 0);
  EXPECT_EQ(list.SatelliteOf(list.services()[2]), list.satellites()[2].id());
  EXPECT_TRUE(list.TransponderPositionsOf(SatelliteId{}).empty());
  EXPECT_TRUE(list.TransponderPositionsOf(SatelliteId{999}).empty());
}

TEST(ChannelList, GivesTheSameBytesBackWithoutEdits) {
  const auto block = GoldenBlock();
  const auto back = ChannelList::FromBlock(*block).ToBlock();
  EXPECT_EQ(Differences(*block, *back), "");
}

TEST(ChannelList, TextIsTheWritersTextOfItsBlock) {
  const auto block = GoldenBlock();
  StringTextOutput expected;
  ASSERT_EQ(WriteDataText(*block, expected), 0);
  EXPECT_EQ(ChannelList::FromBlock(*block).ToDataText(), expected.str());
  EXPECT_NE(expected.str().find("\r\n"), std::string::npos);
}

TEST(ChannelList, EmptyListMakesAValidEmptyBlock) {
  const auto block = ChannelList().ToBlock();
  EXPECT_TRUE(block->IsValid());
  EXPECT_EQ(block->sat_count(), 0);
  EXPECT_EQ(block->tp_count(), 0);
  EXPECT_EQ(block->service_count(), 0);
  EXPECT_EQ(block->antenna_config(), -1);
  for (size_t i = 32; i < ReceiverDataBlock::kSize; ++i) ASSERT_EQ(block->bytes()[i], 0) << i;
}

// A block as a faulty transfer might leave it: counts beyond the tables, a
// negative count, references that name nothing, no magic.
TEST(ChannelList, KeepsABlockThatBreaksTheLimitsByteForByte) {
  auto block = GoldenBlock();
  std::memcpy(block->bytes(), "EVILEYES", 8);
  Put32(*block, 12, 200);                    // sat_count above 106
  Put32(*block, 16, 5000);                   // tp_count above 1024
  Put32(*block, 20, 0xFFFFFFFD);             // service_count -3
  block->transponder(1).set_owner_sat(150);  // beyond the satellites
  block->transponder(2).set_owner_sat(255);
  const ChannelList list = ChannelList::FromBlock(*block);
  EXPECT_EQ(list.satellites().size(), 106u);
  EXPECT_EQ(list.transponders().size(), 1024u);
  EXPECT_EQ(list.services().size(), 0u);
  EXPECT_EQ(list.CountAsFound(Table::kSatellites), 200);
  EXPECT_EQ(list.CountAsFound(Table::kServices), -3);
  EXPECT_FALSE(list.transponders()[1].satellite().valid());
  EXPECT_FALSE(list.has_valid_magic());
  EXPECT_EQ(Differences(*block, *list.ToBlock()), "");
  EXPECT_EQ(list.ToDataText(), "");
}

TEST(ChannelList, KeepsReferencesThatNameNothingAsFound) {
  auto block = GoldenBlock();
  block->service(0).set_tp_word(0x8000 | 9);  // beyond tp_count 4
  block->service(1).set_tp_word(0x7000);
  block->transponder(3).set_owner_sat(3);  // sat_count is 3
  const ChannelList list = ChannelList::FromBlock(*block);
  EXPECT_FALSE(list.services()[0].transponder().valid());
  EXPECT_FALSE(list.transponders()[3].satellite().valid());
  EXPECT_EQ(Differences(*block, *list.ToBlock()), "");
}

// An edit never lets a kept reference name a record that came later.
TEST(ChannelList, AReferenceAsFoundNeverNamesANewRecord) {
  auto block = GoldenBlock();
  block->service(0).set_tp_word(0x8000 | 5);  // names no transponder while there are 4
  block->transponder(3).set_owner_sat(3);     // names no satellite while there are 3
  ChannelEditor editor(ChannelList::FromBlock(*block));
  const SatelliteId astra = editor.list().satellites()[0].id();
  const TransponderId orphan = editor.list().transponders()[3].id();
  ASSERT_TRUE(editor.InsertTransponders(astra, 9, std::vector<TransponderFields>(2)).done());
  ASSERT_TRUE(editor.InsertSatellites(3, std::vector<SatelliteFields>(1)).done());
  auto edited = editor.list().ToBlock();
  EXPECT_EQ(edited->service(0).tp_word(), 0x8000 | 0x7FFF);
  EXPECT_EQ(edited->transponder(editor.list().PositionOf(orphan)).owner_sat(), 255);
  editor.Undo();
  editor.Undo();
  EXPECT_EQ(Differences(*block, *editor.list().ToBlock()), "");
}

TEST(ChannelList, ACountAsFoundLastsUntilTheTableIsResized) {
  auto block = GoldenBlock();
  Put32(*block, 20, 0xFFFFFFFF);  // service_count -1: no services
  ChannelEditor editor(ChannelList::FromBlock(*block));
  const TransponderId tp = editor.list().transponders()[0].id();
  ASSERT_TRUE(editor.SetAntennaConfig(5).done());
  EXPECT_EQ(editor.list().ToBlock()->service_count(), -1);
  ServiceFields service;
  service.name = "X";
  service.transponder = tp;
  ASSERT_TRUE(editor.InsertServices(0, std::vector<ServiceFields>{service}).done());
  EXPECT_EQ(editor.list().ToBlock()->service_count(), 1);
  EXPECT_FALSE(editor.list().CountAsFound(Table::kServices));
  editor.Undo();
  EXPECT_EQ(editor.list().ToBlock()->service_count(), -1);
}

// Moving a service to the top, deleting a satellite (with its transponder)
// and inserting a service: each record's bytes where it went, references
// renumbered, unused slots as the source block had them.
TEST(ChannelList, EditsPutEachRecordsBytesWhereItWent) {
  const auto original = GoldenBlock();
  ChannelEditor editor(ChannelList::FromBlock(*original));
  const ChannelList& list = editor.list();
  const ServiceId nrk = list.services()[2].id();
  const SatelliteId hotbird = list.satellites()[1].id();
  const TransponderId tp11953 = list.transponders()[0].id();

  ASSERT_TRUE(editor.MoveServices(std::vector<ServiceId>{nrk}, MoveTo::Top()).done());
  ASSERT_TRUE(editor.DeleteSatellites(std::vector<SatelliteId>{hotbird}).done());
  ServiceFields fresh;
  fresh.name = "NEW";
  fresh.transponder = tp11953;
  fresh.service_id = 7;
  fresh.video_pid = 33;
  fresh.audio_pid = 34;
  fresh.pcr_pid = 33;
  fresh.favorite = true;
  ASSERT_TRUE(editor.InsertServices(1, std::vector<ServiceFields>{fresh}).done());

  auto expected = GoldenBlock();
  ReceiverDataBlock& e = *expected;
  Put32(e, 12, 2);
  Put32(e, 16, 3);
  Put32(e, 20, 4);
  Put(e, SatelliteAt(1), kThor);  // slot 2 keeps the source's THOR
  Put(e, TransponderAt(1), kTp12663);
  Put(e, TransponderAt(2), TransponderBytes{0x78, 0x2A, 0xA8, 0x61, 0x00, 0x00, 0x01, 0x73});
  // NRK1 now names 10872 as entry 2.
  Put(e, ServiceAt(0), ServiceBytes{0x01, 0x00, 0x00, 0x02, 0x01, 0x02, 0x00, 0x02, 0x02, 0x00,
                                    0x40, 0x02, 0x01, 0x00, 'N',  'R',  'K',  '1',  0x00, 0x00,
                                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF});
  Put(e, ServiceAt(1), ServiceBytes{0x07, 0x00, 0x21, 0x00, 0x22, 0x00, 0x21, 0x00, 0x00, 0x00,
                                    0x00, 0x00, 0x02, 0x00, 'N',  'E',  'W',  0x00, 0x00, 0x00,
                                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
  Put(e, ServiceAt(2), kZdf);
  // ARD now names 12663 as entry 1, radio.
  Put(e, ServiceAt(3), ServiceBytes{0xCA, 0x6D, 0x00, 0x00, 0x06, 0x04, 0x00, 0x00, 0x01, 0x80,
                                    0x00, 0x00, 0x04, 0xF0, 'A',  'R',  'D',  0x00, 0x00, 0x00,
                                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
  EXPECT_EQ(Differences(e, *list.ToBlock()), "");

  while (editor.CanUndo()) editor.Undo();
  EXPECT_EQ(Differences(*original, *list.ToBlock()), "");
}

TEST(DataTextLoad, KeepsTheReadersResultMessageAndLine) {
  const DataTextLoad load = LoadDataText(
      "# comment\n"
      "s \"ASTRA\" 9750 10600 u 19.2 e a n n n\n"
      "  t 12663 22000 h 0 14 0 3/4\n"
      "v \"ZDF\" 1 1 28006 110 120 8192 130 0 1 0\n");
  EXPECT_EQ(load.result, kReadServiceError);
  EXPECT_EQ(load.line, 4);
  EXPECT_EQ(load.message,
            " * Error : line 4. Default Service Data format error.\n   field : pcr_pid\n");
  EXPECT_FALSE(load.list);
}

TEST(DataTextLoad, ReadsATextOverItsBaseBlock) {
  const auto base = GoldenBlock();
  const DataTextLoad load = LoadDataText(
      "s \"ASTRA\" 9750 10600 u 19.2 e a n n n\r\n"
      "  t 12663 22000 h 0 14 0 3/4\r\n"
      "v \"ZDF\" 1 1 28006 110 120 110 130 0 1 0\r\n",
      *base);
  ASSERT_EQ(load.result, 0) << load.message;
  EXPECT_EQ(load.line, 0);
  EXPECT_EQ(load.message, "");
  ASSERT_TRUE(load.list);
  const auto block = load.list->ToBlock();
  EXPECT_EQ(block->sat_count(), 1);
  EXPECT_EQ(block->antenna_config(), -1);
  // What the text does not carry comes from the base: kept bits, the
  // bytes after the name, the slots beyond the counts.
  EXPECT_EQ(block->satellite(0).sat_flags(), 0xABC00003u);
  EXPECT_EQ(block->satellite(0).data()[18], '2');
  EXPECT_EQ(block->transponder(0).data()[7], 0x70);
  EXPECT_EQ(std::memcmp(block->satellite(1).data(), kHotbird.data(), 24), 0);
  EXPECT_EQ(block->bytes()[0xF001], 7);
}

}  // namespace
}  // namespace tavlink::channels
