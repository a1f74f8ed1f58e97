#pragma once
// The application object: runs the main window modally; the program ends
// when that run ends (Exit, the close box or Esc).

#include <QApplication>

namespace tavlink::app {

class LinkApp final : public QApplication {
  Q_OBJECT

 public:
  LinkApp(int& argc, char** argv);

  // Constructs the main window with the stored settings and the
  // application's data block, initialises and runs it. Returns the exit
  // status, 0.
  int Run();
};

}  // namespace tavlink::app
