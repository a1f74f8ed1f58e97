// Application and file-error message boxes.
#include "qt_widgets/qt_message_box.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>

namespace tavlink::app {
namespace {

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString ApplicationCaption() {
  const QString path = QCoreApplication::applicationFilePath();
  if (path.isEmpty()) return QStringLiteral("tavlink");
  return QFileInfo(path).completeBaseName();
}

BoxAnswer ShowBox(QWidget* parent, std::string_view text, std::string_view caption,
                  BoxButtons buttons) {
  const bool application = caption.empty();
  QMessageBox box(application ? QMessageBox::Warning : QMessageBox::NoIcon,
                  application ? ApplicationCaption() : ToQString(caption), ToQString(text),
                  QMessageBox::NoButton, parent);
  box.setTextFormat(Qt::PlainText);
  switch (buttons) {
    case BoxButtons::kOk:
      box.setStandardButtons(QMessageBox::Ok);
      box.setEscapeButton(QMessageBox::Ok);
      break;
    case BoxButtons::kOkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Ok);
      box.setEscapeButton(QMessageBox::Cancel);
      break;
    case BoxButtons::kYesNo:
      // The one Yes/No question, whether to stop a software upgrade, has
      // Yes as the choice that can leave a receiver without working
      // software: a reflex Enter answers No.
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::No);
      box.setEscapeButton(QMessageBox::No);
      break;
  }
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  const QMessageBox::StandardButton answer =
      clicked != nullptr ? box.standardButton(clicked) : QMessageBox::NoButton;
  switch (answer) {
    case QMessageBox::Ok:
      return BoxAnswer::kOk;
    case QMessageBox::Yes:
      return BoxAnswer::kYes;
    case QMessageBox::No:
      return BoxAnswer::kNo;
    default:
      return buttons == BoxButtons::kYesNo ? BoxAnswer::kNo
             : buttons == BoxButtons::kOk  ? BoxAnswer::kOk
                                           : BoxAnswer::kCancel;
  }
}

void ShowStopBox(QWidget* parent, std::string_view text) {
  QMessageBox box(QMessageBox::Critical, ApplicationCaption(), ToQString(text), QMessageBox::Ok,
                  parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace tavlink::app
