// The common file dialog.
#include "win32_widgets/win32_file_dialog.h"

#include <commdlg.h>

#include <vector>

namespace tavlink::app {

std::string FileDialogFilter(const FileChoice& choice) {
  std::string filter;
  for (const FileFilter& entry : choice.filters) {
    filter += entry.label;
    filter += '\0';
    filter += entry.pattern;
    filter += '\0';
  }
  filter += '\0';
  return filter;
}

std::optional<std::string> RunFileDialog(HWND owner, const FileChoice& choice,
                                         FileDialogForm form) {
  // The buffer takes the longest path the file calls accept.
  std::vector<char> name(32768, '\0');
  choice.initialName.copy(name.data(), name.size() - 1);
  const std::string filter = FileDialogFilter(choice);
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = static_cast<DWORD>(name.size());
  dialog.Flags = OFN_EXPLORER;
  BOOL chosen = FALSE;
  switch (form) {
    case FileDialogForm::kPlainOpen:
      chosen = ::GetOpenFileNameA(&dialog);
      break;
    case FileDialogForm::kOpenExisting:
      dialog.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
      chosen = ::GetOpenFileNameA(&dialog);
      break;
    case FileDialogForm::kSave:
      dialog.Flags |= OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
      chosen = ::GetSaveFileNameA(&dialog);
      break;
  }
  if (!chosen || name[0] == '\0') return std::nullopt;
  return std::string(name.data());
}

}  // namespace tavlink::app
