// tavlink.exe: the ZOR Link desktop service tool on Windows.
#include <windows.h>
// The common controls' header needs windows.h first.
#include <commctrl.h>

#include "app_win32/win32_main_window.h"
#include "data/receiver_data_block.h"
#include "settings/setting_store.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The progress bar's class, and the visual styles the manifest asks for.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  tavlink::app::Win32MainWindow window(tavlink::MakeSettingStore(), tavlink::GetDataBlock());
  window.Run();
  return 0;
}
