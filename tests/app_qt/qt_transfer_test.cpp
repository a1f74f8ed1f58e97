// Whole commands through the Qt windows against the receiver simulator,
// and the transfer window's own endings.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <filesystem>
#include <map>

#include "qt_widgets/dialog_units.h"
#include "support/modal_driver.h"
#include "app_qt/qt_main_dialog.h"
#include "qt_widgets/qt_transfer_window.h"
#include "app/scripted_shell.h"
#include "link/port_names.h"
#include "operations/operation_texts.h"
#include "support/sim_process.h"
#include "support/temp_folder.h"

namespace tavlink {
namespace {

using app::FindControl;
using app::MainDialog;
using testing::AcceptBox;
using testing::ChooseEntry;
using testing::Click;
using testing::ModalDriver;
using testing::PressEnter;
using testing::PressEnterOn;

QString Text(QWidget* window, int id) {
  return qobject_cast<QLabel*>(FindControl(window, id))->text();
}

// The main window on COM1, which leads to a simulator started with `args`.
class SimulatorTest : public ::testing::Test {
 protected:
  // False (with the reason recorded) when the simulator cannot be used.
  bool Start(std::vector<std::string> args) {
    testing::TestApp();
    if (!std::filesystem::exists(testing::SimProgramPath())) {
      skipReason_ = "tavlink-sim not built: " + testing::SimProgramPath();
      return false;
    }
    if (std::getenv("TAVLINK_COM1") != nullptr) {
      skipReason_ = "TAVLINK_COM1 is set";
      return false;
    }
    sim_ = std::make_unique<testing::SimProcess>(std::move(args));
    if (sim_->DevicePath().empty()) return false;  // SimProcess recorded the failure
    auto store = std::make_unique<testing::MemoryStore>();
    store->port = 1;
    store->devices[1] = sim_->DevicePath();  // COM1 leads to the simulator
    window_ = std::make_unique<MainDialog>(std::move(store), block_);
    window_->Initialize();
    return true;
  }
  void TearDown() override { window_.reset(); }

  // Setup Comm, OK on COM1, the connect runs to its end.
  void SetupCommOnCom1(ModalDriver& driver) {
    driver.Then([](QWidget* ports) { Click(ports, 1); });
    driver.Then([](QWidget*) {});  // the transfer window ends by itself
    Click(window_.get(), 1001);
    EXPECT_TRUE(driver.done());
  }

  std::string skipReason_;
  ReceiverDataBlock block_;
  std::unique_ptr<testing::SimProcess> sim_;
  std::unique_ptr<MainDialog> window_;
};

TEST_F(SimulatorTest, ConnectShowsTheReceiversVersions) {
  if (!Start({"--software", "ZOR SW 1.06 2004-03-01", "--hardware", "ZOR HW rev.B"}))
    GTEST_SKIP() << skipReason_;
  ModalDriver driver;
  SetupCommOnCom1(driver);
  EXPECT_TRUE(driver.unexpected().empty()) << driver.unexpected().front();
  EXPECT_EQ(Text(window_.get(), 1021), "ZOR SW 1.06 2004-03-01");
  EXPECT_EQ(Text(window_.get(), 1018), "ZOR HW rev.B");
  EXPECT_EQ(Text(window_.get(), 1022), "Connection established.");
}

TEST_F(SimulatorTest, DeviceChosenInThePortDialogIsStoredAndOpenedByTheNextConnect) {
  if (std::getenv("TAVLINK_COM2") != nullptr) GTEST_SKIP() << "TAVLINK_COM2 is set";
  if (!Start({"--software", "ZOR SW 1.06", "--hardware", "ZOR HW rev.C"}))
    GTEST_SKIP() << skipReason_;
  // A window of its own on COM1, whose COM2 leads nowhere yet; the machine
  // lists the simulator's line as a USB adapter.
  const std::string line = sim_->DevicePath();
  auto store = std::make_unique<testing::MemoryStore>();
  store->port = 1;
  testing::MemoryStore& settings = *store;
  MainDialog window(std::move(store), block_, [line] {
    return std::vector<SerialDeviceInfo>{
        {line, "/dev/ttyUSB0", "ZOR USB Serial", "ZOR", "USB Serial", "0403", "6001", "Z1"}};
  });
  window.Initialize();

  ModalDriver driver;
  QString entry;
  driver.Then([&](QWidget* ports) {
    Click(ports, 1013);
    ChooseEntry(ports, 1024, "/dev/ttyUSB0");
    entry = qobject_cast<QComboBox*>(FindControl(ports, 1024))->currentText();
    Click(ports, 1);
  });
  driver.Then([](QWidget*) {});  // the transfer window ends by itself
  Click(&window, 1001);
  EXPECT_TRUE(driver.done());
  EXPECT_TRUE(driver.unexpected().empty()) << driver.unexpected().front();
  EXPECT_EQ(entry, "/dev/ttyUSB0: ZOR USB Serial, 0403:6001, serial Z1");
  EXPECT_EQ(settings.port, 2);
  EXPECT_EQ(settings.devices, (std::map<int, std::string>{{2, line}}));
  EXPECT_EQ(Text(&window, 1021), "ZOR SW 1.06");
  EXPECT_EQ(Text(&window, 1018), "ZOR HW rev.C");
  EXPECT_EQ(Text(&window, 1022), "Connection established.");
}

TEST_F(SimulatorTest, ThirtyTwoCharacterVersionsShowAllOfThem) {
  const std::string software(32, 's'), hardware(32, 'h');
  if (!Start({"--software", software, "--hardware", hardware})) GTEST_SKIP() << skipReason_;
  ModalDriver driver;
  SetupCommOnCom1(driver);
  EXPECT_EQ(Text(window_.get(), 1021).toStdString(), software);
  EXPECT_EQ(Text(window_.get(), 1018).toStdString(), hardware);
}

TEST_F(SimulatorTest, VersionTextsThatLookLikeMarkupAreShownLiterally) {
  const QString software = "<b>x</b>", hardware = "<i>HW</i> &amp; <br>";
  if (!Start({"--software", software.toStdString(), "--hardware", hardware.toStdString()}))
    GTEST_SKIP() << skipReason_;
  ModalDriver driver;
  SetupCommOnCom1(driver);
  for (const auto& [id, text] : {std::pair{1021, software}, std::pair{1018, hardware}}) {
    auto* label = qobject_cast<QLabel*>(FindControl(window_.get(), id));
    EXPECT_EQ(label->text(), text) << id;
    EXPECT_EQ(label->textFormat(), Qt::PlainText) << id;
    // Every character is drawn, tags included.
    EXPECT_GE(label->sizeHint().width(), label->fontMetrics().horizontalAdvance(text)) << id;
  }
}

TEST_F(SimulatorTest, EnterOnTheTransferWindowStopsTheReadAndSavesNothing) {
  if (!Start({"--pace"})) GTEST_SKIP() << skipReason_;
  testing::TempFolder folder;
  const std::string path = folder.File("factory_data.txt");
  ModalDriver driver;
  driver.Then([](QWidget* box) { AcceptBox(box); });
  driver.Then([&](QWidget* chooser) {
    auto* dialog = qobject_cast<QFileDialog*>(chooser);
    ASSERT_NE(dialog, nullptr);
    dialog->selectFile(QString::fromStdString(path));
    QMetaObject::invokeMethod(dialog, "accept");
  });
  driver.Then([](QWidget* transfer) { PressEnterOn(transfer, 2); });
  std::string afterwards;
  driver.Then([&](QWidget* box) { afterwards = AcceptBox(box); });
  Click(window_.get(), 1002);
  EXPECT_TRUE(driver.done());
  EXPECT_TRUE(driver.unexpected().empty()) << driver.unexpected().front();
  EXPECT_EQ(afterwards, ReadNotFinishedText(path, false));
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(SimulatorTest, ReadUserDataSavesTheReceiversData) {
  if (!Start({})) GTEST_SKIP() << skipReason_;
  testing::TempFolder folder;
  const std::string path = folder.File("factory_data.txt");
  ModalDriver driver;
  std::string question;
  driver.Then([&](QWidget* box) { question = AcceptBox(box); });
  driver.Then([&](QWidget* chooser) {
    auto* dialog = qobject_cast<QFileDialog*>(chooser);
    ASSERT_NE(dialog, nullptr);
    auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(types, nullptr);
    EXPECT_EQ(types->itemText(0), "Factory data files (*.txt)");  // as shown
    dialog->selectFile(QString::fromStdString(path));
    QMetaObject::invokeMethod(dialog, "accept");
  });
  driver.Then([](QWidget*) {});  // the transfer window
  Click(window_.get(), 1002);
  EXPECT_TRUE(driver.done());
  EXPECT_TRUE(driver.unexpected().empty()) << driver.unexpected().front();
  EXPECT_EQ(question, "\n  Please turn off your receiver.    \n");
  EXPECT_TRUE(block_.IsValid());
  const std::string text = testing::ReadBytes(path);
  EXPECT_GT(text.size(), 100u);
  EXPECT_NE(text.find("\r\n"), std::string::npos);
}

// A device that cannot be opened: the session reports and ends by itself.
class ClosedDevice final : public SerialDevice {
 public:
  DeviceError Open(int) override { return Fail(); }
  DeviceError SetupQueues(uint32_t, uint32_t) override { return {}; }
  DeviceError Configure(const LineSettings&) override { return Fail(); }
  DeviceError ClearErrors() override { return {}; }
  DeviceError ReadAvailable(uint8_t*, size_t, size_t* got) override {
    *got = 0;
    return Fail();
  }
  DeviceError Write(const uint8_t*, size_t, std::chrono::milliseconds, size_t* written,
                    bool* timedOut) override {
    *written = 0;
    *timedOut = false;
    return Fail();
  }
  DeviceError DiscardInput() override { return {}; }
  DeviceError Close() override { return {}; }

 private:
  static DeviceError Fail() { return DeviceError{2, "No such file or directory"}; }
};

TEST(QtTransferWindowTest, PortThatCannotOpenReportsAndEnds) {
  testing::TestApp();
  app::QtTransferWindow window(nullptr);
  app::QtErrorReporter errors;
  const TransferEnvironment environment{SystemClock(), errors,
                                        [] { return std::make_unique<ClosedDevice>(); }};
  TransferDialog session(window, environment);
  std::array<uint8_t, 100> answer{};
  session.Setup(2, OP_CONNECT, answer);
  ModalDriver driver;
  std::vector<std::string> boxes;
  std::string caption;
  driver.Then([&](QWidget* box) { boxes.push_back(AcceptBox(box)); });
  driver.Then([&](QWidget* box) { boxes.push_back(AcceptBox(box, &caption)); });
  session.DoModal();
  EXPECT_EQ(session.Outcome(), TransferOutcome::kPortFailed);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1], "Open error");
  EXPECT_EQ(caption, "ERROR");
  EXPECT_TRUE(driver.unexpected().empty());
}

TEST(QtTransferWindowTest, EnterOnTheStopUpgradeQuestionAnswersNoUnlessYesHasTheFocus) {
  testing::TestApp();
  app::QtTransferWindow window(nullptr);
  const std::string_view question =
      " It is very important time!  \n\n You want to stop the upgrade procedure?  ";
  ModalDriver driver;
  driver.Then([](QWidget* box) { PressEnter(box); });
  EXPECT_EQ(window.ShowMessage(question, "", BoxButtons::kYesNo), BoxAnswer::kNo);
  driver.Then([](QWidget* box) {
    qobject_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->setFocus(Qt::TabFocusReason);
    PressEnter(box);
  });
  EXPECT_EQ(window.ShowMessage(question, "", BoxButtons::kYesNo), BoxAnswer::kYes);
  EXPECT_TRUE(driver.done());
  EXPECT_TRUE(driver.unexpected().empty());
}

}  // namespace
}  // namespace tavlink
