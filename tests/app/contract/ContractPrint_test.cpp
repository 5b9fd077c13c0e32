// The contract printing dialog on the program's own contract layout.
#include "app/contract/Unit33.h"
#include "support/print_fixture.h"
#include "app/producers/Unit4.h"
#include "report/expr/FR_Intrp.h"
#include "tools/layouts/LayoutBuilder.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

using namespace vorik::test;

namespace {

class ContractPrinting : public PrintFixture {
 protected:
  // The producer's row made current in ZQ30 as the picker leaves it.
  void choose(TForm33 &form, const QString &code) {
    OpenProducerList();
    ASSERT_TRUE(Data->ZQ30->locate(QStringLiteral("O_KOD"), code, {}));
    form.ProducerChosen();
  }
};

TEST_F(ContractPrinting, WithoutAProducerNothingIsPrintedOrSet) {
  report::frVariables->Clear();
  TForm33 form(nullptr);
  form.Edit[0]->setText(QStringLiteral("12"));
  ModalScript none;
  none.runUntilReturn([&] { form.Button2->click(); }, 2000);
  EXPECT_EQ(none.stepsRun(), 0);
  EXPECT_EQ(previewed_, nullptr);
  EXPECT_EQ(report::frVariables->Count(), 0);
}

TEST_F(ContractPrinting, PreviewHoldsTheProducerTheReceiverAndTheTenFields) {
  exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_IRSZAM, O_HELYSEGNEV, O_UTCA, O_JELLEG, "
                      "O_HAZSZAM, O_ADOAZON, O_FELIR) VALUES ('S%1', 'Szerződő Termelő %1', '6640', "
                      "'Csongrád', 'Kossuth', 'tér', '3.', '8123456785', 'AB1234567')")
           .arg(counter_));
  TForm33 form(nullptr);
  choose(form, QStringLiteral("S%1").arg(counter_));
  EXPECT_EQ(form.Label11->text(), QStringLiteral("Szerződő Termelő %1").arg(counter_));
  EXPECT_EQ(form.Label13->text(), QStringLiteral("Csongrád"));
  const char *values[] = {"2025/17", "0123/4", "12 ha", "7,5", "4,5", "60", "125", "+36 30 123 4567",
                          "2025", ""};
  for (int i = 0; i < 10; ++i) form.Edit[i]->setText(QString::fromUtf8(values[i]));
  // The producer list read again in another order still prints the chosen one.
  OpenProducerList(QStringLiteral("O_KOD"));
  form.Button2->click();
  ASSERT_EQ(previewed_, Data->frNyomtat);
  EXPECT_TRUE(modal_);
  ASSERT_GE(pages_.size(), 1u);
  EXPECT_TRUE(shows(QStringLiteral("Szerződő Termelő %1").arg(counter_)));
  EXPECT_TRUE(shows(QStringLiteral("Lakcím: 6640 Csongrád, Kossuth tér 3.")));  // no blanks of the empty district
  EXPECT_TRUE(shows(QStringLiteral("Kalász Felvásárló Kft. ") + receiver_));
  EXPECT_TRUE(shows(QStringLiteral("Szerződés száma: 2025/17")));
  EXPECT_TRUE(shows(QStringLiteral("0123/4 helyrajzi számú, 12 ha nagyságú")));
  EXPECT_TRUE(shows(QStringLiteral("Helyrevetett terület: 7,5 ha")));
  EXPECT_TRUE(shows(QStringLiteral("A Termelő 60 tonna")));
  EXPECT_TRUE(shows(QStringLiteral("125 kg fémzárolt")));
  EXPECT_TRUE(shows(QStringLiteral("Telefon: +36 30 123 4567")));
  EXPECT_TRUE(allTexts().contains(QStringLiteral("1/1")));
  // The parties' blocks keep their text off the frame.
  int blocks = 0;
  for (const auto &v : report::TfrEMFPages::ReadObjects(shown_->GetPageRec(0)->Stream)) {
    const QString text = textOf(*v);
    if (text != QStringLiteral("Termeltető (felvásárló)") && text != QStringLiteral("Termelő (mezőgazdasági őstermelő)") &&
        !text.contains(QStringLiteral("|Székhely: ")) && !text.contains(QStringLiteral("|Lakcím: ")))
      continue;
    for (const auto &[left, right] : roomBesideText(0, text)) {
      ++blocks;
      EXPECT_GE(left, report::layouts::LayoutBuilder::kCellPadding) << text.toStdString();
      EXPECT_GE(right, report::layouts::LayoutBuilder::kCellPadding) << text.toStdString();
    }
  }
  EXPECT_EQ(blocks, 4);  // the two captions and the two blocks
  // An empty field is an empty string variable.
  EXPECT_TRUE(shows(QStringLiteral("határideje: . Az átadás")));
  const QString last = QString::fromLatin1(TForm33::kVariables[9]);
  EXPECT_EQ(report::frVariables->GetVariable(last).toString(), QString());
  EXPECT_NE(report::frVariables->IndexOf(last), -1);
  // Portrait A4, drawn to look at.
  const QImage page = drawShown(0, 1.5, QStringLiteral("contract.png"));
  ASSERT_FALSE(page.isNull());
  EXPECT_LT(page.width(), page.height());
  EXPECT_TRUE(Data->frCompositeReport1->Reports.empty());
}

// However long the terms grow, the signatures go onto a page together with
// the closing words and the place and date, never on a page of their own.
TEST_F(ContractPrinting, SignaturesStayWithTheClosingWords) {
  exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV) VALUES ('H%1', 'Hosszú Szerződő')").arg(counter_));
  TForm33 form(nullptr);
  choose(form, QStringLiteral("H%1").arg(counter_));
  auto startsOne = [](const QStringList &texts, const QString &start) {
    return std::any_of(texts.begin(), texts.end(), [&](const QString &t) { return t.startsWith(start); });
  };
  int runOver = 0;
  for (int lines = 0; lines < 20; ++lines) {
    SCOPED_TRACE(lines);
    form.Edit[9]->setText(QStringLiteral("hosszú határidő ").repeated(7 * lines));  // about a line each
    pages_.clear();
    form.Button2->click();
    ASSERT_FALSE(pages_.empty());
    if (pages_.size() > 1) ++runOver;
    for (const QStringList &page : pages_) {
      if (!page.contains(QStringLiteral("Termeltető"))) continue;
      EXPECT_TRUE(page.contains(QStringLiteral("Termelő")));
      EXPECT_TRUE(startsOne(page, QStringLiteral("Kelt: ")));
      EXPECT_TRUE(startsOne(page, QStringLiteral("A felek a szerződést")));
    }
  }
  EXPECT_GT(runOver, 0);
}

TEST_F(ContractPrinting, MissingLayoutIsNamed) {
  exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV) VALUES ('X%1', 'Hiányzó minta')").arg(counter_));
  TForm33 form(nullptr);
  choose(form, QStringLiteral("X%1").arg(counter_));
  ASSERT_TRUE(QFile::rename(QStringLiteral("QzSzerzodes.frf"), QStringLiteral("QzSzerzodes.bak")));
  const QString message = messageOf([&] { form.Button2->click(); });
  QFile::rename(QStringLiteral("QzSzerzodes.bak"), QStringLiteral("QzSzerzodes.frf"));
  EXPECT_TRUE(message.contains(QStringLiteral("QzSzerzodes.frf"))) << message.toStdString();
  EXPECT_TRUE(pages_.empty());
}

}  // namespace
