#pragma once
// Drives modal windows in widget tests without screen positions: each
// scripted step runs once on the next modal window that opens, and finds
// its controls by identifier. A modal window that opens with no step left
// is recorded and rejected, so that a test never hangs on it.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/dialog_units.h"

namespace tavlink::testing {

// The test program's QApplication, made by qt_test_main.cpp.
inline QApplication& TestApp() {
  return *qobject_cast<QApplication*>(QCoreApplication::instance());
}

class ModalDriver {
 public:
  using Step = std::function<void(QWidget*)>;

  ModalDriver() {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
  }

  void Then(Step step) { steps_.push_back(std::move(step)); }

  // Class names of modal windows that opened with no step left.
  const std::vector<std::string>& unexpected() const { return unexpected_; }
  bool done() const { return steps_.empty(); }

 private:
  void Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == handled_ || !modal->isVisible()) return;
    handled_ = modal;
    QPointer<QWidget> target(modal);
    if (steps_.empty()) {
      unexpected_.push_back(modal->metaObject()->className());
      QTimer::singleShot(0, [target] {
        if (auto* dialog = qobject_cast<QDialog*>(target.data())) dialog->reject();
      });
      return;
    }
    Step step = std::move(steps_.front());
    steps_.pop_front();
    // Run outside this timer's slot: a step may open a nested modal window.
    QTimer::singleShot(0, [target, step] {
      if (target) step(target);
    });
  }

  QTimer timer_;
  std::deque<Step> steps_;
  QPointer<QWidget> handled_;
  std::vector<std::string> unexpected_;
};

// Clicks the control with identifier `id` of `window`.
inline void Click(QWidget* window, int id) {
  auto* button = qobject_cast<QAbstractButton*>(app::FindControl(window, id));
  ASSERT_NE(button, nullptr) << "no button " << id;
  button->click();
}

// The text of a message box, and presses its OK (or first) button.
inline std::string AcceptBox(QWidget* window, std::string* caption = nullptr) {
  auto* box = qobject_cast<QMessageBox*>(window);
  if (box == nullptr) return "(not a message box)";
  if (caption != nullptr) *caption = box->windowTitle().toStdString();
  const std::string text = box->text().toStdString();
  QAbstractButton* ok = box->button(QMessageBox::Ok);
  (ok != nullptr ? ok : box->buttons().front())->click();
  return text;
}

}  // namespace tavlink::testing
