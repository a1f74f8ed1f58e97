// Icon 128 from the resource file.
#include "qt_widgets/qt_resources.h"

#include <QDir>

static void InitTavlinkResources() {
  Q_INIT_RESOURCE(tavlink);
}

namespace tavlink::app {

void InitResources() {
  static const bool done = (InitTavlinkResources(), true);
  (void)done;
}

QIcon AppIcon() {
  InitResources();
  QIcon icon;
  icon.addFile(QStringLiteral(":/icons/icon128_32.png"), QSize(32, 32));
  icon.addFile(QStringLiteral(":/icons/icon128_16.png"), QSize(16, 16));
  return icon;
}

}  // namespace tavlink::app
