// The device drop-down.
#include "app_qt/qt_device_list.h"

#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace tavlink::app {

DeviceList::DeviceList(QWidget* parent) : QComboBox(parent) {}

void DeviceList::paintEvent(QPaintEvent*) {
  // As QComboBox draws itself, with the text elided to the edit field.
  QStylePainter painter(this);
  painter.setPen(palette().color(QPalette::Text));
  QStyleOptionComboBox option;
  initStyleOption(&option);
  painter.drawComplexControl(QStyle::CC_ComboBox, option);
  const QRect field =
      style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
  option.currentText = fontMetrics().elidedText(option.currentText, Qt::ElideRight, field.width());
  painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

}  // namespace tavlink::app
