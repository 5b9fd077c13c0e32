#include "dialog_factories.h"

#include "app/About.h"
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/producers/Unit4.h"
#include "app/producers/Unit5.h"
#include "app/products/Unit6.h"
#include "app/products/Unit7.h"
#include "app/receivers/Unit17.h"
#include "app/receivers/Unit18.h"
#include "app/tickets/TicketQueries.h"
#include "app/tickets/TicketState.h"
#include "app/tickets/Unit10.h"
#include "app/tickets/Unit8.h"
#include "app/tickets/Unit9.h"
#include "app/tickets/Unit39.h"
#include "app/contract/Unit33.h"
#include "app/small/PasswordDlg.h"
#include "app/small/Unit16.h"
#include "app/small/Unit21.h"
#include "app/small/Unit22.h"
#include "app/small/Unit26.h"
#include "app/small/Unit44.h"
#include "app/upgrades/Unit28.h"
#include "app/upgrades/Unit36.h"
#include "app/upgrades/Unit37.h"
#include "app/upgrades/Unit42.h"
#include "app/upgrades/Unit43.h"
#include "app/yearopen/Unit38.h"
#include "db/dataset.h"
#include "db/transaction.h"
#include "support/data_fixture.h"

namespace vorik::test {

namespace {

// The receiver with a ticket, and one without (whose dialogs then offer
// their storing controls and show no notice box).
const QString kReceiver = QStringLiteral("R0001");
const QString kFreeReceiver = QStringLiteral("R0002");
const QString kTicket = QStringLiteral("24000001");

QString digits(int n) { return QString(n, QLatin1Char('8')); }

// A column list and the values, each text quoted.
void insert(const QString &table, const std::vector<std::pair<const char *, QString>> &values) {
  QStringList columns, texts;
  for (const auto &[column, value] : values) {
    columns << QString::fromLatin1(column);
    texts << (value.startsWith(QLatin1Char('=')) ? value.mid(1)
                                                  : QLatin1Char('\'') + value + QLatin1Char('\''));
  }
  execCommitted(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
          .arg(table, columns.join(QStringLiteral(", ")), texts.join(QStringLiteral(", "))));
}

void insertReceiver(const QString &code) {
  insert(QStringLiteral("ATVEVO"),
         {{"V_AKOD", code},          {"V_NEVE", longText(75)},     {"V_HELYSEG", longText(45)},
          {"V_UTCA", longText(45)},  {"V_IRSZAM", digits(8)},      {"V_ADOSZAM", digits(11)},
          {"V_BANKSZLA", QStringLiteral("11773016-11111111-22222222")}, {"V_ADOAZON", digits(10)}, {"V_NYILATK", longText(250)},
          {"V_VERZIO", longText(45)}, {"V_EV", QStringLiteral("true")}, {"V_EVNYILV", longText(20)},
          {"V_KERULET", longText(20)}, {"V_JELLEG", longText(20)}, {"V_HAZSZAM", longText(20)},
          {"V_EPULET", longText(20)}, {"V_LEPCSO", longText(20)},  {"V_SZINT", longText(20)},
          {"V_AJTO", longText(20)},  {"V_KOZADOSZAM", longText(20)}, {"V_EV_NEVE", longText(45)}});
}

void useReceiver(const QString &code) {
  AtvevoKod = code;
  AtvevoNyilatk = longText(250);
}

}  // namespace

QString longText(int n) {
  static const QString text = QStringLiteral("Szentgyörgyi Kovácsné Mária, Hódmezővásárhely, Dózsa György út 7. ");
  QString s;
  while (s.size() < n) s += text;
  return s.left(n);
}

void prepareDialogData() {
  insertReceiver(kReceiver);
  insertReceiver(kFreeReceiver);
  for (const QString &r : {kReceiver, kFreeReceiver})
    insert(QStringLiteral("SORSZAM"), {{"A_AKOD", r}, {"A_QZBSZAM", QStringLiteral("25000000")}});
  // The producer's fields as long as the entry dialog lets them be typed.
  insert(QStringLiteral("OSTERMELO"),
         {{"O_KOD", QStringLiteral("99999")},    {"O_NEV", longText(45)},       {"O_IRSZAM", digits(4)},
          {"O_HELYSEGNEV", longText(45)},        {"O_UTCA", longText(45)},      {"O_ADOAZON", digits(10)},
          {"O_IGSZAM", longText(7)},             {"O_REGSZAM", longText(10)},   {"O_SZJA", QStringLiteral("=100")},
          {"O_SZULHELY", longText(45)},          {"O_SZIDO", QStringLiteral("1970-12-28")},
          {"O_ANYJA", longText(45)},             {"O_CSGAZD", digits(8)},       {"O_NEME", QStringLiteral("2")},
          {"O_SZULNEV", longText(45)},           {"O_TAJ", digits(9)},          {"O_ADOSZAM", digits(11)},
          {"O_BANKSZLA", QStringLiteral("11773016-11111111-22222222")}, {"O_ERVKELT", QStringLiteral("2028-12-31")},
          {"O_MNYPTAG", QStringLiteral("N")},   {"O_BETETLAP", longText(12)},  {"O_KAMARA", digits(20)},
          {"O_FELIR", QStringLiteral("AB1234567")}, {"O_KERULET", longText(20)}, {"O_JELLEG", longText(20)},
          {"O_HAZSZAM", longText(20)},           {"O_EPULET", longText(20)},    {"O_LEPCSO", longText(20)},
          {"O_SZINT", longText(20)},             {"O_AJTO", longText(20)},      {"O_FHAT", QStringLiteral("=365")},
          {"O_KOZADOSZAM", longText(20)},        {"O_FELJEGYZ", longText(1000)}, {"O_IGSZAM1", longText(15)},
          {"O_ERVKELT1", QStringLiteral("2021-01-01")}, {"O_CSGAZD1", longText(13)}});
  insert(QStringLiteral("TERMEK"),
         {{"T_KOD", QStringLiteral("99999")}, {"T_MEGNEVEZES", longText(75)}, {"T_VTSZ", longText(10)},
          {"T_EAR", QStringLiteral("=99999.99")}, {"T_MEGY", longText(10)}, {"T_KOMPMERTEKE", QStringLiteral("=12")},
          {"T_BIZONYLAT", digits(10)}});
  insert(QStringLiteral("QZFEJ"),
         {{"F_BSZAM", kTicket},          {"F_AKOD", kReceiver},           {"F_OSTERMKOD", QStringLiteral("99999")},
          {"F_KELT", QStringLiteral("2025-12-28")}, {"F_FELVKELT", QStringLiteral("2025-12-28")},
          {"F_FIZKELT", QStringLiteral("2026-12-28")}, {"F_UTAL", QStringLiteral("x")},
          {"F_SZJA", QStringLiteral("=100")}, {"F_JARULSZAZ", QStringLiteral("=99.5")},
          {"F_LEVONAS", QStringLiteral("=99999999")}, {"F_MEGJ", longText(200)}, {"F_NYILATK", longText(250)},
          {"F_TIPUS", QStringLiteral("1")},  {"F_MUVKTG", QStringLiteral("=0")}, {"F_SUMVAR", QStringLiteral("=0")}});
  insert(QStringLiteral("QZSOR"),
         {{"S_BSZAM", kTicket},           {"S_TERMEKKOD", QStringLiteral("99999")}, {"S_MEGNEVEZES", longText(75)},
          {"S_VTSZ", longText(10)},       {"S_BRUTTO", QStringLiteral("=99999.25")}, {"S_MEGY", longText(10)},
          {"S_EAR", QStringLiteral("=9999.99")}, {"S_KOMPMERTEKE", QStringLiteral("=12")},
          {"S_AKOD", kReceiver},          {"S_LEVONSZAZ", QStringLiteral("=99.5")}, {"S_BIZONYLAT", digits(10)}});
  useReceiver(kReceiver);
  TipusNormal = QStringLiteral("1");
  TipusErvenytelenito = QStringLiteral("4");
  Edit13Option = Edit14Option = Edit15Option = Edit10Option = QStringLiteral("1");
  Edit13Default = Edit14Default = Edit15Default = QStringLiteral("0");
  Edit8Default = QStringLiteral("12");
}

const std::vector<DialogFactory> &dialogFactories() {
  static const std::vector<DialogFactory> list = {
      {"TAboutBox", [] { return std::make_unique<TAboutBox>(); }},
      {"TForm4", [] { return std::make_unique<TForm4>(); }},
      {"TForm5",
       [] {
         OstermeloMod = QStringLiteral("Őstermelő módositás");
         OpenProducerList();
         auto f = std::make_unique<TForm5>();
         f->LoadProducer();
         return f;
       }},
      {"TForm6", [] { return std::make_unique<TForm6>(); }},
      {"TForm7",
       [] {
         TermekMod = QStringLiteral("Termék módositás");
         OpenProductList();
         auto f = std::make_unique<TForm7>();
         f->LoadProduct();
         return f;
       }},
      {"TForm8",
       [] {
         useReceiver(kReceiver);
         return std::make_unique<TForm8>();
       }},
      {"TForm9",
       [] {
         useReceiver(kReceiver);
         JegyMod = kJegyModModositas;
         TicketQueries::openTicketList(QStringLiteral("f_Bszam"), kTicket);
         auto f = std::make_unique<TForm9>();
         f->LoadTicket();
         return f;
       }},
      {"TForm10",
       [] {
         useReceiver(kReceiver);
         TetelMod = kJegyModModositas;
         TicketQueries::openLines(kTicket);
         auto f = std::make_unique<TForm10>(TForm10::Ticket{kTicket, QStringLiteral("99,5"), QStringLiteral("99999")});
         f->LoadLine();
         return f;
       }},
      {"TForm39",
       [] {
         useReceiver(kReceiver);
         TicketQueries::openTicketList(QStringLiteral("f_Bszam"), kTicket);
         ErvenytelenBszam = kTicket;
         auto f = std::make_unique<TForm39>();
         f->Start();
         return f;
       }},
      {"TForm17",
       [] {
         useReceiver(kFreeReceiver);
         auto f = std::make_unique<TForm17>();
         f->AtvevoBetoltes();
         return f;
       }},
      {"TForm18", [] { return std::make_unique<TForm18>(); }},
      {"TForm33",
       [] {
         OpenProducerList();
         Data->ZQ30->locate(QStringLiteral("O_KOD"), QStringLiteral("99999"), {});
         auto f = std::make_unique<TForm33>();
         f->ProducerChosen();
         return f;
       }},
      {"TForm16", [] { return std::make_unique<TForm16>(); }},
      {"TForm21", [] { return std::make_unique<TForm21>(); }},
      {"TForm22", [] { return std::make_unique<TForm22>(); }},
      {"TPasswordDlg", [] { return std::make_unique<TPasswordDlg>(); }},
      {"TForm26", [] { return std::make_unique<TForm26>(); }},
      {"TForm44", [] { return std::make_unique<TForm44>(); }},
      {"TForm28", [] { return std::make_unique<TForm28>(); }},
      {"TForm36", [] { return std::make_unique<TForm36>(); }},
      {"TForm37", [] { return std::make_unique<TForm37>(); }},
      {"TForm42", [] { return std::make_unique<TForm42>(); }},
      {"TForm43", [] { return std::make_unique<TForm43>(); }},
      {"TForm38",
       [] {
         useReceiver(kFreeReceiver);
         return std::make_unique<TForm38>();
       }},
  };
  return list;
}

}  // namespace vorik::test
