// The Qt windows offscreen: start-up and the port dialog with the stored
// setting and its device lists, the About box and its hidden strip, the
// system command, Enter in every window, plain receiver texts, and the
// forms' identifiers and sizes.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QRadioButton>
#include <QSettings>
#include <filesystem>

#include "app/scripted_shell.h"
#include "qt_widgets/dialog_units.h"
#include "support/modal_driver.h"
#include "app_qt/qt_about_dialog.h"
#include "app_qt/qt_main_dialog.h"
#include "qt_widgets/qt_message_box.h"
#include "qt_widgets/qt_port_setup_dialog.h"
#include "app_qt/qt_shell.h"
#include "qt_widgets/qt_transfer_window.h"
#include "link/port_names.h"
#include "settings/qsettings_store.h"
#include "support/temp_folder.h"

namespace tavlink {
namespace {

using app::FindControl;
using app::MainDialog;
using testing::AcceptBox;
using testing::ChooseEntry;
using testing::Click;
using testing::Focus;
using testing::ModalDriver;
using testing::PressEnterOn;

// A private settings folder for the whole test process (QSettings reads
// XDG_CONFIG_HOME once).
class QtWindowsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static testing::TempFolder config;
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.path().string()));
    testing::TestApp();
  }
  void SetUp() override {
    QSettings settings("ZOR", "ZORLINK");
    settings.remove("Port");
    settings.remove("Devices");
  }

  static void StorePort(int port) { MakeQSettingsStore()->WritePort(port); }
  static std::optional<int32_t> StoredPort() { return MakeQSettingsStore()->ReadPort(); }
  static QString Text(QWidget* window, int id) {
    return qobject_cast<QLabel*>(FindControl(window, id))->text();
  }
  static bool Checked(QWidget* window, int id) {
    return qobject_cast<QRadioButton*>(FindControl(window, id))->isChecked();
  }
  static QComboBox* DeviceList(QWidget* window, int id) {
    return qobject_cast<QComboBox*>(FindControl(window, id));
  }
  static QString Line(QWidget* window, const char* name) {
    return window->findChild<QLabel*>(name)->text();
  }

  ReceiverDataBlock block;
};

TEST_F(QtWindowsTest, FirstStartAsksWithCom2BeforeTheWindowAndCancelStoresZero) {
  MainDialog window(MakeQSettingsStore(), block);
  ModalDriver driver;
  bool com2 = false, mainShown = true;
  QString title;
  driver.Then([&](QWidget* dialog) {
    title = dialog->windowTitle();
    com2 = Checked(dialog, 1013) && !Checked(dialog, 1012);
    mainShown = window.isVisible();
    Click(dialog, 2);
  });
  window.Initialize();
  EXPECT_TRUE(driver.done());
  EXPECT_EQ(title, "Communication Setup");
  EXPECT_TRUE(com2);
  EXPECT_FALSE(mainShown);
  EXPECT_EQ(StoredPort(), 0);
  EXPECT_EQ(Text(&window, 1021), "Unavailable.");
  EXPECT_EQ(Text(&window, 1018), "Unavailable.");
  EXPECT_EQ(Text(&window, 1022), "Connection failed.");
}

TEST_F(QtWindowsTest, FirstStartOkStoresTheChoice) {
  MainDialog window(MakeQSettingsStore(), block);
  ModalDriver driver;
  driver.Then([](QWidget* dialog) {
    Click(dialog, 1012);
    Click(dialog, 1);
  });
  window.Initialize();
  EXPECT_EQ(StoredPort(), 1);
  EXPECT_EQ(window.Logic().selectedPort, 1);
}

TEST_F(QtWindowsTest, StoredOneOpensThePortDialogWithCom1) {
  StorePort(1);
  MainDialog window(MakeQSettingsStore(), block);
  ModalDriver driver;
  window.Initialize();
  EXPECT_TRUE(driver.unexpected().empty());

  bool com1 = false;
  driver.Then([&](QWidget* dialog) {
    com1 = Checked(dialog, 1012);
    Click(dialog, 2);
  });
  Click(&window, 1001);
  EXPECT_TRUE(driver.done());
  EXPECT_TRUE(com1);
  EXPECT_TRUE(driver.unexpected().empty()) << "Cancel must not connect";
  EXPECT_EQ(StoredPort(), 1);
}

TEST_F(QtWindowsTest, StoredThreeIsUsedWithoutAsking) {
  StorePort(3);
  MainDialog window(MakeQSettingsStore(), block);
  ModalDriver driver;
  window.Initialize();
  EXPECT_TRUE(driver.unexpected().empty());
  EXPECT_EQ(window.Logic().selectedPort, 3);
}

TEST_F(QtWindowsTest, NonNumericPortCountsAsUnreadable) {
  QSettings("ZOR", "ZORLINK").setValue("Port", "COM1");
  EXPECT_FALSE(StoredPort().has_value());
  QSettings("ZOR", "ZORLINK").setValue("Port", " 2 ");
  EXPECT_EQ(StoredPort(), 2);
}

TEST_F(QtWindowsTest, PortDialogTellsWhereEachPortLeads) {
  if (std::getenv("TAVLINK_COM1") != nullptr) GTEST_SKIP() << "TAVLINK_COM1 is set";
  auto store = std::make_unique<testing::MemoryStore>();
  store->port = 2;
  store->devices[1] = "/dev/ttyUSB4";
  MainDialog window(std::move(store), block, [] { return std::vector<SerialDeviceInfo>{}; });
  window.Initialize();
  QString line, entry;
  ModalDriver driver;
  driver.Then([&](QWidget* dialog) {
    line = Line(dialog, "com1Device");
    entry = DeviceList(dialog, 1023)->currentText();
    Click(dialog, 2);
  });
  EXPECT_FALSE(window.Logic().ChoosePort());
  EXPECT_EQ(line, QStringLiteral("COM1 \u2192 /dev/ttyUSB4 (setting)"));
  EXPECT_EQ(entry, "/dev/ttyUSB4 (not found)");
}

TEST_F(QtWindowsTest, PortDialogOffersEachPortsDevicesOwnDeviceFirst) {
  const std::string adapter = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  const std::vector<SerialDeviceInfo> machine = {{adapter, "/dev/ttyUSB0", "FTDI FT232R USB UART",
                                                  "FTDI", "FT232R USB UART", "0403", "6001",
                                                  "A50285BI"}};
  app::PortSetupDialog dialog;
  PortDialogOffer offer;
  offer.currentPort = 1;
  offer.devices[0] = OfferDevices(1, {"/dev/ttyS0", ComDevice::Source::kDefault}, machine);
  offer.devices[1] = OfferDevices(2, {adapter, ComDevice::Source::kSetting}, machine);
  dialog.Offer(offer);
  QStringList com1;
  QString com2, lineBefore, lineAfter;
  ModalDriver driver;
  driver.Then([&](QWidget* window) {
    QComboBox* list = DeviceList(window, 1023);
    for (int i = 0; i < list->count(); ++i) com1 << list->itemText(i);
    com2 = DeviceList(window, 1024)->currentText();
    lineBefore = Line(window, "com1Device");
    ChooseEntry(window, 1023, "/dev/ttyUSB0");
    lineAfter = Line(window, "com1Device");
    Click(window, 1);
  });
  ASSERT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_EQ(com1, (QStringList{"/dev/ttyS0 (default)",
                               "/dev/ttyUSB0: FTDI FT232R USB UART, 0403:6001, serial A50285BI"}));
  EXPECT_EQ(com2, "/dev/ttyUSB0: FTDI FT232R USB UART, 0403:6001, serial A50285BI");
  EXPECT_EQ(lineBefore, QStringLiteral("COM1 \u2192 /dev/ttyS0 (default)"));
  EXPECT_EQ(lineAfter, QString::fromStdString("COM1 \u2192 " + adapter + " (setting)"));
  const PortChoice choice = dialog.Choice();
  EXPECT_EQ(choice.port, 1);
  EXPECT_EQ(choice.devices[0], adapter);
  EXPECT_EQ(choice.devices[1], adapter);
}

// A device the list does not show is typed into the drop-down; OK checks it
// and keeps the dialog open, with the reason, until it names a device.
TEST_F(QtWindowsTest, PortDialogTakesATypedDeviceCheckedWhenOkIsPressed) {
  app::PortSetupDialog dialog;
  PortDialogOffer offer;
  offer.currentPort = 1;
  offer.devices[0] = OfferDevices(1, {"/dev/ttyS0", ComDevice::Source::kDefault}, {});
  offer.devices[1] = OfferDevices(2, {"/dev/ttyS1", ComDevice::Source::kDefault}, {});
  dialog.Offer(offer);
  std::string refusal;
  bool openAfterRefusal = false;
  QString line;
  ModalDriver driver;
  driver.Then([&](QWidget* window) {
    QLineEdit* field = DeviceList(window, 1023)->lineEdit();
    field->selectAll();
    field->insert("/dev/no-such-tty");  // as typed over the selection
    Click(window, 1);                   // returns once its box is dismissed
    openAfterRefusal = window->isVisible();
    field->selectAll();
    field->insert("/dev/null");
    line = Line(window, "com1Device");
    PressEnterOn(window, 1023);
  });
  driver.Then([&](QWidget* box) { refusal = AcceptBox(box); });
  ASSERT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_EQ(refusal, "COM1: /dev/no-such-tty: No such file or directory");
  EXPECT_TRUE(openAfterRefusal);
  EXPECT_EQ(line, QStringLiteral("COM1 \u2192 /dev/null (setting)"));
  const PortChoice choice = dialog.Choice();
  EXPECT_EQ(choice.devices[0], "/dev/null");
  EXPECT_EQ(choice.devices[1], "/dev/ttyS1");
}

TEST_F(QtWindowsTest, EnvironmentDeviceShowsInADisabledDropDownAndIsNotChosen) {
  app::PortSetupDialog dialog;
  PortDialogOffer offer;
  offer.currentPort = 1;
  offer.devices[0] = OfferDevices(1, {"/dev/pts/4", ComDevice::Source::kEnvironment}, {});
  offer.devices[1] = OfferDevices(2, {"/dev/ttyS1", ComDevice::Source::kDefault}, {});
  dialog.Offer(offer);
  bool com1Enabled = true, com2Enabled = false;
  QString entry, line;
  ModalDriver driver;
  driver.Then([&](QWidget* window) {
    com1Enabled = DeviceList(window, 1023)->isEnabled();
    com2Enabled = DeviceList(window, 1024)->isEnabled();
    entry = DeviceList(window, 1023)->currentText();
    line = Line(window, "com1Device");
    Click(window, 1);
  });
  ASSERT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_FALSE(com1Enabled);
  EXPECT_TRUE(com2Enabled);
  EXPECT_EQ(entry, "/dev/pts/4 (environment TAVLINK_COM1)");
  EXPECT_EQ(line, QStringLiteral("COM1 \u2192 /dev/pts/4 (environment TAVLINK_COM1)"));
  const PortChoice choice = dialog.Choice();
  EXPECT_FALSE(choice.devices[0].has_value());
  EXPECT_EQ(choice.devices[1], "/dev/ttyS1");
}

// Cleared to an empty value, not removed, so that a mapping for the whole
// machine stays undone (tests/settings).
TEST_F(QtWindowsTest, DeviceMappingIsStoredAndCleared) {
  auto store = MakeQSettingsStore();
  EXPECT_TRUE(store->WriteDevice(2, "/dev/serial/by-id/usb-x"));
  EXPECT_EQ(QSettings("ZOR", "ZORLINK").value("Devices/COM2").toString(),
            "/dev/serial/by-id/usb-x");
  EXPECT_EQ(store->ReadDevice(2), "/dev/serial/by-id/usb-x");
  EXPECT_TRUE(store->WriteDevice(2, ""));
  EXPECT_TRUE(QSettings("ZOR", "ZORLINK").contains("Devices/COM2"));
  EXPECT_EQ(QSettings("ZOR", "ZORLINK").value("Devices/COM2").toString(), "");
  EXPECT_FALSE(store->ReadDevice(2).has_value());
}

TEST_F(QtWindowsTest, SystemCommandWithLowBitsOpensTheAboutBox) {
  StorePort(2);
  MainDialog window(MakeQSettingsStore(), block);
  window.Initialize();
  ModalDriver driver;
  QString title;
  driver.Then([&](QWidget* about) {
    title = about->windowTitle();
    Click(about, 1);
  });
  EXPECT_TRUE(window.OnSysCommand(16 | 0xB));
  EXPECT_EQ(title, "About ZOR Link");
  EXPECT_FALSE(window.OnSysCommand(32));
  EXPECT_TRUE(driver.unexpected().empty());
}

TEST_F(QtWindowsTest, ContextMenuCarriesTheAboutEntry) {
  MainDialog window(std::make_unique<testing::MemoryStore>(), block);
  const QList<QAction*> actions = window.SystemMenu()->actions();
  ASSERT_EQ(actions.size(), 3);
  EXPECT_TRUE(actions[0]->isSeparator());
  EXPECT_EQ(actions[1]->text(), "&About TAVLINK...");
  EXPECT_EQ(actions[1]->data().toInt(), 16);
  EXPECT_EQ(actions[2]->text(), "Channel &Editor...");
}

// The editor is looked for beside the running program (here the test's
// own folder, which has none): the box names where.
TEST_F(QtWindowsTest, ChannelEditorEntrySaysWhereTheMissingEditorWasLookedFor) {
  MainDialog window(std::make_unique<testing::MemoryStore>(), block);
  ModalDriver driver;
  std::string text;
  driver.Then([&](QWidget* box) { text = testing::AcceptBox(box); });
  EXPECT_FALSE(window.StartChannelEditor());
  EXPECT_TRUE(driver.done());
  const std::string expected =
      (std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) /
       "tavlink-editor")
          .string();
  EXPECT_EQ(text, "\n  The channel editor cannot be started:  \n\n  " + expected + "  ");
}

TEST_F(QtWindowsTest, HiddenStripOfTheAboutBoxShowsItsMessage) {
  app::AboutDialog about;
  ModalDriver driver;
  std::string text, caption;
  QSize stripSize;
  driver.Then([&](QWidget* window) {
    stripSize = FindControl(window, 1020)->size();
    Click(window, 1020);  // opens the box; returns when it is dismissed
    Click(window, 1);
  });
  driver.Then([&](QWidget* box) { text = AcceptBox(box, &caption); });
  about.exec();
  EXPECT_EQ(text, app::kHiddenStripMessage);
  EXPECT_EQ(caption, app::ApplicationCaption().toStdString());
  EXPECT_GT(stripSize.width(), 100);
}

TEST_F(QtWindowsTest, ExitEndsTheModalRun) {
  StorePort(2);
  MainDialog window(MakeQSettingsStore(), block);
  window.Initialize();
  ModalDriver driver;
  bool setupHasFocus = false;
  driver.Then([&](QWidget* main) {
    setupHasFocus = FindControl(main, 1001)->hasFocus();
    Click(main, 1005);
  });
  EXPECT_EQ(window.exec(), QDialog::Rejected);
  EXPECT_TRUE(driver.done());
  EXPECT_TRUE(setupHasFocus);
}

TEST_F(QtWindowsTest, EnterOnExitEndsTheProgramWithoutOpeningSetupComm) {
  StorePort(2);
  MainDialog window(MakeQSettingsStore(), block);
  window.Initialize();
  ModalDriver driver;
  driver.Then([](QWidget* main) { PressEnterOn(main, 1005); });
  EXPECT_EQ(window.exec(), QDialog::Rejected);
  EXPECT_TRUE(driver.done());
  EXPECT_TRUE(driver.unexpected().empty()) << driver.unexpected().front();
}

TEST_F(QtWindowsTest, EnterRunsTheCommandOfTheFocusedButton) {
  StorePort(2);
  // The default button itself, and one that is not the default.
  for (const auto& [id, opens] :
       {std::pair{1001, "Communication Setup"}, std::pair{1004, "About ZOR Link"}}) {
    MainDialog window(MakeQSettingsStore(), block);
    window.Initialize();
    ModalDriver driver;
    QString title;
    driver.Then([id](QWidget* main) {
      PressEnterOn(main, id);  // returns when the window it opened is closed
      Click(main, 1005);
    });
    driver.Then([&](QWidget* opened) {
      title = opened->windowTitle();
      qobject_cast<QDialog*>(opened)->reject();
    });
    window.exec();
    EXPECT_TRUE(driver.done()) << id;
    EXPECT_TRUE(driver.unexpected().empty()) << id;
    EXPECT_EQ(title, opens) << id;
  }
}

TEST_F(QtWindowsTest, EnterOnThePortDialogsCancelCancels) {
  app::PortSetupDialog dialog;
  dialog.selectedPort = 1;
  ModalDriver driver;
  driver.Then([](QWidget* window) {
    Click(window, 1013);
    PressEnterOn(window, 2);
  });
  EXPECT_EQ(dialog.exec(), QDialog::Rejected);
  EXPECT_EQ(dialog.selectedPort, 1);
}

TEST_F(QtWindowsTest, EnterOnARadioButtonGoesToTheDefaultOk) {
  app::PortSetupDialog dialog;
  dialog.selectedPort = 1;
  ModalDriver driver;
  driver.Then([](QWidget* window) {
    // Cancel held the focus (and so took Enter) before the radio button.
    Focus(window, 2);
    Click(window, 1013);
    PressEnterOn(window, 1013);
  });
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_EQ(dialog.selectedPort, 2);
}

TEST_F(QtWindowsTest, EnterOnADeviceListGoesToTheDefaultOk) {
  app::PortSetupDialog dialog;
  PortDialogOffer offer;
  offer.currentPort = 2;
  offer.devices[0] = OfferDevices(1, {"/dev/ttyS0", ComDevice::Source::kDefault}, {});
  offer.devices[1] = OfferDevices(2, {"/dev/ttyS1", ComDevice::Source::kDefault}, {});
  dialog.Offer(offer);
  ModalDriver driver;
  driver.Then([](QWidget* window) {
    Focus(window, 2);
    PressEnterOn(window, 1024);
  });
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_EQ(dialog.selectedPort, 2);
}

TEST_F(QtWindowsTest, EnterOnTheAboutBoxsHiddenStripShowsItsMessage) {
  app::AboutDialog about;
  ModalDriver driver;
  std::string text;
  driver.Then([](QWidget* window) {
    PressEnterOn(window, 1020);  // returns when its box is dismissed
    PressEnterOn(window, 1);
  });
  driver.Then([&](QWidget* box) { text = AcceptBox(box); });
  EXPECT_EQ(about.exec(), QDialog::Accepted);
  EXPECT_TRUE(driver.done());
  EXPECT_EQ(text, app::kHiddenStripMessage);
}

TEST_F(QtWindowsTest, EnterOnTheTransferWindowsCancelPressesIt) {
  app::QtTransferWindow transfer(nullptr);
  int pressed = 0;
  QObject::connect(qobject_cast<QPushButton*>(FindControl(&transfer, 2)), &QPushButton::clicked,
                   [&pressed] { ++pressed; });
  transfer.show();
  PressEnterOn(&transfer, 2);
  EXPECT_EQ(pressed, 1);
}

TEST_F(QtWindowsTest, ReceiverTextsAreShownAsPlainText) {
  MainDialog window(std::make_unique<testing::MemoryStore>(), block);
  for (int id : {1021, 1018, 1022}) {
    EXPECT_EQ(qobject_cast<QLabel*>(FindControl(&window, id))->textFormat(), Qt::PlainText) << id;
  }
  app::QtTransferWindow transfer(nullptr);
  EXPECT_EQ(qobject_cast<QLabel*>(FindControl(&transfer, 1014))->textFormat(), Qt::PlainText);
  app::PortSetupDialog ports;
  for (const char* name : {"com1Device", "com2Device"}) {
    EXPECT_EQ(ports.findChild<QLabel*>(name)->textFormat(), Qt::PlainText) << name;
  }
}

TEST_F(QtWindowsTest, PortDialogWrapsALongDeviceLineAndGrowsDownward) {
  const std::string device = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  const app::DialogUnits units = app::UnitsOf(app::DialogFont());
  app::PortSetupDialog dialog;
  PortDialogOffer offer;
  offer.devices[0] = OfferDevices(1, {"/dev/ttyS0", ComDevice::Source::kDefault}, {});
  offer.devices[1] = OfferDevices(2, {device, ComDevice::Source::kSetting}, {});
  dialog.Offer(offer);
  QString text;
  QRect line, needs;
  QSize size;
  std::map<int, QRect> controls;
  ModalDriver driver;
  driver.Then([&](QWidget* window) {
    auto* label = window->findChild<QLabel*>("com2Device");
    text = label->text();
    line = label->geometry();
    // How the label lays the text out in its width.
    needs =
        label->fontMetrics().boundingRect(QRect(0, 0, line.width(), 1000), Qt::TextWordWrap, text);
    size = window->size();
    for (int id : {1, 2, 1012, 1013, 1023, 1024})
      controls[id] = FindControl(window, id)->geometry();
    Click(window, 2);
  });
  dialog.exec();
  EXPECT_EQ(text.toStdString(), "COM2 \u2192 " + device + " (setting)");
  EXPECT_LE(needs.width(), line.width()) << "cut off at the right";
  EXPECT_LE(needs.height(), line.height()) << "cut off at the bottom";
  EXPECT_GT(line.height(), units.charHeight) << "not wrapped";
  EXPECT_LE(line.bottom(), size.height());
  const QSize form = units.ToPixels(QRect(0, 0, 188, 117)).size();
  EXPECT_EQ(size.width(), form.width());
  EXPECT_GT(size.height(), form.height());
  EXPECT_EQ(controls[1], units.ToPixels(QRect(131, 9, 50, 14)));
  EXPECT_EQ(controls[2], units.ToPixels(QRect(131, 27, 50, 14)));
  EXPECT_EQ(controls[1012], units.ToPixels(QRect(18, 21, 50, 10)));
  EXPECT_EQ(controls[1013], units.ToPixels(QRect(18, 39, 50, 10)));
  EXPECT_EQ(controls[1023], units.ToPixels(QRect(32, 63, 149, 14)));
  EXPECT_EQ(controls[1024], units.ToPixels(QRect(32, 80, 149, 14)));
  EXPECT_LT(controls[1024].bottom(), line.top());
}

TEST_F(QtWindowsTest, FormsKeepTheirIdentifiersAndDialogUnitSizes) {
  const app::DialogUnits units = app::UnitsOf(app::DialogFont());
  MainDialog window(std::make_unique<testing::MemoryStore>(), block);
  EXPECT_EQ(window.windowTitle(), "ZOR Link");
  EXPECT_EQ(window.size(), units.ToPixels(QRect(0, 0, 261, 163)).size());
  for (int id : {1001, 1000, 1002, 1003, 1004, 1005, 1021, 1018, 1022}) {
    EXPECT_NE(FindControl(&window, id), nullptr) << id;
  }
  auto* setup = qobject_cast<QPushButton*>(FindControl(&window, 1001));
  EXPECT_TRUE(setup->isDefault());

  // The original's port dialog stays as it was at the top; the device
  // lists and lines are below it.
  app::PortSetupDialog ports;
  EXPECT_EQ(ports.windowTitle(), "Communication Setup");
  EXPECT_EQ(FindControl(&ports, 131), &ports);
  EXPECT_EQ(ports.findChild<QGroupBox*>("selectBox")->geometry(),
            units.ToPixels(QRect(7, 7, 116, 52)));
  EXPECT_EQ(ports.findChild<QLabel*>("portIcon")->geometry(),
            units.ToPixels(QRect(84, 23, 26, 24)));
  EXPECT_TRUE(qobject_cast<QPushButton*>(FindControl(&ports, 1))->isDefault());
  for (int id : {1012, 1013})
    EXPECT_NE(qobject_cast<QRadioButton*>(FindControl(&ports, id)), nullptr);
  for (int id : {1023, 1024}) EXPECT_NE(DeviceList(&ports, id), nullptr);

  app::QtTransferWindow transfer(nullptr);
  EXPECT_EQ(transfer.size(), units.ToPixels(QRect(0, 0, 188, 62)).size());
  EXPECT_EQ(FindControl(&transfer, 1013)->geometry(), units.ToPixels(QRect(7, 23, 174, 9)));
  EXPECT_EQ(Text(&transfer, 1014), "Progress");
  EXPECT_FALSE(transfer.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_NE(qobject_cast<QProgressBar*>(FindControl(&transfer, 1013)), nullptr);
}

}  // namespace
}  // namespace tavlink
