#include "app/common/ListRows.h"

#include "app/Unit2.h"
#include "app/logging.h"
#include "db/dataset.h"
#include "platform/conv.h"
#include "platform/dialogs.h"

#include <exception>

void ReopenWith(db::Query *q, const QStringList &lines) {
  q->setSql(lines);
  q->open();
}

QString CurrentFieldText(db::DataSet *d, const QString &name) {
  db::Field *f = d->active() && !d->isEmpty() ? d->findField(name) : nullptr;
  return f ? f->asString() : QString();
}

QString NextNumericCode(db::Query *q, const QString &selectLine, const QString &codeField) {
  ReopenWith(q, {selectLine});
  qint64 max = 0;
  for (q->first(); !q->eof(); q->next()) {
    int v = 0;
    if (platform::TryStrToInt(q->fieldByName(codeField).asString().trimmed(), v) && v > max) max = v;
  }
  q->close();
  return platform::IntToStr(max + 1);
}

void DeleteUnlessLast(db::Query *q, const QString &countLine, const QString &errorMessage,
                      const QStringList &deleteLines, const QString &id, const QString &doneMessage,
                      const QString &lastMessage) {
  ReopenWith(q, {countLine});
  const qint64 count = q->fieldByName(QStringLiteral("db")).asInteger();
  q->close();
  if (count < 2) {
    platform::showMessage(lastMessage);
    return;
  }
  const bool ok = Data->Write(
      errorMessage,
      [&](WriteSteps &) {
        q->setSql(deleteLines);
        q->paramByName(QStringLiteral("p1")).setString(id);
        q->execute();
      },
      TData::CommitMode::CommitRetaining);
  if (ok) platform::showMessage(doneMessage);
}

void ReopenListAtCode(const std::function<void()> &openList, db::Query *list, const QString &codeField,
                      const QString &code, const QString &failMessage) {
  try {
    openList();
    list->locate(codeField, code, {true, false});
  } catch (const std::exception &) {
    platform::showFailure(lcApp(), failMessage);
  }
}

bool CodeHeldByAnother(db::Query *q, const QStringList &countLines, const QString &code, int ownId) {
  q->setSql(countLines);
  q->paramByName(QStringLiteral("p1")).setString(code);
  q->paramByName(QStringLiteral("p0")).setInteger(ownId);
  q->open();
  const bool taken = q->fieldByName(QStringLiteral("db")).asInteger() > 0;
  q->close();
  return taken;
}
