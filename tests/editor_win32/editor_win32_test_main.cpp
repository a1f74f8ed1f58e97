// The test program of the channel editor's Win32 windows: the common
// controls' classes are registered first, as the editor's WinMain does.
#include <gtest/gtest.h>
#include <windows.h>
// The common controls' header needs windows.h first.
#include <commctrl.h>

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                                     ICC_BAR_CLASSES | ICC_PROGRESS_CLASS |
                                                     ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
