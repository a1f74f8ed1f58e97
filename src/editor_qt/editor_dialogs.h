#pragma once
// The channel editor's own dialogs: the record form of a satellite or
// transponder, the preview before a write, and a report to read. Each is
// filled from the logic's plain values and hands back plain values.
//
// Threading: user-interface thread only.

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "editor/editor_shell.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;

namespace tavlink::editor {

// Texts of the list come as Latin-1 bytes, each byte one character.
QString ListText(std::string_view text);
std::string ListBytes(const QString& text);

// A field per FormField: a line edit for typed text, a drop-down for a
// choice; the form's message above them when the last texts were refused.
class RecordDialog final : public QDialog {
  Q_OBJECT

 public:
  RecordDialog(QWidget* parent, const RecordForm& form);
  // The texts in the fields' order.
  std::vector<std::string> Texts() const;

 private:
  std::vector<QWidget*> fields_;
};

// The comparison of what the receiver holds with what will be written,
// "Read back and compare after writing", Write and Cancel.
class PreviewDialog final : public QDialog {
  Q_OBJECT

 public:
  PreviewDialog(QWidget* parent, const WritePreview& preview);
  PreviewAnswer Answer() const;

 private:
  QCheckBox* verify_ = nullptr;
};

// A report: its summary above its listing, and Close.
class ReportDialog final : public QDialog {
  Q_OBJECT

 public:
  ReportDialog(QWidget* parent, const Report& report);
};

}  // namespace tavlink::editor
