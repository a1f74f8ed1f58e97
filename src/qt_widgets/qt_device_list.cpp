// The device drop-down.
#include "qt_widgets/qt_device_list.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace tavlink::app {

DeviceList::DeviceList(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);  // a typed path is a choice, not a new entry
  // An entry longer than the field shows its beginning: the device's path.
  connect(this, &QComboBox::currentIndexChanged, this,
          [this] { lineEdit()->setCursorPosition(0); });
}

void DeviceList::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->ignore();
    return;
  }
  QComboBox::keyPressEvent(event);
}

}  // namespace tavlink::app
