// The open form of the file dialog, the same on every desktop.
#include "qt_widgets/qt_file_dialog.h"

#include <QDir>
#include <QFileDialog>

namespace tavlink::app {

namespace {

// The patterns of `filter` as Qt takes them: blank-separated, and "*.*"
// as "*", which matches every file as it does on Windows, not only names
// with a dot.
QString QtPatterns(const FileFilter& filter) {
  QStringList patterns;
  for (const QString& pattern :
       QString::fromStdString(filter.pattern).split(';', Qt::SkipEmptyParts)) {
    patterns << (pattern.trimmed() == "*.*" ? QString("*") : pattern.trimmed());
  }
  return patterns.join(' ');
}

}  // namespace

void ConfigureOpenDialog(QFileDialog& dialog, const FileChoice& choice) {
  // The widget dialog behaves the same on every desktop: it accepts a name
  // that does not exist yet and never asks before a file is replaced.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  // Each entry is its label followed by the patterns Qt filters with; the
  // dialog shows it without that last "(...)", so the label is shown as
  // given ("All files (*.*)") while the dialog lists what Qt's patterns
  // match.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  QStringList filters;
  for (const FileFilter& filter : choice.filters) {
    filters << QString::fromStdString(filter.label) + " (" + QtPatterns(filter) + ")";
  }
  dialog.setNameFilters(filters);
  dialog.setDirectory(QDir::current());
  dialog.selectFile(QString::fromStdString(choice.initialName));
}

}  // namespace tavlink::app
