// The common set-up of the dialog forms.
#include "qt_widgets/dialog_form.h"

#include <QDialog>
#include <QPushButton>

#include "qt_widgets/dialog_units.h"

namespace tavlink::app {

void SetUpForm(QDialog* form) {
  ApplyDialogUnits(form);
  // An auto-default button takes over the default role while it has the
  // focus, so Enter activates it; when the focus moves to a control that is
  // not a push button, the form's own default button takes Enter again.
  for (QPushButton* button : form->findChildren<QPushButton*>()) {
    if (button->window() == form) button->setAutoDefault(true);
  }
}

}  // namespace tavlink::app
