// tavlink-screenshots OUTPUT_DIR [--connect]: opens the desktop tool's
// windows one after another and saves each as a PNG in OUTPUT_DIR: the main
// window before and (with --connect, COM1 leading to a receiver) after a
// connect, the port dialog (closed, and with COM2's device list open), the
// About box and a Read User Data transfer in progress, which it then stops.
// The port dialog lists a sample machine's devices: a board port and a USB
// adapter, which COM2 leads to. Used by scripts/screenshots.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QPainter>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>

#include "qt_widgets/dialog_units.h"
#include "app_qt/link_app.h"
#include "app_qt/qt_main_dialog.h"

namespace tavlink::app {
namespace {

const char* const kSampleAdapter = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";

// The serial devices of the sample machine.
std::vector<tavlink::SerialDeviceInfo> SampleDevices() {
  tavlink::SerialDeviceInfo board;
  board.path = board.kernelName = "/dev/ttyS0";
  board.description = "16550A UART";
  return {board,
          {kSampleAdapter, "/dev/ttyUSB0", "FTDI FT232R USB UART", "FTDI", "FT232R USB UART",
           "0403", "6001", "A50285BI"}};
}

// Settings that say COM1, with COM2 leading to the sample adapter, and
// keep nothing.
class Com1Store final : public SettingStore {
 public:
  std::optional<int32_t> ReadPort() override { return 1; }
  bool WritePort(int32_t) override { return true; }
  std::optional<std::string> ReadDevice(int port) override {
    if (port == 2) return kSampleAdapter;
    return std::nullopt;
  }
  bool WriteDevice(int, const std::string&) override { return true; }
};

class Tour {
 public:
  explicit Tour(QString dir) : dir_(std::move(dir)) {}

  void Save(QWidget* window, const QString& name) const { Write(window->grab(), name); }

  // Saves `window` with `popup` (a list that opened from it) over it, as
  // they stand on the screen, without what lies behind them.
  void SaveWithPopup(QWidget* window, QWidget* popup, const QString& name) const {
    const QRect area = window->geometry().united(popup->geometry());
    QPixmap picture(area.size());
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.drawPixmap(window->geometry().topLeft() - area.topLeft(), window->grab());
    painter.drawPixmap(popup->geometry().topLeft() - area.topLeft(), popup->grab());
    painter.end();
    Write(picture, name);
  }

  // After `delayMs`, saves the modal window then open and hands it to `then`.
  void AtNextModal(int delayMs, const QString& name, std::function<void(QWidget*)> then) const {
    QTimer::singleShot(delayMs, [this, name, then] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr) return;
      Save(modal, name);
      then(modal);
    });
  }

  static void Settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
  }

 private:
  void Write(const QPixmap& picture, const QString& name) const {
    const QString path = QDir(dir_).filePath(name);
    if (!picture.save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  }

  QString dir_;
};

void Press(QWidget* window, int id) {
  if (auto* button = qobject_cast<QAbstractButton*>(FindControl(window, id))) button->click();
}

}  // namespace
}  // namespace tavlink::app

int main(int argc, char** argv) {
  using namespace tavlink::app;
  LinkApp app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: tavlink-screenshots OUTPUT_DIR [--connect]\n");
    return 2;
  }
  const bool connect = argc > 2 && QString(argv[2]) == "--connect";
  Tour tour(QString::fromLocal8Bit(argv[1]));

  MainDialog window(std::make_unique<Com1Store>(), tavlink::GetDataBlock(), SampleDevices);
  window.Initialize();
  window.show();
  Tour::Settle(400);
  tour.Save(&window, "main_window.png");

  // The port dialog, then with COM2's device list open.
  tour.AtNextModal(400, "port_dialog.png", [&tour](QWidget* dialog) {
    auto* list = qobject_cast<QComboBox*>(FindControl(dialog, 1024));
    if (list == nullptr) return Press(dialog, 2);
    list->showPopup();
    QTimer::singleShot(400, [&tour, dialog, list] {
      tour.SaveWithPopup(dialog, list->view()->window(), "port_dialog_devices.png");
      list->hidePopup();
      Press(dialog, 2);
    });
  });
  window.Logic().ChoosePort();

  tour.AtNextModal(400, "about_dialog.png", [](QWidget* dialog) { Press(dialog, 1); });
  window.Shell().ShowAbout();

  if (connect) {
    // Setup Comm, OK on COM1; the connect runs in its own window.
    tour.AtNextModal(300, "port_dialog_com1.png", [](QWidget* dialog) { Press(dialog, 1); });
    Press(&window, 1001);
    Tour::Settle(300);
    tour.Save(&window, "main_window_connected.png");

    // A user data download, caught on its way and then stopped.
    tavlink::ReceiverDataBlock scratch;
    tavlink::TransferRequest request;
    request.portNumber = 1;
    request.operation = tavlink::OP_READ_USER_DATA;
    request.block = &scratch;
    tour.AtNextModal(3000, "transfer_in_progress.png", [](QWidget* dialog) { Press(dialog, 2); });
    window.Shell().RunTransfer(request, tavlink::DeviceOfPort(window.Shell().Settings(), 1));
  }
  return 0;
}
