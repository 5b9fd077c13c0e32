#include "exchange/lists/ListPrint.h"

#include "app/PrintLayout.h"
#include "app/Unit2.h"

#include <QHash>

namespace {

// The report title of each list: the preview's caption and the print job's name.
QString ListTitle(const QString &fileName) {
  static const QHash<QString, QString> titles = {
      {QStringLiteral("QzLista5.frf"), QStringLiteral("Termékenkénti lista")},
      {QStringLiteral("QzLista8.frf"), QStringLiteral("Őstermelőnkénti lista")},
      {QStringLiteral("QzLista9.frf"), QStringLiteral("Őstermelő havi bontásban")},
      {QStringLiteral("QzLista10.frf"), QStringLiteral("Kp. napi lista")},
      {QStringLiteral("QzLista11.frf"), QStringLiteral("Kp. napi lista termékenként")},
      {QStringLiteral("QzLista12.frf"), QStringLiteral("Statisztika havonta")},
      {QStringLiteral("QzLista13.frf"), QStringLiteral("Statisztika összesen")},
  };
  return titles.value(fileName, QStringLiteral("Lista"));
}

}  // namespace

void PrintList(const QString &fileName, const std::function<void()> &afterLoad) {
  if (!OpenReceiverRow()) return;
  ShowLayout(*Data->frNyomtat, fileName, ListTitle(fileName), PrintOrientation::Portrait, afterLoad);
}
