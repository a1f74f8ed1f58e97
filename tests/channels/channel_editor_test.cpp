// The editor: what each edit does to the list and its references, what it
// refuses and in which words, the steps' descriptions, what a view is told,
// the saved mark and the history's budget.

#include "channels/channel_editor.h"

#include <gtest/gtest.h>

#include <cstring>

#include "channels/golden_block.h"
#include "channels/text_lists.h"

namespace tavlink::channels {
namespace {

using namespace testing;

bool SameBytes(const ChannelList& list, const ReceiverDataBlock& block) {
  return std::memcmp(list.ToBlock()->bytes(), block.bytes(), ReceiverDataBlock::kSize) == 0;
}

class EditorTest : public ::testing::Test {
 protected:
  EditorTest() : original_(GoldenBlock()), editor_(ChannelList::FromBlock(*original_)) {
    editor_.SetChangeListener([this](const ListChange& change) { changes_.push_back(change); });
  }

  const ChannelList& list() const { return editor_.list(); }
  SatelliteId sat(int i) const { return list().satellites()[static_cast<size_t>(i)].id(); }
  TransponderId tp(int i) const { return list().transponders()[static_cast<size_t>(i)].id(); }
  ServiceId service(int i) const { return list().services()[static_cast<size_t>(i)].id(); }
  std::vector<std::string> ServiceNames() const {
    std::vector<std::string> names;
    for (const Service& s : list().services()) names.emplace_back(s.name());
    return names;
  }

  // Expects the edit refused with `message` and everything as before.
  void ExpectRefused(EditResult result, const std::string& message) {
    EXPECT_TRUE(result.refused());
    EXPECT_EQ(result.message, message);
    EXPECT_TRUE(SameBytes(list(), *original_));
    EXPECT_EQ(editor_.revision(), 0u);
    EXPECT_FALSE(editor_.CanUndo());
    EXPECT_TRUE(changes_.empty());
  }

  std::unique_ptr<ReceiverDataBlock> original_;
  ChannelEditor editor_;
  std::vector<ListChange> changes_;
};

ServiceFields ValidService(TransponderId tp) {
  ServiceFields f;
  f.name = "NEW";
  f.transponder = tp;
  return f;
}

TEST_F(EditorTest, RefusesFieldsTheReaderRefuses) {
  SatelliteFields longName;
  longName.name = "ABCDEFGHIJ";
  ExpectRefused(editor_.InsertSatellites(0, std::vector{longName}),
                "name must be at most 9 characters");
  SatelliteFields quoted;
  quoted.name = "AB\"C";
  ExpectRefused(editor_.InsertSatellites(0, std::vector{quoted}),
                "name must not contain a double quote");
  SatelliteFields far;
  far.angle = 1801;
  ExpectRefused(editor_.ChangeSatellites(std::vector<SatelliteChange>{{sat(0), far}}),
                "angle must be 0.0 to 180.0");
  TransponderFields fec6;
  fec6.fec = Fec::kCode6;
  ExpectRefused(editor_.InsertTransponders(sat(0), 0, std::vector{fec6}),
                "FEC must be auto, 1/2, 2/3, 3/4, 5/6 or 7/8");
  ServiceFields pid = ValidService(tp(0));
  pid.video_pid = 8192;
  ExpectRefused(editor_.InsertServices(0, std::vector{pid}), "video_pid must be 0 to 8191");
  pid = ValidService(tp(0));
  pid.txt_pid = 65535;
  ExpectRefused(editor_.InsertServices(0, std::vector{pid}), "txt_pid must be 0 to 8191");
  ServiceFields name = ValidService(tp(0));
  name.name = "ABCDEFGHIJKLMN";
  ExpectRefused(editor_.InsertServices(0, std::vector{name}), "name must be at most 13 characters");
  name.name = "TWO\nLINES";
  ExpectRefused(editor_.InsertServices(0, std::vector{name}), "name must not contain a line feed");
  ExpectRefused(editor_.InsertServices(0, std::vector{ValidService(TransponderId{77})}),
                "The satellite or transponder is not valid.");
  ExpectRefused(editor_.SetAntennaConfig(9), "antenna_config must be -1 to 8");
  ExpectRefused(editor_.SetAntennaConfig(-2), "antenna_config must be -1 to 8");
}

TEST_F(EditorTest, RefusesAWholeBatchForOneBadRecord) {
  ServiceFields bad = ValidService(tp(0));
  bad.name = "BAD";
  bad.pcr_pid = 9000;
  ExpectRefused(editor_.InsertServices(0, std::vector{ValidService(tp(0)), bad}),
                "service \"BAD\": pcr_pid must be 0 to 8191");
}

TEST_F(EditorTest, RefusesWhatTheTablesCannotHold) {
  ExpectRefused(editor_.InsertSatellites(0, std::vector<SatelliteFields>(104)),
                "Overflow number of satellites: 107 would be more than the 106 the table holds");
  ExpectRefused(editor_.InsertTransponders(sat(0), 0, std::vector<TransponderFields>(1021)),
                "Overflow number of tps: 1025 would be more than the 1024 the table holds");
  EXPECT_TRUE(editor_.InsertSatellites(0, std::vector<SatelliteFields>(103)).done());
}

TEST_F(EditorTest, RefusesRecordsTheListDoesNotHold) {
  ExpectRefused(editor_.DeleteServices(std::vector{service(0), ServiceId{99}}),
                "the list has no service with identity 99");
  ExpectRefused(editor_.MoveTranspondersToSatellite(std::vector{tp(0)}, SatelliteId{42}),
                "the list has no satellite with identity 42");
  ExpectRefused(editor_.InsertTransponders(SatelliteId{}, 0, std::vector<TransponderFields>(1)),
                "the list has no satellite with identity 0");
}

TEST_F(EditorTest, DeletingASatelliteTakesItsTranspondersAndServices) {
  const DeleteImpact impact = editor_.SatelliteDeletion(std::vector{sat(0)});
  EXPECT_EQ(impact.satellites, 1);
  EXPECT_EQ(impact.transponders, 2);
  EXPECT_EQ(impact.services, 2);
  EXPECT_EQ(impact.description, "Delete satellite \"ASTRA\", its 2 transponders and 2 services");
  ASSERT_TRUE(editor_.DeleteSatellites(std::vector{sat(0)}).done());
  EXPECT_EQ(editor_.UndoDescription(), impact.description);
  EXPECT_EQ(list().satellites().size(), 2u);
  EXPECT_EQ(list().transponders().size(), 2u);
  EXPECT_EQ(ServiceNames(), std::vector<std::string>{"NRK1"});
  const auto block = list().ToBlock();
  EXPECT_EQ(block->transponder(0).owner_sat(), 0);  // 12111 of HOTBIRD, now the first satellite
  EXPECT_EQ(block->transponder(1).owner_sat(), 1);
  EXPECT_EQ(block->service(0).tp_entry(), 1);

  ASSERT_TRUE(editor_.Undo().done());
  EXPECT_TRUE(SameBytes(list(), *original_));
}

TEST_F(EditorTest, DescribesDeletionsBeforehand) {
  EXPECT_EQ(editor_.TransponderDeletion(std::vector{tp(2)}).description,
            "Delete transponder 12663 H and its service");
  EXPECT_EQ(editor_.TransponderDeletion(std::vector{tp(1)}).description,
            "Delete transponder 12111 V");
  const DeleteImpact three = editor_.TransponderDeletion(std::vector{tp(0), tp(2), tp(3)});
  EXPECT_EQ(three.description, "Delete 3 transponders and their 3 services");
  EXPECT_EQ(three.services, 3);
  EXPECT_EQ(editor_.SatelliteDeletion(std::vector{sat(1)}).description,
            "Delete satellite \"HOTBIRD\" and its 1 transponder");
  EXPECT_EQ(editor_.SatelliteDeletion(std::vector{sat(1), sat(2)}).description,
            "Delete 2 satellites, their 2 transponders and 1 service");
  EXPECT_EQ(editor_.ServiceDeletion(std::vector{service(1)}).description, "Delete service \"ARD\"");
  EXPECT_EQ(editor_.ServiceDeletion(std::vector{ServiceId{99}}).services, 0);
  EXPECT_FALSE(editor_.CanUndo());
}

// A satellite's transponders move among themselves by exchanging table
// slots; the other satellites' transponders keep theirs.
TEST_F(EditorTest, MovesATransponderAmongItsSatellitesTransponders) {
  const TransponderId t12663 = tp(2);
  ASSERT_TRUE(editor_.MoveTransponders(std::vector{t12663}, MoveTo::Up()).done());
  EXPECT_EQ(editor_.UndoDescription(), "Move transponder 12663 H");
  EXPECT_EQ(list().PositionOf(t12663), 0);
  EXPECT_EQ(list().transponders()[1].frequency(), 12111);
  EXPECT_EQ(list().transponders()[2].frequency(), 11953);
  EXPECT_EQ(list().TransponderNumber(t12663), 1);
  // ARD follows its transponder.
  EXPECT_EQ(list().ToBlock()->service(1).tp_entry(), 0);
  EXPECT_EQ(editor_.MoveTransponders(std::vector{t12663}, MoveTo::Up()).status,
            EditResult::Status::kNothingToDo);
}

TEST_F(EditorTest, MovesTranspondersToTheEndOfAnotherSatellites) {
  ASSERT_TRUE(editor_.MoveTranspondersToSatellite(std::vector{tp(1)}, sat(0)).done());
  EXPECT_EQ(editor_.UndoDescription(), "Move transponder 12111 V to satellite \"ASTRA\"");
  const auto block = list().ToBlock();
  EXPECT_EQ(block->transponder(2).frequency(), 12111);
  EXPECT_EQ(block->transponder(2).owner_sat(), 0);
  EXPECT_EQ(block->transponder(2).data()[7], 0x71);  // its reserved byte went with it
  EXPECT_EQ(block->service(1).tp_entry(), 1);        // ARD on 12663, now at 1
  EXPECT_EQ(list().TransponderNumber(tp(2)), 3);
  ASSERT_TRUE(editor_.Undo().done());
  EXPECT_TRUE(SameBytes(list(), *original_));
}

TEST_F(EditorTest, PutsNewTranspondersWithTheirSatellite) {
  TransponderFields f;
  f.frequency = 10714;
  std::vector<TransponderId> ids;
  ASSERT_TRUE(editor_.InsertTransponders(sat(0), 1, std::vector{f}, &ids).done());
  EXPECT_EQ(editor_.UndoDescription(), "Insert transponder 10714 V into satellite \"ASTRA\"");
  EXPECT_EQ(list().PositionOf(ids[0]), 2);  // before 12663, ASTRA's second
  EXPECT_EQ(list().TransponderNumber(ids[0]), 2);

  // A satellite without transponders: before the next satellite's first.
  SatelliteFields empty;
  empty.name = "EMPTY";
  std::vector<SatelliteId> sats;
  ASSERT_TRUE(editor_.InsertSatellites(1, std::vector{empty}, &sats).done());
  ASSERT_TRUE(editor_.InsertTransponders(sats[0], 5, std::vector{f}, &ids).done());
  EXPECT_EQ(list().PositionOf(ids[0]), 1);
  EXPECT_EQ(list().transponders()[2].frequency(), 12111);
}

TEST_F(EditorTest, ChangingFieldsKeepsTheRecordsOtherBytes) {
  SatelliteFields f = list().satellites()[0].fields();
  f.lnb_low = 9700;
  f.tone_22khz = Tone::k0;
  ASSERT_TRUE(editor_.ChangeSatellites(std::vector<SatelliteChange>{{sat(0), f}}).done());
  EXPECT_EQ(editor_.UndoDescription(), "Change satellite \"ASTRA\"");
  const auto block = list().ToBlock();
  const ConstSatelliteRecord record = block->satellite(0);
  EXPECT_EQ(record.lnb_low(), 9700);
  EXPECT_EQ(record.sat_flags(), 0xABC00000u | 0x3u | sat_flag::kToneGiven);
  EXPECT_EQ(record.data()[6], 0x5A);
  EXPECT_EQ(record.data()[18], '2');
}

TEST_F(EditorTest, NamesRenamesAndChanges) {
  ServiceFields f = list().services()[0].fields();
  f.name = "ZDF HD";
  ASSERT_TRUE(editor_.ChangeServices(std::vector<ServiceChange>{{service(0), f}}).done());
  EXPECT_EQ(editor_.UndoDescription(), "Rename service \"ZDF\" to \"ZDF HD\"");
  // The shorter name's zero byte; the bytes after it as they were.
  EXPECT_EQ(std::memcmp(list().services()[0].record().data() + 14, "ZDF HD\0\0\0\0\0\0\0\0", 14),
            0);
  f.audio_pid = 121;
  ASSERT_TRUE(editor_.ChangeServices(std::vector<ServiceChange>{{service(0), f}}).done());
  EXPECT_EQ(editor_.UndoDescription(), "Change service \"ZDF HD\"");
  EXPECT_EQ(editor_.ChangeServices(std::vector<ServiceChange>{{service(0), f}}).status,
            EditResult::Status::kNothingToDo);
  f.transponder = tp(3);
  ASSERT_TRUE(editor_.ChangeServices(std::vector<ServiceChange>{{service(0), f}}).done());
  EXPECT_EQ(list().SatelliteOf(list().services()[0]), sat(2));
}

TEST_F(EditorTest, ProblemsAlreadyThereDoNotStopOtherEdits) {
  original_->service(0).set_video_pid(9000);
  ChannelEditor editor(ChannelList::FromBlock(*original_));
  const ServiceId zdf = editor.list().services()[0].id();
  EXPECT_TRUE(editor.SetServiceFlag(std::vector{zdf}, ServiceFlag::kLock, true).done());
  ServiceFields f = editor.list().services()[0].fields();
  f.name = "ZDF2";
  EXPECT_TRUE(editor.ChangeServices(std::vector<ServiceChange>{{zdf, f}}).done());
  f.video_pid = 9001;
  EXPECT_EQ(editor.ChangeServices(std::vector<ServiceChange>{{zdf, f}}).message,
            "video_pid must be 0 to 8191");
  f.video_pid = 100;
  EXPECT_TRUE(editor.ChangeServices(std::vector<ServiceChange>{{zdf, f}}).done());
}

TEST_F(EditorTest, FlagsChangeOnlyWhereTheyDiffer) {
  const std::vector<ServiceId> all{service(0), service(1), service(2)};
  ASSERT_TRUE(editor_.SetServiceFlag(all, ServiceFlag::kFavorite, true).done());
  EXPECT_EQ(editor_.UndoDescription(), "Set favorite on 2 services");
  EXPECT_EQ(changes_.back().services.kind, TableChange::Kind::kRowsChanged);
  EXPECT_EQ(changes_.back().services.rows, (std::vector<int>{1, 2}));
  EXPECT_EQ(editor_.SetServiceFlag(all, ServiceFlag::kFavorite, true).status,
            EditResult::Status::kNothingToDo);
  ASSERT_TRUE(
      editor_.SetServiceFlag(std::vector{service(2)}, ServiceFlag::kScramble, false).done());
  EXPECT_EQ(editor_.UndoDescription(), "Clear scramble on service \"NRK1\"");
  // The kept bits of service_flags stay.
  EXPECT_EQ(list().ToBlock()->service(1).service_flags(), 0xF006);
}

TEST_F(EditorTest, TellsTheViewWhatChanged) {
  ASSERT_TRUE(editor_.MoveServices(std::vector{service(2)}, MoveTo::Top()).done());
  ASSERT_EQ(changes_.size(), 1u);
  EXPECT_EQ(changes_[0].cause, ListChange::Cause::kEdit);
  EXPECT_EQ(changes_[0].description, "Move service \"NRK1\"");
  EXPECT_EQ(changes_[0].services.kind, TableChange::Kind::kRowsMoved);
  EXPECT_EQ(changes_[0].services.rows, std::vector<int>{2});
  EXPECT_EQ(changes_[0].services.to, std::vector<int>{0});
  EXPECT_EQ(changes_[0].satellites.kind, TableChange::Kind::kNone);

  ASSERT_TRUE(editor_.DeleteSatellites(std::vector{sat(1)}).done());
  EXPECT_EQ(changes_[1].satellites.kind, TableChange::Kind::kRowsRemoved);
  EXPECT_EQ(changes_[1].satellites.rows, std::vector<int>{1});
  EXPECT_EQ(changes_[1].transponders.rows, std::vector<int>{1});
  EXPECT_EQ(changes_[1].services.kind, TableChange::Kind::kNone);

  ASSERT_TRUE(editor_.Undo().done());
  EXPECT_EQ(changes_[2].cause, ListChange::Cause::kUndo);
  EXPECT_EQ(changes_[2].satellites.kind, TableChange::Kind::kRowsInserted);
  EXPECT_EQ(changes_[2].transponders.rows, std::vector<int>{1});
  ASSERT_TRUE(editor_.Undo().done());
  EXPECT_EQ(changes_[3].services.rows, std::vector<int>{0});
  EXPECT_EQ(changes_[3].services.to, std::vector<int>{2});
  ASSERT_TRUE(editor_.Redo().done());
  EXPECT_EQ(changes_[4].cause, ListChange::Cause::kRedo);

  ASSERT_TRUE(editor_.MoveTranspondersToSatellite(std::vector{tp(1)}, sat(0)).done());
  EXPECT_EQ(changes_[5].transponders.kind, TableChange::Kind::kReset);
  ASSERT_TRUE(editor_.SetAntennaConfig(-1).done());
  EXPECT_TRUE(changes_[6].antenna_config);
  EXPECT_EQ(editor_.revision(), 7u);
}

TEST_F(EditorTest, UndoRedoAndTheSavedMark) {
  EXPECT_FALSE(editor_.IsModified());
  ASSERT_TRUE(editor_.SetAntennaConfig(4).done());
  ASSERT_TRUE(editor_.SortServices(ServiceSort::kByName).done());
  EXPECT_EQ(editor_.UndoDescription(), "Sort services by name");
  EXPECT_EQ(ServiceNames(), (std::vector<std::string>{"ARD", "NRK1", "ZDF"}));
  EXPECT_TRUE(editor_.IsModified());
  editor_.MarkSaved();
  EXPECT_FALSE(editor_.IsModified());
  ASSERT_TRUE(editor_.Undo().done());
  EXPECT_TRUE(editor_.IsModified());
  EXPECT_EQ(editor_.RedoDescription(), "Sort services by name");
  ASSERT_TRUE(editor_.Redo().done());
  EXPECT_FALSE(editor_.IsModified());
  ASSERT_TRUE(editor_.Undo().done());
  ASSERT_TRUE(editor_.SetAntennaConfig(5).done());  // drops the redo step
  EXPECT_FALSE(editor_.CanRedo());
  EXPECT_TRUE(editor_.IsModified());
  EXPECT_EQ(editor_.Redo().status, EditResult::Status::kNothingToDo);
  ASSERT_TRUE(editor_.Undo().done());
  ASSERT_TRUE(editor_.Undo().done());
  EXPECT_EQ(editor_.Undo().status, EditResult::Status::kNothingToDo);
  EXPECT_TRUE(SameBytes(list(), *original_));
  EXPECT_TRUE(editor_.IsModified());  // the saved list was the sorted one
}

TEST_F(EditorTest, IdentitiesSurviveDeleteAndUndo) {
  const ServiceId ard = service(1);
  ASSERT_TRUE(editor_.DeleteServices(std::vector{ard}).done());
  EXPECT_EQ(list().Find(ard), nullptr);
  ASSERT_TRUE(editor_.Undo().done());
  ASSERT_NE(list().Find(ard), nullptr);
  EXPECT_EQ(list().PositionOf(ard), 1);
  EXPECT_EQ(list().Find(ard)->name(), "ARD");
}

TEST(EditorHistory, DropsTheOldestStepsBeyondItsBudget) {
  ChannelEditor editor(ChannelList::FromBlock(*GoldenBlock()), 2000);
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(editor.SetAntennaConfig(i % 2).done());
  EXPECT_LE(editor.HistoryBytes(), 2000u);
  EXPECT_GT(editor.UndoDepth(), 3u);
  EXPECT_LT(editor.UndoDepth(), 50u);
  editor.MarkSaved();
  const int kept = static_cast<int>(editor.UndoDepth());
  while (editor.CanUndo()) editor.Undo();
  EXPECT_TRUE(editor.IsModified());
  // The oldest state left is the one after the last step dropped.
  EXPECT_EQ(editor.list().antenna_config(), (50 - kept - 1) % 2);
  while (editor.CanRedo()) editor.Redo();
  EXPECT_FALSE(editor.IsModified());
}

TEST(EditorHistory, AStepHoldsWhatItChangedNotTheList) {
  ChannelEditor editor(ChannelList::FromBlock(*GoldenBlock()));
  const size_t empty = editor.HistoryBytes();
  const ServiceId zdf = editor.list().services()[0].id();
  ASSERT_TRUE(editor.SetServiceFlag(std::vector{zdf}, ServiceFlag::kLock, true).done());
  EXPECT_LT(editor.HistoryBytes() - empty, 400u);
}

}  // namespace
}  // namespace tavlink::channels
