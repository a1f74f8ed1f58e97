// The test program of the Win32 windows: the progress bar's class is
// registered first, as the tool's WinMain does.
#include <gtest/gtest.h>
#include <windows.h>
// The common controls' header needs windows.h first.
#include <commctrl.h>

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
