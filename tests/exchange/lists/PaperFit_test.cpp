// Every program layout printed through its own print command on the longest
// values the schema allows in every printed field: no text object's box cuts
// a line, lines or a word of its text, nor breaks a number, date, tax number
// or bank account inside (the engine counts that as a cut word). The pages are
// drawn, and saved as PNG into the folder VORIK_PAGE_PNG names, to look at.
#include "support/print_fixture.h"

#include "app/contract/Unit33.h"
#include "app/producers/Unit4.h"
#include "app/products/Unit6.h"
#include "app/tickets/TicketQueries.h"
#include "app/tickets/TicketState.h"
#include "app/tickets/Unit8.h"
#include "app/PrintLayout.h"
#include "exchange/lists/Unit13.h"
#include "exchange/lists/Unit19.h"
#include "exchange/lists/Unit30.h"
#include "exchange/lists/Unit31.h"
#include "exchange/lists/Unit32.h"
#include "exchange/returns/Gather08M.h"
#include "exchange/returns/Unit12.h"
#include "report/core/FR_Class_View.h"
#include "report/expr/FR_Intrp.h"
#include "report/output/FR_Canvas.h"
#include "report/output/FR_Draw.h"
#include "tools/layouts/LayoutBuilder.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QRadioButton>
#include <QRegularExpression>

#include <algorithm>
#include <functional>
#include <map>
#include <variant>

using namespace vorik::test;

namespace {

// Text of exactly n characters made of ordinary Hungarian words, as a long
// name, town or street is; seed varies the words between fields.
QString longText(int n, int seed = 0) {
  static const char *const words[] = {"Kiskunfélegyházi", "Mezőgazdasági", "Termelő", "és", "Értékesítő",
                                      "Szövetkezet", "Kereskedelmi", "Szolgáltató", "Felsőszentiváni",
                                      "Gabonafelvásárló", "Korlátolt", "Felelősségű", "Társaság", "Őszibarack"};
  constexpr int count = sizeof(words) / sizeof(words[0]);
  QString s;
  for (int i = seed; s.size() < n; ++i) {
    if (!s.isEmpty()) s += QLatin1Char(' ');
    s += QString::fromUtf8(words[i % count]);
  }
  s.truncate(n);
  if (s.endsWith(QLatin1Char(' '))) s[n - 1] = QLatin1Char('a');
  return s;
}

QString quoted(const QString &s) { return QLatin1Char('\'') + QString(s).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\''); }

class PaperFit : public PrintFixture {
 protected:
  void SetUp() override {
    PrintFixture::SetUp();
    exec(QStringLiteral("DELETE FROM OSTERMELO"));
    exec(QStringLiteral("DELETE FROM TERMEK"));
    // The receiver: every text field at its length.
    exec(QStringLiteral("UPDATE ATVEVO SET V_NEVE = %1, V_HELYSEG = %2, V_UTCA = %3, V_IRSZAM = '12345678', "
                        "V_ADOSZAM = '12345676203', V_BANKSZLA = '11700000-12345678-00000000', "
                        "V_ADOAZON = '8123456784', V_KERULET = %4, V_JELLEG = %5, V_HAZSZAM = %6, V_EPULET = %7, "
                        "V_LEPCSO = %8, V_SZINT = %9, V_AJTO = %10 WHERE V_AKOD = '%11'")
             .arg(quoted(longText(75)), quoted(longText(45, 1)), quoted(longText(45, 2)), quoted(longText(20, 3)),
                  quoted(longText(20, 4)), quoted(longText(20, 5)), quoted(longText(20, 6)), quoted(longText(20, 7)),
                  quoted(longText(20, 8)))
             .arg(quoted(longText(20, 9)), receiver_));
    for (int p = 1; p <= 2; ++p) producer(p);
    exec(QStringLiteral("INSERT INTO TERMEK (T_KOD, T_MEGNEVEZES, T_VTSZ, T_EAR, T_MEGY, T_KOMPMERTEKE) VALUES "
                        "('99999', %1, '0810909000', 9999999999.9999, %2, 99.99)")
             .arg(quoted(longText(75, 3)), quoted(longText(10, 7))));
    // A cash ticket with a declaration and a transfer, amounts as large as
    // a payable the ticket can print (under 2^31 forints).
    ticket(1, 1, QStringLiteral(" "), longText(250, 4));
    line(1, longText(75, 5), 999999.9999, 2000, 12.25);
    line(1, longText(75, 6), 0.0001, 9999999999.9999, 0);  // the longest unit price
    ticket(2, 1, QStringLiteral("x"), QStringLiteral(" "));
    line(2, longText(75, 5), 999999.9999, 1999.9999, 12.25);
    line(2, longText(75, 5), 99999999.9999, 0.0001, 12.25);  // the longest quantity: a month's sum of nine digits
    ticket(3, 2, QStringLiteral("x"), QStringLiteral(" "));
    line(3, longText(75, 6), 999999.9999, 1999.9999, 0);
  }

  QString code(int p) const { return QStringLiteral("9%1%2").arg(counter_ % 100, 2, 10, QLatin1Char('0')).arg(p, 2, 10, QLatin1Char('0')); }
  QString serial(int n) const { return QStringLiteral("25%1%2").arg(counter_ % 1000, 3, 10, QLatin1Char('0')).arg(n, 3, 10, QLatin1Char('0')); }

  void producer(int p) {
    exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_IRSZAM, O_HELYSEGNEV, O_UTCA, O_ADOAZON, O_IGSZAM, "
                        "O_REGSZAM, O_FELIR, O_SZULHELY, O_SZIDO, O_ANYJA, O_ADOSZAM, O_BANKSZLA, O_KERULET, O_JELLEG, "
                        "O_HAZSZAM, O_EPULET, O_LEPCSO, O_SZINT, O_AJTO, O_FHAT) VALUES ('%1', %2, '6000', %3, %4, "
                        "'8123456784', 'AB123456', '1234567890', 'HU12345678AB', %5, '1970-12-31', %6, '12345676203', "
                        "'11700000-12345678-00000000', %7, %8, %9, %10, %11, %12, %13, 365)")
             .arg(code(p), quoted(longText(45, p)), quoted(longText(45, p + 1)), quoted(longText(45, p + 2)),
                  quoted(longText(45, p + 3)), quoted(longText(45, p + 4)), quoted(longText(20, p + 5)),
                  quoted(longText(20, p + 6)), quoted(longText(20, p + 7)))
             .arg(quoted(longText(20, p + 8)), quoted(longText(20, p + 9)), quoted(longText(20, p + 10)),
                  quoted(longText(20, p + 11))));
  }
  void ticket(int n, int p, const QString &transfer, const QString &declaration) {
    exec(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_AKOD, F_OSTERMKOD, F_KELT, F_FELVKELT, F_FIZKELT, F_UTAL, "
                        "F_PRN, F_SZJA, F_JARULSZAZ, F_LEVONAS, F_NYILATK, F_MEGJ, F_TIPUS, F_MUVKTG, F_SUMVAR) "
                        "VALUES ('%1', '%2', '%3', '2025-12-28', '2025-12-28', '2025-12-31', '%4', ' ', 15, 2, "
                        "99999.99, %5, %6, '1', 0, 0)")
             .arg(serial(n), receiver_, code(p), transfer, quoted(declaration), quoted(longText(200, 8))));
  }
  void line(int n, const QString &name, double quantity, double price, double compensation) {
    exec(QStringLiteral("INSERT INTO QZSOR (S_BSZAM, S_TERMEKKOD, S_MEGNEVEZES, S_VTSZ, S_BRUTTO, S_MEGY, S_EAR, "
                        "S_KOMPMERTEKE, S_AKOD, S_LEVONSZAZ) VALUES ('%1', '99999', %2, '0810909000', %3, %4, %5, "
                        "%6, '%7', 0)")
             .arg(serial(n), quoted(name))
             .arg(quantity, 0, 'f', 4)
             .arg(quoted(longText(10, 7)))
             .arg(price, 0, 'f', 4)
             .arg(compensation, 0, 'f', 2)
             .arg(receiver_));
  }

  // What the shown pages' boxes cut, one text per object that does not fit;
  // each page drawn at scale 1 (saved as name-page.png for a look).
  QStringList cutTexts(const QString &name) {
    QStringList out;
    for (int p = 0; shown_ && p < shown_->Count(); ++p) {
      drawShown(p, 1.0, QStringLiteral("%1-%2.png").arg(name).arg(p + 1));
      report::TfrPageRec *rec = shown_->GetPageRec(p);
      if (!rec->Page) continue;
      for (const auto &v : rec->Page->Objects) {
        const auto *m = dynamic_cast<const report::TfrMemoView *>(v.get());
        const report::TfrTextFit fit = m ? report::frMemoTextFit(*m) : report::TfrTextFit();
        if (fit.fits()) continue;
        QStringList what;
        if (fit.tooWide) what << QStringLiteral("too wide");
        if (fit.tooHigh) what << QStringLiteral("too high");
        if (fit.wordCut) what << QStringLiteral("word cut");
        out << QStringLiteral("%1 page %2 %3 (%4): %5").arg(name).arg(p + 1).arg(m->Name, what.join(QStringLiteral(", ")), textOf(*m));
      }
    }
    return out;
  }

  // Every line of text the shown pages draw, as the printer gets them.
  QStringList drawnLines() {
    QStringList out;
    for (int p = 0; shown_ && p < shown_->Count(); ++p) {
      report::TfrPageRec *rec = shown_->GetPageRec(p);
      report::TfrRecordCanvas canvas;
      rec->Visible = true;
      shown_->Draw(p, canvas, QRect(0, 0, rec->PrnInfo.pageWidth, rec->PrnInfo.pageHeight));
      rec->Visible = false;
      for (const auto &call : canvas.calls())
        if (const auto *t = std::get_if<report::TfrTextOut>(&call)) out << t->text;
    }
    return out;
  }

  // Runs a print; a message box instead of the preview fails the test.
  void print(const std::function<void()> &command) {
    pages_.clear();
    shown_.reset();
    ModalScript script;
    MessageSeen seen;
    script.then(answer(QMessageBox::Ok, &seen));
    script.runUntilReturn(command, 10000);
    EXPECT_TRUE(seen.text.isEmpty()) << seen.text.toStdString();
  }
  template <class Form>
  void gatherAndPrint(Form &f) {
    f.DateTimePicker1->setDate(QDate(2025, 1, 1));
    f.DateTimePicker2->setDate(QDate(2025, 12, 31));
    f.Button1Click();
    print([&] { f.Button2Click(); });
  }
};

TEST_F(PaperFit, EveryProgramLayoutShowsTheLongestValuesWhole) {
  std::unique_ptr<TForm8> tickets;
  auto printTicket = [&](const QString &letter, int n) {
    if (!tickets) tickets = std::make_unique<TForm8>(nullptr);
    TicketQueries::openTicketList();
    ASSERT_TRUE(Data->ZQ10->locate(QStringLiteral("F_BSZAM"), serial(n), {}));
    JegyVariant = letter;
    NyomtatMod = QStringLiteral("Megtekint");
    print([&] { tickets->PrintTicket(); });
  };
  std::map<QString, std::function<void()>> printers;
  for (const auto &layout : report::layouts::ProgramLayouts()) {
    if (!layout.fileName.startsWith(QStringLiteral("QzLista7"))) continue;
    const QString letter = layout.fileName.mid(8, layout.fileName.size() - 12);
    printers[layout.fileName] = [&, letter] { printTicket(letter, 1); };
  }
  printers[QStringLiteral("QzLista2.frf")] = [&] {
    TForm4 form(nullptr);
    print([&] { form.Button7Click(); });
  };
  printers[QStringLiteral("QzLista6.frf")] = [&] {
    TForm6 form(nullptr);
    print([&] { form.Button6Click(); });
  };
  printers[QStringLiteral("QzLista3.frf")] = [&] {
    // The 08M dialog's print on the period's per-producer sums (the gather's
    // own files are not needed for the list).
    const returns::Period period{QStringLiteral("2025.01.01"), QStringLiteral("2025.12.31")};
    returns::OpenForPeriod(Data->ZQ20, returns::PrintSql(true), period, AtvevoKod);
    print([&] {
      ASSERT_TRUE(OpenReceiverRow());
      ShowLayout(*Data->frNyomtat, QStringLiteral("QzLista3.frf"), QStringLiteral("08M"), PrintOrientation::Portrait, [] {
        report::frVariables->SetVariable(QStringLiteral("v_osszesen"), QStringLiteral("6719999999"));
        report::frVariables->SetVariable(QStringLiteral("v_tol"), QStringLiteral("2025.01.01"));
        report::frVariables->SetVariable(QStringLiteral("v_ig"), QStringLiteral("2025.12.31"));
      });
    });
  };
  printers[QStringLiteral("QzLista4.frf")] = [&] {
    TForm12 form(nullptr);
    Form12 = &form;
    form.RadioButton4->setChecked(true);  // "termék megnevezés", the longest order text
    gatherAndPrint(form);
    Form12 = nullptr;
  };
  printers[QStringLiteral("QzSzerzodes.frf")] = [&] {
    TForm33 form(nullptr);
    OpenProducerList();
    ASSERT_TRUE(Data->ZQ30->locate(QStringLiteral("O_KOD"), code(1), {}));
    form.ProducerChosen();
    // Each field as long as the dialog shows it.
    const int widths[10] = {12, 30, 12, 10, 10, 10, 10, 16, 6, 12};
    for (int i = 0; i < 10; ++i) form.Edit[i]->setText(longText(widths[i], i));
    print([&] { form.Button2Click(); });
  };
  printers[QStringLiteral("QzLista5.frf")] = [&] {
    TForm13 form(nullptr);
    gatherAndPrint(form);
  };
  printers[QStringLiteral("QzLista8.frf")] = [&] {
    TForm19 form(nullptr);
    gatherAndPrint(form);
  };
  printers[QStringLiteral("QzLista9.frf")] = [&] {
    TForm30 form(nullptr);
    form.Edit4->setText(code(1));
    // What the producer pick sets from the producer's row.
    report::frVariables->SetVariable(QStringLiteral("v_nev"), longText(45, 1));
    report::frVariables->SetVariable(QStringLiteral("v_cim"), QStringLiteral("6000  ") + longText(45, 2) +
                                                                  QStringLiteral("  ") + longText(45, 3));
    report::frVariables->SetVariable(QStringLiteral("v_szido"), QStringLiteral("Szül.idö: 1970.12.31  Anyja neve: ") +
                                                                    longText(45, 5));
    form.Button2Click();
    print([&] { form.Button3Click(); });
  };
  for (bool perProduct : {false, true})
    printers[perProduct ? QStringLiteral("QzLista11.frf") : QStringLiteral("QzLista10.frf")] = [&, perProduct] {
      TForm31 form(nullptr);
      form.CheckBox1->setChecked(perProduct);
      form.Button1Click();
      print([&] { form.Button2Click(); });
    };
  for (bool overall : {false, true})
    printers[overall ? QStringLiteral("QzLista13.frf") : QStringLiteral("QzLista12.frf")] = [&, overall] {
      TForm32 form(nullptr);
      form.CheckBox1->setChecked(overall);
      form.Button1Click();
      print([&] { form.Button2Click(); });
    };

  for (const auto &layout : report::layouts::ProgramLayouts()) {
    SCOPED_TRACE(layout.fileName.toStdString());
    auto it = printers.find(layout.fileName);
    ASSERT_NE(it, printers.end()) << "no print command for the layout";
    it->second();
    ASSERT_FALSE(pages_.empty());
    ASSERT_TRUE(previewed_);
    EXPECT_EQ(previewed_->FileName.section(QLatin1Char('/'), -1).compare(layout.fileName, Qt::CaseInsensitive), 0)
        << previewed_->FileName.toStdString();
    const QStringList cut = cutTexts(layout.fileName.chopped(4));
    EXPECT_TRUE(cut.isEmpty()) << cut.join(QLatin1Char('\n')).toStdString();
    // Unit prices with all their decimals, on the tickets and the lists of lines and products.
    static const QStringList pricesShown{QStringLiteral("QzLista4.frf"), QStringLiteral("QzLista5.frf"),
                                         QStringLiteral("QzLista6.frf"), QStringLiteral("QzLista8.frf")};
    if (layout.fileName.startsWith(QStringLiteral("QzLista7")) || pricesShown.contains(layout.fileName)) {
      EXPECT_TRUE(allTexts().contains(QStringLiteral("9\u00A0999\u00A0999\u00A0999,9999")));
    }
    // A label stays on the line of its value: no drawn line ends in one.
    static const QRegularExpression labelAtEnd(
        QStringLiteral("(Bankszámla:|Reg\\.|szám:|Adószám:|FELIR:|igazolvány:|jel:|idö:)[ \u00A0]*$"));
    for (const QString &drawn : drawnLines()) EXPECT_FALSE(labelAtEnd.match(drawn).hasMatch()) << drawn.toStdString();
    // The return lists' total stands at the right, under the amounts, not at
    // the left margin.
    if (layout.fileName == QStringLiteral("QzLista3.frf") || layout.fileName == QStringLiteral("QzLista4.frf")) {
      int tableRight = 0, totalLeft = -1, totalRight = -1;
      for (const auto &v : report::TfrEMFPages::ReadObjects(shown_->GetPageRec(0)->Stream)) {
        if (v->FrameTyp != 0) tableRight = std::max(tableRight, v->x + v->dx);
        if (textOf(*v).startsWith(QStringLiteral("Összesen: "))) {
          totalLeft = v->x;
          totalRight = v->x + v->dx;
        }
      }
      EXPECT_GT(totalLeft, tableRight / 2);
      EXPECT_LE(totalRight, tableRight);
      EXPECT_GE(totalRight, tableRight - 2 * report::layouts::LayoutBuilder::kCellPadding);
    }
  }
}

}  // namespace
