// The About box.
#include "app_qt/qt_about_dialog.h"

#include "qt_widgets/dialog_form.h"
#include "qt_widgets/qt_message_box.h"
#include "qt_widgets/qt_resources.h"

namespace tavlink::app {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  InitResources();
  ui_.setupUi(this);
  SetUpForm(this);
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setWindowIcon(AppIcon());
  connect(ui_.id1, &QPushButton::clicked, this, &AboutDialog::accept);
  connect(ui_.id1020, &QPushButton::clicked, this,
          [this] { ShowBox(this, kHiddenStripMessage, {}, BoxButtons::kOk); });
  ui_.id1->setFocus();
}

}  // namespace tavlink::app
