// Device error boxes on the user-interface thread.
#include "qt_widgets/qt_error_reporter.h"

#include <QApplication>
#include <QMessageBox>

#include "qt_widgets/on_ui_thread.h"

namespace tavlink::app {

void QtErrorReporter::ShowError(std::string_view caption, std::string_view text) {
  RunOnUiThread(QCoreApplication::instance(), [caption, text] {
    QMessageBox box(QMessageBox::Information,
                    QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())),
                    QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                    QMessageBox::Ok, QApplication::activeModalWidget());
    box.setTextFormat(Qt::PlainText);
    box.exec();
  });
}

}  // namespace tavlink::app
