// The application object.
#include "app_qt/link_app.h"

#include "app_qt/qt_main_dialog.h"
#include "qt_widgets/qt_resources.h"
#include "data/receiver_data_block.h"
#include "settings/setting_store.h"

namespace tavlink::app {

LinkApp::LinkApp(int& argc, char** argv) : QApplication(argc, argv) {
  setWindowIcon(AppIcon());
}

int LinkApp::Run() {
  MainDialog window(MakeSettingStore(), GetDataBlock());
  window.Initialize();
  window.exec();
  return 0;
}

}  // namespace tavlink::app
