#include "exchange/dumps/TableDump.h"

#include "db/dataset.h"
#include "platform/cp1250.h"
#include "platform/whole_file.h"
#include "platform/win_path.h"


namespace tabledump {
namespace {

// The select list of the statement's first line: the columns written.
QStringList selectList(const QString &select) {
  QStringList columns;
  for (const QString &c : select.mid(select.indexOf(QLatin1Char(' ')) + 1).split(QLatin1Char(',')))
    columns << c.trimmed();
  return columns;
}

Table table(const char *file, const char *select, const char *from) {
  const QString s = QString::fromLatin1(select);
  return {file, {s, QString::fromLatin1(from)}, selectList(s)};
}

// Writes in blocks of this size, so that a dump of any length keeps one
// buffer.
constexpr qsizetype kBlock = 1 << 16;

// Switches a query to forward-only reading for a walk and back, and closes it.
struct ForwardOnlyWalk {
  db::Query &q;
  bool before;
  explicit ForwardOnlyWalk(db::Query &query) : q(query), before(query.forwardOnly()) { q.setForwardOnly(true); }
  ~ForwardOnlyWalk() {
    q.close();
    q.setForwardOnly(before);
  }
};

[[noreturn]] void fail(const QString &winPath, const QString &reason) {
  throw DumpError(QStringLiteral("A(z) %1 fájl nem írható: %2\r"
                                 "A régi fájl változatlan maradt. A további táblák kimaradtak.")
                      .arg(winPath, reason));
}

}  // namespace

DumpError::DumpError(const QString &message) : std::runtime_error(message.toStdString()) {}

const std::vector<Table> &tables() {
  static const std::vector<Table> list = {
      table("atvevo.txt",
            "SELECT ID_Atvevo, v_Neve, v_Helyseg, v_Utca, v_Irszam, v_Adoszam, v_szeria, v_verzio            ",
            "  FROM atvevo    "),
      table("ostermelo.txt",
            "SELECT ID_ostermelo, o_kod, o_Nev, o_Irszam, o_Helysegnev, o_Utca, o_Adoazon, o_Igszam, o_Regszam, "
            "o_Szja, o_Szulhely, o_Szido, o_Anyja, o_Muvktg, o_Csgazd, o_Neme, o_Szulnev, o_TAJ, o_Adoszam, "
            "o_Bankszla, o_Igszam1, o_Csgazd1",
            "  FROM ostermelo    "),
      table("sorszam.txt", "SELECT ID_Sorszam,  a_QzBszam, a_szeria, a_verzio ", "  FROM sorszam    "),
      table("termek.txt", "SELECT ID_Termek, t_kod, t_megnevezes, t_VTSZ, t_megy, t_Ear, t_Kompmerteke ",
            "  FROM termek    "),
      table("QzFej.txt", "SELECT ID_qzfej, f_bszam, f_akod, f_ostermkod, f_kelt, f_muvktg, f_szja, f_prn, f_megj ",
            "  FROM QzFej    "),
      table("QzSor.txt",
            "SELECT ID_qzsor, s_bszam, s_termekkod, s_megnevezes, s_VTSZ, s_brutto, s_megy, s_ear, s_kompmerteke ",
            "  FROM QzSor    "),
  };
  return list;
}

QByteArray lineBytes(const QStringList &values, qint64 *replaced) {
  QString line;
  for (qsizetype i = 0; i < values.size(); ++i) {
    if (i) line += QLatin1Char(',');
    line += QLatin1Char(':') + values[i] + QLatin1Char(':');
  }
  line += QLatin1String("*\r\n");
  bool unmapped = false;
  QByteArray bytes = platform::toCp1250(line, &unmapped);
  if (unmapped && replaced)
    for (QChar c : line)
      if (platform::cp1250Byte(c.unicode()) < 0) ++*replaced;
  return bytes;
}

DumpResult dumpTable(db::Query &q, const Table &table, const QString &winPath) {
  const QString path = platform::mapWindowsPath(winPath);

  ForwardOnlyWalk walk(q);
  q.setSql(table.sql);
  q.open();
  std::vector<db::Field *> fields;
  for (const QString &c : table.columns) fields.push_back(&q.fieldByName(c));

  platform::WholeFile file(path);
  if (const platform::Done opened = file.open(); !opened) fail(winPath, opened.reason());
  DumpResult result;
  QByteArray block;
  block.reserve(kBlock + 4096);
  auto flush = [&] {
    if (const platform::Done written = file.write(block); !written) fail(winPath, written.reason());
    block.clear();
  };
  QStringList values;
  for (; !q.eof(); q.next()) {
    values.clear();
    for (db::Field *f : fields) values << f->asString();
    block += lineBytes(values, &result.replaced);
    ++result.lines;
    if (block.size() >= kBlock) flush();
  }
  flush();
  if (const platform::Done committed = file.commit(); !committed) fail(winPath, committed.reason());
  return result;
}

}  // namespace tabledump
