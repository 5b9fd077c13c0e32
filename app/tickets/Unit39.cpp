#include "app/tickets/Unit39.h"

#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/common/FieldKeys.h"
#include "app/common/Widgets.h"
#include "app/receivers/Checks.h"
#include "app/receivers/RowText.h"
#include "app/common/Guarded.h"
#include "app/tickets/NumberingHold.h"
#include "app/tickets/TicketQueries.h"
#include "app/tickets/TicketState.h"
#include "app/tickets/Unit8.h"
#include "db/dataset.h"
#include "db/error.h"
#include "platform/conv.h"
#include "platform/dialogs.h"

TForm39 *Form39 = nullptr;

namespace {

// The ticket list runs this guard on "Érvénytelenit".
const bool kGuardInstalled = (TForm8::setCancelTicket(&TForm39::CancelGuard), true);

QString listText(const char *field) {
  db::Query &list = *Data->ZQ10;
  if (!list.active() || list.isEmpty()) return QString();
  db::Field *f = list.findField(QLatin1String(field));
  if (!f || f->isNull()) return QString();
  if (qstrcmp(field, "F_KELT") == 0) return platform::DateToStr(f->asDate());
  return f->asString();
}

// A statement that must change exactly one row; anything else is a failure
// of its step (the ticket changed meanwhile).
void executeOne(db::Query &q) {
  q.execute();
  if (q.rowsAffected() != 1)
    throw db::Error(QStringLiteral("%1 rows changed instead of one").arg(q.rowsAffected()));
}

}  // namespace

void TForm39::CancelGuard(TForm8 *list) {
  if (!Data->ZQ10->active() || Data->ZQ10->isEmpty()) return;  // no ticket to cancel
  auto refuse = [list](const char *message) {
    platform::showMessage(QString::fromUtf8(message));
    list->Button4->setFocus();
  };
  const QString serial = listText("F_BSZAM");
  // The marks as stored now: the list may be older than a print or a
  // cancelling done since by another instance.
  QString printed = listText("F_PRN"), cancelledBy = listText("F_ERVENYT"), type = listText("F_TIPUS");
  {
    db::Query q;
    q.setTransaction(Data->IBTrans1);
    q.sql().add(QStringLiteral("SELECT F_PRN, F_ERVENYT, F_TIPUS FROM QzFej WHERE f_bszam = :p0"));
    q.paramByName(QStringLiteral("p0")).setString(serial);
    q.open();
    if (!q.isEmpty()) {
      printed = RowText(q, "F_PRN");
      cancelledBy = RowText(q, "F_ERVENYT");
      type = RowText(q, "F_TIPUS");
    }
  }
  if (printed != QLatin1String("I")) return refuse("Nem volt nyomtatva. Nem érvényteleníthető!");
  if (!checks::trimText(cancelledBy).isEmpty()) {
    if (type != TipusNormal) return refuse("Érvénytelent (storno) nem lehet érvényteleníteni!");
    return refuse("Már érvénytelenítve van!");
  }
  if (!platform::confirmYesNo(QStringLiteral("Érvényteleniteni szeretné a ") + serial +
                              QStringLiteral(" bizonylatot? ")))
    return;
  ErvenytelenBszam = serial;
  std::unique_ptr<TForm39> dialog(new TForm39(nullptr));
  Form39 = dialog.get();
  if (dialog->Start()) dialog->exec();
  Form39 = nullptr;
}

TForm39::TForm39(QWidget *parent) : QDialog(parent) {
  using Widgets::makeButton;
  using Widgets::makeEdit;
  using Widgets::makeLabel;
  setObjectName(QStringLiteral("Form39"));
  setWindowTitle(QStringLiteral("Érvénytelenitő bizonylat létrehozása"));
  setModal(true);

  Edit1 = makeEdit(this, "Edit1");
  Edit1->setAcceptedChars(QStringLiteral("0123456789"));
  Edit1->setWidthChars(8);  // a serial
  Edit1->setEnabled(false);
  Edit6 = makeEdit(this, "Edit6");
  FieldKeys::acceptOnly(Edit6, QStringLiteral("."));
  Edit6->setWidthChars(10);  // yyyy.mm.dd
  Edit6->setToolTip(QStringLiteral("Számla kiállítás kelte"));
  Button6 = makeButton(this, "Button6", QStringLiteral("OK"));
  Button1 = makeButton(this, "Button1", QStringLiteral("Mégsem"));

  auto *grid = new QGridLayout;
  grid->addWidget(makeLabel(this, "Label3", QStringLiteral("Érvénytelenítő \"ÚJ\" bizonylat sorszáma: ")),
                  0, 0);
  grid->addWidget(Edit1, 0, 1);
  auto *dateLabels = new QVBoxLayout;
  dateLabels->addWidget(makeLabel(this, "Label4", QStringLiteral("Érvénytelenitö bizonylat kelte")));
  dateLabels->addWidget(makeLabel(this, "Label5", QStringLiteral("(Kiállítás kelte)")));
  grid->addLayout(dateLabels, 1, 0);
  grid->addWidget(Edit6, 1, 1);
  grid->setColumnStretch(2, 1);

  auto *buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button6);
  buttons->addWidget(Button1);

  auto *top = new QVBoxLayout(this);
  top->addWidget(makeLabel(this, "Label1",
                           QStringLiteral("A kiválasztott felvásárlási jegy bizonylat "
                                          "érvénytelenítése új bizonylat sorszámon.")));
  top->addWidget(makeLabel(this, "Label2",
                           QStringLiteral("Az érvénytelenítendő  bizonylat tételsor(ok) "
                                          "mennyisége mínusz eggyel beszorozva.")));
  top->addLayout(grid);
  top->addLayout(buttons);

  setTabOrder(Edit6, Button6);
  setTabOrder(Button6, Button1);
  connect(Button6, &QPushButton::clicked, this, [this] { RunGuarded([this] { Button6Click(); }); });
  connect(Button1, &QPushButton::clicked, this, &TForm39::reject);
  FieldKeys::installEnterNavigation(this);
  FieldKeys::ignoreEscape(this);
}

TForm39::~TForm39() = default;

void TForm39::done(int result) {
  hold_.reset();  // the numbering goes with the dialog
  QDialog::done(result);
}

bool TForm39::Start() {
  if (started_) return ready_;
  started_ = true;
  ErvenytelenKelt = listText("F_KELT");
  QString serial;
  hold_ = TicketQueries::holdNumbering(AtvevoKod, &serial);
  if (!hold_) {
    ready_ = false;
    return false;
  }
  Edit1->setText(serial);
  TicketQueries::deleteOrphanLines(
      serial, QStringLiteral("Hiba391: Qzsor DELETE törlése mert nem volt fejrésze "));
  Edit6->setText(platform::DateToStr(QDate::currentDate()));
  return true;
}

void TForm39::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  RunGuarded([this] {
    if (!Start()) QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
  });
  Edit6->setFocus();
}

bool TForm39::checksPass() {
  auto fail = [this](const char *message) {
    platform::showMessage(QString::fromUtf8(message));
    Edit6->setFocus();
    return false;
  };
  const QString text = checks::trimRight(Edit6->text());
  if (text.isEmpty()) return fail("Nincs megadva a kiállítás dátuma!");
  QDate issued;
  if (!platform::TryStrToDate(text, issued)) return fail("Hibás a kiállítás dátuma!");
  // Compared as dates: "2025.3.9" is the day before "2025.03.10".
  QDate cancelled;
  if (platform::TryStrToDate(ErvenytelenKelt, cancelled) && issued < cancelled)
    return fail("Érvénytelenítendő bizonylaton szereplő dátumtól korábbi!");
  return true;
}

void TForm39::Button6Click() {
  if (!checksPass()) return;
  if (create()) accept();
}

bool TForm39::create() {
  if (!WriteDocument()) return false;  // nothing stored; the dialog stays open
  const QString serial = Edit1->text();
  UtolsoBszam = serial;
  TicketQueries::openTicketList(QStringLiteral("f_Bszam"), UtolsoBszam);
  platform::showMessage(QStringLiteral("Az érvénytelenítő bizonylat ") + serial +
                        QStringLiteral(" sorszámmal elkészült!"));
  return true;
}

bool TForm39::WriteDocument() {
  if (!hold_ || !hold_->held()) {
    platform::warning(NumberingHold::busyMessage());
    return false;
  }
  const QString serial = Edit1->text();
  const QDate issued = platform::StrToDate(checks::trimRight(Edit6->text()));
  db::Query &q = hold_->query();
  auto p = [&q](const char *name) -> db::Param & { return q.paramByName(QLatin1String(name)); };
  // The document is inserted with its final values, the cancelled ticket is
  // linked and the counter advanced in the hold's transaction: all of it is
  // committed together or nothing is. Each step names the message its
  // failure shows.
  return Data->Write(hold_->transaction(), QStringLiteral("Hiba392: Újban, INSERT a Qzfejben "),
                     [&](WriteSteps &steps) {
    // The header: negated deduction, payable and price; only a printed,
    // uncancelled ticket of the receiver is copied.
    TicketQueries::setSql(
        q, {QStringLiteral("INSERT INTO QzFej ( F_BSZAM, F_AKOD, F_OSTERMKOD, F_KELT, F_SZJA, "
                           "F_MEGJ, F_FELVKELT, F_FIZKELT, F_UTAL, F_NYILATK, F_LEVONAS, "
                           "F_JARULSZAZ, F_MUVKTG, F_PIPA, F_SUMVAR, F_TIPUS, F_ERVENYT ) "),
            QStringLiteral("  SELECT CAST(:p1 AS VARCHAR(8)), F_AKOD, F_OSTERMKOD, "
                           "CAST(:p9 AS DATE), F_SZJA, F_MEGJ, F_FELVKELT, F_FIZKELT, F_UTAL, "
                           "F_NYILATK, -F_LEVONAS, F_JARULSZAZ, -F_MUVKTG, F_PIPA, -F_SUMVAR, "
                           "CAST(:p2 AS VARCHAR(1)), F_BSZAM "),
            QStringLiteral("  FROM QzFej WHERE f_bszam = :p0 AND f_akod = :p3 AND f_prn = 'I' "
                           "AND (F_ERVENYT IS NULL OR TRIM(F_ERVENYT) = '')")});
    p("p0").setString(ErvenytelenBszam);
    p("p1").setString(serial);
    p("p2").setString(TipusErvenytelenito);
    p("p3").setString(AtvevoKod);
    p("p9").setDate(issued);
    executeOne(q);

    steps.at(QStringLiteral("Hiba394: Új UPDATE QzFej -ben "));
    TicketQueries::setSql(
        q, {QStringLiteral("UPDATE QzFej SET F_ERVENYT = :p1 WHERE f_bszam = :p0 "),
            QStringLiteral("  AND (F_ERVENYT IS NULL OR TRIM(F_ERVENYT) = '')")});
    p("p0").setString(ErvenytelenBszam);
    p("p1").setString(serial);
    executeOne(q);

    // The lines, in their order, with negated gross quantities; the
    // database derives the rest from them.
    steps.at(QStringLiteral("Hiba395: Újban, INSERT a Qzsorban "));
    TicketQueries::setSql(
        q, {QStringLiteral("INSERT INTO QzSor ( S_BSZAM, S_TERMEKKOD, S_MEGNEVEZES, S_VTSZ, "
                           "S_LEVONSZAZ, S_BRUTTO, S_MEGY, S_EAR, S_KOMPMERTEKE, S_AKOD, S_SZJA, "
                           "S_BIZONYLAT ) "),
            QStringLiteral("  SELECT CAST(:p1 AS VARCHAR(8)), S_TERMEKKOD, S_MEGNEVEZES, S_VTSZ, "
                           "S_LEVONSZAZ, -S_BRUTTO, S_MEGY, S_EAR, S_KOMPMERTEKE, S_AKOD, S_SZJA, "
                           "S_BIZONYLAT "),
            QStringLiteral("  FROM QzSor WHERE s_bszam = :p0 ORDER BY ID_QZSOR")});
    p("p0").setString(ErvenytelenBszam);
    p("p1").setString(serial);
    q.execute();

    steps.at(QStringLiteral("Hiba398: Új UPDATE Sorszam -ba "));
    hold_->advance(serial);  // only from the value the serial was taken from
    steps.at(QStringLiteral("Hiba399: az INSERT közben a vorik fejben!"));  // the commit
  });
}
