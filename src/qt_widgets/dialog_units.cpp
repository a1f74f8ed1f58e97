// Dialog units to pixels, and controls by identifier.
#include "qt_widgets/dialog_units.h"

#include <QApplication>
#include <QFontMetrics>
#include <QVariant>
#include <QWidget>

namespace tavlink::app {
namespace {

constexpr const char* kControlId = "controlId";

}  // namespace

QRect DialogUnits::ToPixels(const QRect& units) const {
  return QRect(units.x() * charWidth / 4, units.y() * charHeight / 8, units.width() * charWidth / 4,
               units.height() * charHeight / 8);
}

QFont DialogFont() {
  QFont font = QApplication::font();
  font.setPointSize(8);
  return font;
}

DialogUnits UnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters =
      metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return DialogUnits{(letters / 26 + 1) / 2, metrics.height()};
}

void ApplyDialogUnits(QWidget* form) {
  form->setFont(DialogFont());
  const DialogUnits units = UnitsOf(form->font());
  for (QWidget* child : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    child->setGeometry(units.ToPixels(child->geometry()));
  }
  form->setFixedSize(units.ToPixels(QRect(QPoint(0, 0), form->size())).size());
}

QWidget* FindControl(QWidget* root, int id) {
  if (root == nullptr) return nullptr;
  if (root->property(kControlId).toInt() == id && root->property(kControlId).isValid()) {
    return root;
  }
  for (QWidget* child : root->findChildren<QWidget*>()) {
    const QVariant value = child->property(kControlId);
    if (value.isValid() && value.toInt() == id) return child;
  }
  return nullptr;
}

}  // namespace tavlink::app
