// Report variables, script compilation and running, object properties.
#include "report/expr/FR_Intrp.h"

#include "report/core/FR_Class_Page.h"

#include <gtest/gtest.h>

using namespace report;

namespace {

QString line(int op, quint32 target = 0, const QString &rest = QString()) {
  QString s(1, QChar(static_cast<char16_t>(op)));
  if (op == 1 || op == 2) {
    s += QChar(static_cast<char16_t>(target & 0xFFFF));
    s += QChar(static_cast<char16_t>(target >> 16));
  }
  return s + rest;
}

quint32 targetOf(const QString &l) { return l[1].unicode() | (static_cast<quint32>(l[2].unicode()) << 16); }

class Script : public ::testing::Test {
 protected:
  void SetUp() override {
    frVariables->Clear();
    ctx().CurView = nullptr;
    ctx().FindObject = [this](const QString &n) { return page.FindObject(n); };
  }
  void TearDown() override {
    frVariables->Clear();
    ctx() = TfrScriptContext();
  }
  static TfrScriptContext &ctx() { return frInterpretator->Context; }

  QStringList compile(const QStringList &src) {
    QStringList out;
    errors.clear();
    frInterpretator->PrepareScript(src, out, errors);
    return out;
  }
  void run(const QStringList &src) {
    const QStringList c = compile(src);
    ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    frInterpretator->DoScript(c);
  }
  Variant var(const char *name) { return frVariables->GetVariable(QString::fromUtf8(name)); }

  QStringList errors;
  TfrPage page;
};

}  // namespace

TEST(Variables, OrderedCaseInsensitiveAndNullWhenMissing) {
  TfrVariables v;
  v.SetVariable(QStringLiteral("Name"), Variant(1));
  v.SetVariable(QStringLiteral("NAME"), Variant(2));
  ASSERT_EQ(v.Count(), 1);
  EXPECT_EQ(v.GetNameByIndex(0), QStringLiteral("Name"));
  EXPECT_EQ(v.GetValueByIndex(0).toInt(), 2);
  v.SetVariable(QStringLiteral("Őstermelő"), Variant(QStringLiteral("x")));
  v.SetVariable(QStringLiteral("ÁTVEVŐ"), Variant(3));
  EXPECT_EQ(v.IndexOf(QStringLiteral("őSTERMELŐ")), 1);
  EXPECT_EQ(v.GetVariable(QStringLiteral("átvevő")).toInt(), 3);
  EXPECT_TRUE(v.GetVariable(QStringLiteral("missing")).isNull());
  EXPECT_EQ(v.IndexOf(QStringLiteral("missing")), -1);
  EXPECT_EQ(v.GetValueByIndex(-1).type(), Variant::Type::Integer);
  EXPECT_EQ(v.GetValueByIndex(-1).toInt(), 0);
  EXPECT_EQ(v.GetNameByIndex(9), QString());
  v.Delete(9);
  v.Delete(0);
  EXPECT_EQ(v.Count(), 2);
  EXPECT_EQ(v.GetNameByIndex(0), QStringLiteral("Őstermelő"));
  EXPECT_EQ(v.IndexOf(QStringLiteral("átvevő")), 1);
  v.Clear();
  EXPECT_EQ(v.Count(), 0);
}

TEST_F(Script, CompiledLineForms) {
  QStringList c = compile({QStringLiteral("begin a := 1; b := 2 end")});
  EXPECT_EQ(c, QStringList({QStringLiteral("a 1"), QStringLiteral("b 2")}));
  c = compile({QStringLiteral("a := 1; b := 2")});
  EXPECT_EQ(c, QStringList({QStringLiteral("a 1")}));
  c = compile({QStringLiteral("if x then y := 1 else y := 2")});
  ASSERT_EQ(c.size(), 4);
  EXPECT_EQ(c[0], line(1, 3, QStringLiteral("x")));
  EXPECT_EQ(c[1], QStringLiteral("y 1"));
  EXPECT_EQ(c[2], line(2, 4));
  EXPECT_EQ(c[3], QStringLiteral("y 2"));
  c = compile({QStringLiteral("begin newpage; end")});
  EXPECT_EQ(c, QStringList({line(3, 0, QStringLiteral("newpage(0)"))}));
  c = compile({QStringLiteral("begin arr[i + 1] := 5; f(1, 'a') end")});
  EXPECT_EQ(c, QStringList({line(3, 0, QStringLiteral("SETARRAY(arr, i + 1, 5)")), line(3, 0, QStringLiteral("f(1, 'a')"))}));
  c = compile({QStringLiteral("while i < 3 do i := i + 1")});
  ASSERT_EQ(c.size(), 3);
  EXPECT_EQ(targetOf(c[0]), 3u);
  EXPECT_EQ(c[2], line(2, 0));
  // Comments and tabs.
  c = compile({QStringLiteral("begin // note"), QStringLiteral("\ta :=\t1 { old"), QStringLiteral("end")});
  EXPECT_EQ(c, QStringList({QStringLiteral("a 1")}));
}

TEST_F(Script, CompileErrorsInRussianWithLineAndColumn) {
  // The position is that of the last character before the offending word:
  // the error stands right after the last word that was read.
  compile({QStringLiteral("begin newpage end")});
  EXPECT_EQ(errors, QStringList({QStringLiteral("Строка 1/13: Здесь требуется \":=\"")}));
  // A GOTO label is read whole before it is found not to be a number.
  compile({QStringLiteral("goto x")});
  EXPECT_EQ(errors, QStringList({QStringLiteral("Строка 1/6: Метка в goto должна быть числом")}));
  compile({QStringLiteral("begin goto 1x; a := 1 end")});
  EXPECT_EQ(errors, QStringList({QStringLiteral("Строка 1/14: Метка в goto должна быть числом")}));
  compile({QStringLiteral("begin"), QStringLiteral("  if a > 1"), QStringLiteral("    b := 2")});
  EXPECT_EQ(errors, QStringList({QStringLiteral("Строка 2/10: Здесь требуется \"then\"")}));
  compile({QStringLiteral("begin a := 1 b := 2 end")});
  EXPECT_EQ(errors, QStringList({QStringLiteral("Строка 1/12: Здесь требуется \";\" или \"end\"")}));
  compile({QStringLiteral("repeat a := 1 b")});
  EXPECT_EQ(errors, QStringList({QStringLiteral("Строка 1/13: Здесь требуется \";\" или \"until\"")}));
  compile({QStringLiteral("while a b := 1")});
  EXPECT_EQ(errors, QStringList({QStringLiteral("Строка 1/7: Здесь требуется \"do\"")}));
  compile({QStringLiteral("a := (1 + 2")});
  EXPECT_EQ(errors, QStringList({QStringLiteral("Строка 1/11: Здесь требуется \")\"")}));
  compile({QStringLiteral("a := [x")});
  EXPECT_EQ(errors, QStringList({QStringLiteral("Строка 1/7: Здесь требуется \"]\"")}));
  compile({QStringLiteral("a := f(1 2)")});
  EXPECT_EQ(errors, QStringList({QStringLiteral("Строка 1/8: Здесь требуется \",\" или \")\"")}));
  // Tabs and runs of blanks are not counted; the walk over the source lines
  // stops at "{" but counts a "//" comment, which the clean-up dropped.
  compile({QStringLiteral("begin"), QStringLiteral("\ta :=\t1;  { note"), QStringLiteral("  b := 2 c")});
  EXPECT_EQ(errors, QStringList({QStringLiteral("Строка 3/8: Здесь требуется \";\" или \"end\"")}));
  compile({QStringLiteral("begin // a"), QStringLiteral("  b := 2 c")});
  EXPECT_EQ(errors, QStringList({QStringLiteral("Строка 2/3: Здесь требуется \";\" или \"end\"")}));
}

TEST_F(Script, EndWithAFullStopClosesTheBlock) {
  // "end." ends a script as "end" does; a name that merely begins with END
  // or an object named End stays a statement.
  EXPECT_EQ(compile({QStringLiteral("begin a := 1; b := 2 end.")}),
            QStringList({QStringLiteral("a 1"), QStringLiteral("b 2")}));
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
  EXPECT_EQ(compile({QStringLiteral("begin"), QStringLiteral("  begin a := 1 end.;"), QStringLiteral("  b := 2"),
                     QStringLiteral("END.")}),
            QStringList({QStringLiteral("a 1"), QStringLiteral("b 2")}));
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
  EXPECT_EQ(compile({QStringLiteral("begin End.Left := 5; endx := 1 end")}),
            QStringList({QStringLiteral("End.Left 5"), QStringLiteral("endx 1")}));
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(Script, RunsBlocksConditionsLoopsAndJumps) {
  run({QStringLiteral("begin"), QStringLiteral("  i := 0; s := 0;"), QStringLiteral("  while i < 5 do begin"),
       QStringLiteral("    i := i + 1;"), QStringLiteral("    if i mod 2 = 0 then s := s + i else s := s - 1"),
       QStringLiteral("  end;"), QStringLiteral("  repeat s := s * 2 until s > 20;"),
       QStringLiteral("  n := 0;"), QStringLiteral("  10: n := n + 1;"), QStringLiteral("  if n < 3 then goto 10;"),
       QStringLiteral("  t := 'a' + str(n)"), QStringLiteral("end")});
  EXPECT_EQ(var("i").toInt(), 5);
  EXPECT_EQ(var("s").toInt(), 24);  // 6 - 3 = 3, then 6, 12, 24
  EXPECT_EQ(var("n").toInt(), 3);
  EXPECT_EQ(var("T").toString(), QStringLiteral("a3"));
  // A label defined twice keeps its first line.
  run({QStringLiteral("begin k := 0; 1: k := k + 1; 1: if k < 4 then goto 1 end")});
  EXPECT_EQ(var("k").toInt(), 4);
}

TEST_F(Script, PartialCompilationsNeverLoopOrLeaveTheList) {
  // The IF's target is never patched: running what was compiled stops there.
  QStringList c = compile({QStringLiteral("begin a := 1; if 0 then begin b := 2 c end end")});
  ASSERT_EQ(errors.size(), 1);
  frInterpretator->DoScript(c);
  EXPECT_EQ(var("a").toInt(), 1);
  EXPECT_TRUE(var("b").isNull());
  // A GOTO to an undefined label ends the script.
  c = compile({QStringLiteral("begin a := 1; goto 99; a := 2 end")});
  EXPECT_TRUE(errors.isEmpty());
  frInterpretator->DoScript(c);
  EXPECT_EQ(var("a").toInt(), 1);
  // END counts only as a whole word.
  run({QStringLiteral("begin endsum := 5; after := endsum + 1 end")});
  EXPECT_EQ(var("after").toInt(), 6);
  // Large scripts and many labels have no fixed limits.
  QStringList big{QStringLiteral("begin x := 0;")};
  for (int i = 1; i <= 300; ++i) big << QStringLiteral("%1: x := x + 1;").arg(i);
  big << QStringLiteral("if x < 600 then goto 150") << QStringLiteral("end");
  run(big);
  EXPECT_EQ(var("x").toInt(), 602);  // 300, then 151 more from label 150 twice
  // A script that never ends is stopped.
  const long long saved = TfrInterpretator::MaxSteps;
  TfrInterpretator::MaxSteps = 10000;
  c = compile({QStringLiteral("while 1 do z := 1")});
  EXPECT_THROW(frInterpretator->DoScript(c), EScriptError);
  TfrInterpretator::MaxSteps = saved;
}

TEST_F(Script, FunctionCallsRunWhenTheLineRuns) {
  int pages = 0, columns = 0;
  ctx().NewPage = [&] { ++pages; };
  ctx().NewColumn = [&] { ++columns; };
  const QStringList c = compile({QStringLiteral("begin if [go] = 1 then newpage(0) else newcolumn(0); end")});
  ASSERT_TRUE(errors.isEmpty());
  EXPECT_EQ(pages + columns, 0);  // nothing ran while compiling
  frVariables->SetVariable(QStringLiteral("go"), Variant(1));
  frInterpretator->DoScript(c);
  frVariables->SetVariable(QStringLiteral("go"), Variant(0));
  frInterpretator->DoScript(c);
  frInterpretator->DoScript(c);
  EXPECT_EQ(pages, 1);
  EXPECT_EQ(columns, 2);
}

TEST_F(Script, ObjectPropertiesColoursAndVariables) {
  auto memo = std::make_unique<TfrMemoView>();
  memo->Name = QStringLiteral("Memo1");
  memo->Memo = {QStringLiteral("a"), QStringLiteral("b")};
  TfrMemoView *m = static_cast<TfrMemoView *>(page.Add(std::move(memo)));
  auto pic = std::make_unique<TfrPictureView>();
  pic->Name = QStringLiteral("Pict");
  TfrView *p = page.Add(std::move(pic));
  ctx().CurView = p;
  ctx().FreeSpace = [] { return 345; };

  run({QStringLiteral("begin"), QStringLiteral("  memo1.Left := 12; Memo1.FontSize := 14; Memo1.FontStyle := 3;"),
       QStringLiteral("  Memo1.FillColor := clRed; memo1.Visible := 0; Memo1.FrameWidth := 1.5;"),
       QStringLiteral("  Memo1.Text := 'x' + Memo1.Text;"), QStringLiteral("  Pict.FontSize := 30; Width := 77;"),
       QStringLiteral("  Nothing.Left := 1; free := FREESPACE; total := total + 1;"),
       QStringLiteral("  total := total + 1; h := Memo1.Height + Pict.Top; c := clTransparent"),
       QStringLiteral("end")});
  EXPECT_EQ(m->x, 12);
  EXPECT_EQ(m->Font.Size, 14);
  EXPECT_EQ(m->Font.Style, fsItalic | fsBold);
  EXPECT_EQ(m->FillColor, 255u);
  EXPECT_FALSE(m->Visible);
  EXPECT_EQ(m->FrameWidth, 1.5);
  EXPECT_EQ(m->Memo, QStringList({QStringLiteral("xa"), QStringLiteral("b")}));
  EXPECT_EQ(p->dx, 77);
  EXPECT_EQ(var("free").toString(), QStringLiteral("345"));
  EXPECT_EQ(var("total").toInt(), 2);  // a report variable, created from Null + 1... then 2
  EXPECT_EQ(var("h").toInt(), 0);
  EXPECT_EQ(var("c").toInt(), 0x1FFFFFFF);
  EXPECT_EQ(frVariables->IndexOf(QStringLiteral("Nothing.Left")), -1);
  Variant v;
  frInterpretator->GetValue(QStringLiteral("clRed"), v);
  EXPECT_EQ(v.toInt(), 255);
  frInterpretator->GetValue(QStringLiteral("MEMO1.FONTNAME"), v);
  EXPECT_EQ(v.toString(), QStringLiteral("Arial"));
}
