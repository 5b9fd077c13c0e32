// Import files (CSV producers, the older version's fixed-width exports): any
// bytes (binary, or UTF-8 and Windows-1250 mixed) are refused as a whole or read line by line into records of the
// insert's shape, each value within its column's length or an error.
#include "exchange/imports/TextImport.h"

#include <QDate>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  QString text;
  try {
    text = imports::DecodeText(bytes, QStringLiteral("fuzz.csv"));
  } catch (const imports::FileError &e) {
    // Refused: binary bytes, or lines that mix UTF-8 and Windows-1250.
    if (!bytes.contains('\0') && !e.message().contains(QStringLiteral("vegyesen"))) std::abort();
    return 0;
  }
  const QStringList lines = imports::SplitLines(text);
  int number = 0;
  for (const QString &line : lines) {
    ++number;
    if (line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n'))) std::abort();
    if (imports::SplitCsv(line).size() > 24) std::abort();
    const imports::Record csv = imports::CsvProducer(line);
    if (csv.values.size() != 18) std::abort();
    const int limits[] = {5, 45, 4, 45, 45, 10, 8, 10, 0, 45, 0, 45, 8, 1, 45, 9};
    for (int i = 0; i < 16; ++i)
      if (limits[i] && csv.values[i].toString().size() > limits[i]) std::abort();
    if (csv.ok() && !csv.values[10].toDate().isValid()) std::abort();
    const imports::Record producer = imports::OldProducer(line);
    if (producer.values.size() != 20 || producer.values[0].toString().size() > 6) std::abort();
    const imports::Record product = imports::OldProduct(line);
    if (product.values.size() != 7) std::abort();
    if (product.ok() && !product.values[3].isNull() && product.values[3].typeId() != QMetaType::Double) std::abort();
    if (imports::OldReceiver(line, number).values.size() != 6) std::abort();
  }
  return 0;
}
