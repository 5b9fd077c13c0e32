#include "platform/dialogs.h"

#include "platform/error_text.h"

#include <QAbstractButton>
#include <QApplication>

namespace platform {

namespace {

QString kindName(MessageKind kind) {
  switch (kind) {
    case MessageKind::Plain: return QStringLiteral("Message");
    case MessageKind::Information: return QStringLiteral("Information");
    case MessageKind::Confirmation: return QStringLiteral("Confirmation");
    case MessageKind::Warning: return QStringLiteral("Warning");
    case MessageKind::Error: return QStringLiteral("Error");
  }
  return QString();
}

QMessageBox::Icon kindIcon(MessageKind kind) {
  switch (kind) {
    case MessageKind::Plain: return QMessageBox::NoIcon;
    case MessageKind::Information: return QMessageBox::Information;
    case MessageKind::Confirmation: return QMessageBox::Question;
    case MessageKind::Warning: return QMessageBox::Warning;
    case MessageKind::Error: return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

QString buttonName(QMessageBox::StandardButton b) {
  switch (b) {
    case QMessageBox::Ok: return QStringLiteral("OK");
    case QMessageBox::Cancel: return QStringLiteral("Cancel");
    case QMessageBox::Yes: return QStringLiteral("Yes");
    case QMessageBox::No: return QStringLiteral("No");
    case QMessageBox::Abort: return QStringLiteral("Abort");
    case QMessageBox::Retry: return QStringLiteral("Retry");
    case QMessageBox::Ignore: return QStringLiteral("Ignore");
    case QMessageBox::YesToAll: return QStringLiteral("YesToAll");
    case QMessageBox::NoToAll: return QStringLiteral("NoToAll");
    default: return QStringLiteral("Button");
  }
}

// Windows line breaks (CR alone or CR LF) shown as line breaks.
QString displayText(const QString &text) {
  QString out = text;
  out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return out;
}

}  // namespace

QString defaultCaption(MessageKind kind) {
  if (kind == MessageKind::Plain) return QApplication::applicationName();
  return kindName(kind);
}

QMessageBox::StandardButton messageBox(MessageKind kind, const QString &text,
                                       QMessageBox::StandardButtons buttons,
                                       const QString &caption, QWidget *parent) {
  if (!parent) parent = QApplication::activeModalWidget();
  QMessageBox box(parent);
  box.setObjectName(kindName(kind));
  box.setIcon(kindIcon(kind));
  box.setWindowTitle(caption.isNull() ? defaultCaption(kind) : caption);
  box.setTextFormat(Qt::PlainText);
  box.setText(displayText(text));
  box.setProperty("rawText", text);
  box.setStandardButtons(buttons);
  for (QAbstractButton *b : box.buttons())
    b->setObjectName(buttonName(box.standardButton(b)));
  // A one-button box answers that button however it is dismissed; otherwise
  // Cancel, then No, is the answer of Escape and of the close button.
  if (box.buttons().size() > 1) {
    if (buttons.testFlag(QMessageBox::Cancel)) box.setEscapeButton(QMessageBox::Cancel);
    else if (buttons.testFlag(QMessageBox::No)) box.setEscapeButton(QMessageBox::No);
  }
  box.exec();
  QAbstractButton *clicked = box.clickedButton();
  if (!clicked) {
    QAbstractButton *esc = box.escapeButton();
    return esc ? box.standardButton(esc) : QMessageBox::NoButton;
  }
  return box.standardButton(clicked);
}

void showMessage(const QString &text) {
  messageBox(MessageKind::Plain, text, QMessageBox::Ok);
}

void showFailure(const QLoggingCategory &category, const QString &text) {
  logCaught(category, text);
  showMessage(text);
}

void information(const QString &text) {
  messageBox(MessageKind::Information, text, QMessageBox::Ok);
}

void warning(const QString &text) {
  messageBox(MessageKind::Warning, text, QMessageBox::Ok);
}

void error(const QString &text) {
  messageBox(MessageKind::Error, text, QMessageBox::Ok);
}

void confirmYes(const QString &text) {
  messageBox(MessageKind::Confirmation, text, QMessageBox::Yes);
}

bool confirmYesNo(const QString &text) {
  return messageBox(MessageKind::Confirmation, text, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

QMessageBox::StandardButton confirmYesNoCancel(const QString &text) {
  return messageBox(MessageKind::Confirmation, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

}  // namespace platform
