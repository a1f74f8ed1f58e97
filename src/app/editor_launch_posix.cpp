#include "app/editor_launch.h"

namespace tavlink::app {

const char* ChannelEditorFileName() {
  return "tavlink-editor";
}

}  // namespace tavlink::app
