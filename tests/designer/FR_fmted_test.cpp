// The display format dialog: which panels show for a format word, what
// choosing a category resets, typed decimals and fraction symbol in the word
// the engine formats with, refused input, and Cancel.
#include "designer_fixture.h"
#include "dialog_steps.h"

#include "designer/FR_fmted.h"
#include "report/expr/FR_Values.h"

#include <QCheckBox>

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

namespace {

using FmtTest = DesignerTest;

TEST_F(FmtTest, NumberCustomShowsOnlyTheCustomEditAndCancelKeepsTheFormat) {
  Show();
  quint32 format = frMakeFormat(fcNumber, 4, 2, ',');
  QString text = QStringLiteral("#,##0.00");
  bool ok = true;
  ModalScript script;
  script.then([&](QWidget *w) {
    auto *dlg = qobject_cast<TfrFmtForm *>(w);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->ComboBox1->currentText(), "Number");
    EXPECT_EQ(dlg->ComboBox2->currentText(), "Custom");
    EXPECT_TRUE(dlg->Panel2->isVisible());
    EXPECT_FALSE(dlg->Panel1->isVisible());
    EXPECT_EQ(dlg->Edit1->text(), "#,##0.00");
    expectLaidOut(dlg);
    // A format without digits would print the same for every value: refused.
    typeText(dlg->Edit1, "abc");
    QTest::mouseClick(child<QPushButton>(dlg, "Button1"), Qt::LeftButton);
    EXPECT_TRUE(dlg->isVisible() && errors.size() == 1);
    typeText(dlg->Edit1, "0.0");
    chooseEntry(dlg->ComboBox1, 2);
    click(dlg, "Button2");
  });
  EXPECT_TRUE(script.run([&] { ok = EditDisplayFormat(form.get(), format, text); }));
  EXPECT_FALSE(ok);
  EXPECT_EQ(format, frMakeFormat(fcNumber, 4, 2, ','));
  EXPECT_EQ(text, "#,##0.00");
}

TEST_F(FmtTest, DateToTimeResetsTheTypeAndClearsTheCustomText) {
  Show();
  quint32 format = frMakeFormat(fcDate, 4, 2, ',');
  QString text = QStringLiteral("dd mmm yyyy");
  ModalScript script;
  script.then([&](QWidget *w) {
    auto *dlg = qobject_cast<TfrFmtForm *>(w);
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->Panel2->isVisible());
    chooseEntry(dlg->ComboBox1, fcTime);
    QStringList types;
    for (int i = 0; i < dlg->ComboBox2->count(); ++i) types << dlg->ComboBox2->itemText(i);
    EXPECT_EQ(types, QStringList({"02:43:35", "2:43:35", "02:43", "2:43", "Custom"}));
    EXPECT_EQ(dlg->ComboBox2->currentIndex(), 0);
    EXPECT_EQ(dlg->Edit1->text(), "");
    EXPECT_FALSE(dlg->Panel2->isVisible());
    EXPECT_FALSE(dlg->Panel1->isVisible());
    click(dlg, "Button1");
  });
  bool ok = false;
  EXPECT_TRUE(script.run([&] { ok = EditDisplayFormat(form.get(), format, text); }));
  ASSERT_TRUE(ok);
  EXPECT_EQ(frFormatCategory(format), fcTime);
  EXPECT_EQ(frFormatType(format), 0);
  EXPECT_EQ(text, "");
  // The engine writes a time with it, not a date.
  const Variant t = Variant::DateTime((2 * 3600 + 43 * 60 + 35) / 86400.0);
  EXPECT_EQ(frFormatValue(t, format, text), "02:43:35");
}

TEST_F(FmtTest, TypedDecimalsAndSymbolAreWhatTheEngineFormatsWith) {
  Show();
  quint32 format = frMakeFormat(fcText, 0, 2, '.');
  QString text;
  ModalScript script;
  script.then([&](QWidget *w) {
    auto *dlg = qobject_cast<TfrFmtForm *>(w);
    ASSERT_NE(dlg, nullptr);
    // Text has one type and neither panel.
    EXPECT_EQ(dlg->ComboBox2->count(), 1);
    EXPECT_EQ(dlg->ComboBox2->currentText(), "[None]");
    EXPECT_FALSE(dlg->Panel1->isVisible());
    EXPECT_FALSE(dlg->Panel2->isVisible());
    chooseEntry(dlg->ComboBox1, fcNumber);
    chooseEntry(dlg->ComboBox2, 1);  // "1234,50"
    EXPECT_TRUE(dlg->Panel1->isVisible());
    EXPECT_EQ(dlg->Edit3->text(), "2");
    EXPECT_EQ(dlg->SplEdit->text(), ".");
    expectLaidOut(dlg);
    typeText(dlg->Edit3, "3");
    typeText(dlg->SplEdit, ";");
    typeText(dlg->SplEdit, "");  // emptied: the symbol stays
    typeText(dlg->SplEdit, ",");
    click(dlg, "Button1");
  });
  EXPECT_TRUE(script.run([&] { EditDisplayFormat(form.get(), format, text); }));
  EXPECT_EQ(format, frMakeFormat(fcNumber, 1, 3, ','));
  EXPECT_EQ(frFormatValue(Variant(1234.5), format, text), "1234,500");
}

TEST_F(FmtTest, DecimalsThatAreNoByteNumberRefuseOk) {
  Show();
  quint32 format = frMakeFormat(fcNumber, 1, 2, ',');
  QString text;
  bool ok = false;
  ModalScript script;
  script.then([&](QWidget *w) {
    auto *dlg = qobject_cast<TfrFmtForm *>(w);
    ASSERT_NE(dlg, nullptr);
    for (const char *bad : {"x", "256", "-1", ""}) {
      typeText(dlg->Edit3, bad);
      dlg->accept();
      EXPECT_TRUE(dlg->isVisible()) << bad;
      EXPECT_EQ(dlg->focusWidget(), dlg->Edit3) << bad;
    }
    EXPECT_EQ(errors.size(), 4);
    typeText(dlg->Edit3, "0");
    // A symbol that does not fit the word's byte is refused as well.
    typeText(dlg->SplEdit, QString(QChar(0x20AC)));
    dlg->accept();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->focusWidget(), dlg->SplEdit);
    EXPECT_EQ(errors.size(), 5);
    typeText(dlg->SplEdit, "-");
    dlg->accept();
  });
  EXPECT_TRUE(script.run([&] { ok = EditDisplayFormat(form.get(), format, text); }));
  EXPECT_TRUE(ok);
  EXPECT_EQ(format, frMakeFormat(fcNumber, 1, 0, '-'));
}

TEST_F(FmtTest, AWordOfNoKnownCategoryStaysAsItIsOnOk) {
  Show();
  const quint32 damaged = 0x09FF0102;
  quint32 format = damaged;
  QString text = QStringLiteral("x");
  ModalScript script;
  script.then([](QWidget *w) { click(w, "Button1"); });
  EXPECT_TRUE(script.run([&] { EditDisplayFormat(form.get(), format, text); }));
  EXPECT_EQ(format, damaged);
  EXPECT_EQ(text, "x");
}

TEST_F(FmtTest, EveryDialogOpenedAndCancelledLeavesTheReportAsItWas) {
  Show();
  P().UseMargins = true;
  P().pgMargins = {40, 40, 40, 40};
  P().ColGap = 40;
  TfrMemoView *m = Memo(8, 8, 96, 18, "Memo1");
  m->Highlight.FillColor = 0x00FF00;
  m->HighlightStr = "[x] > 1";
  SelectOnly({m});
  const QByteArray before = report->SaveToBytes();
  const int steps = form->UndoCount();
  const int grid = form->GridSize;
  const std::pair<const char *, std::function<void()>> commands[] = {
      {"page options", [&] { form->PgB3->click(); }},
      {"report options", [&] { form->N8->trigger(); }},
      {"designer options", [&] { form->N14->trigger(); }},
      {"highlight", [&] { form->HlB1->click(); }},
  };
  for (const auto &[name, open] : commands) {
    ModalScript script;
    script.then([](QWidget *w) {
      // Each dialog's controls are turned before it is cancelled.
      for (QCheckBox *c : w->findChildren<QCheckBox *>()) c->setChecked(!c->isChecked());
      for (QLineEdit *e : w->findChildren<QLineEdit *>()) e->setText("7");
      click(w, "Button2");
    });
    EXPECT_TRUE(script.run(open)) << name;
    EXPECT_EQ(report->SaveToBytes(), before) << name;
    EXPECT_FALSE(form->FileModified) << name;
    EXPECT_EQ(form->UndoCount(), steps) << name;
  }
  EXPECT_EQ(form->GridSize, grid);
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

}  // namespace
