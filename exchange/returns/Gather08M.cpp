#include "exchange/returns/Gather08M.h"

#include "app/Unit2.h"
#include "app/receivers/RowText.h"
#include "db/dataset.h"
#include "platform/conv.h"
#include "platform/process_lock.h"
#include "platform/win_path.h"

#include <QDateTime>
#include <QHash>

#include <cmath>
#include <vector>

namespace returns {

namespace {

QString SumColumn(bool sumPrice) { return sumPrice ? QStringLiteral("f_sumvar") : QStringLiteral("f_muvktg"); }

const QString kRange = QStringLiteral("  WHERE (f_fizkelt >= :p1 AND f_fizkelt <= :p2) AND (f_akod = :p3) ");

// A sum exactly as the database gives it: scaled decimals without a detour
// through double.
long double Amount(db::Field &f) {
  if (f.isNull()) return 0;
  if (f.type() == db::FieldType::Numeric || f.type() == db::FieldType::BigInt) {
    const db::Decimal d = f.asDecimal();
    return static_cast<long double>(d.units()) / std::pow(10.0L, d.scale());
  }
  return f.asFloat();
}

Producer ProducerOf(db::Query *q) {
  Producer r;
  r.kod = RowText(*q, "O_KOD");
  r.nev = RowText(*q, "O_NEV");
  r.adoazon = RowText(*q, "O_ADOAZON");
  r.neme = RowText(*q, "O_NEME");
  r.igszam1 = RowText(*q, "O_IGSZAM1");
  r.csgazd1 = RowText(*q, "O_CSGAZD1");
  r.szulnev = RowText(*q, "O_SZULNEV");
  r.anyja = RowText(*q, "O_ANYJA");
  r.szulhely = RowText(*q, "O_SZULHELY");
  r.szido = platform::DateToStr(q->fieldByName(QStringLiteral("O_SZIDO")).asDate());
  r.adoszam = RowText(*q, "O_ADOSZAM");
  return r;
}

// One import file: the producers of one tax identification number.
struct FileGroup {
  QString path;
  Producer producer;  // of the last code
  long double sum = 0;
};

}  // namespace

void OpenForPeriod(db::Query *q, const QStringList &lines, const Period &p, const QString &receiverCode) {
  q->setSql(lines);
  q->paramByName(QStringLiteral("p1")).setDateTime(QDateTime(platform::StrToDate(p.start), QTime(0, 0)));
  q->paramByName(QStringLiteral("p2")).setDateTime(QDateTime(platform::StrToDate(p.end), QTime(0, 0)));
  q->paramByName(QStringLiteral("p3")).setString(receiverCode);
  q->open();
}

QStringList ReceiverTotalSql(bool sumPrice) {
  return {QStringLiteral("SELECT f_akod, SUM(%1) AS m_osszesen ").arg(SumColumn(sumPrice)),
          QStringLiteral("  FROM QZFEJ "), kRange, QStringLiteral("  GROUP BY f_akod ")};
}

QStringList ProducerSumsSql(bool sumPrice) {
  return {QStringLiteral("SELECT f_ostermkod, SUM(%1) AS kifizetett ").arg(SumColumn(sumPrice)),
          QStringLiteral("  FROM QZFEJ "), kRange, QStringLiteral("  GROUP BY f_ostermkod "),
          QStringLiteral("  ORDER BY f_ostermkod ")};
}

QStringList PrintSql(bool sumPrice) {
  return {QStringLiteral("SELECT f_ostermkod, SUM(%1) AS m_vetelar, o_nev, o_felir, o_Adoazon ")
              .arg(SumColumn(sumPrice)),
          QStringLiteral("  FROM QZFEJ "), QStringLiteral("  LEFT JOIN OSTERMELO ON f_ostermkod = o_kod "), kRange,
          QStringLiteral("  GROUP BY f_ostermkod, o_nev, o_felir, o_Adoazon "), QStringLiteral("  ORDER BY o_nev COLLATE HUN_ABC ")};
}

QString PrintedTotal(db::Query *q) {
  long double total = 0;
  for (q->first(); !q->eof(); q->next())
    total += platform::StrToFloat(AmountText(Amount(q->fieldByName(QStringLiteral("M_VETELAR")))));
  q->first();
  return AmountText(total);
}

GatherResult Gather(const Period &period, const QString &receiverCode, bool sumPrice,
                    const std::function<void()> &afterStep) {
  const QString folder = MonthFolder(period.start);
  const auto hold = HoldMonthFolder(folder);

  db::Query *zq60 = Data->ZQ60;
  zq60->setSql(QStringLiteral("SELECT * FROM ATVEVO WHERE v_akod = :p0 "));
  zq60->paramByName(QStringLiteral("p0")).setString(receiverCode);
  zq60->open();
  const Receiver receiver{RowText(*zq60, "V_ADOSZAM"), RowText(*zq60, "V_ADOAZON"), RowText(*zq60, "V_NEVE")};

  db::Query *zq20 = Data->ZQ20;
  OpenForPeriod(zq20, ReceiverTotalSql(sumPrice), period, receiverCode);
  GatherResult result;
  result.receiverTotal = AmountText(zq20->isEmpty() ? 0 : Amount(zq20->fieldByName(QStringLiteral("M_OSSZESEN"))));

  // Every producer of the month in one read; of two rows with one code the
  // first stored serves.
  db::Query *zq21 = Data->ZQ21;
  OpenForPeriod(zq21,
                {QStringLiteral("SELECT o.ID_OSTERMELO, o.o_kod, o.o_nev, o.o_Adoazon, o.o_Neme, o.o_Igszam1, "
                                "o.o_Csgazd1, o.o_szulnev, o.o_anyja, o.o_Szulhely, o.o_Szido, o.o_Adoszam "),
                 QStringLiteral("  FROM OSTERMELO o JOIN (SELECT DISTINCT f_ostermkod FROM QZFEJ "),
                 kRange + QStringLiteral(") d ON o.o_kod = d.f_ostermkod "), QStringLiteral("  ORDER BY o.ID_OSTERMELO ")},
                period, receiverCode);
  QHash<QString, Producer> producers;
  for (zq21->first(); !zq21->eof(); zq21->next()) {
    const QString kod = RowText(*zq21, "O_KOD");
    if (!producers.contains(kod)) producers.insert(kod, ProducerOf(zq21));
  }
  zq21->close();

  OpenForPeriod(zq20, ProducerSumsSql(sumPrice), period, receiverCode);
  std::vector<FileGroup> groups;
  QHash<QString, std::size_t> byName;  // file names compare as Windows compares them
  for (zq20->first(); !zq20->eof(); zq20->next()) {
    const QString kod = RowText(*zq20, "F_OSTERMKOD");
    // Tickets of a code without a producer row would go into a file of
    // nobody, together with every other such code.
    if (!producers.contains(kod))
      throw ReturnError(QStringLiteral("Javitandó! Östermelö %1: a jegyein álló kódú östermelö nem létezik.").arg(kod));
    const Producer &producer = producers[kod];
    const QString refusal = ProducerRefusal(producer);
    if (!refusal.isEmpty()) throw ReturnError(refusal);
    const QString path = ImportFilePath(folder, period, producer.adoazon);
    const QString key = path.toUpper();
    if (!byName.contains(key)) {
      byName.insert(key, groups.size());
      groups.push_back({path, producer, 0});
    }
    FileGroup &g = groups[byName.value(key)];
    g.producer = producer;
    g.sum += Amount(zq20->fieldByName(QStringLiteral("KIFIZETETT")));
  }
  zq20->first();

  // The amounts are whole forints of at most 11 digits; beyond that the
  // fixed-point text would turn to an exponent the return cannot hold.
  for (const FileGroup &g : groups)
    if (AmountText(g.sum).contains(QLatin1Char('E')))
      throw ReturnError(QStringLiteral("Javitandó! Östermelö %1 (%2): a kifizetett összeg túl nagy a bevalláshoz.")
                            .arg(g.producer.kod, g.producer.nev));

  // The list file names the import files of the month: it goes first, and
  // the new one comes last, so that whenever the gather stops there is no
  // list naming files that are not there. The earlier import files are
  // written over (see WinFolder::clearForReuse) and the rest deleted.
  WinFolder month(folder);
  month.afterStep = afterStep;
  month.clear(QStringLiteral(".txt"));
  month.clearForReuse();
  try {
    for (const FileGroup &g : groups) {
      month.write(g.path.mid(folder.size()),
                  WindowsText(ImportFileLines(receiver, g.producer, period, AmountText(g.sum))));
      result.files << g.path;
    }
  } catch (const ReturnError &) {
    month.dropSpares();  // the earlier month's files go, as the clearing promised
    throw;
  }
  month.dropSpares();
  // The import files are on the disk before the list that names them.
  month.sync();
  month.write(ListFilePath(folder, period).mid(folder.size()), WindowsText(result.files));
  month.sync();
  return result;
}

}  // namespace returns
