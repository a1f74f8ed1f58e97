#include "editor_qt/editor_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavlink::editor {

QString ListText(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ListBytes(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

namespace {

QLabel* WrappedLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  return label;
}

QPlainTextEdit* Listing(const std::string& text, QWidget* parent) {
  auto* listing = new QPlainTextEdit(parent);
  listing->setReadOnly(true);
  listing->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  listing->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  listing->setPlainText(ListText(text));
  listing->setObjectName("listing");
  return listing;
}

}  // namespace

RecordDialog::RecordDialog(QWidget* parent, const RecordForm& form) : QDialog(parent) {
  setWindowTitle(ListText(form.title));
  auto* layout = new QVBoxLayout(this);
  if (!form.message.empty()) {
    QLabel* message = WrappedLabel(ListText(form.message), this);
    message->setObjectName("message");
    message->setStyleSheet("color: #b00000;");
    layout->addWidget(message);
  }
  auto* fields = new QFormLayout;
  for (const FormField& field : form.fields) {
    QWidget* input = nullptr;
    if (field.choices.empty()) {
      auto* edit = new QLineEdit(ListText(field.text), this);
      input = edit;
    } else {
      auto* box = new QComboBox(this);
      for (const std::string& choice : field.choices) box->addItem(ListText(choice));
      box->setCurrentIndex(std::max(0, box->findText(ListText(field.text))));
      input = box;
    }
    fields->addRow(ListText(field.label), input);
    fields_.push_back(input);
  }
  layout->addLayout(fields);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  if (!fields_.empty()) fields_.front()->setFocus();
}

std::vector<std::string> RecordDialog::Texts() const {
  std::vector<std::string> texts;
  for (QWidget* field : fields_) {
    if (auto* edit = qobject_cast<QLineEdit*>(field)) {
      texts.push_back(ListBytes(edit->text()));
    } else if (auto* box = qobject_cast<QComboBox*>(field)) {
      texts.push_back(ListBytes(box->currentText()));
    }
  }
  return texts;
}

PreviewDialog::PreviewDialog(QWidget* parent, const WritePreview& preview) : QDialog(parent) {
  setWindowTitle("Write to Receiver");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(WrappedLabel(ListText(preview.receiver) + ":", this));
  QLabel* summary = WrappedLabel(ListText(preview.summary), this);
  summary->setObjectName("summary");
  QFont bold = summary->font();
  bold.setBold(true);
  summary->setFont(bold);
  layout->addWidget(summary);
  if (!preview.listing.empty()) layout->addWidget(Listing(preview.listing, this), 1);
  verify_ = new QCheckBox("&Read the list back and compare it after writing", this);
  verify_->setChecked(preview.verify);
  layout->addWidget(verify_);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* write = buttons->addButton("&Write", QDialogButtonBox::AcceptRole);
  write->setObjectName("write");
  buttons->addButton(QDialogButtonBox::Cancel);
  write->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(820, preview.listing.empty() ? 160 : 440);
  write->setFocus();
}

PreviewAnswer PreviewDialog::Answer() const {
  return {result() == QDialog::Accepted, verify_->isChecked()};
}

ReportDialog::ReportDialog(QWidget* parent, const Report& report) : QDialog(parent) {
  setWindowTitle(ListText(report.title));
  auto* layout = new QVBoxLayout(this);
  QLabel* summary = WrappedLabel(ListText(report.summary), this);
  summary->setObjectName("summary");
  layout->addWidget(summary);
  if (!report.listing.empty()) layout->addWidget(Listing(report.listing, this), 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(720, report.listing.empty() ? 140 : 420);
}

}  // namespace tavlink::editor
