#include "app/tickets/TicketPrint.h"

#include "app/PrintLayout.h"
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/receivers/RowText.h"
#include "app/tickets/AmountInWords.h"
#include "app/tickets/TicketQueries.h"
#include "app/tickets/TicketState.h"
#include "app/tickets/Unit8.h"
#include "db/error.h"
#include "platform/dialogs.h"
#include "platform/win_path.h"
#include "report/core/FR_Class_Build.h"
#include "report/expr/FR_Intrp.h"

#include <QFileInfo>
#include <QLabel>

#include <limits>

namespace TicketPrint {

namespace {

std::function<void()> beforeMark;

const QString kDots = QString(77, QLatin1Char('.'));
const QString kSignature = QStringLiteral(" a mezögazd. tevék. folytató adóalany aláirása");

// The queries the layout reads: the lines (ZQ20), the stored header (ZQ11),
// the producer it names now (ZQ30) and the receiver (ZQ60). False, with the
// message in error for the caller to show, when a row has vanished.
bool openTicketData(const QString &serial, QString &error) {
  db::Query &lines = *Data->ZQ20;
  TicketQueries::setSql(lines, {QStringLiteral("SELECT * FROM qzsor WHERE s_bszam = :p0 ORDER BY ID_qzsor")});
  lines.paramByName(QStringLiteral("p0")).setString(serial);
  lines.open();
  db::Query &header = *Data->ZQ11;
  TicketQueries::setSql(header, {QStringLiteral("SELECT * FROM Qzfej WHERE f_Bszam = :p1")});
  header.paramByName(QStringLiteral("p1")).setString(serial);
  header.open();
  if (header.isEmpty()) {
    error = QStringLiteral("A %1 számú felvásárlási jegy már nincs az adatbázisban.").arg(serial);
    return false;
  }
  const QString producer = RowText(header, "F_OSTERMKOD");
  db::Query &producers = *Data->ZQ30;
  TicketQueries::setSql(producers, {QStringLiteral("SELECT * FROM ostermelo WHERE o_kod = :p0")});
  producers.paramByName(QStringLiteral("p0")).setString(producer);
  producers.open();
  if (producers.isEmpty()) {
    error = QStringLiteral("A jegy őstermelője (%1) nem található az adatbázisban, a jegy nem nyomtatható.")
                .arg(producer);
    return false;
  }
  return OpenReceiverRow(&error);
}

// A print locks the ticket's header row in IBTrans1 before it reads what it
// prints and keeps it until the printed mark is committed, so no other
// instance's modification can commit in between: the paper and the marked
// figures are the same. Another instance writing the row just now (nowait)
// stops the print with a message, before anything is read.
bool lockHeader(const QString &serial) {
  return Data->Write(
      *Data->IBTrans1, QStringLiteral("Hiba81: prn UPDATE Qzfej-be "),
      [&](WriteSteps &steps) {
        db::Query q;
        q.setTransaction(Data->IBTrans1);
        q.sql().add(QStringLiteral("SELECT ID_qzFej FROM Qzfej WHERE f_Bszam = :p1 WITH LOCK"));
        q.paramByName(QStringLiteral("p1")).setString(serial);
        try {
          q.open();
          if (q.isEmpty()) return;  // the row is locked as it is fetched; a gone one is told later
        } catch (const db::Error &e) {
          if (e.isLockConflict()) steps.at(busyMessage(serial));
          throw;
        }
      },
      false);
}

// Ends the lock of a print that sets no mark (committing IBTrans1 retaining
// keeps the queries the layout reads open).
void releaseHeader() {
  if (Data->IBTrans1->active())
    Data->Write(QStringLiteral("Hiba81: prn UPDATE Qzfej-be "), [](WriteSteps &) {},
                TData::CommitMode::CommitRetaining);
}

// Marks the ticket printed on a statement of its own, so the header row
// stays in ZQ11 for the layout, and commits at once.
bool markPrinted(const QString &serial) {
  return Data->Write(
      QStringLiteral("Hiba81: prn UPDATE Qzfej-be "),
      [&](WriteSteps &) {
        db::Query q;
        q.setTransaction(Data->IBTrans1);
        q.sql().add(QStringLiteral("UPDATE Qzfej SET f_prn = :p2 WHERE f_Bszam = :p1"));
        q.paramByName(QStringLiteral("p1")).setString(serial);
        q.paramByName(QStringLiteral("p2")).setString(QStringLiteral("I"));
        q.execute();
      },
      TData::CommitMode::CommitRetaining);
}

}  // namespace

void setBeforeMark(std::function<void()> hook) { beforeMark = std::move(hook); }

QString busyMessage(const QString &serial) {
  return QStringLiteral("A %1 számú felvásárlási jegyet éppen egy másik gépen módosítják, most nem nyomtatható. "
                        "Próbálja meg újra később.")
      .arg(serial);
}

QString LayoutFileName(const QString &layoutLetter) {
  // Files are found without regard to case, but the contribution's base is
  // told by a case-sensitive letter: "l" and "o" take the base of any other
  // letter, so they print with the layout of no letter, whose footnote names
  // that base, not with the "L" or "O" layout.
  const QString noLetter = QStringLiteral("QzLista7.frf");
  const QString first = layoutLetter.left(1);
  if (first == QLatin1String("l") || first == QLatin1String("o")) return noLetter;
  const QString own = QStringLiteral("QzLista7") + layoutLetter + QStringLiteral(".frf");
  // "L" and "O" print a contribution on a base of their own: only their own
  // layout names it. Any other character (a "Verzió" such as "2025") has the
  // amounts of no letter, and prints with that layout unless the working
  // folder holds one of its own.
  if (first == QLatin1String("L") || first == QLatin1String("O")) return own;
  return QFileInfo::exists(platform::matchCase(own)) ? own : noLetter;
}

std::optional<Prepared> PrepareVariables(const Ticket &t, const QString &layoutLetter, QString &error) {
  const auto amounts = TicketMath::computeAmounts(
      t.sums, t.rates, t.transfer ? TicketMath::PaymentMode::Transfer : TicketMath::PaymentMode::Cash, layoutLetter);
  if (!amounts) {
    error = QStringLiteral("A jegy összegei nem számíthatók ki, a jegy nem nyomtatható.");
    return std::nullopt;
  }
  const std::int64_t payable = amounts->payable;
  if (payable > std::numeric_limits<std::int32_t>::max() || payable < std::numeric_limits<std::int32_t>::min()) {
    error = QStringLiteral("A fizetendő összeg (%1 Ft) túl nagy, a jegy nem nyomtatható.").arg(payable);
    return std::nullopt;
  }
  Prepared p;
  p.amounts = *amounts;
  const QString kif = QString::number(payable);
  const QString words = AmountInWords(payable);
  const bool cash = !t.transfer;
  const QString declaration = t.declaration.trimmed();
  const bool declared = t.declaration.size() >= 6;
  auto num = [](long double v) { return report::Variant(static_cast<double>(v)); };
  p.variables = {
      {QStringLiteral("v_ostermeloutca"), t.producerStreet},
      {QStringLiteral("v_atvevoutca"), t.receiverStreet},
      {QStringLiteral("v_far"), num(t.sums.far)},
      {QStringLiteral("v_kar"), num(t.sums.kfelar)},
      {QStringLiteral("v_var"), num(t.sums.var)},
      {QStringLiteral("v_szja"), num(t.rates.taxRate)},
      {QStringLiteral("v_szja2"), num(amounts->tax)},
      {QStringLiteral("v_jszaz"), num(t.rates.contributionRate)},
      {QStringLiteral("v_jarul"), num(amounts->contribution)},
      {QStringLiteral("v_levon"), num(t.rates.deduction)},
      {QStringLiteral("v_kif"), kif},
      {QStringLiteral("v_azaz"), words + QStringLiteral(" 00/100 Forint")},
      {QStringLiteral("v_fizmod"), t.transfer ? QStringLiteral("Fizetés módja: Átutalás")
                                              : QStringLiteral("Fizetés módja: Kp.")},
      {QStringLiteral("v_utal"),
       t.transfer ? QStringLiteral("Átutalás határideje:  ") + t.paymentDate : QStringLiteral(" ")},
      {QStringLiteral("v_kp1"),
       cash ? (amounts->tax > 0 ? QStringLiteral("Az adóelöleggel csökkentett vételár összegét ")
                                : QStringLiteral("A vételár összegét ")) +
                  kif + QStringLiteral(" Ft -ot, azaz")
            : QString()},
      {QStringLiteral("v_kp2"),
       cash ? words + QStringLiteral(" 00/100 Forint -ot a mai napon átvettem.") : QString()},
      {QStringLiteral("v_kp3"),
       cash ? QStringLiteral("Az összeg átvételének idöpontja:") + t.paymentDate : QString()},
      {QStringLiteral("v_kp4"), cash ? kDots : QString()},
      {QStringLiteral("v_kp5"), cash ? kSignature : QString()},
      {QStringLiteral("v_nyilatk1"),
       declared ? QStringLiteral("Nyilatkozat: ") + declaration : QStringLiteral(" ")},
      {QStringLiteral("v_nyilatk2"), declared ? kDots : QStringLiteral(" ")},
      {QStringLiteral("v_nyilatk3"), declared ? kSignature : QStringLiteral("  ")},
      {QStringLiteral("v_masolat"), t.printed ? QStringLiteral("MÁSOLATI PÉLDÁNY") : QStringLiteral(" ")},
      {QStringLiteral("v_ervenyteleniti"),
       t.cancelling ? QStringLiteral("Érvényteleníti a ") + t.cancelledSerial +
                          QStringLiteral(" számú bizonylatot.")
                    : QString()},
  };
  return p;
}

void PrintTicket(TForm8 *form) {
  db::Query &list = *Data->ZQ10;
  if (!list.active() || list.isEmpty()) return;  // no ticket to print
  const QString serial = RowText(list, "F_BSZAM");
  const bool printMode = NyomtatMod != QLatin1String("Megtekint");

  // Held until the mark or the end of the print, whichever comes first, and
  // ended before any message shows: no lock waits on a person.
  if (printMode && !lockHeader(serial)) return;
  struct Release {
    bool held;
    void now() {
      if (held) releaseHeader();
      held = false;
    }
    ~Release() { now(); }
  } lock{printMode};
  auto fail = [&lock](const QStringList &messages) {
    lock.now();
    for (const QString &message : messages) platform::error(message);
  };

  QString error;
  if (!openTicketData(serial, error)) return fail({error});
  // The ticket as the header row and its producer's row hold it now, not as
  // the list read it.
  db::Query &header = *Data->ZQ11;
  Ticket t;
  t.transfer = RowText(header, "F_UTAL") == QLatin1String("x");
  t.paymentDate = RowText(header, "F_FIZKELT");
  t.declaration = RowText(header, "F_NYILATK");
  t.printed = RowText(header, "F_PRN") == QLatin1String("I");
  t.cancelling = RowText(header, "F_TIPUS") != TipusNormal;
  t.cancelledSerial = RowText(header, "F_ERVENYT");
  OstermeloUtca = TData::streetOf(*Data->ZQ30, QStringLiteral("O_"));
  Data->atv_utca();
  t.producerStreet = OstermeloUtca;
  t.receiverStreet = AtvevoUtca;
  t.sums = TicketQueries::readLineSums(serial);
  t.rates.taxRate = header.fieldByName(QStringLiteral("F_SZJA")).asFloat();
  t.rates.contributionRate = header.fieldByName(QStringLiteral("F_JARULSZAZ")).asFloat();
  t.rates.deduction = header.fieldByName(QStringLiteral("F_LEVONAS")).asFloat();

  const auto prepared = PrepareVariables(t, JegyVariant, error);
  if (!prepared) return fail({error});
  for (const auto &[name, value] : prepared->variables) report::frVariables->SetVariable(name, value);
  JegyVetelar = static_cast<double>(prepared->amounts.price);
  JegySzja = static_cast<double>(prepared->amounts.tax);
  JegyJarul = static_cast<double>(prepared->amounts.contribution);
  JegyLevonas = static_cast<double>(prepared->amounts.deduction);
  FizetendoSzoveg = QString::number(prepared->amounts.payable);

  report::TfrReport &report = printMode ? *Data->frNyomtat : *Data->frMegtekint;
  QStringList errors;
  // The serial in the title tells each ticket's PDF file apart.
  ShowLayout(report, LayoutFileName(JegyVariant), QStringLiteral("Felvásárlási jegy ") + serial,
             PrintOrientation::Portrait, [&] {
    if (beforeMark) beforeMark();
    if (!printMode) return;
    lock.held = false;
    if (t.printed) {
      releaseHeader();
      return;
    }
    if (markPrinted(serial)) {
      list.locate(QStringLiteral("F_BSZAM"), serial, db::LocateOptions{false, true});
    } else if (QString gone; !openTicketData(serial, gone)) {
      // The rollback closed the queries the layout reads.
      platform::error(gone);
    }
  }, &errors);
  if (!errors.isEmpty()) fail(errors);

  TicketQueries::openTicketList(QStringLiteral("f_Bszam"), UtolsoBszam);
  if (form) form->Label9->setText(QStringLiteral("A lista, \"Bszám\" szerint"));
}

}  // namespace TicketPrint
