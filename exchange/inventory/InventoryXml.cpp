#include "exchange/inventory/InventoryXml.h"

#include "db/dataset.h"
#include "platform/conv.h"
#include "platform/whole_file.h"
#include "platform/xml_text.h"

#include <QDateTime>
#include <QFileInfo>

#include <optional>

namespace inventory {

QStringList SelectionSql() {
  return {QStringLiteral("SELECT F_FELVKELT, S_BSZAM, S_TERMEKKOD, S_MEGNEVEZES, S_BIZONYLAT, S_BRUTTO, S_MEGY, "
                         "S_EAR, S_FELVAR, S_VTSZ, O_KOD, O_NEV, O_HELYSEGNEV, O_UTCA, O_IRSZAM "),
          QStringLiteral("  FROM qzsor "),
          QStringLiteral("  LEFT JOIN qzfej     ON f_bszam = s_bszam "),
          QStringLiteral("  LEFT JOIN ostermelo ON o_kod   = f_ostermkod "),
          QStringLiteral("  WHERE f_felvkelt >= :p1 AND f_felvkelt <= :p2 AND s_akod = :p3 "),
          QStringLiteral("  ORDER BY f_felvkelt ")};
}

QString ValueText(const db::Field &field) {
  using db::FieldType;
  const bool null = field.isNull();
  switch (field.type()) {
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::BigInt: {
      const qint64 v = null ? 0 : field.asInteger();
      return v > 0 ? QString::number(v) : QStringLiteral("0");
    }
    case FieldType::Numeric:
    case FieldType::Float:
    case FieldType::Double: {
      const double v = null ? 0 : field.asFloat();
      return v > 0 ? platform::FloatToStr(v) : QStringLiteral("0");
    }
    case FieldType::Boolean:
      return !null && field.value().toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::Date:
      return null ? QStringLiteral("01.01.1900") : platform::FormatDateTime(QStringLiteral("mm/dd/yyyy"), field.asDate());
    case FieldType::Timestamp:
      return null ? QStringLiteral("01.01.1900 00:00:00")
                  : platform::FormatDateTime(QStringLiteral("mm/dd/yyyy hh:nn:ss"), field.asDateTime());
    case FieldType::Time:
      return null ? QStringLiteral("00:00:00")
                  : platform::FormatDateTime(QStringLiteral("hh:nn:ss"),
                                             QDateTime(QDate(1899, 12, 30), field.value().toTime()));
    default: {
      const QString text = null ? QString() : field.asString();
      return text.isEmpty() ? QStringLiteral("null") : text;
    }
  }
}

QDomDocument BuildDocument(db::DataSet &rows) {
  QDomDocument doc;
  doc.appendChild(doc.createProcessingInstruction(QStringLiteral("xml"),
                                                  QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
  QDomElement root = doc.createElement(QStringLiteral("vorik_keszlethez"));
  doc.appendChild(root);
  const QStringList names = rows.fieldNames();
  for (rows.first(); !rows.eof(); rows.next()) {
    QDomElement record = doc.createElement(QStringLiteral("Records"));
    root.appendChild(record);
    for (int c = 0; c < rows.fieldCount(); ++c) {
      const QString text = ValueText(rows.field(c));
      // A text XML cannot hold would make the file unreadable: refused,
      // naming the document, before anything is written.
      if (const int bad = platform::firstNonXmlChar(text); bad >= 0)
        throw WriteError(QStringLiteral("A(z) %1 bizonylat %2 adatában vezérlőkarakter (#%3) van, XML-be nem írható.")
                             .arg(rows.fieldByName(QStringLiteral("S_BSZAM")).asString().trimmed(), names[c])
                             .arg(bad));
      QDomElement element = doc.createElement(names[c]);
      record.appendChild(element);
      element.appendChild(doc.createTextNode(text));
    }
  }
  return doc;
}

void WriteFileWhole(const QString &path, const QByteArray &bytes) {
  if (const platform::Done done = platform::writeFileWhole(path, bytes); !done)
    throw WriteError(QStringLiteral("\"%1\": %2").arg(path, done.reason()));
}

void CopyFileOver(const QString &source, const QString &target) {
  const platform::Result<QByteArray> bytes = platform::readFileWhole(source);
  if (!bytes) throw WriteError(QStringLiteral("\"%1\": %2").arg(source, bytes.reason()));
  if (QFileInfo(target).isDir()) throw WriteError(QStringLiteral("\"%1\": könyvtár, nem fájl").arg(target));
  WriteFileWhole(target, *bytes);
}

}  // namespace inventory
