#pragma once
// A drop-down of device entries whose closed box shows the current entry
// cut short with an ellipsis when it is wider than the box; the open list shows
// every entry whole.
//
// Threading: user-interface thread only.

#include <QComboBox>

namespace tavlink::app {

class DeviceList final : public QComboBox {
  Q_OBJECT

 public:
  explicit DeviceList(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace tavlink::app
