#pragma once
// Drives modal windows in widget tests without screen positions: each
// scripted step runs once on the next modal window that opens, and finds
// its controls by identifier (clicks, the keyboard focus, Enter, an entry
// of a drop-down). A modal window that opens with no step left is recorded
// and rejected, so that a test never hangs on it.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "qt_widgets/dialog_units.h"

namespace tavlink::testing {

// The test program's QApplication, made by qt_test_main.cpp.
inline QApplication& TestApp() {
  return *qobject_cast<QApplication*>(QCoreApplication::instance());
}

class ModalDriver final : public QObject {
 public:
  using Step = std::function<void(QWidget*)>;

  // Watches every window the application shows from now on.
  ModalDriver() { QCoreApplication::instance()->installEventFilter(this); }
  ~ModalDriver() override { QCoreApplication::instance()->removeEventFilter(this); }

  void Then(Step step) { steps_.push_back(std::move(step)); }

  // Class names of modal windows that opened with no step left.
  const std::vector<std::string>& unexpected() const { return unexpected_; }
  bool done() const { return steps_.empty(); }

 protected:
  // Each modal window is taken when it is shown, so that one that ends by
  // itself at once (a quick connect) still takes its step.
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() == QEvent::Show) {
      auto* widget = qobject_cast<QWidget*>(object);
      if (widget != nullptr && widget->isWindow() && widget->isModal()) Take(widget);
    }
    return false;
  }

 private:
  void Take(QWidget* modal) {
    std::optional<Step> step;
    if (!steps_.empty()) {
      step = std::move(steps_.front());
      steps_.pop_front();
    }
    // Run inside the window's own modal run, once the window is active: a
    // step may open a nested modal window. A window that has ended by
    // itself by then is left alone.
    QPointer<QWidget> target(modal);
    QTimer::singleShot(0, this, [this, target, step = std::move(step)] {
      if (!WaitUntilActive(target)) return;
      if (step) {
        (*step)(target);
        return;
      }
      unexpected_.push_back(target->metaObject()->className());
      if (auto* dialog = qobject_cast<QDialog*>(target.data())) dialog->reject();
    });
  }

  // False when the window has ended (or is gone) meanwhile.
  static bool WaitUntilActive(const QPointer<QWidget>& window) {
    QDeadlineTimer deadline(5000);
    while (window && window->isVisible() && !window->isActiveWindow() && !deadline.hasExpired()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return window && window->isVisible();
  }

  std::deque<Step> steps_;
  std::vector<std::string> unexpected_;
};

// Clicks the control with identifier `id` of `window`.
inline void Click(QWidget* window, int id) {
  auto* button = qobject_cast<QAbstractButton*>(app::FindControl(window, id));
  ASSERT_NE(button, nullptr) << "no button " << id;
  button->click();
}

// Makes `window` the active window, as a click on it would.
inline void Activate(QWidget* window) {
  window->activateWindow();
  QDeadlineTimer deadline(5000);
  while (!window->isActiveWindow() && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  ASSERT_TRUE(window->isActiveWindow()) << "the window cannot be activated";
}

// Gives control `id` of `window` the keyboard focus as the Tab key would.
inline void Focus(QWidget* window, int id) {
  QWidget* control = app::FindControl(window, id);
  ASSERT_NE(control, nullptr) << "no control " << id;
  Activate(window);
  control->setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(control->hasFocus()) << "control " << id << " has no focus";
}

// Presses Enter in `window` as the window system delivers it: to the focus
// widget, and on to its parents while they ignore it.
inline void PressEnter(QWidget* window) {
  Activate(window);
  QWidget* target = QApplication::focusWidget();
  ASSERT_NE(target, nullptr) << "nothing has the focus";
  ASSERT_EQ(target->window(), window) << "the focus is in another window";
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
}

// Enter on control `id` of `window`.
inline void PressEnterOn(QWidget* window, int id) {
  Focus(window, id);
  if (!::testing::Test::HasFatalFailure()) PressEnter(window);
}

// Chooses, in drop-down `id` of `window`, the first entry whose text
// starts with `start`, as picking it from the open list would.
inline void ChooseEntry(QWidget* window, int id, const QString& start) {
  auto* list = qobject_cast<QComboBox*>(app::FindControl(window, id));
  ASSERT_NE(list, nullptr) << "no drop-down " << id;
  ASSERT_TRUE(list->isEnabled()) << "drop-down " << id << " is disabled";
  const int index = list->findText(start, Qt::MatchStartsWith);
  ASSERT_GE(index, 0) << "no entry " << start.toStdString() << " in " << id;
  list->setCurrentIndex(index);
  emit list->activated(index);
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
