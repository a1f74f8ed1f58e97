// Write to Receiver from the editor window against tavlink-sim: the fresh
// read it offers, the preview with the comparison, the factory write, and
// the read back that verifies it. Real time (the write's pauses take about
// 40 seconds).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <filesystem>

#include "editor/editor_logic.h"
#include "editor/scripted_editor_shell.h"
#include "editor_qt/editor_dialogs.h"
#include "editor_qt/editor_window.h"
#include "editor_qt/service_table_model.h"
#include "operations/factory_verification.h"
#include "support/file_bytes.h"
#include "support/modal_driver.h"
#include "support/paths.h"
#include "support/sim_process.h"
#include "support/temp_folder.h"

namespace tavlink::editor {
namespace {

using testing::ModalDriver;

std::string Press(QWidget* window, QMessageBox::StandardButton button) {
  auto* box = qobject_cast<QMessageBox*>(window);
  if (box == nullptr)
    return std::string("(not a message box: ") + window->metaObject()->className() + ")";
  const std::string text = box->text().toStdString();
  box->button(button)->click();
  return text;
}

TEST(EditorWriteTest, WriteToReceiverPreviewsWritesAndVerifies) {
  testing::TestApp();
  if (!std::filesystem::exists(testing::SimProgramPath())) {
    GTEST_SKIP() << "tavlink-sim not built: " << testing::SimProgramPath();
  }
  if (std::getenv("TAVLINK_COM1") != nullptr) GTEST_SKIP() << "TAVLINK_COM1 is set";
  testing::SimProcess sim({});
  ASSERT_FALSE(sim.DevicePath().empty());
  // COM1 leads to the simulator for this test, as TAVLINK_COM1 would.
  ::setenv("TAVLINK_COM1", sim.DevicePath().c_str(), 1);
  struct Unset {
    ~Unset() { ::unsetenv("TAVLINK_COM1"); }
  } unset;

  testing::TempFolder folder;
  const std::string path = folder.File("factory_data.txt");
  testing::WriteBytes(path, testing::ReadBytes(testing::SampleDataText().string()));
  auto store = std::make_shared<testing::EditorMemoryStore>();
  EditorWindow window(store, nullptr, [] { return std::vector<SerialDeviceInfo>{}; });
  window.show();
  testing::Activate(&window);
  ASSERT_TRUE(window.Logic().OpenPath(path));
  // TRT 1 to the top, and a favourite off.
  window.ServicesView()->setFocus();
  window.SelectServices({window.Services().IdAt(13)});
  window.Action("moveTop")->trigger();
  window.SelectServices({window.Services().IdAt(1)});
  window.Action("favourite")->trigger();

  ModalDriver driver;
  std::vector<std::string> said;
  std::string summary, listing;
  bool verifyChecked = false;
  driver.Then([&](QWidget* box) { said.push_back(Press(box, QMessageBox::Yes)); });  // read now?
  driver.Then([&](QWidget* box) { said.push_back(Press(box, QMessageBox::Ok)); });   // turn off
  driver.Then([](QWidget*) {});  // the read's transfer window ends by itself
  driver.Then([&](QWidget* preview) {
    auto* label = preview->findChild<QLabel*>("summary");
    auto* text = preview->findChild<QPlainTextEdit*>("listing");
    if (label != nullptr) summary = label->text().toStdString();
    if (text != nullptr) listing = text->toPlainText().toStdString();
    auto* verify = preview->findChild<QCheckBox*>();
    verifyChecked = verify != nullptr && verify->isChecked();
    auto* write = preview->findChild<QPushButton*>("write");
    ASSERT_NE(write, nullptr);
    write->click();
  });
  driver.Then([](QWidget*) {});  // the write's transfer window
  driver.Then([&](QWidget* box) { said.push_back(Press(box, QMessageBox::Ok)); });  // restart
  driver.Then([](QWidget*) {});                                                     // the read back
  driver.Then([&](QWidget* box) { said.push_back(Press(box, QMessageBox::Ok)); });  // verdict
  window.Action("writeReceiver")->trigger();
  EXPECT_TRUE(driver.done());
  EXPECT_TRUE(driver.unexpected().empty()) << driver.unexpected().front();
  EXPECT_EQ(summary, "1 service moved, 1 changed");
  EXPECT_EQ(listing,
            "service 1 \"TRT 1\" (service_id 1 on 11054 V of \"TURKSAT3A\" 42.0 east): moved from "
            "14 to 1\n"
            "service 2 \"Das Erste\" (service_id 28106 on 11836 H of \"ASTRA 19E\" 19.2 east): "
            "favorite 1 -> 0\n");
  EXPECT_TRUE(verifyChecked);
  ASSERT_EQ(said.size(), 4u);
  EXPECT_NE(said[0].find("Read it now"), std::string::npos) << said[0];
  EXPECT_EQ(said[2], kRestartReceiverText);
  EXPECT_EQ(said[3], "Verified: the receiver holds what was written.");
}

// A receiver that does not keep one byte of what it is sent: the read back
// says so, where, and the preview of the next write compares with what it
// holds.
TEST(EditorWriteTest, AByteTheReceiverDidNotKeepIsReportedAfterTheWrite) {
  testing::TestApp();
  if (!std::filesystem::exists(testing::SimProgramPath())) {
    GTEST_SKIP() << "tavlink-sim not built: " << testing::SimProgramPath();
  }
  if (std::getenv("TAVLINK_COM1") != nullptr) GTEST_SKIP() << "TAVLINK_COM1 is set";
  testing::SimProcess sim({"--alter-stored", "61440"});
  ASSERT_FALSE(sim.DevicePath().empty());
  ::setenv("TAVLINK_COM1", sim.DevicePath().c_str(), 1);
  struct Unset {
    ~Unset() { ::unsetenv("TAVLINK_COM1"); }
  } unset;

  testing::TempFolder folder;
  const std::string path = folder.File("factory_data.txt");
  testing::WriteBytes(path, testing::ReadBytes(testing::SampleDataText().string()));
  auto store = std::make_shared<testing::EditorMemoryStore>();
  EditorWindow window(store, nullptr, [] { return std::vector<SerialDeviceInfo>{}; });
  window.show();
  testing::Activate(&window);
  ASSERT_TRUE(window.Logic().OpenPath(path));

  std::string verdict;
  {
    ModalDriver driver;
    driver.Then([&](QWidget* box) { Press(box, QMessageBox::No); });  // no read first
    driver.Then([](QWidget* preview) {
      auto* write = preview->findChild<QPushButton*>("write");
      ASSERT_NE(write, nullptr);
      write->click();
    });
    driver.Then([](QWidget*) {});                                    // the write
    driver.Then([](QWidget* box) { Press(box, QMessageBox::Ok); });  // restarted
    driver.Then([](QWidget*) {});                                    // the read back
    driver.Then([&](QWidget* report) {
      auto* summary = report->findChild<QLabel*>("summary");
      if (summary != nullptr) verdict = summary->text().toStdString();
      qobject_cast<QDialog*>(report)->reject();
    });
    window.Action("writeReceiver")->trigger();
    EXPECT_TRUE(driver.done());
    EXPECT_TRUE(driver.unexpected().empty()) << driver.unexpected().front();
    EXPECT_EQ(verdict,
              "Not verified: the receiver holds something else: 1 byte differs outside the "
              "records, the first at 0xF000.");
  }
  // The next preview compares with what it holds: the same list.
  ModalDriver again;
  std::string summary;
  again.Then([&](QWidget* preview) {
    auto* label = preview->findChild<QLabel*>("summary");
    if (label != nullptr) summary = label->text().toStdString();
    qobject_cast<QDialog*>(preview)->reject();
  });
  window.Action("writeReceiver")->trigger();
  EXPECT_TRUE(again.done());
  EXPECT_EQ(summary, "no differences");
}

}  // namespace
}  // namespace tavlink::editor
