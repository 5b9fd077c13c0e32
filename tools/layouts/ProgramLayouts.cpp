#include "tools/layouts/ProgramLayouts.h"

#include "tools/layouts/LayoutBuilder.h"

namespace report::layouts {

namespace {

// A4 with about 10 mm on the left and 8 mm elsewhere, in design pixels.
const TfrMargins kMargins{38, 30, 30, 30};
constexpr TColor kShade = 0xE8E8E8;  // title cells and block captions

// Display formats of the bracket expressions: amounts with two decimals and
// thousands groups, rates without needless decimals, dates as the program
// writes them.
QString money(const QString &expr) { return QStringLiteral("[%1 #N#,##0,00]").arg(expr); }
// Unit prices with the decimals they are stored with (up to four), at least two.
QString price(const QString &expr) { return QStringLiteral("[%1 #N#,##0,00##]").arg(expr); }
QString rate(const QString &expr) { return QStringLiteral("[%1 #N#,##0,##]").arg(expr); }
QString date(const QString &expr) { return QStringLiteral("[%1 #Dyyyy.mm.dd]").arg(expr); }
QString field(const char *query, const char *column) {
  return QStringLiteral("[%1.\"%2\"]").arg(QLatin1String(query), QLatin1String(column));
}
// A label and its value joined by non-breaking blanks: a line never ends in
// "Bankszámla:" with the account on the next one.
QString labelled(const QString &label, const QString &value) {
  const QChar nbsp(0xA0);
  return QString(label).replace(QLatin1Char(' '), nbsp) + nbsp + value;
}

// The widest values a column shows on one line: amounts (a ticket's payable
// stays within 32 bits, a list's sums within eleven digits), quantities (a
// line's within eight whole digits, their sums within eleven, as the sums of
// amounts), unit prices (ten whole digits: a payable's worth; four decimals)
// and their averages, rates, dates, serials, codes, a ten-character unit and
// a bank account.
const QString kMoneyWidest = QStringLiteral("-99\u00A0999\u00A0999\u00A0999,99");
const QString kLineMoneyWidest = QStringLiteral("-9\u00A0999\u00A0999\u00A0999,99");
const QString kQuantityWidest = QStringLiteral("-99\u00A0999\u00A0999,9999");
const QString kQuantitySumWidest = QStringLiteral("-99\u00A0999\u00A0999\u00A0999,9999");
const QString kPriceWidest = QStringLiteral("-9\u00A0999\u00A0999\u00A0999,9999");
const QString kAveragePriceWidest = kPriceWidest;
const QString kRateWidest = QStringLiteral("-999,99");
const QString kDateWidest = QStringLiteral("2025.12.31");
const QString kSerialWidest = QStringLiteral("00000000");
const QString kUnitWidest = QStringLiteral("Mértékegys");
const QString kCodeWidest = QStringLiteral("00000");
const QString kTaxIdWidest = QStringLiteral("0000000000");
const QString kTaxNumberWidest = QStringLiteral("00000000000");
const QString kVtszWidest = QStringLiteral("0000000000");
const QString kAccountWidest = QStringLiteral("00000000-00000000-00000000");
// A long word of a name or a town, which a narrow name column keeps whole.
const QString kWordWidest = QStringLiteral("Gabonafelvásárló");

// The tables of many number columns (the ticket's lines, the lists per
// product, per producer and of a producer by month) print in a smaller type:
// they hold the widest values with room left for the names.
const TextStyle kLineText = kCellText.sized(7);

// Page numbers "n/m" at the foot of every page (the layouts build in two
// passes, so the total is known).
void pageFooter(LayoutBuilder &l, const QString &leftText) {
  l.NextBand(btPageFooter, 18, {}, flBandOnFirstPage | flBandOnLastPage);
  const int w = l.ContentWidth();
  l.Rule(0, 1, w, 0.5);
  const TextStyle small = TextStyle{}.sized(7).oneLine();
  l.Text(0, 3, w - 80, 14, leftText, small);
  l.Text(w - 80, 3, 80, 14, QStringLiteral("[PAGE#]/[TOTALPAGES]"), small.sized(8).aligned(alRight));
}

// A band of its own holding one text across the page that grows, line by
// line, with what it prints: a long name or address is never cut.
void growingText(LayoutBuilder &l, int bandType, const QString &text, const TextStyle &style, int above = 0,
                 quint16 flags = 0) {
  const int h = TextHeight(style);
  l.NextBand(bandType, above + h, {}, flags | flStretched);
  l.Text(0, above, l.ContentWidth(), h, text, style.stretching());
}

// The head of a list on every page: the receiver's name and whole address,
// the print date, the title, a line saying what the list covers (when
// given) and the column titles, which wrap at blanks into two lines.
void listHeader(LayoutBuilder &l, const QString &title, const QString &subtitle, const std::vector<Column> &columns) {
  const int w = l.ContentWidth();
  const TextStyle base;
  l.NextBand(btPageHeader, 18, {}, flBandOnFirstPage | flStretched);
  l.Text(0, 0, w - 130, 16, field("ZQ60", "V_NEVE"), base.sized(9).bold().stretching());
  l.Text(w - 130, 0, 130, 16, QStringLiteral("Nyomtatva: ") + date(QStringLiteral("DATE")),
         base.sized(8).aligned(alRight).oneLine());
  growingText(l, btPageHeader,
              field("ZQ60", "V_IRSZAM") + QLatin1Char(' ') + field("ZQ60", "V_HELYSEG") +
                  QStringLiteral(", [v_atvevoutca]    Adószám: ") + field("ZQ60", "V_ADOSZAM"),
              base.sized(8), 0, flBandOnFirstPage);
  growingText(l, btPageHeader, title, base.sized(14).bold().aligned(alCenter), 6, flBandOnFirstPage);
  if (!subtitle.isEmpty()) growingText(l, btPageHeader, subtitle, base.sized(9).aligned(alCenter), 0, flBandOnFirstPage);
  l.NextBand(btPageHeader, 34, {}, flBandOnFirstPage);
  l.Row(0, 4, 30, Titles(columns), kTitleText.framed().filled(kShade).aligned(alMiddle));
}

// A list, landscape unless said: the header naming the receiver, the column
// titles on every page, a row per record of source, the count after the last
// row with the total (when given) right under the last column's amounts, and
// the page numbers.
void buildList(TfrReport &r, const QString &title, const QString &source, std::vector<Column> columns,
               const QString &countText, int orientation = 1, const QString &totalText = {}) {
  LayoutBuilder l;
  l.src.DoublePass = true;
  l.SetPaper(orientation, kMargins);
  const int w = l.ContentWidth();
  columns = FitWidth(std::move(columns), w);
  listHeader(l, title, {}, columns);
  l.NextBand(btMasterData, 16, source, flStretched, QStringLiteral("MasterData1"));
  l.Row(0, 0, 16, Values(columns), kCellText.framed().stretching());
  const TextStyle footer = TextStyle{}.sized(9).bold();
  if (totalText.isEmpty()) {
    growingText(l, btMasterFooter, countText, footer, 4);
  } else {
    l.NextBand(btMasterFooter, 4 + TextHeight(footer));
    l.Text(0, 4, w / 2, TextHeight(footer), countText, footer.oneLine());
    l.Text(w / 2, 4, w - w / 2 - LayoutBuilder::kCellPadding, TextHeight(footer), totalText,
           footer.aligned(alRight).oneLine());
  }
  pageFooter(l, title);
  l.LoadInto(r);
}

}  // namespace

void BuildTicket(TfrReport &r, const QString &layoutLetter) {
  LayoutBuilder l;
  l.src.DoublePass = true;
  l.SetPaper(0, kMargins);
  const int w = l.ContentWidth();
  const TextStyle base;
  const TextStyle caption = base.sized(8).bold().framed().filled(kShade).oneLine();
  const TextStyle block = base.sized(9).framed().stretching();

  // A cancelling document says so in its heading, and names the ticket it
  // voids right under it.
  auto byKind = [](const char *ticket, const char *cancelling) {
    return QStringLiteral("[IF(v_ervenyteleniti = '', '%1', '%2')]")
        .arg(QString::fromUtf8(ticket), QString::fromUtf8(cancelling));
  };
  const QString serial = QStringLiteral("Sorszám: ") + field("ZQ11", "F_BSZAM");

  // Continuation pages: the heading, serial and producer above the lines.
  l.NextBand(btPageHeader, 40);
  l.Text(0, 0, w - 200, 20, byKind("FELVÁSÁRLÁSI JEGY", "ÉRVÉNYTELENÍTŐ BIZONYLAT") + QStringLiteral(" (folytatás)"),
         base.sized(11).bold().oneLine());
  l.Text(w - 200, 0, 200, 20, serial, base.sized(11).bold().aligned(alRight).oneLine());
  l.Text(0, 20, w, 16, QStringLiteral("Eladó: ") + field("ZQ30", "O_NEV"), base.sized(9).oneLine());
  l.Rule(0, 38, w, 0.5);

  // Title, serial, copy mark and the cancelling line; the blocks' captions.
  const int half = (w - 8) / 2;
  l.NextBand(btReportTitle, 97);
  l.Text(0, 0, w, 28, byKind("FELVÁSÁRLÁSI JEGY", "ÉRVÉNYTELENÍTŐ BIZONYLAT"),
         base.sized(16).bold().aligned(alCenter).oneLine());
  l.Text(0, 30, 180, 16, QStringLiteral("Mezőgazdasági termék felvásárlása"), base.sized(8).italic().oneLine());
  l.Text(200, 30, w - 400, 20, QStringLiteral("[v_masolat]"), base.sized(11).bold().aligned(alCenter).oneLine());
  l.Text(w - 200, 30, 200, 18, serial, base.sized(11).bold().aligned(alRight).oneLine());
  l.Text(0, 52, w, TextHeight(base.sized(12)), QStringLiteral("[v_ervenyteleniti]"),
         base.sized(12).bold().aligned(alCenter).oneLine());
  l.Row(0, 80, 17, {{half, QStringLiteral("Felvásárló (átvevő)")}}, caption);
  l.Row(w - half, 80, 17, {{half, QStringLiteral("Eladó (mezőgazdasági őstermelő)")}}, caption);

  // Receiver and producer side by side, framed blocks that grow together
  // with the longer of them: the FELIR id and the bank account always show.
  l.NextBand(btReportTitle, TextHeight(block, 5), {}, flStretched);
  l.Row(0, 0, TextHeight(block, 5), {{half,
         field("ZQ60", "V_NEVE") + QLatin1Char('\n') + field("ZQ60", "V_IRSZAM") + QLatin1Char(' ') +
             field("ZQ60", "V_HELYSEG") + QStringLiteral(", [v_atvevoutca]\n") +
             labelled(QStringLiteral("Adószám:"), field("ZQ60", "V_ADOSZAM")) + QLatin1Char('\n') +
             labelled(QStringLiteral("Bankszámla:"), field("ZQ60", "V_BANKSZLA")) + QLatin1Char('\n') +
             labelled(QStringLiteral("Átvevő kód:"), field("ZQ60", "V_AKOD"))}},
        block);
  l.Row(w - half, 0, TextHeight(block, 5), {{half,
         field("ZQ30", "O_NEV") + QLatin1Char('\n') + field("ZQ30", "O_IRSZAM") + QLatin1Char(' ') +
             field("ZQ30", "O_HELYSEGNEV") + QStringLiteral(", [v_ostermeloutca]\n") +
             labelled(QStringLiteral("Adóazonosító jel:"), field("ZQ30", "O_ADOAZON")) + QStringLiteral("    ") +
             labelled(QStringLiteral("Adószám:"), field("ZQ30", "O_ADOSZAM")) + QLatin1Char('\n') +
             labelled(QStringLiteral("Őstermelői igazolvány:"), field("ZQ30", "O_IGSZAM")) + QLatin1Char('\n') +
             labelled(QStringLiteral("Reg. szám:"), field("ZQ30", "O_REGSZAM")) + QStringLiteral("    ") +
             labelled(QStringLiteral("FELIR:"), field("ZQ30", "O_FELIR")) + QLatin1Char('\n') +
             labelled(QStringLiteral("Bankszámla:"), field("ZQ30", "O_BANKSZLA"))}},
        block);

  // Dates and payment.
  const int quarter = w / 4;
  l.NextBand(btReportTitle, 26);
  l.Row(0, 6, 20,
        {{quarter, QStringLiteral("Kelte: ") + date(QStringLiteral("ZQ11.\"F_KELT\""))},
         {quarter, QStringLiteral("Felvásárlás napja: ") + date(QStringLiteral("ZQ11.\"F_FELVKELT\""))},
         {quarter, QStringLiteral("[v_fizmod]")},
         {w - 3 * quarter, QStringLiteral("[v_utal]")}},
        base.sized(8).framed().oneLine().aligned(alMiddle));

  // The lines, with their titles repeated on every page: the product with
  // its customs number, the quantity with its unit.
  const std::vector<Column> lines = FitWidth(
      {{QStringLiteral("Ssz."), QStringLiteral("[LINE#]"), 30, alRight, QStringLiteral("999")},
       {QStringLiteral("Megnevezés (VTSZ)"),
        field("ZQ20", "S_MEGNEVEZES") + QStringLiteral(" (") + field("ZQ20", "S_VTSZ") + QLatin1Char(')'), 190},
       {QStringLiteral("Mennyiség"), QStringLiteral("[ZQ20.\"S_NETTO\" #N#,##0,####]\u00A0") + field("ZQ20", "S_MEGY"),
        80, alRight, kQuantityWidest + QChar(0xA0) + kUnitWidest},
       {QStringLiteral("Egységár (Ft)"), price(QStringLiteral("ZQ20.\"S_EAR\"")), 66, alRight, kPriceWidest},
       {QStringLiteral("Felvásárlási ár (Ft)"), money(QStringLiteral("ZQ20.\"S_FELVAR\"")), 96, alRight,
        kLineMoneyWidest},
       {QStringLiteral("Komp. %"), rate(QStringLiteral("ZQ20.\"S_KOMPMERTEKE\"")), 44, alRight, kRateWidest},
       {QStringLiteral("Kompenz. felár (Ft)"), money(QStringLiteral("ZQ20.\"S_KOMPFELAR\"")), 96, alRight,
        kLineMoneyWidest},
       {QStringLiteral("Vételár (Ft)"), money(QStringLiteral("ZQ20.\"S_VETELAR\"")), 96, alRight, kLineMoneyWidest}},
      w, kTitleText, kLineText);
  l.NextBand(btMasterHeader, 30, {}, flBandRepeatHeader);
  l.Row(0, 0, 30, Titles(lines), kTitleText.framed().filled(kShade).aligned(alMiddle));
  l.NextBand(btMasterData, 16, QStringLiteral("frDBDataSet1"), flStretched, QStringLiteral("MasterData1"));
  l.Row(0, 0, 16, Values(lines), kLineText.framed().stretching());

  // Column totals after the last line.
  int before = 0;
  for (size_t i = 0; i < 4; ++i) before += lines[i].width;
  l.NextBand(btMasterFooter, 18);
  const TextStyle total = kLineText.bold().framed().oneLine();
  l.Row(0, 0, 18,
        {{before, QStringLiteral("Összesen:"), alRight},
         {lines[4].width, money(QStringLiteral("v_far")), alRight},
         {lines[5].width, QString()},
         {lines[6].width, money(QStringLiteral("v_kar")), alRight},
         {lines[7].width, money(QStringLiteral("v_var")), alRight}},
        total);

  // Amounts and payment, then the cash receipt and the declaration, each in
  // a band of its own that takes room only when it prints, then the
  // signatures.
  l.NextBand(btReportSummary, 130);
  const int label = 216, value = 140, right = w - label - value;
  const TextStyle amountLabel = base.sized(9).oneLine();
  const TextStyle amount = base.sized(9).aligned(alRight).oneLine();
  const QString contributionBase = layoutLetter == QLatin1String("L")   ? QStringLiteral("a felvásárlási ár")
                                   : layoutLetter == QLatin1String("O") ? QStringLiteral("a vételár")
                                                                         : QStringLiteral("az adóelőleggel csökkentett vételár");
  struct AmountRow {
    QString label, value;
  };
  const AmountRow rows[] = {
      {QStringLiteral("Vételár összesen:"), money(QStringLiteral("v_var")) + QStringLiteral(" Ft")},
      {QStringLiteral("Személyi jövedelemadó-előleg (") + rate(QStringLiteral("v_szja")) + QStringLiteral(" %):"),
       money(QStringLiteral("v_szja2")) + QStringLiteral(" Ft")},
      {QStringLiteral("Tagi hozzájárulás (") + rate(QStringLiteral("v_jszaz")) + QStringLiteral(" %):"),
       money(QStringLiteral("v_jarul")) + QStringLiteral(" Ft")},
      {QStringLiteral("Levonás:"), money(QStringLiteral("v_levon")) + QStringLiteral(" Ft")},
  };
  int y = 8;
  for (const AmountRow &row : rows) {
    l.Text(right, y, label, 16, row.label, amountLabel);
    l.Text(right + label, y, value, 16, row.value, amount);
    y += 16;
  }
  l.Text(0, 8, right - 16, 46,
         QStringLiteral("A tagi hozzájárulás alapja ") + contributionBase +
             QStringLiteral(". A kompenzációs felár a felvásárlási ár százalékában számított összeg."),
         base.sized(7).italic());
  l.Rule(right, y + 1, label + value, 1);
  l.Text(right, y + 4, label, 18, QStringLiteral("Fizetendő:"), amountLabel.sized(10).bold());
  l.Text(right + label, y + 4, value, 18, money(QStringLiteral("v_kif")) + QStringLiteral(" Ft"), amount.sized(10).bold());
  y += 26;
  // The amount in words takes two lines at the most.
  l.Text(0, y, w, TextHeight(base.sized(9).bold(), 2), QStringLiteral("Azaz: [v_azaz]"), base.sized(9).bold());

  // Cash receipt (none on a transfer).
  l.NextBand(btReportSummary, 100)->Script = {
      QStringLiteral("begin"), QStringLiteral("  if v_kp1 = '' then Visible := 0 else Visible := 1"),
      QStringLiteral("end")};
  y = 0;
  l.Text(0, y, w, 16, QStringLiteral("[v_kp1]"), base.oneLine());
  l.Text(0, y + 16, w, 30, QStringLiteral("[v_kp2]"), base);
  l.Text(0, y + 46, w / 2, 16, QStringLiteral("[v_kp3]"), base.oneLine());
  l.Text(w - 330, y + 62, 330, 16, QStringLiteral("[v_kp4]"), base.aligned(alCenter).oneLine());
  l.Text(w - 330, y + 78, 330, 15, QStringLiteral("[v_kp5]"), base.sized(8).aligned(alCenter).oneLine());

  // Producer's declaration (when the ticket has one).
  l.NextBand(btReportSummary, 96)->Script = {
      QStringLiteral("begin"), QStringLiteral("  if v_nyilatk2 = ' ' then Visible := 0 else Visible := 1"),
      QStringLiteral("end")};
  l.Text(0, y, w, 46, QStringLiteral("[v_nyilatk1]"), base.sized(8));
  l.Text(w - 330, y + 48, 330, 16, QStringLiteral("[v_nyilatk2]"), base.aligned(alCenter).oneLine());
  l.Text(w - 330, y + 64, 330, 15, QStringLiteral("[v_nyilatk3]"), base.sized(8).aligned(alCenter).oneLine());

  // Signatures, with room to sign above the rules.
  y = 40;
  l.NextBand(btReportSummary, y + 20);
  l.Rule(20, y, 260, 0.5);
  l.Rule(w - 280, y, 260, 0.5);
  l.Text(20, y + 2, 260, 15, QStringLiteral("felvásárló (átvevő) aláírása"), base.sized(8).aligned(alCenter).oneLine());
  l.Text(w - 280, y + 2, 260, 15, QStringLiteral("eladó (őstermelő) aláírása"), base.sized(8).aligned(alCenter).oneLine());

  pageFooter(l, byKind("Felvásárlási jegy", "Érvénytelenítő bizonylat") + QLatin1Char(' ') + field("ZQ11", "F_BSZAM") +
                    QStringLiteral(" – ") + field("ZQ60", "V_NEVE"));
  l.LoadInto(r);
}

void BuildProducerList(TfrReport &r) {
  buildList(r, QStringLiteral("Őstermelők listája"), QStringLiteral("frDBDataSet2"),
            {{QStringLiteral("Kód"), field("ZQ30", "O_KOD"), 44, alLeft, kCodeWidest},
             {QStringLiteral("Név"), field("ZQ30", "O_NEV"), 160},
             {QStringLiteral("Cím"),
              field("ZQ30", "O_IRSZAM") + QLatin1Char(' ') + field("ZQ30", "O_HELYSEGNEV") +
                  QStringLiteral(", [v_ostermeloutca]"),
              230},
             {QStringLiteral("Adóazonosító jel"), field("ZQ30", "O_ADOAZON"), 96, alLeft, kTaxIdWidest},
             {QStringLiteral("Adószám"), field("ZQ30", "O_ADOSZAM"), 90, alLeft, kTaxNumberWidest},
             {QStringLiteral("Születési hely, idő"),
              field("ZQ30", "O_SZULHELY") + QStringLiteral(" ") + date(QStringLiteral("ZQ30.\"O_SZIDO\"")), 120, alLeft,
              kDateWidest},
             {QStringLiteral("Igazolvány"), field("ZQ30", "O_IGSZAM"), 76, alLeft, QStringLiteral("MM000000")},
             {QStringLiteral("Bankszámla"), field("ZQ30", "O_BANKSZLA"), 140, alLeft, kAccountWidest},
             {QStringLiteral("Fiz. hat. (nap)"), field("ZQ30", "O_FHAT"), 60, alRight, QStringLiteral("-9999")}},
            QStringLiteral("Őstermelők száma: [COUNT(frDBDataSet2)]"));
}

void BuildProductList(TfrReport &r) {
  buildList(r, QStringLiteral("Termékek listája"), QStringLiteral("frDBDataSet6"),
            {{QStringLiteral("Kód"), field("ZQ40", "T_KOD"), 60, alLeft, kCodeWidest},
             {QStringLiteral("Megnevezés"), field("ZQ40", "T_MEGNEVEZES"), 420},
             {QStringLiteral("VTSZ"), field("ZQ40", "T_VTSZ"), 120, alLeft, kVtszWidest},
             {QStringLiteral("Mértékegység"), field("ZQ40", "T_MEGY"), 100, alCenter, kUnitWidest},
             {QStringLiteral("Egységár (Ft)"), price(QStringLiteral("ZQ40.\"T_EAR\"")), 140, alRight, kPriceWidest},
             {QStringLiteral("Kompenzáció %"), field("ZQ40", "T_KOMPMERTEKE"), 120, alRight, kRateWidest}},
            QStringLiteral("Termékek száma: [COUNT(frDBDataSet6)]"));
}

void BuildReturnList(TfrReport &r) {
  buildList(r, QStringLiteral("2508M bevallás: kifizetések őstermelőnként [v_tol] – [v_ig]"),
            QStringLiteral("frDBDataSet1"),
            {{QStringLiteral("Őstermelő neve"), field("ZQ20", "O_NEV"), 260},
             {QStringLiteral("FELIR azonosító"), field("ZQ20", "O_FELIR"), 110, alLeft, QStringLiteral("MM0000000000")},
             {QStringLiteral("Adóazonosító jel"), field("ZQ20", "O_ADOAZON"), 110, alLeft, kTaxIdWidest},
             {QStringLiteral("Kifizetett összeg (Ft)"), QStringLiteral("[ZQ20.\"M_VETELAR\" #N#,##0.]"), 130, alRight,
              kMoneyWidest}},
            QStringLiteral("Őstermelők száma: [COUNT(frDBDataSet1)]"), 0,
            QStringLiteral("Összesen: [v_osszesen #N#,##0.] Ft"));
}

void BuildReturnLineList(TfrReport &r) {
  buildList(r, QStringLiteral("Bevallás tételes lista [v_tol] – [v_ig], [v_sorrend] szerint"),
            QStringLiteral("frDBDataSet1"),
            {{QStringLiteral("Fiz. dátum"), date(QStringLiteral("ZQ20.\"F_FIZKELT\"")), 70, alCenter, kDateWidest},
             {QStringLiteral("Felv. dátum"), date(QStringLiteral("ZQ20.\"F_FELVKELT\"")), 70, alCenter, kDateWidest},
             {QStringLiteral("Vorik szám"), field("ZQ20", "S_BSZAM"), 64, alLeft, kSerialWidest},
             {QStringLiteral("Őstermelő"), field("ZQ20", "O_NEV"), 170, alLeft, kWordWidest},
             {QStringLiteral("Adóazonosító jel"), field("ZQ20", "O_ADOAZON"), 80, alLeft, kTaxIdWidest},
             {QStringLiteral("Termék"), field("ZQ20", "S_MEGNEVEZES"), 170, alLeft, kWordWidest},
             {QStringLiteral("VTSZ"), field("ZQ20", "S_VTSZ"), 56, alLeft, kVtszWidest},
             {QStringLiteral("Mennyiség"), QStringLiteral("[ZQ20.\"S_NETTO\" #N#,##0,####]"), 70, alRight, kQuantityWidest},
             {QStringLiteral("M.e."), field("ZQ20", "S_MEGY"), 36, alCenter, kUnitWidest},
             {QStringLiteral("Egységár (Ft)"), price(QStringLiteral("ZQ20.\"S_EAR\"")), 70, alRight, kPriceWidest},
             {QStringLiteral("Komp. %"), rate(QStringLiteral("ZQ20.\"S_KOMPMERTEKE\"")), 46, alRight, kRateWidest},
             {QStringLiteral("Összeg (Ft)"), money(QStringLiteral("ZQ20.\"S_VETELAR\"")), 84, alRight, kLineMoneyWidest}},
            QStringLiteral("Tételek száma: [COUNT(frDBDataSet1)]"), 1,
            QStringLiteral("Összesen: ") + money(QStringLiteral("v_osszesen")) + QStringLiteral(" Ft"));
}

void BuildContract(TfrReport &r) {
  LayoutBuilder l;
  l.src.DoublePass = true;
  l.SetPaper(0, kMargins);
  const int w = l.ContentWidth();
  const TextStyle base;
  const TextStyle body = base.sized(9);
  const TextStyle caption = base.sized(9).bold().oneLine();

  // Title, number and year.
  l.NextBand(btReportTitle, 94);
  l.Text(0, 0, w, 28, QStringLiteral("TERMELTETÉSI SZERZŐDÉS"), base.sized(16).bold().aligned(alCenter).oneLine());
  l.Text(0, 28, w, 16, QStringLiteral("mezőgazdasági termék termeltetésére és felvásárlására"),
         base.sized(9).italic().aligned(alCenter).oneLine());
  l.Text(0, 52, w / 2, 16, QStringLiteral("Gazdasági év: [v_ev]"), caption);
  l.Text(w / 2, 52, w - w / 2, 16, QStringLiteral("Szerződés száma: [v_szam]"), caption.aligned(alRight));
  l.Text(0, 76, w, 16, QStringLiteral("amely létrejött egyrészről"), body.oneLine());

  // The parties: the receiver as the contracting buyer, the producer; each
  // framed block grows with its address, so its closing words always show.
  const TextStyle block = body.framed().stretching();
  l.NextBand(btReportTitle, 17 + TextHeight(block, 4), {}, flStretched);
  l.Row(0, 0, 17, {{w, QStringLiteral("Termeltető (felvásárló)")}}, caption.framed().filled(kShade));
  l.Row(0, 17, TextHeight(block, 4), {{w,
         field("ZQ60", "V_NEVE") + QStringLiteral("\nSzékhely: ") + field("ZQ60", "V_IRSZAM") + QLatin1Char(' ') +
             field("ZQ60", "V_HELYSEG") + QStringLiteral(", [v_atvevoutca]\n") +
             labelled(QStringLiteral("Adószám:"), field("ZQ60", "V_ADOSZAM")) + QStringLiteral("    ") +
             labelled(QStringLiteral("Bankszámla:"), field("ZQ60", "V_BANKSZLA")) +
             QStringLiteral("\na továbbiakban: Termeltető,")}},
        block);
  l.NextBand(btReportTitle, 22 + 17 + TextHeight(block, 4), {}, flStretched);
  l.Text(0, 2, w, 16, QStringLiteral("másrészről"), body.oneLine());
  l.Row(0, 22, 17, {{w, QStringLiteral("Termelő (mezőgazdasági őstermelő)")}}, caption.framed().filled(kShade));
  l.Row(0, 39, TextHeight(block, 4), {{w,
         field("ZQ30", "O_NEV") + QStringLiteral("\nLakcím: ") + field("ZQ30", "O_IRSZAM") + QLatin1Char(' ') +
             field("ZQ30", "O_HELYSEGNEV") + QStringLiteral(", [v_ostermeloutca]\n") +
             labelled(QStringLiteral("Adóazonosító jel:"), field("ZQ30", "O_ADOAZON")) + QStringLiteral("    ") +
             labelled(QStringLiteral("Őstermelői igazolvány:"), field("ZQ30", "O_IGSZAM")) + QStringLiteral("    ") +
             labelled(QStringLiteral("FELIR:"), field("ZQ30", "O_FELIR")) +
             QStringLiteral("    Telefon: [v_tel]\na továbbiakban: Termelő,")}},
        block);
  l.NextBand(btReportTitle, 22);
  l.Text(0, 4, w, 16, QStringLiteral("között az alábbi feltételekkel:"), body.oneLine());

  // The terms, numbered.
  struct Term {
    const char *title;
    QString text;
    int height;
  };
  const Term terms[] = {
      {"1. A szerződés tárgya",
       QStringLiteral("A Termelő a [v_ev]. gazdasági évben a [v_hrsz] helyrajzi számú, [v_ter] nagyságú "
                      "területen a Termeltető részére árutermelést folytat. Helyrevetett terület: [v_helyre] ha, "
                      "palántázott terület: [v_pal] ha."),
       32},
      {"2. Szerződött mennyiség",
       QStringLiteral("A Termelő [v_szmenny] tonna, a szerződés szerinti minőségű termék átadását vállalja, a "
                      "Termeltető annak átvételét és kifizetését."),
       32},
      {"3. Vetőmag",
       QStringLiteral("A Termeltető [v_femz] kg fémzárolt vetőmagot bocsát a Termelő rendelkezésére. A vetőmag "
                      "ellenértékét az első átadott termék vételárából vonja le, ha a felek másként nem állapodnak meg."),
       32},
      {"4. Teljesítés",
       QStringLiteral("A termék átadásának határideje: [v_that]. Az átadás a Termeltető telephelyén, hitelesített "
                      "mérlegen mérve történik; minden átadásról a Termeltető felvásárlási jegyet állít ki."),
       32},
      {"5. Vételár és fizetés",
       QStringLiteral("A vételár az átadás napján érvényes felvásárlási ár, amelyből a Termeltető a jogszabály "
                      "szerinti személyi jövedelemadó-előleget és tagi hozzájárulást levonja. A vételárat a "
                      "felvásárlási jegyen feltüntetett határidőig a Termelő bankszámlájára utalja, vagy "
                      "készpénzben fizeti ki."),
       46},
      {"6. Minőség",
       QStringLiteral("A termék feleljen meg a rá vonatkozó szabványnak és élelmiszerlánc-biztonsági előírásoknak. "
                      "Minőségi kifogását a Termeltető az átvételkor jegyzőkönyvben rögzíti."),
       32},
      {"7. Elemi kár",
       QStringLiteral("Elemi kár esetén a Termelő a kárt a tudomására jutástól számított 8 napon belül írásban "
                      "jelzi a Termeltetőnek; a szerződött mennyiség a kár arányában csökken."),
       32},
      {"8. Egyéb rendelkezések",
       QStringLiteral("A szerződésben nem szabályozott kérdésekben a Polgári Törvénykönyv rendelkezései az "
                      "irányadók. A felek vitás kérdéseiket elsősorban egyeztetés útján rendezik."),
       32},
  };
  // Each term a band of its own that grows with its text.
  for (const Term &t : terms) {
    l.NextBand(btReportSummary, 24 + t.height, {}, flStretched);
    l.Text(0, 8, w, 16, QString::fromUtf8(t.title), caption);
    l.Text(14, 24, w - 14, t.height, t.text, body.stretching());
  }
  // The closing words, the place and date and the signatures in one band:
  // the signatures never stand on a page of their own. The names under them
  // wrap into up to three lines.
  const int closing = TextHeight(body, 2), dated = TextHeight(body);
  const TextStyle signer = base.sized(8).aligned(alCenter);
  const int y = closing + dated + 50;  // room to sign above the rules
  l.NextBand(btReportSummary, y + 17 + TextHeight(signer, 3));
  l.Text(0, 10, w, closing,
         QStringLiteral("A felek a szerződést elolvasás és közös értelmezés után, mint akaratukkal mindenben "
                        "megegyezőt, két eredeti példányban jóváhagyólag aláírták."),
         body);
  l.Text(0, 16 + closing, w, dated,
         QStringLiteral("Kelt: ") + field("ZQ60", "V_HELYSEG") + QStringLiteral(", ") + date(QStringLiteral("DATE")), body);
  l.Rule(20, y, 260, 0.5);
  l.Rule(w - 280, y, 260, 0.5);
  l.Text(20, y + 2, 260, 15, QStringLiteral("Termeltető"), base.sized(9).bold().aligned(alCenter).oneLine());
  l.Text(w - 280, y + 2, 260, 15, QStringLiteral("Termelő"), base.sized(9).bold().aligned(alCenter).oneLine());
  l.Text(20, y + 17, 260, TextHeight(signer, 3), field("ZQ60", "V_NEVE"), signer);
  l.Text(w - 280, y + 17, 260, TextHeight(signer, 3), field("ZQ30", "O_NEV"), signer);

  pageFooter(l, QStringLiteral("Termeltetési szerződés [v_szam]"));
  l.LoadInto(r);
}

// ---- The lists of the "Listák" menu (portrait A4) ----

namespace {

// Cells of a table row: they wrap at blanks and the row grows with them.
const TextStyle kCell = kCellText.framed().stretching();
const TextStyle kLineCell = kLineText.framed().stretching();
const TextStyle kLineSum = kLineText.bold().stretching();

QString quantity(const QString &expr) { return QStringLiteral("[%1 #N#,##0,####]").arg(expr); }

// A list of ticket lines in groups (master) with each group's lines
// (detail), the group's sums under its lines and the grand total. A group's
// heading starts a new page unless its first line fits under it, and a group
// that runs on to the next page names itself again above its lines there.
void groupedLines(LayoutBuilder &l, const QString &groups, const QString &lines, const QString &groupTitle,
                  const QString &groupTotal, const std::vector<Column> &columns, const std::vector<Cell> &groupSums) {
  const int w = l.ContentWidth();
  // The group's total stands in its header too: a group without lines (a
  // missing producer's) prints no footer but still shows its sum.
  const TextStyle head = TextStyle{}.sized(9).bold().filled(kShade).framed().stretching();
  const int headHeight = TextHeight(head);
  TfrBandView *master = l.NextBand(btMasterData, 4 + headHeight, groups, flBandPrintIfSubsetEmpty | flStretched,
                                   QStringLiteral("MasterData1"));
  master->Script = {QStringLiteral("begin"),
                    QStringLiteral("  if FREESPACE < %1 then NEWPAGE;").arg(4 + 3 * headHeight + 2 * TextHeight(kLineCell)),
                    QStringLiteral("  v_csoportkezdet := 1"),
                    QStringLiteral("end")};
  l.Row(0, 4, headHeight, {{w - 160, groupTitle}, {160, groupTotal, alRight}}, head);
  // Shown only when the engine repeats it above a group's lines on a new page.
  TfrBandView *continued = l.NextBand(btDetailHeader, headHeight, {}, flBandRepeatHeader | flStretched,
                                      QStringLiteral("DetailHeader1"));
  continued->Script = {QStringLiteral("begin"),
                       QStringLiteral("  if v_csoportkezdet = 1 then Visible := 0 else Visible := 1;"),
                       QStringLiteral("  v_csoportkezdet := 0"),
                       QStringLiteral("end")};
  l.Row(0, 0, headHeight, {{w, groupTitle + QStringLiteral(" (folytatás)")}}, head.italic());
  l.NextBand(btDetailData, TextHeight(kLineCell), lines, flStretched, QStringLiteral("DetailData1"));
  l.Row(0, 0, TextHeight(kLineCell), Values(columns), kLineCell);
  l.NextBand(btDetailFooter, 4 + TextHeight(kLineSum), {}, flStretched, QStringLiteral("DetailFooter1"));
  l.Rule(0, 2, w, 0.5);
  l.Row(0, 4, TextHeight(kLineSum), groupSums, kLineSum);
  l.NextBand(btReportSummary, 30);
  l.Rule(0, 2, w, 1.5);
  l.Text(0, 8, w, 18, QStringLiteral("Mindösszesen: ") + money(QStringLiteral("v_osszesen")) + QStringLiteral(" Ft"),
         TextStyle{}.sized(10).bold().aligned(alRight).oneLine());
}

// A flat list over ZQ11 (frDBDataSet5) with totals under it, ending where
// the table ends: a narrow table's sum stands under its column.
void summaryLines(LayoutBuilder &l, const std::vector<Column> &columns, const QString &totals,
                  const TextStyle &cell = kCell) {
  int width = 0;
  for (const Column &c : columns) width += c.width;
  l.NextBand(btMasterData, TextHeight(cell), QStringLiteral("frDBDataSet5"), flStretched, QStringLiteral("MasterData1"));
  l.Row(0, 0, TextHeight(cell), Values(columns), cell);
  l.NextBand(btReportSummary, 8);
  l.Rule(0, 2, width, 1.5);
  const TextStyle sum = TextStyle{}.sized(9).bold().aligned(alRight).stretching();
  l.NextBand(btReportSummary, TextHeight(sum), {}, flStretched);
  l.Text(0, 0, width - LayoutBuilder::kCellPadding, TextHeight(sum), totals, sum);  // right edge on the cells' text
}

// The columns of a grouped list's lines: serial, dates, the name the group
// does not show (producer or product), quantity, unit, unit price, the
// compensation rate and the price, so that quantity x unit price plus the
// rate's surcharge gives the price on every row. quantityWidest also covers
// the group's quantity sum printed in that column.
std::vector<Column> lineColumns(const LayoutBuilder &l, const QString &title, const char *column,
                                const QString &quantityWidest = kQuantityWidest) {
  return FitWidth({{QStringLiteral("Sorszám"), field("ZQ21", "S_BSZAM"), 62, alLeft, kSerialWidest},
                   {QStringLiteral("Felvásárlás"), date(QStringLiteral("ZQ21.\"F_FELVKELT\"")), 72, alCenter, kDateWidest},
                   {QStringLiteral("Fizetés"), date(QStringLiteral("ZQ21.\"F_FIZKELT\"")), 72, alCenter, kDateWidest},
                   {title, field("ZQ21", column), 200},
                   {QStringLiteral("Mennyiség"), quantity(QStringLiteral("ZQ21.\"S_NETTO\"")), 80, alRight, quantityWidest},
                   {QStringLiteral("M.e."), field("ZQ21", "S_MEGY"), 36, alCenter, kUnitWidest},
                   {QStringLiteral("Egységár (Ft)"), price(QStringLiteral("ZQ21.\"S_EAR\"")), 70, alRight, kPriceWidest},
                   {QStringLiteral("Komp. %"), rate(QStringLiteral("ZQ21.\"S_KOMPMERTEKE\"")), 40, alRight, kRateWidest},
                   {QStringLiteral("Vételár (Ft)"), money(QStringLiteral("ZQ21.\"S_VETELAR\"")), 96, alRight,
                    kMoneyWidest}},
                  l.ContentWidth(), kTitleText, kLineText);
}

void portraitList(LayoutBuilder &l) {
  l.src.DoublePass = true;
  l.SetPaper(0, kMargins);
}

const QString kPeriod = QStringLiteral("[v_datum]dátum szerint: [v_tol] – [v_ig]");

}  // namespace

void BuildProductGroupList(TfrReport &r) {
  LayoutBuilder l;
  portraitList(l);
  // The group's quantity sum is bold: its column is sized for a wider sum.
  const std::vector<Column> columns =
      lineColumns(l, QStringLiteral("Őstermelő"), "O_NEV", kQuantitySumWidest + QStringLiteral("0"));
  listHeader(l, QStringLiteral("Termékenkénti lista"), kPeriod, columns);
  int before = 0;
  for (size_t i = 0; i < 4; ++i) before += columns[i].width;
  groupedLines(l, QStringLiteral("frUserDataset1"), QStringLiteral("frUserDataset2"), field("ZQ20", "S_MEGNEVEZES"),
               money(QStringLiteral("v_csoportosszeg")) + QStringLiteral(" Ft"), columns,
               {{before, QStringLiteral("Összesen: ") + field("ZQ20", "S_MEGNEVEZES"), alRight},
                {columns[4].width, quantity(QStringLiteral("ZQ20.\"MENNYISEG\"")), alRight},
                {columns[5].width + columns[6].width + columns[7].width, QString()},
                {columns[8].width, money(QStringLiteral("v_csoportosszeg")), alRight}});
  pageFooter(l, QStringLiteral("Termékenkénti lista"));
  l.LoadInto(r);
}

void BuildProducerGroupList(TfrReport &r) {
  LayoutBuilder l;
  portraitList(l);
  const std::vector<Column> columns = lineColumns(l, QStringLiteral("Termék"), "S_MEGNEVEZES");
  listHeader(l, QStringLiteral("Őstermelőnkénti lista"), kPeriod, columns);
  int before = 0;
  for (size_t i = 0; i < 8; ++i) before += columns[i].width;
  groupedLines(l, QStringLiteral("frUserDataset3"), QStringLiteral("frUserDataset4"),
               field("ZQ20", "O_KOD") + QStringLiteral("  ") + field("ZQ20", "O_NEV"),
               money(QStringLiteral("v_csoportosszeg")) + QStringLiteral(" Ft"), columns,
               {{before, QStringLiteral("Összesen: ") + field("ZQ20", "O_NEV"), alRight},
                {columns[8].width, money(QStringLiteral("v_csoportosszeg")), alRight}});
  pageFooter(l, QStringLiteral("Őstermelőnkénti lista"));
  l.LoadInto(r);
}

void BuildProducerMonthList(TfrReport &r) {
  LayoutBuilder l;
  portraitList(l);
  const std::vector<Column> columns = FitWidth(
      {{QStringLiteral("Hónap"), field("ZQ11", "HO"), 50, alCenter, QStringLiteral("12")},
       {QStringLiteral("Termék"), field("ZQ11", "S_MEGNEVEZES"), 190, alLeft, kWordWidest},
       {QStringLiteral("Mennyiség"), quantity(QStringLiteral("ZQ11.\"V_MENNY\"")), 90, alRight, kQuantitySumWidest},
       {QStringLiteral("Felvásárlási ár (Ft)"), money(QStringLiteral("ZQ11.\"V_FELVAR\"")), 110, alRight, kMoneyWidest},
       {QStringLiteral("Átlagár (Ft)"), price(QStringLiteral("ZQ11.\"V_ATLAR\"")), 90, alRight, kAveragePriceWidest},
       {QStringLiteral("Komp. felár (Ft)"), money(QStringLiteral("ZQ11.\"V_FELAR\"")), 100, alRight, kMoneyWidest},
       {QStringLiteral("Vételár (Ft)"), money(QStringLiteral("ZQ11.\"V_VETELAR\"")), 110, alRight, kMoneyWidest}},
      l.ContentWidth(), kTitleText, kLineText);
  listHeader(l, QStringLiteral("[v_nev] havi bontásban termékenként"),
                  QStringLiteral("[v_cim]\n[v_szido]"), columns);  // the birth date stays with its label
  summaryLines(l, columns,
               QStringLiteral("Felvásárlási ár: ") + money(QStringLiteral("v_far")) + QStringLiteral(" Ft    Komp. felár: ") +
                   money(QStringLiteral("v_kar")) + QStringLiteral(" Ft    Vételár: ") + money(QStringLiteral("v_var")) +
                   QStringLiteral(" Ft"),
               kLineCell);
  pageFooter(l, QStringLiteral("Őstermelő havi bontásban – [v_nev]"));
  l.LoadInto(r);
}

void BuildCashDayList(TfrReport &r, bool perProduct) {
  LayoutBuilder l;
  portraitList(l);
  std::vector<Column> columns{
      {QStringLiteral("Fizetés napja"), date(QStringLiteral("ZQ11.\"F_FIZKELT\"")), 120, alCenter, kDateWidest}};
  if (perProduct) columns.push_back({QStringLiteral("Termék"), field("ZQ11", "S_MEGNEVEZES"), 300});
  const QString amount = perProduct ? QStringLiteral("ZQ11.\"V_KIFIZ2\"") : QStringLiteral("ZQ11.\"V_KIFIZ1\"");
  // Per product the list sums the lines' prices: tax, contribution and
  // deduction belong to a ticket, not to a product, so its column says price.
  columns.push_back({perProduct ? QStringLiteral("Vételár (Ft)") : QStringLiteral("Készpénzben kifizetve (Ft)"),
                     money(amount), 160, alRight, kMoneyWidest});
  listHeader(l, perProduct ? QStringLiteral("Kp. napi lista termékenként") : QStringLiteral("Kp. napi lista"),
                  QStringLiteral("Átutalás nélküli jegyek a fizetés napja szerint"), columns);
  summaryLines(l, columns, QStringLiteral("Összesen: ") + money(QStringLiteral("v_osszesen")) + QStringLiteral(" Ft"));
  pageFooter(l, QStringLiteral("Kp. napi lista"));
  l.LoadInto(r);
}

void BuildStatisticsList(TfrReport &r, bool overall) {
  LayoutBuilder l;
  portraitList(l);
  std::vector<Column> columns{{QStringLiteral("Termék"), field("ZQ11", "S_MEGNEVEZES"), 220}};
  if (!overall) columns.push_back({QStringLiteral("Hónap"), field("ZQ11", "HO"), 50, alCenter, QStringLiteral("12")});
  columns.push_back({QStringLiteral("Mennyiség"), quantity(QStringLiteral("ZQ11.\"V_MENNY\"")), 100, alRight, kQuantitySumWidest});
  columns.push_back(
      {QStringLiteral("Nettó átlagár (Ft)"), price(QStringLiteral("ZQ11.\"V_ATLAR\"")), 100, alRight, kAveragePriceWidest});
  columns.push_back(
      {QStringLiteral("Felvásárlási ár (Ft)"), money(QStringLiteral("ZQ11.\"V_FELVAR\"")), 120, alRight, kMoneyWidest});
  columns.push_back({QStringLiteral("Vételár (Ft)"), money(QStringLiteral("ZQ11.\"V_KIFIZ\"")), 120, alRight, kMoneyWidest});
  columns = FitWidth(columns, l.ContentWidth());
  listHeader(l, QStringLiteral("Statisztika"),
                  overall ? QStringLiteral("Termékenként mindösszesen")
                          : QStringLiteral("Termékenként, a felvásárlás hónapja szerint"),
                  columns);
  summaryLines(l, columns,
               QStringLiteral("Felvásárlási ár összesen: ") + money(QStringLiteral("v_far")) +
                   QStringLiteral(" Ft    Vételár összesen: ") + money(QStringLiteral("v_var")) + QStringLiteral(" Ft"));
  pageFooter(l, QStringLiteral("Statisztika"));
  l.LoadInto(r);
}

const std::vector<ProgramLayout> &ProgramLayouts() {
  static const std::vector<ProgramLayout> layouts = [] {
    std::vector<ProgramLayout> v;
    // A ticket layout for no letter and for every letter a receiver's
    // "Verzió" may begin with.
    QStringList letters{QString()};
    for (char c = 'A'; c <= 'Z'; ++c) letters << QString(QLatin1Char(c));
    for (const QString &letter : letters)
      v.push_back({QStringLiteral("QzLista7") + letter + QStringLiteral(".frf"),
                   [letter](TfrReport &r) { BuildTicket(r, letter); }});
    v.push_back({QStringLiteral("QzLista2.frf"), BuildProducerList});
    v.push_back({QStringLiteral("QzLista6.frf"), BuildProductList});
    v.push_back({QStringLiteral("QzLista3.frf"), BuildReturnList});
    v.push_back({QStringLiteral("QzLista4.frf"), BuildReturnLineList});
    v.push_back({QStringLiteral("QzSzerzodes.frf"), BuildContract});
    v.push_back({QStringLiteral("QzLista5.frf"), BuildProductGroupList});
    v.push_back({QStringLiteral("QzLista8.frf"), BuildProducerGroupList});
    v.push_back({QStringLiteral("QzLista9.frf"), BuildProducerMonthList});
    v.push_back({QStringLiteral("QzLista10.frf"), [](TfrReport &r) { BuildCashDayList(r, false); }});
    v.push_back({QStringLiteral("QzLista11.frf"), [](TfrReport &r) { BuildCashDayList(r, true); }});
    v.push_back({QStringLiteral("QzLista12.frf"), [](TfrReport &r) { BuildStatisticsList(r, false); }});
    v.push_back({QStringLiteral("QzLista13.frf"), [](TfrReport &r) { BuildStatisticsList(r, true); }});
    return v;
  }();
  return layouts;
}

}  // namespace report::layouts
