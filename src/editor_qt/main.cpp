// tavlink-editor: the ZOR Link channel editor.
#include <QApplication>
#include <cstdio>
#include <memory>

#include "app/start_options.h"
#include "editor/editor_start.h"
#include "editor_qt/editor_window.h"
#include "settings/setting_store.h"
#include "version/version.h"

int main(int argc, char** argv) {
  using tavlink::app::StartAction;
  switch (tavlink::app::ChooseStartAction(argc, argv)) {
    case StartAction::kPrintHelp:
      std::fputs(tavlink::editor::EditorHelpText(tavlink::SettingStoreLocation()).c_str(), stdout);
      return 0;
    case StartAction::kPrintVersion:
      std::printf("%s\n", tavlink::ProgramVersionLine("tavlink-editor").c_str());
      return 0;
    case StartAction::kRun:
      break;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("tavlink-editor");
  QApplication::setApplicationDisplayName("ZOR Link Channel Editor");
  QApplication::setDesktopFileName("tavlink-editor");
  std::shared_ptr<tavlink::SettingStore> store = tavlink::MakeSettingStore();
  // One window per file named, or one untitled window.
  std::vector<std::string> files = tavlink::editor::FilesToOpen(argc, argv);
  if (files.empty()) files.emplace_back();
  for (const std::string& file : files) {
    auto* window = new tavlink::editor::EditorWindow(store);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    if (!file.empty()) window->Logic().OpenPath(file);
  }
  return QApplication::exec();
}
