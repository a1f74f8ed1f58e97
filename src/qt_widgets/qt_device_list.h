#pragma once
// A drop-down of device entries that also takes a typed device path (a
// pseudo-terminal, an adapter the listing does not show). Its field shows
// the start of a long entry; the open list shows every entry whole.
//
// Threading: user-interface thread only.

#include <QComboBox>

namespace tavlink::app {

class DeviceList final : public QComboBox {
  Q_OBJECT

 public:
  explicit DeviceList(QWidget* parent = nullptr);

 protected:
  // Enter in the field goes on to the dialog's default button, as it does
  // from a drop-down list that takes no typing.
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace tavlink::app
