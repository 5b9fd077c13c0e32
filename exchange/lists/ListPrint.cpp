#include "exchange/lists/ListPrint.h"

#include "app/PrintLayout.h"
#include "app/Unit2.h"

void PrintList(const QString &fileName) {
  if (!OpenReceiverRow()) return;
  ShowLayout(*Data->frNyomtat, fileName, PrintOrientation::Portrait);
}
