// tavlink: the ZOR Link desktop service tool.
#include <cstdio>

#include "app_qt/link_app.h"
#include "app/start_options.h"
#include "settings/setting_store.h"
#include "version/version.h"

int main(int argc, char** argv) {
  using tavlink::app::StartAction;
  switch (tavlink::app::ChooseStartAction(argc, argv)) {
    case StartAction::kPrintHelp:
      std::fputs(tavlink::app::HelpText(tavlink::SettingStoreLocation()).c_str(), stdout);
      return 0;
    case StartAction::kPrintVersion:
      std::printf("%s\n", tavlink::ProgramVersionLine("tavlink").c_str());
      return 0;
    case StartAction::kRun:
      break;
  }
  tavlink::app::LinkApp app(argc, argv);
  return app.Run();
}
