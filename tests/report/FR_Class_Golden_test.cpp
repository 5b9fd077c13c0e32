// Golden layouts: small layouts built in code must save to the bytes kept
// under data/<case>/layout.frf, and those files must load and save back to
// themselves. VORIK_UPDATE_GOLDEN=1 rewrites the files after a deliberate
// format change.
#include "report/core/FR_Class_Report.h"

#include "support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <functional>

#include <gtest/gtest.h>

using namespace report;

namespace {

TfrMemoView *memo(TfrPage *p, int x, int y, int dx, int dy, const QString &name, const QStringList &text) {
  auto m = std::make_unique<TfrMemoView>();
  m->x = x, m->y = y, m->dx = dx, m->dy = dy;
  m->Name = name;
  m->Memo = text;
  return static_cast<TfrMemoView *>(p->Add(std::move(m)));
}

TfrBandView *band(TfrPage *p, int type, int y, int dy, const QString &name, const QString &data = QString()) {
  auto b = std::make_unique<TfrBandView>();
  b->x = 0, b->y = y, b->dx = 718, b->dy = dy;
  b->Name = name;
  b->SetBandType(type);
  b->FormatStr = data;
  return static_cast<TfrBandView *>(p->Add(std::move(b)));
}

// A ticket-like list: title, master data over a dataset, summary.
void ticketList(TfrReport &r) {
  r.PrintToDefault = true;
  TfrPage *p = r.Pages.Add();
  band(p, btReportTitle, 20, 40, QStringLiteral("ReportTitle1"));
  memo(p, 20, 24, 400, 22, QStringLiteral("Memo1"), {QStringLiteral("Felvásárlási jegyek listája")})->Font.Size = 14;
  band(p, btMasterData, 80, 20, QStringLiteral("MasterData1"), QStringLiteral("frDBDataSet1"));
  TfrMemoView *qty = memo(p, 20, 82, 120, 16, QStringLiteral("Memo2"), {QStringLiteral("[QZFEJ.\"F_BSZAM\"]")});
  qty->FrameTyp = frbLeft | frbRight | frbTop | frbBottom;
  TfrMemoView *amt = memo(p, 140, 82, 120, 16, QStringLiteral("Memo3"), {QStringLiteral("[F_MUVKTG]")});
  amt->Format = 0x0103022C;
  amt->Adjust = 1;
  band(p, btReportSummary, 120, 20, QStringLiteral("ReportSummary1"));
  memo(p, 140, 122, 120, 16, QStringLiteral("Memo4"), {QStringLiteral("[SUM([F_MUVKTG])]")})->Font.Style = fsBold;
  r.Variables = {QStringLiteral("Lista"), QStringLiteral(" Datumtol"), QStringLiteral(" Datumig")};
}

// Two pages, columns, a subreport, a line, a picture and a script.
void contract(TfrReport &r) {
  TfrPage *p = r.Pages.Add();
  p->pgMargins = {37, 37, 37, 37};
  TfrPage *sub = r.Pages.Add();
  sub->ColCount = 2;
  sub->ColGap = 10;
  band(p, btPageHeader, 0, 60, QStringLiteral("PageHeader1"));
  auto pic = std::make_unique<TfrPictureView>();
  pic->Name = QStringLiteral("Picture1");
  pic->dx = 16, pic->dy = 16;
  QImage img(2, 2, QImage::Format_RGB32);
  img.fill(Qt::black);
  pic->Picture.setImage(img);
  p->Add(std::move(pic));
  auto s = std::make_unique<TfrSubReportView>();
  s->Name = QStringLiteral("SubReport1");
  s->y = 100, s->dx = 300, s->dy = 40;
  s->SubPage = 1;
  p->Add(std::move(s));
  auto l = std::make_unique<TfrLineView>();
  l->Name = QStringLiteral("Line1");
  l->y = 150, l->dx = 700;
  l->FrameTyp = frbTop;
  l->FrameWidth = 0.5;
  p->Add(std::move(l));
  TfrBandView *d = band(sub, btMasterData, 10, 18, QStringLiteral("MasterData1"), QStringLiteral("frUserDataset1"));
  d->Script = {QStringLiteral("begin"), QStringLiteral("  if [Sor] > 10 then newpage;"), QStringLiteral("end")};
  memo(sub, 0, 10, 200, 18, QStringLiteral("Memo1"), {QStringLiteral("[Sor]. [Nev]")})->HighlightStr =
      QStringLiteral("[Sor] mod 2 = 0");
}

const std::vector<std::pair<const char *, std::function<void(TfrReport &)>>> cases = {
    {"ticket_list", ticketList},
    {"contract", contract},
};

}  // namespace

TEST(GoldenLayouts, BuiltLayoutsMatchTheirFilesAndTheFilesRoundTrip) {
  const bool update = !qEnvironmentVariableIsEmpty("VORIK_UPDATE_GOLDEN");
  for (const auto &[name, build] : cases) {
    const QString file = vorik::test::sourcePath(QStringLiteral("tests/report/data/%1/layout.frf").arg(QLatin1String(name)));
    TfrReport r;
    build(r);
    const QByteArray bytes = r.SaveToBytes();
    if (update) {
      QDir().mkpath(QFileInfo(file).path());
      QFile f(file);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write(bytes);
    }
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
    const QByteArray golden = f.readAll();
    EXPECT_EQ(bytes, golden) << name;
    TfrReport back;
    back.LoadFromFile(file);
    EXPECT_EQ(back.SaveToBytes(), golden) << name;
  }
}
