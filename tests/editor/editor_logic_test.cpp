// The editor's File menu, the mending of a refused text, closing with
// unsaved changes, the questions before deleting, and the history, through
// a scripted shell.
#include "editor/editor_logic.h"

#include <gtest/gtest.h>

#include <cstring>

#include "editor/scripted_editor_shell.h"
#include "support/file_bytes.h"
#include "support/paths.h"
#include "support/temp_folder.h"

namespace tavlink::editor {
namespace {

using testing::ReadBytes;
using testing::ScriptedEditorShell;
using testing::TempFolder;
using testing::WriteBytes;

std::string SampleText() {
  return ReadBytes(testing::SampleDataText().string());
}

// The sample with line `line` (from 1) replaced by `text`.
std::string WithLine(int line, const std::string& text) {
  std::string sample = SampleText();
  size_t start = 0;
  for (int i = 1; i < line; ++i) start = sample.find('\n', start) + 1;
  const size_t end = sample.find('\n', start);
  return sample.replace(start, end - start, text + "\r");
}

class EditorLogicTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = folder_.File(name);
    WriteBytes(path, bytes);
    return path;
  }

  TempFolder folder_;
  ScriptedEditorShell shell_;
};

TEST_F(EditorLogicTest, OpeningTheSampleShowsItsListAndRemembersTheFile) {
  EditorLogic logic(shell_);
  EXPECT_EQ(logic.Title(), "Untitled - ZOR Link Channel Editor");
  const std::string path = Write("sample.txt", SampleText());
  ASSERT_TRUE(logic.OpenPath(path));
  EXPECT_EQ(logic.Title(), "sample.txt - ZOR Link Channel Editor");
  ASSERT_NE(logic.list(), nullptr);
  EXPECT_EQ(logic.list()->services().size(), 16u);
  EXPECT_EQ(logic.document().kind(), DocumentKind::kDataText);
  EXPECT_EQ(shell_.store.recent, (std::vector<std::string>{path}));
  EXPECT_EQ(shell_.replaced, 1);
}

TEST_F(EditorLogicTest, RecentFilesAreNewestFirstWithoutRepeatsAndAtMostEight) {
  EditorLogic logic(shell_);
  std::vector<std::string> paths;
  for (int i = 0; i < 10; ++i)
    paths.push_back(Write("list" + std::to_string(i) + ".txt", SampleText()));
  for (const std::string& path : paths) ASSERT_TRUE(logic.OpenPath(path));
  ASSERT_TRUE(logic.OpenPath(paths[5]));
  const std::vector<std::string> recent = logic.RecentFiles();
  ASSERT_EQ(recent.size(), kRecentFileCount);
  EXPECT_EQ(recent[0], paths[5]);
  EXPECT_EQ(recent[1], paths[9]);
  EXPECT_EQ(recent[7], paths[2]);  // 5, 9, 8, 7, 6, 4, 3, 2
  // A recent file that is gone is said and leaves the list.
  std::filesystem::remove(paths[9]);
  logic.OpenRecent(paths[9]);
  EXPECT_EQ(shell_.fileErrors.size(), 1u);
  EXPECT_EQ(logic.RecentFiles().size(), kRecentFileCount - 1);
  EXPECT_EQ(logic.RecentFiles()[0], paths[5]);
}

TEST_F(EditorLogicTest, ARefusedTextIsMendedAtTheReadersLineAndGoesOnIntoTheTables) {
  EditorLogic logic(shell_);
  const std::string broken =
      WithLine(38,
               "  s       \"ASTRA 19E\"     9750      10600     universl  19.2      east      a  "
               "       none      none      none");
  ASSERT_TRUE(logic.OpenPath(Write("broken.txt", broken)));
  ASSERT_TRUE(logic.document().repairing());
  EXPECT_EQ(logic.list(), nullptr);
  EXPECT_EQ(logic.document().repair().line, 38);
  EXPECT_NE(logic.document().repair().message.find("line 38"), std::string::npos)
      << logic.document().repair().message;
  EXPECT_FALSE(logic.document().IsModified());
  // Going on, or saving, before the line reads is refused.
  EXPECT_FALSE(logic.ContinueWithRepair());
  EXPECT_FALSE(logic.Save());
  EXPECT_EQ(shell_.messages.size(), 2u);
  // Typed again, the check follows.
  EXPECT_EQ(logic
                .CheckRepair(WithLine(38,
                                      "  s \"ASTRA 19E\" 9750 10600 universal 19.2 east a "
                                      "none none nonex"))
                .line,
            38);
  EXPECT_TRUE(logic.document().IsModified());
  EXPECT_TRUE(logic.CheckRepair(SampleText()).reads());
  ASSERT_TRUE(logic.ContinueWithRepair());
  ASSERT_NE(logic.list(), nullptr);
  EXPECT_EQ(logic.list()->services().size(), 16u);
  // The file still holds the typo: the list is unsaved.
  EXPECT_TRUE(logic.document().IsModified());
  EXPECT_EQ(logic.Title(), "broken.txt * - ZOR Link Channel Editor");
}

TEST_F(EditorLogicTest, SaveWritesTheWritersTextAndClearsTheMark) {
  EditorLogic logic(shell_);
  const std::string path = Write("sample.txt", SampleText());
  ASSERT_TRUE(logic.OpenPath(path));
  const channels::ServiceId zdf = logic.list()->services()[1].id();
  ASSERT_TRUE(logic.MoveServices({&zdf, 1}, channels::MoveTo::Top()).done());
  EXPECT_EQ(logic.Title(), "sample.txt * - ZOR Link Channel Editor");
  ASSERT_TRUE(logic.Save());
  EXPECT_EQ(logic.Title(), "sample.txt - ZOR Link Channel Editor");
  const std::string saved = ReadBytes(path);
  EXPECT_EQ(saved, logic.list()->ToDataText());
  EXPECT_LT(saved.find("\"ZDF\""), saved.find("\"Das Erste\""));
  // Undo back past the save marks it again.
  logic.Undo();
  EXPECT_TRUE(logic.document().IsModified());
}

TEST_F(EditorLogicTest, UntitledSaveAsksForAFileAndANewListSavesAsText) {
  EditorLogic logic(shell_);
  const std::string path = folder_.File("new.txt");
  shell_.saveFiles.push_back(path);
  ASSERT_TRUE(logic.Save());
  EXPECT_EQ(logic.document().path(), path);
  // A list without records is the three banners.
  const std::string text = ReadBytes(path);
  EXPECT_EQ(text.find("\r\n  s"), std::string::npos);
  EXPECT_NE(text.find("[program information]"), std::string::npos);
  // A cancelled dialog saves nothing.
  EditorLogic other(shell_);
  EXPECT_FALSE(other.SaveAs());
}

// A 65,536-byte block with bytes no record carries and a name the reader
// would refuse in a text.
std::string OddBlock() {
  auto block = channels::ChannelList().ToBlock();
  uint8_t* bytes = block->bytes();
  bytes[12] = 1;  // one satellite
  std::memcpy(bytes + kSatelliteTableOffset, "BAD\"NAME", 8);
  for (size_t i = kUninterpretedOffset; i < ReceiverDataBlock::kSize; ++i) {
    bytes[i] = static_cast<uint8_t>(i * 7);
  }
  return std::string(reinterpret_cast<const char*>(bytes), ReceiverDataBlock::kSize);
}

TEST_F(EditorLogicTest, ABlockImageKeepsEveryByteAndIsNotSavedAsARefusedText) {
  EditorLogic logic(shell_);
  const std::string image = OddBlock();
  const std::string path = Write("receiver.bin", image);
  ASSERT_TRUE(logic.OpenPath(path));
  EXPECT_EQ(logic.document().kind(), DocumentKind::kBlockImage);
  ASSERT_EQ(logic.list()->satellites().size(), 1u);
  // The block image itself comes back byte for byte.
  const std::string exported = folder_.File("exported.bin");
  shell_.saveFiles.push_back(exported);
  logic.ExportBlockImage();
  EXPECT_EQ(ReadBytes(exported), image);
  EXPECT_EQ(logic.document().path(), path);  // exporting keeps the document's file
  // Its text would not read back: refused, with the reader's words.
  const std::string text = folder_.File("receiver.txt");
  shell_.saveFiles.push_back(text);
  EXPECT_FALSE(logic.SaveAs());
  EXPECT_FALSE(std::filesystem::exists(text));
  ASSERT_EQ(shell_.messages.size(), 1u);
  EXPECT_NE(shell_.messages[0].find("Export Block Image"), std::string::npos) << shell_.messages[0];
  // Saved as what it is, it is the same bytes.
  ASSERT_TRUE(logic.Save());
  EXPECT_EQ(ReadBytes(path), image);
}

TEST_F(EditorLogicTest, AFileThatCannotBeWrittenIsToldAndStaysModified) {
  EditorLogic logic(shell_);
  ASSERT_TRUE(logic.OpenPath(Write("sample.txt", SampleText())));
  logic.SetAntennaConfig(3);
  shell_.saveFiles.push_back(folder_.File("no such folder/list.txt"));
  EXPECT_FALSE(logic.SaveAs());
  EXPECT_EQ(shell_.fileErrors.size(), 1u);
  EXPECT_TRUE(logic.document().IsModified());
}

TEST_F(EditorLogicTest, ClosingWithUnsavedChangesAsks) {
  EditorLogic logic(shell_);
  const std::string path = Write("sample.txt", SampleText());
  ASSERT_TRUE(logic.OpenPath(path));
  EXPECT_TRUE(logic.CanClose());  // nothing changed: nothing asked
  EXPECT_TRUE(shell_.saveQuestions.empty());
  logic.SetAntennaConfig(5);
  shell_.saveAnswers = {SaveAnswer::kCancel, SaveAnswer::kDiscard};
  EXPECT_FALSE(logic.CanClose());
  EXPECT_TRUE(logic.CanClose());
  EXPECT_EQ(shell_.saveQuestions, (std::vector<std::string>{"Save the changes to sample.txt?",
                                                            "Save the changes to sample.txt?"}));
  EXPECT_EQ(ReadBytes(path), SampleText());
  shell_.saveAnswers = {SaveAnswer::kSave};
  EXPECT_TRUE(logic.CanClose());
  EXPECT_NE(ReadBytes(path).find("a         5\r\n"), std::string::npos);
}

TEST_F(EditorLogicTest, OpenAndNewAskBeforeDroppingChanges) {
  EditorLogic logic(shell_);
  ASSERT_TRUE(logic.OpenPath(Write("sample.txt", SampleText())));
  logic.SetAntennaConfig(5);
  shell_.saveAnswers = {SaveAnswer::kCancel};
  logic.New();
  EXPECT_EQ(logic.list()->services().size(), 16u);
  shell_.saveAnswers = {SaveAnswer::kCancel};
  logic.Open();
  EXPECT_EQ(shell_.saveQuestions.size(), 2u);
  EXPECT_EQ(logic.list()->antenna_config(), 5);
  shell_.saveAnswers = {SaveAnswer::kDiscard};
  logic.New();
  EXPECT_TRUE(logic.list()->services().empty());
}

TEST_F(EditorLogicTest, DeletingATransponderAsksWithItsServicesAndNoKeepsIt) {
  EditorLogic logic(shell_);
  ASSERT_TRUE(logic.OpenPath(Write("sample.txt", SampleText())));
  const channels::TransponderId zdf = logic.list()->services()[1].transponder();
  shell_.answers = {false, true};
  EXPECT_EQ(logic.DeleteTransponders({&zdf, 1}).status, channels::EditResult::Status::kNothingToDo);
  EXPECT_EQ(logic.list()->transponders().size(), 9u);
  EXPECT_TRUE(logic.DeleteTransponders({&zdf, 1}).done());
  EXPECT_EQ(shell_.questions,
            (std::vector<std::string>{"Delete transponder 11953 H and its 2 services?",
                                      "Delete transponder 11953 H and its 2 services?"}));
  EXPECT_EQ(logic.list()->transponders().size(), 8u);
  EXPECT_EQ(logic.list()->services().size(), 14u);
}

TEST_F(EditorLogicTest, HistoryListsTheStepsAndGoesBackAndForth) {
  EditorLogic logic(shell_);
  ASSERT_TRUE(logic.OpenPath(Write("sample.txt", SampleText())));
  const channels::ServiceId zdf = logic.list()->services()[1].id();
  logic.MoveServices({&zdf, 1}, channels::MoveTo::Top());
  logic.EditCell(zdf, ServiceColumn::kName, "ZDF HD");
  logic.SetAntennaConfig(2);
  EXPECT_EQ(logic.History(), (std::vector<std::string>{"Move service \"ZDF\"",
                                                       "Rename service \"ZDF\" to \"ZDF HD\"",
                                                       "Set antenna_config to 2"}));
  EXPECT_EQ(logic.UndoDepth(), 3u);
  logic.GoToHistory(1);
  EXPECT_EQ(logic.UndoDepth(), 1u);
  EXPECT_EQ(logic.History().size(), 3u);  // the two undone ones can be redone
  EXPECT_EQ(logic.list()->services()[0].name(), "ZDF");
  EXPECT_EQ(logic.list()->antenna_config(), 1);
  logic.Redo();
  EXPECT_EQ(logic.list()->services()[0].name(), "ZDF HD");
  // A new edit drops what could be redone.
  logic.SetAntennaConfig(4);
  EXPECT_EQ(logic.History().back(), "Set antenna_config to 4");
  EXPECT_EQ(logic.History().size(), 3u);
  logic.GoToHistory(0);
  EXPECT_EQ(logic.list()->services()[1].name(), "ZDF");
  EXPECT_FALSE(logic.document().IsModified());
}

TEST_F(EditorLogicTest, MoveToPositionAsksWithinTheListAndSortAndFlagsApply) {
  EditorLogic logic(shell_);
  ASSERT_TRUE(logic.OpenPath(Write("sample.txt", SampleText())));
  const std::vector<channels::ServiceId> trt = {logic.list()->services()[13].id(),
                                                logic.list()->services()[14].id()};
  shell_.numbers = {2};
  ASSERT_TRUE(logic.MoveServicesToPosition(trt).done());
  EXPECT_EQ(shell_.numberRanges, (std::vector<std::pair<int, int>>{{1, 16}}));
  EXPECT_EQ(logic.list()->services()[1].name(), "TRT 1");
  EXPECT_EQ(logic.list()->services()[2].name(), "TRT Haber");
  // Toggling sets the flag on all unless all have it.
  ASSERT_TRUE(logic.ToggleFlag(trt, channels::ServiceFlag::kFavorite).done());
  EXPECT_TRUE(logic.list()->services()[2].favorite());
  ASSERT_TRUE(logic.ToggleFlag(trt, channels::ServiceFlag::kFavorite).done());
  EXPECT_FALSE(logic.list()->services()[1].favorite());
  ASSERT_TRUE(logic.SortServices(channels::ServiceSort::kByName).done());
  EXPECT_EQ(logic.list()->services()[0].name(), "3sat");
}

TEST_F(EditorLogicTest, RemovingDuplicatesShowsWhatGoesFirst) {
  EditorLogic logic(shell_);
  ASSERT_TRUE(logic.OpenPath(Write("sample.txt", SampleText())));
  EXPECT_EQ(logic.RemoveDuplicates(channels::DuplicateKind::kSameName).status,
            channels::EditResult::Status::kNothingToDo);
  EXPECT_EQ(shell_.messages, (std::vector<std::string>{"The list has no duplicate services."}));
  shell_.clipboard.clear();
  const channels::ServiceId zdf = logic.list()->services()[1].id();
  logic.CopyServices({&zdf, 1});
  logic.Paste(16);
  shell_.answers = {true};
  ASSERT_TRUE(logic.RemoveDuplicates(channels::DuplicateKind::kSameServiceOnTransponder).done());
  EXPECT_EQ(shell_.questions,
            (std::vector<std::string>{"Remove 1 duplicate service?\n\nservice 17 \"ZDF\" "
                                      "(service_id 28006), a duplicate of service 2"}));
  EXPECT_EQ(logic.list()->services().size(), 16u);
}

TEST_F(EditorLogicTest, SatelliteFormComesBackWithTheMessageUntilItIsRight) {
  EditorLogic logic(shell_);
  ASSERT_TRUE(logic.OpenPath(Write("sample.txt", SampleText())));
  const channels::SatelliteId astra = logic.list()->satellites()[0].id();
  std::vector<std::string> texts = {"ASTRA 1KR", "9750", "10600", "universal", "190.2",
                                    "east",      "a",    "none",  "none",      "none"};
  shell_.formTexts.push_back(texts);
  texts[4] = "19.2";
  shell_.formTexts.push_back(texts);
  ASSERT_TRUE(logic.ChangeSatellite(astra).done());
  ASSERT_EQ(shell_.forms.size(), 2u);
  EXPECT_EQ(shell_.forms[0].title, "Change satellite \"ASTRA 19E\"");
  EXPECT_EQ(shell_.forms[1].message, "angle must be 0.0 to 180.0");
  EXPECT_EQ(shell_.forms[1].fields[4].text, "190.2");  // as typed
  EXPECT_EQ(logic.list()->satellites()[0].name(), "ASTRA 1KR");
  // A cancelled form changes nothing.
  EXPECT_EQ(logic.ChangeSatellite(astra).status, channels::EditResult::Status::kNothingToDo);
}

TEST_F(EditorLogicTest, TranspondersMoveToTheChosenSatelliteWithTheirServices) {
  EditorLogic logic(shell_);
  ASSERT_TRUE(logic.OpenPath(Write("sample.txt", SampleText())));
  const channels::TransponderId tv5 = logic.list()->services()[12].transponder();  // 12597 V
  shell_.choices = {2};
  ASSERT_TRUE(logic.MoveTranspondersToSatellite({&tv5, 1}).done());
  ASSERT_EQ(shell_.choiceItems.size(), 1u);
  EXPECT_EQ(shell_.choiceItems[0][1], "\"HOTBIRD13\" 13.0 east");
  EXPECT_EQ(logic.list()->SatelliteOf(logic.list()->services()[12]),
            logic.list()->satellites()[2].id());
}

}  // namespace
}  // namespace tavlink::editor
