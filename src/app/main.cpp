// tavlink: the ZOR Link desktop service tool.
#include "app/link_app.h"

int main(int argc, char** argv) {
  tavlink::app::LinkApp app(argc, argv);
  return app.Run();
}
