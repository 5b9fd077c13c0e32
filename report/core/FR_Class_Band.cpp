// Page filling: run-time bands and objects, the data loops over up to three
// master/detail levels with groups, page and column breaks, stretching,
// subreports, and the collection of build errors. Cross-tabs are in
// FR_Class_Cross.cpp, bands split over pages in FR_Class_Split.cpp.
#include "report/core/FR_Class_Band.h"

#include "platform/error_text.h"
#include "report/core/FR_Class_Fill.h"
#include "report/core/FR_Class_Report.h"
#include "report/data/FR_DBSet.h"
#include "report/data/FR_DSet.h"
#include "report/expr/FR_Intrp.h"
#include "report/expr/FR_Pars.h"
#include "report/expr/FR_Values.h"
#include "report/logging.h"
#include "report/output/FR_Class_EMFPages.h"
#include "report/output/FR_TextLayout.h"
#include "report/ui/FR_Const.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace report {

TfrBuildState frBuild;

using namespace fill;

namespace {

// A condition of an object that cannot be evaluated; the lines name both.
struct EConditionError : std::runtime_error {
  explicit EConditionError(QStringList l) : std::runtime_error("condition"), lines(std::move(l)) {}
  QStringList lines;
};

// Header, data and footer types of the three data levels.
constexpr TfrBandType kLevels[3][3] = {{btMasterHeader, btMasterData, btMasterFooter},
                                       {btDetailHeader, btDetailData, btDetailFooter},
                                       {btSubDetailHeader, btSubDetailData, btSubDetailFooter}};
// Footer kinds that collect the records of every data band drawn.
constexpr TfrBandType kCollecting[] = {btPageFooter, btMasterFooter, btDetailFooter, btSubDetailFooter,
                                       btGroupFooter, btReportSummary};

// Bands printed where their design puts them, not at the current position.
bool isFixed(TfrBandType t) { return t == btPageFooter || t == btOverlay || t == btNone; }

// Footers that close the rows above them.
bool isFooterBand(TfrBandType t) {
  return t == btMasterFooter || t == btDetailFooter || t == btSubDetailFooter || t == btGroupFooter;
}

QString errorLines(const QStringList &lines) { return lines.join(QLatin1Char('\r')); }

// Keeps the names the evaluator reads in step with the build.
void syncBuiltIns(TfrBand *b) {
  TfrNameResolver *res = frBuild.OuterReport ? &frBuild.OuterReport->Resolver : nullptr;
  if (frCurrentReport && &frCurrentReport->Resolver != res) res = &frCurrentReport->Resolver;
  if (!res) return;
  res->BuiltIns.PageNo = frBuild.PageNo;
  res->BuiltIns.TotalPages = frBuild.TotalPages;
  if (b) {
    // A chained band without a source of its own counts with the first of its chain.
    const TfrBand *c = b;
    if (b->IsDataBand() && !b->DataSet) {
      TfrBand *first = b->Parent->Bands[b->Typ];
      if (first) c = first;
    }
    res->BuiltIns.LineNo = c->Positions[0];
    res->BuiltIns.LineThrough = c->Positions[1];
    res->BuiltIns.ColumnNo = b->Parent->ColumnNo;
    res->BuiltIns.CurrentNo = b->Parent->CurrentNo;
  }
}

}  // namespace

// One of the aggregates' names as a word of its own followed by an opening
// parenthesis. "Mindösszesen" holds the letters of MIN but calls nothing.
bool frCallsAggregate(const QStringList &text) {
  static const QLatin1String names[] = {QLatin1String("SUM"), QLatin1String("AVG"), QLatin1String("COUNT"),
                                        QLatin1String("MIN"), QLatin1String("MAX")};
  auto partOfName = [](QChar c) { return c.isLetterOrNumber() || c == u'_'; };
  for (const QString &l : text)
    for (const QLatin1String &n : names)
      for (qsizetype at = l.indexOf(n, 0, Qt::CaseInsensitive); at >= 0;
           at = l.indexOf(n, at + 1, Qt::CaseInsensitive)) {
        if (at > 0 && partOfName(l[at - 1])) continue;
        qsizetype end = at + n.size();
        while (end < l.size() && l[end].isSpace()) ++end;
        if (end < l.size() && l[end] == u'(') return true;
      }
  return false;
}

QString frBuildErrorText(const QStringList &lines, const QString &reportName, int bandType) {
  QString t = QStringLiteral("An error occured during calculating");
  if (!lines.isEmpty()) t += QLatin1Char('\r') + errorLines(lines);
  t += QStringLiteral("\rReport: ") + reportName;
  t += QStringLiteral("\rBand: ") + frBandName(bandType);
  return t;
}

// ---------------------------------------------------------------- shared by page filling

TfrEMFPages &fill::emf() { return *frBuild.OuterReport->EMFPages; }

bool fill::isPageBand(TfrBandType t) {
  return t == btPageHeader || t == btPageFooter || t == btOverlay || t == btColumnHeader ||
         t == btColumnFooter || t == btNone;
}

bool fill::isCrossBand(int t) { return t >= btCrossHeader && t <= btCrossFooter; }

bool fill::isStretching(const TfrView *v) {
  return (v->Flags & flStretched) && (dynamic_cast<const TfrMemoView *>(v) != nullptr);
}

QStringList fill::compiledScript(const QStringList &source) {
  if (source.isEmpty()) return {};
  QStringList compiled, errors;
  frInterpretator->PrepareScript(source, compiled, errors);
  return compiled;
}

bool fill::terminated(const TfrReport *r) {
  return r->Terminated || (frBuild.OuterReport && frBuild.OuterReport->Terminated);
}

void fill::setBuildError(TfrReport *report, const QString &text) {
  if (!frBuild.ErrorFlag) {
    frBuild.ErrorFlag = true;
    frBuild.ErrorText = text;
  }
  report->Terminated = true;
  if (frBuild.OuterReport) frBuild.OuterReport->Terminated = true;
}

void fill::buildError(TfrReport *report, const QStringList &lines, TfrBandType band) {
  setBuildError(report, frBuildErrorText(lines, report->Name, band));
}

void fill::buildError(TfrReport *report, const std::exception &e, TfrBandType band) {
  buildError(report, QStringList{platform::exceptionText(e)}, band);
}

void fill::objectError(TfrReport *report, const TfrBand *band, const TfrView *v, const std::exception &e) {
  // The report by its name, else its file (the designer's report has no name).
  QString name = report->Name;
  if (name.isEmpty())
    name = report->FileName.isEmpty() ? frLoadStr(55209) : QFileInfo(report->FileName).fileName();
  const QString bandName = band->Name().isEmpty() ? QString() : QStringLiteral(" (") + band->Name() + u')';
  setBuildError(report, frBuildErrorText(sourceLines(v), name, band->Typ) + bandName +
                            QStringLiteral("\rObject: ") + v->Name + u'\r' + platform::exceptionText(e));
}

QStringList fill::sourceLines(const TfrView *v) { return v->Typ == gtMemo ? v->Memo : v->Script; }

void fill::notFitError(TfrReport *report, TfrBandType band, Misfit what) {
  buildError(report,
             QStringList{what == Misfit::CrossTab ? QStringLiteral("The cross-tab does not fit on the page")
                                                  : QStringLiteral("The band does not fit on the page")},
             band);
}

void fill::setActiveDataSet(TfrBand *b) {
  if (!frCurrentReport) return;
  db::DataSet *ds = nullptr;
  if (b) {
    int dataType = -1;
    switch (b->Typ) {
      case btReportSummary: case btMasterData: case btMasterFooter: case btGroupHeader: case btGroupFooter:
        dataType = btMasterData; break;
      case btDetailData: case btDetailFooter: dataType = btDetailData; break;
      case btSubDetailData: case btSubDetailFooter: dataType = btSubDetailData; break;
      case btCrossData: case btCrossFooter: dataType = btCrossData; break;
      default: break;
    }
    if (dataType >= 0) {
      TfrBand *data = b->Parent->Bands[dataType];
      if (b->IsDataBand() && b->DataSet) data = b;
      if (data && data->DataSet)
        if (auto *dbs = qobject_cast<TfrDBDataSet *>(data->DataSet)) {
          try {
            ds = dbs->GetDataSet();
          } catch (const Exception &) {
            platform::logCaught(lcReport(), QStringLiteral("the band's data set"));
            ds = nullptr;
          }
        }
    }
  }
  frCurrentReport->Resolver.ActiveDataSet = ds;
}

// ---------------------------------------------------------------- text expansion

namespace {

// A text line cut at its bracketed names, each name split from its format:
// a list prints the same few lines on every record, and cutting them is
// what would otherwise be done again for each.
struct TfrCutLine {
  struct Piece {
    QString before;  // the text in front of the name
    QString expr;
    quint32 format = 0;
    QString formatStr;
  };
  quint32 format = 0;  // what the object gave when the line was cut
  QString formatStr;
  std::vector<Piece> pieces;
  QString tail;  // after the last name
};

// Shared, as a name evaluated may expand texts of its own meanwhile.
std::shared_ptr<const TfrCutLine> cutLine(const QString &line, quint32 format, const QString &formatStr) {
  thread_local QHash<QString, std::shared_ptr<const TfrCutLine>> cache;
  auto it = cache.constFind(line);
  if (it != cache.constEnd() && (*it)->format == format && (*it)->formatStr == formatStr) return *it;
  if (it == cache.constEnd() && cache.size() >= 256) cache.clear();  // texts made by scripts do not pile up
  auto made = std::make_shared<TfrCutLine>();
  TfrCutLine &c = *made;
  c.format = format;
  c.formatStr = formatStr;
  int pos = 0;
  for (;;) {
    int open = -1, close = -1;
    const QString inner = TfrParser::ScanBracketName(line, pos, open, close);
    if (open < 0) {
      c.tail = line.mid(pos);
      break;
    }
    TfrCutLine::Piece piece;
    piece.before = line.mid(pos, open - pos);
    piece.format = format;
    piece.formatStr = formatStr;
    piece.expr = frSplitFormat(inner, piece.format, piece.formatStr);
    c.pieces.push_back(std::move(piece));
    pos = close + 1;
    if (pos >= line.size()) break;
  }
  cache.insert(line, made);
  return made;
}

}  // namespace

QStringList frExpandText(const QStringList &source, quint32 format, const QString &formatStr) {
  TfrNameResolver &res = frCurrentReport->Resolver;
  QStringList out;
  out.reserve(source.size());
  for (const QString &line : source) {
    if (!line.contains(QLatin1Char('['))) {
      out.append(line);
      continue;
    }
    // Names are evaluated in turn, as they stand: one may change what a later one reads.
    const std::shared_ptr<const TfrCutLine> cut = cutLine(line, format, formatStr);
    QString s;
    for (const TfrCutLine::Piece &piece : cut->pieces) {
      s += piece.before;
      res.ResolveValue(piece.expr, res.CurValue);
      s += frFormatValue(res.CurValue, piece.format, piece.formatStr);
    }
    s += cut->tail;
    if (s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r'))) {
      s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
      s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
      // A line break at the end (as a text object's Text ends) closes the
      // last line and opens no empty one.
      if (s.endsWith(QLatin1Char('\n'))) s.chop(1);
      out.append(s.split(QLatin1Char('\n')));
    } else {
      out.append(s);
    }
  }
  return out;
}

// ---------------------------------------------------------------- TfrBand

QString TfrBand::Name() const { return View ? View->Name : QString(); }

bool TfrBand::IsFooterKind() const {
  switch (Typ) {
    case btReportSummary: case btPageFooter: case btMasterFooter: case btDetailFooter:
    case btSubDetailFooter: case btGroupFooter: case btCrossFooter:
      return true;
    default:
      return false;
  }
}

int TfrBand::CalcHeight() {
  int h = dy;
  if (!Stretched) return h;
  for (TfrView *v : Objects) {
    if (!isStretching(v) || !v->Visible || Parent->CrossBandOf(v)) continue;
    auto *m = static_cast<TfrMemoView *>(v);
    h = std::max(h, frClampPixel(static_cast<long long>(v->y) + m->MeasureHeight()));
  }
  // Cross cells are measured column by column.
  CellsHeight = Parent->hasCells(this) ? Parent->crossPass(this, 0, true) : 0;
  h = std::max(h, CellsHeight);
  return h;
}

bool TfrBand::Draw() {
  TfrPageRun *P = Parent;
  TfrReport *R = P->Report;
  if (terminated(R)) return true;
  if (P->InRecordMode()) {
    P->List.push_back({TfrSubAction::Band, this, nullptr, Positions[0], Positions[1], P->CurrentNo});
    return true;
  }
  TfrBand *savedBand = frBuild.CurBand;
  frBuild.CurBand = this;
  setActiveDataSet(this);
  syncBuiltIns(this);
  if (R->OnBeginBand) R->OnBeginBand(this);
  if (!Script.isEmpty()) {
    frInterpretator->Context.CurView = View;
    try {
      frInterpretator->DoScript(Script);
    } catch (const std::exception &) {
      buildError(R, View ? View->Script : QStringList(), Typ);
      frBuild.CurBand = savedBand;
      return true;
    }
    // NEWPAGE: the last column, then a new column (a new page); NEWCOLUMN: a new column.
    const bool startPage = NewPageRequest && !P->inPageStart_ && !P->Outer;
    const bool startColumn = NewColumnRequest && !P->inPageStart_ && !P->Outer;
    NewPageRequest = NewColumnRequest = false;
    if (startPage) {
      P->CurColumn = P->ColCount - 1;
      P->NewColumn(this);
    } else if (startColumn) {
      P->NewColumn(this);
    }
    frBuild.CurBand = this;
    setActiveDataSet(this);
    syncBuiltIns(this);
  }
  bool fitted = true;
  if (Visible) {
    if (Typ == btColumnHeader) P->LastStaticColumnY = P->CurY;
    if (Typ == btPageFooter) y = P->CurBottomY;
    if (Present()) {
      const bool fixed = isFixed(Typ);
      maxdy = dy;
      if (!fixed) {
        if (Stretched) {
          for (TfrView *v : Objects)
            if (!P->CrossBandOf(v)) P->printObject(this, v, -1);  // texts for measuring
          if (terminated(R)) {
            frBuild.CurBand = savedBand;
            return true;
          }
        }
        maxdy = CalcHeight();
        if (!P->doesFit(this, maxdy) && !Breaked) {
          if (P->Outer && !P->ForceDraw) {
            fitted = false;
          } else if (!P->Outer && !P->inPageStart_ && !isPageBand(Typ) && P->PageBandsDrawn > 0) {
            if (!P->moveLastRow(this)) P->NewColumn(this);
            frBuild.CurBand = this;
            setActiveDataSet(this);
            syncBuiltIns(this);
          }
        }
      }
      if (fitted) {
        P->drawObjects(this, maxdy);
        // Force new page after the band; never for the bands a new page prints
        // itself, so no band can start pages without end.
        if (!IsDataBand() && Typ != btGroupHeader && !isPageBand(Typ) && ForceNewPage && !P->Outer &&
            !P->inPageStart_ && !P->InRecordMode())
          P->NewPage();
      }
    }
  } else if (IsDataBand()) {
    // An invisible data band still offers its record to the aggregates,
    // which leave it out unless told to count invisible records.
    P->collectAggregates(this);
  }
  // A page footer keeps its totals until it printed on the last page made
  // (one not printed on the first page carries that page into the next).
  if (fitted && !Repeating && (Typ != btPageFooter || frBuild.PageNo == emf().Count() - 1)) ResetAggregates();
  if (R->OnEndBand) R->OnEndBand(this);
  frBuild.CurBand = savedBand;
  // Data bands chained after this one without a source of their own print with it.
  if (fitted && IsDataBand() && DataSet)
    for (TfrBand *n = Next; n && !n->DataSet && !terminated(R); n = n->Next) P->ShowBand(n);
  return fitted;
}

// ---------------------------------------------------------------- TfrPageRun

TfrPageRun::TfrPageRun(TfrReport *report, TfrPage *page, int pageIndex)
    : Report(report), Page(page), PageIndex(pageIndex) {}

TfrPageRun::~TfrPageRun() { DoneReport(); }

void TfrPageRun::computeGeometry() {
  const TfrPageGeometry g = frPaperGeometry(Page->pgSize, Page->pgWidth, Page->pgHeight, Page->pgOr);
  const TfrMargins &m = Page->pgMargins;
  if (Page->UseMargins) {
    Top = m.Top ? m.Top : g.offsetY;
    Left = m.Left ? m.Left : g.offsetX;
    Bottom = m.Bottom ? g.pageHeight - m.Bottom : g.offsetY + g.printPixHeight;
    Right = m.Right ? g.pageWidth - m.Right : g.offsetX + g.printPixWidth;
  } else {
    Top = Left = 0;
    Bottom = g.pageHeight;
    Right = g.pageWidth;
  }
  if (Bands[btPageFooter] && Bands[btPageFooter]->Present()) Bottom -= Bands[btPageFooter]->dy;
  ColCount = std::max(1, static_cast<int>(Page->ColCount));
  ColGap = std::max(0, static_cast<int>(Page->ColGap));
  ColWidth = std::max(1, (Right - Left - (ColCount - 1) * ColGap) / ColCount);
}

void TfrPageRun::CloneObjects(std::vector<std::unique_ptr<TfrPageRun>> &runs) {
  RTObjects.clear();
  QStringList errors;
  for (const auto &d : Page->Objects) {
    std::unique_ptr<TfrView> v = d->Clone();
    if (!v) continue;
    v->IsPrinting = true;
    v->Parent = nullptr;
    // Band objects keep their source: the run-time band holds the compiled
    // script, and a failing script is reported with the lines as written.
    if (!v->Script.isEmpty() && v->Typ != gtBand) {
      QStringList compiled;
      frInterpretator->PrepareScript(v->Script, compiled, errors);
      v->Script = compiled;
    }
    if (v->Typ == gtSubReport) {
      const int sub = static_cast<TfrSubReportView *>(v.get())->SubPage;
      if (sub >= 0 && sub < static_cast<int>(runs.size()) && sub != PageIndex) runs[sub]->Skip = true;
    }
    if (v->Flags & flWantHook && v->Typ != gtBand) frBuild.HookList.push_back(v.get());
    RTObjects.push_back(std::move(v));
  }
}

void TfrPageRun::InitReport() {
  OwnedBands.clear();
  for (int t = 0; t < frBandTypeCount; ++t) {
    OwnedBands.push_back(std::make_unique<TfrBand>(this, static_cast<TfrBandType>(t)));
    Bands[t] = OwnedBands.back().get();
  }
  // Objects by the order in which bands take them: plain, within cross bands, subreports.
  std::vector<TfrView *> plain, cross, subs, bandViews;
  std::vector<TfrView *> crossBands;
  for (const auto &v : RTObjects)
    if (v->Typ == gtBand) {
      if (isCrossBand(static_cast<TfrBandView *>(v.get())->BandType())) crossBands.push_back(v.get());
      else bandViews.push_back(v.get());
    }
  setUpCrossBands(std::move(crossBands));
  for (const auto &v : RTObjects) {
    if (v->Typ == gtBand) continue;
    if (v->Typ == gtSubReport) {
      subs.push_back(v.get());
      continue;
    }
    TfrBand *in = crossBandAround(v.get());
    if (in) {
      crossOf_.insert(v.get(), in);
      in->Objects.push_back(v.get());
    }
    (in ? cross : plain).push_back(v.get());
  }
  auto takeInto = [&](TfrBand *b) {
    for (std::vector<TfrView *> *group : {&plain, &cross, &subs})
      for (TfrView *&v : *group) {
        if (!v || v->y < b->y || v->y > static_cast<long long>(b->y) + b->dy) continue;
        v->y -= b->y;
        v->Parent = b;
        b->Objects.push_back(v);
        if (v->Typ == gtSubReport) b->HasSubReports = true;
        v = nullptr;
      }
  };
  std::stable_sort(bandViews.begin(), bandViews.end(), [](TfrView *a, TfrView *b) { return a->y < b->y; });
  for (int i = 0; i <= btGroupFooter; ++i) {
    const auto t = static_cast<TfrBandType>(i);
    TfrBand *last = nullptr;
    for (TfrView *bv : bandViews) {
      if (static_cast<TfrBandView *>(bv)->BandType() != t) continue;
      TfrBand *b = Bands[t];
      if (last) {
        OwnedBands.push_back(std::make_unique<TfrBand>(this, t));
        b = OwnedBands.back().get();
        last->Next = b;
      }
      last = b;
      b->View = bv;
      bv->Parent = b;
      b->y = bv->y;
      b->dy = bv->dy;
      b->Visible = bv->Visible;
      b->Stretched = bv->Flags & flStretched;
      b->ForceNewPage = bv->Flags & flBandNewPageAfter;
      b->PrintIfSubsetEmpty = bv->Flags & flBandPrintIfSubsetEmpty;
      b->Breaked = bv->Flags & flBandBreaked;
      b->OnFirstPage = bv->Flags & flBandOnFirstPage;
      b->OnLastPage = bv->Flags & flBandOnLastPage;
      b->RepeatHeader = bv->Flags & flBandRepeatHeader;
      b->Script = compiledScript(bv->Script);
      if (Skip) b->ForceNewPage = b->Breaked = false;
      if (t == btGroupHeader) {
        b->GroupCondition = bv->FormatStr;
      } else if (b->IsDataBand()) {
        bool owned = false;
        b->DataSet = frFindDataSource(bv->FormatStr, owned);
        b->IsVirtualDS = owned;
        if (!b->DataSet && t == btMasterData && Report->ReportType == TfrReport::rtSimple && Report->Dataset) {
          b->DataSet = Report->Dataset;
          b->DataSet->Init();
        }
      }
      takeInto(b);
    }
  }
  for (auto &b : OwnedBands)
    if (b->IsDataBand()) b->Positions[1] = 1;
  // Leftovers lie on no band: the None band at the top of the page.
  for (std::vector<TfrView *> *group : {&plain, &cross, &subs})
    for (TfrView *v : *group)
      if (v) {
        v->Parent = Bands[btNone];
        Bands[btNone]->Objects.push_back(v);
        if (v->Typ == gtSubReport) Bands[btNone]->HasSubReports = true;
      }
  // Data bands find their header above and their footer below.
  for (const auto &lv : kLevels)
    for (TfrBand *d = Bands[lv[1]]; d; d = d->Next) {
      for (TfrBand *h = Bands[lv[0]]; h; h = h->Next)
        if (h->View && h->y <= d->y && (!d->HeaderBand || h->y > d->HeaderBand->y)) d->HeaderBand = h;
      for (TfrBand *f = Bands[lv[2]]; f; f = f->Next)
        if (f->View && f->y >= d->y && (!d->FooterBand || f->y < d->FooterBand->y)) d->FooterBand = f;
    }
  {
    // Both chains run by their tops: the n-th group header closes with the
    // n-th group footer (stored layouts are drawn to that rule).
    TfrBand *f = Bands[btGroupFooter];
    for (TfrBand *g = Bands[btGroupHeader]; g; g = g->Next) {
      g->LastBand = f && f->View ? f : nullptr;
      if (f) f = f->Next;
    }
  }
  // Value-list entries may hide an aggregate behind a plain name.
  collectAll_ = Report->Values.Count() > 0;
  // Cross cells collect column by column.
  for (auto &b : OwnedBands)
    if (!isCrossBand(b->Typ))
      for (TfrView *v : b->Objects)
        if (frCallsAggregate(v->Memo) || (collectAll_ && crossOf_.contains(v)))
          (crossOf_.contains(v) ? b->AggregateCells : b->AggregateObjects).push_back(v);
  CurrentNo = 1;
  ColumnNo = 1;
  computeGeometry();
}

void TfrPageRun::PrepareObjects() {}

void TfrPageRun::DoneReport() {
  for (auto &b : OwnedBands) {
    if (b->IsVirtualDS) {
      delete b->DataSet;
      b->IsVirtualDS = false;
    }
    b->DataSet = nullptr;
  }
  if (frBuild.CurBand && frBuild.CurBand->Parent == this) frBuild.CurBand = nullptr;
  if (frBuild.CurPage == this) frBuild.CurPage = nullptr;
  OwnedBands.clear();
  Bands.fill(nullptr);
  RTObjects.clear();
}

void TfrPageRun::ExitSources() {
  for (auto &b : OwnedBands)
    if (b->DataSet) b->DataSet->Exit();
}

TfrBand *TfrPageRun::BandOf(const TfrView *bandView) const {
  for (const auto &b : OwnedBands)
    if (b->View == bandView) return b.get();
  return nullptr;
}

TfrView *TfrPageRun::FindRTObject(const QString &name) const {
  for (const auto &v : RTObjects)
    if (v->Name.compare(name, Qt::CaseInsensitive) == 0) return v.get();
  return nullptr;
}

bool TfrPageRun::doesFit(TfrBand *b, int height) const {
  const TfrBand *cf = Bands[btColumnFooter];
  const int cfh = (cf && cf->Present() && b != cf) ? cf->dy : 0;
  return CurY + height + cfh <= CurBottomY;
}

void TfrPageRun::addPage() {
  emf().Add(*Page);
  frBuild.PageNo = emf().Count() - 1;
  PageBandsDrawn = 0;
  CurrentNo = 1;
  ColumnNo = 1;
  if (Report->OnBeginPage) Report->OnBeginPage(frBuild.PageNo);
  TfrReport *outer = frBuild.OuterReport;
  if (outer && outer != Report && outer->OnBeginPage) outer->OnBeginPage(frBuild.PageNo);
}

void TfrPageRun::ShowBand(TfrBand *b) {
  if (b && b->Present()) b->Draw();
}

void TfrPageRun::showChain(TfrBandType typ) {
  for (TfrBand *b = Bands[typ]; b && !terminated(Report); b = b->Next) ShowBand(b);
}

void TfrPageRun::FormPage() {
  frBuild.CurPage = this;
  Mode = pmNormal;
  Outer = nullptr;
  computeGeometry();
  if (frBuild.Append && frBuild.SavedCurY >= frBuild.SavedBottomY) {
    frBuild.Append = false;
    frBuild.PageNo = emf().Count();
  }
  CurBottomY = frBuild.Append ? std::min(Bottom, frBuild.SavedBottomY) : Bottom;
  CurColumn = 0;
  CurX = Left;
  XAdjust = 0;
  if (frBuild.Append && emf().Count() > 0) {
    CurY = frBuild.SavedCurY;
    frBuild.PageNo = emf().Count() - 1;
  } else {
    addPage();
    CurY = Top;
    inPageStart_ = true;
    showChain(btOverlay);
    ShowBand(Bands[btNone]);
    inPageStart_ = false;
  }
  const int pagesBefore = emf().Count();
  showChain(btReportTitle);
  if (emf().Count() == pagesBefore) {
    inPageStart_ = true;
    TfrBand *ph = Bands[btPageHeader];
    if (ph && ph->Present() && ph->OnFirstPage) showChain(btPageHeader);
    ShowBand(Bands[btColumnHeader]);
    inPageStart_ = false;
  }
  if (!Bands[btColumnHeader]->Present()) LastStaticColumnY = CurY;
  maxLevel_ = 0;
  for (int l = 0; l < 3; ++l)
    for (TfrBand *d = Bands[kLevels[l][1]]; d; d = d->Next)
      if (d->Present()) maxLevel_ = l + 1;
  groups_ = Bands[btGroupHeader] && Bands[btGroupHeader]->Present();
  if (maxLevel_ > 0) doLoop(1);
  if (!terminated(Report)) {
    ShowBand(Bands[btColumnFooter]);
    showChain(btReportSummary);
  }
  frBuild.SavedCurY = ColCount > 1 ? CurBottomY : CurY;
  frBuild.SavedBottomY = CurBottomY;
  CurColumn = 0;
  CurX = Left;
  XAdjust = 0;
  TfrBand *pf = Bands[btPageFooter];
  if (pf && pf->Present() && pf->OnLastPage && !terminated(Report)) PrintPageFooters();
  frBuild.PageNo = emf().Count();
}

void TfrPageRun::PrintPageFooters() {
  CurColumn = 0;
  CurX = Left;
  XAdjust = 0;
  TfrBand *pf = Bands[btPageFooter];
  const int count = emf().Count();
  if (count == 1 && frBuild.PageNo == 0 && pf && pf->Present() && !pf->OnFirstPage) {
    frBuild.PageNo = count;
    return;
  }
  const int savedY = CurY;
  const bool savedStart = inPageStart_;
  inPageStart_ = true;
  for (int p = std::max(0, frBuild.PageNo); p < count; ++p) {
    frBuild.PageNo = p;
    if (Report->OnEndPage) Report->OnEndPage(p);
    if (frBuild.OuterReport && frBuild.OuterReport != Report && frBuild.OuterReport->OnEndPage)
      frBuild.OuterReport->OnEndPage(p);
    for (TfrBand *b = pf; b; b = b->Next) ShowBand(b);
  }
  CurY = savedY;
  inPageStart_ = savedStart;
  frBuild.PageNo = count;
}

void TfrPageRun::NewPage() {
  if (InRecordMode() || Outer) return;
  Report->NotifyProgress(frBuild.PageNo + 1);
  inPageStart_ = true;
  ShowBand(Bands[btColumnFooter]);
  PrintPageFooters();
  CurBottomY = Bottom;
  addPage();
  frBuild.Append = false;
  showChain(btOverlay);
  CurY = Top;
  showChain(btPageHeader);
  ShowBand(Bands[btColumnHeader]);
  // Without a column header the columns start below the page header.
  if (!Bands[btColumnHeader]->Present()) LastStaticColumnY = CurY;
  inPageStart_ = false;
  PageBandsDrawn = 0;
}

void TfrPageRun::NewColumn(TfrBand *b) {
  if (InRecordMode() || Outer) return;
  if (CurColumn < ColCount - 1) {
    inPageStart_ = true;
    ShowBand(Bands[btColumnFooter]);
    ++CurColumn;
    ++ColumnNo;
    CurX += ColWidth + ColGap;
    XAdjust = CurX - Left;
    CurY = LastStaticColumnY;
    ShowBand(Bands[btColumnHeader]);
    inPageStart_ = false;
    PageBandsDrawn = 0;
  } else {
    NewPage();
  }
  // Headers with "repeat" are printed again above the band that moved.
  if (!inLoop_ || !b) return;
  inPageStart_ = true;
  if (groups_)
    for (TfrBand *g = Bands[btGroupHeader]; g && g != b; g = g->Next)
      if (g->RepeatHeader && g->Present()) {
        g->Repeating = true;
        g->Draw();
        g->Repeating = false;
      }
  TfrBand *data = b->IsDataBand() ? b : nullptr;
  // A data band's footer that moved takes the band's titles along, so that
  // totals alone on a page still stand under them; so does a group footer,
  // with the titles of the data band the groups run over.
  for (const auto &lv : kLevels)
    for (TfrBand *d = Bands[lv[1]]; !data && d; d = d->Next)
      if (d->FooterBand == b) data = d;
  if (!data && b->Typ == btGroupFooter && groups_) data = groupedData_;
  if (data && data->HeaderBand && data->HeaderBand != b && data->HeaderBand->RepeatHeader &&
      data->HeaderBand->Present()) {
    data->HeaderBand->Repeating = true;
    data->HeaderBand->Draw();
    data->HeaderBand->Repeating = false;
  }
  inPageStart_ = false;
  PageBandsDrawn = 0;
}

bool TfrPageRun::moveLastRow(TfrBand *footer) {
  const LastRow row = lastRow_;
  lastRow_ = {};
  TfrPageRec *rec = emf().GetPageRec(row.page);
  if (!row.band || !isFooterBand(footer->Typ) || row.page != frBuild.PageNo || row.xAdjust != XAdjust || !rec ||
      row.offset > rec->Stream.size() || Outer || InRecordMode())
    return false;
  // The row's records (and those of the footers drawn after it) leave this
  // page and are written again below the titles of the next.
  const QByteArray moved = rec->Stream.mid(row.offset);
  rec->Stream.truncate(row.offset);
  const int height = CurY - row.top;
  CurY = row.top;
  NewColumn(row.band);
  const int dy = CurY - row.top, dx = XAdjust - row.xAdjust;
  if (!moved.isEmpty()) {
    try {
      for (auto &v : TfrEMFPages::ReadObjects(QByteArray(1, static_cast<char>(frCurrentVersion)) + moved)) {
        v->x += dx;
        v->y += dy;
        emf().AddObject(frBuild.PageNo, *v);
      }
    } catch (const std::exception &e) {
      buildError(Report, e, footer->Typ);
    }
  }
  CurY += height;
  PageBandsDrawn = 1;
  lastDrawn_ = row.band;
  if (!doesFit(footer, footer->maxdy)) NewColumn(footer);
  return true;
}

Variant TfrPageRun::groupValue(TfrBand *g) {
  frBuild.CurBand = g;
  setActiveDataSet(g);
  syncBuiltIns(g);
  try {
    return frParser->Calc(g->GroupCondition);
  } catch (const std::exception &) {
    buildError(Report,
               {QStringLiteral("Group condition of %1:").arg(g->View ? g->View->Name : QString()),
                g->GroupCondition},
               g->Typ);
    return Variant();
  }
}

void TfrPageRun::sourceFirst(TfrDataset *ds) {
  if (InRecordMode()) List.push_back({TfrSubAction::First, nullptr, ds, 0, 0, 0});
  ds->First();
}

void TfrPageRun::sourceNext(TfrDataset *ds) {
  if (InRecordMode()) List.push_back({TfrSubAction::Next, nullptr, ds, 0, 0, 0});
  ds->Next();
}

void TfrPageRun::printPending() {
  std::vector<TfrBand *> list;
  list.swap(pending_);
  for (TfrBand *b : list) {
    if (terminated(Report)) break;
    ShowBand(b);
  }
}

bool TfrPageRun::sourceEof(TfrBand *b) {
  try {
    return b->DataSet->Eof();
  } catch (const std::exception &e) {
    buildError(Report, e, b->Typ);
    return true;
  }
}

void TfrPageRun::doLoop(int level) {
  const int L = level - 1;
  const bool wasInLoop = inLoop_;
  inLoop_ = true;
  for (TfrBand *b = Bands[kLevels[L][1]]; b && !terminated(Report); b = b->Next) {
    if (!b->Present() || !b->DataSet) continue;
    TfrDataset *ds = b->DataSet;
    try {
      sourceFirst(ds);
    } catch (const std::exception &e) {
      buildError(Report, e, b->Typ);
      break;
    }
    b->Positions[0] = 1;
    for (TfrBand *g = Bands[btGroupHeader]; g; g = g->Next) g->Positions[0] = g->Positions[1] = 0;
    if (sourceEof(b)) continue;
    const bool grouped = level == 1 && groups_;
    if (grouped) groupedData_ = b;
    if (grouped)
      for (TfrBand *g = Bands[btGroupHeader]; g && !terminated(Report); g = g->Next) {
        g->LastGroupValue = groupValue(g);
        ++g->Positions[0];
        ++g->Positions[1];
        ShowBand(g);
      }
    if (b->HeaderBand && b->HeaderBand->Present()) pending_.push_back(b->HeaderBand);
    bool footerDone = false;
    while (!terminated(Report) && !sourceEof(b)) {
      // The Cancel button of the progress window stays alive between records.
      if ((++records_ & 255) == 0) QCoreApplication::processEvents();
      pending_.push_back(b);
      bool counts = true;
      if (level < maxLevel_) {
        doLoop(level + 1);
        if (!pending_.empty()) {
          if (b->PrintIfSubsetEmpty) {
            printPending();
          } else {
            pending_.erase(std::find(pending_.begin(), pending_.end(), b));
            counts = false;
          }
        }
      } else {
        printPending();
      }
      if (terminated(Report)) break;
      try {
        sourceNext(ds);
      } catch (const std::exception &e) {
        buildError(Report, e, b->Typ);
        break;
      }
      const bool eof = sourceEof(b);
      if (grouped) {
        for (TfrBand *g = Bands[btGroupHeader]; g && !terminated(Report); g = g->Next) {
          const Variant v = eof ? Variant() : groupValue(g);
          if (!eof && VarEquals(v, g->LastGroupValue) && v.type() == g->LastGroupValue.type()) continue;
          if (pending_.empty()) ShowBand(b->FooterBand);
          // Footers of the inner groups, innermost first, then this group's.
          std::vector<TfrBand *> inner;
          for (TfrBand *h = g->Next; h; h = h->Next) inner.push_back(h);
          for (auto it = inner.rbegin(); it != inner.rend(); ++it) {
            ShowBand((*it)->LastBand);
            (*it)->Positions[0] = 0;
          }
          ShowBand(g->LastBand);
          if (eof) {
            footerDone = true;
          } else {
            if (g->ForceNewPage && !InRecordMode()) NewPage();
            for (TfrBand *h = g; h && !terminated(Report); h = h->Next) {
              h->LastGroupValue = groupValue(h);
              ++h->Positions[0];
              ++h->Positions[1];
              ShowBand(h);
            }
            if (b->HeaderBand && b->HeaderBand->Present()) {
              if (pending_.empty()) ShowBand(b->HeaderBand);
            }
            b->Positions[0] = 0;
          }
          break;
        }
      }
      if (counts) {
        ++CurrentNo;
        ++b->Positions[0];
        ++b->Positions[1];
      }
      if (!eof && b->ForceNewPage && !InRecordMode()) NewPage();
    }
    if (pending_.empty()) {
      if (!footerDone) ShowBand(b->FooterBand);
    } else if (b->HeaderBand) {
      auto it = std::find(pending_.begin(), pending_.end(), b->HeaderBand);
      if (it != pending_.end()) pending_.erase(it);
    }
  }
  inLoop_ = wasInLoop;
}

void TfrPageRun::prepareObject(TfrBand *b, TfrView *v) {
  frBuild.CurView = v;
  if (!v->Script.isEmpty()) {
    frInterpretator->Context.CurView = v;
    frInterpretator->DoScript(v->Script);
    frBuild.CurView = v;
  }
  v->Memo1 = v->Memo;
  if (Report->OnEnterRect) {
    const QStringList before = v->Memo1;
    Report->OnEnterRect(v->Memo1, v);
    if (v->Typ == gtMemo && v->Memo1 == before) v->Memo1 = frExpandText(v->Memo1, v->Format, v->FormatStr);
  } else if (v->Typ == gtMemo) {
    v->Memo1 = frExpandText(v->Memo1, v->Format, v->FormatStr);
  }
  (void)b;
}

void TfrPageRun::printObject(TfrBand *b, TfrView *v, int top) {
  // top < 0: only prepare the text (measuring); otherwise write the object.
  try {
    if (top < 0) {
      prepareObject(b, v);
      prepared_.push_back(v);
      preparedPage_ = frBuild.PageNo;
      return;
    }
    const bool ready = std::find(prepared_.begin(), prepared_.end(), v) != prepared_.end();
    if (!ready) {
      prepareObject(b, v);
    } else if (preparedPage_ != frBuild.PageNo && v->Typ == gtMemo) {
      // The band moved to another page since its texts were made: page
      // numbers and the like are taken again (the script ran already).
      v->Memo1 = frExpandText(v->Memo, v->Format, v->FormatStr);
    }
    writeObject(v, top);
  } catch (const EConditionError &e) {
    buildError(Report, e.lines, b->Typ);
  } catch (const std::exception &e) {
    objectError(Report, b, v, e);
  }
}

void TfrPageRun::notifyWatchers(TfrView *printed) {
  for (TfrView *w : frBuild.HookList) w->NotifyPrinted(printed);
}

void TfrPageRun::writeObject(TfrView *v, int top) {
  writeRecord(v, top);
  // Objects that watch others hear of every text printed.
  if (v->Typ == gtMemo && !frBuild.HookList.empty()) notifyWatchers(v);
}

void TfrPageRun::writeAt(TfrBand *b, TfrView *v, int top, Place at) {
  const int sx = v->x, sy = v->y, sdy = v->dy;
  v->x = sx + at.dx;
  v->y = at.y;
  v->dy = at.dy;
  try {
    writeObject(v, top);
  } catch (const EConditionError &e) {
    buildError(Report, e.lines, b->Typ);
  } catch (const std::exception &e) {
    objectError(Report, b, v, e);
  }
  v->x = sx;
  v->y = sy;
  v->dy = sdy;
}

void TfrPageRun::writeRecord(TfrView *v, int top) {
  if (frBuild.FirstPass || !v->Visible) return;
  auto *memo = dynamic_cast<TfrMemoView *>(v);
  TfrFont savedFont;
  TColor savedFill = v->FillColor;
  bool highlighted = false;
  if (memo && !memo->HighlightStr.trimmed().isEmpty()) {
    Variant h;
    try {
      h = frParser->Calc(memo->HighlightStr);
    } catch (const std::exception &) {
      // The error names the object and its condition, not the object's text.
      throw EConditionError({QStringLiteral("Highlight of %1:").arg(memo->Name), memo->HighlightStr});
    }
    if (!h.isNull() && !VarIsZero(h)) {
      savedFont = memo->Font;
      memo->Font.Style = memo->Highlight.FontStyle;
      memo->Font.Color = memo->Highlight.FontColor;
      memo->FillColor = memo->Highlight.FillColor;
      highlighted = true;
    }
  }
  const int sx = v->x, sy = v->y;
  v->x += XAdjust;
  v->y = top + v->y;
  emf().AddObject(frBuild.PageNo, *v);
  v->x = sx;
  v->y = sy;
  if (highlighted) {
    memo->Font = savedFont;
    memo->FillColor = savedFill;
  }
}

void TfrPageRun::collectAggregates(TfrBand *data) {
  TfrBand *savedEval = frBuild.EvalBand;
  // A data band's records reach the footers of its own and the outer levels,
  // groups, page footers and the summary; footers of deeper levels belong to
  // other bands and do not see them.
  const int level = data->Typ == btMasterData ? 0 : data->Typ == btDetailData ? 1 : 2;
  for (TfrBandType t : kCollecting) {
    if ((t == btDetailFooter && level < 1) || (t == btSubDetailFooter && level < 2)) continue;
    for (TfrBand *f = Bands[t]; f; f = f->Next) {
      if (f->AggregateObjects.empty() && f->AggregateCells.empty() && !collectAll_) continue;
      if (!f->Present()) continue;
      for (auto it = f->Values.begin(); it != f->Values.end(); ++it) it->counted = false;
      const bool vis = f->Visible;
      f->Visible = false;
      frBuild.EvalBand = f;
      const std::vector<TfrView *> &objs = collectAll_ ? f->Objects : f->AggregateObjects;
      for (TfrView *v : objs) {
        if (v->Typ != gtMemo || CrossBandOf(v)) continue;
        try {
          frExpandText(v->Memo, v->Format, v->FormatStr);
        } catch (const std::exception &) {
          f->Visible = vis;
          frBuild.EvalBand = savedEval;
          buildError(Report, v->Memo, f->Typ);
          return;
        }
      }
      if (!f->AggregateCells.empty()) collectCells(f);
      f->Visible = vis;
      if (terminated(Report)) break;
      ++f->Count;
    }
  }
  frBuild.EvalBand = savedEval;
}


void TfrPageRun::drawObjects(TfrBand *b, int height) {
  const bool fixed = isFixed(b->Typ);
  const int top = fixed ? b->y : CurY;
  const int page = frBuild.PageNo;
  const TfrPageRec *rec = emf().GetPageRec(page);
  const qsizetype offset = rec ? rec->Stream.size() : 0;
  frBuild.EvalBand = b;
  // Stretching objects and stretched lines reach down to the band's bottom.
  std::vector<std::pair<TfrView *, int>> heights;
  // Cross cells of a band cut at the page end print whole with its first
  // part: they reach down to the tallest cell only.
  const bool cut = !fixed && !doesFit(b, height);
  if (b->Stretched && height > b->dy)
    for (TfrView *v : b->Objects)
      if (isStretching(v) || (v->Typ == gtLine && (v->Flags & flStretched))) {
        heights.emplace_back(v, v->dy);
        const int bottom = cut && CrossBandOf(v) ? std::max(b->dy, b->CellsHeight) : height;
        v->dy = std::max(v->dy, bottom - v->y);
      }
  if (!fixed && b->Breaked && !doesFit(b, height)) {
    drawBreaked(b, height);
  } else if (!fixed && !doesFit(b, height) && (Outer == nullptr || ForceDraw)) {
    // Taller than the room left on a fresh page: cut at the bottom.
    drawBreaked(b, height);
  } else {
    size_t firstSub = b->Objects.size();
    for (size_t i = 0; i < b->Objects.size(); ++i)
      if (b->Objects[i]->Typ == gtSubReport) {
        firstSub = i;
        break;
      }
    for (size_t i = 0; i < firstSub && !terminated(Report); ++i)
      if (!CrossBandOf(b->Objects[i])) printObject(b, b->Objects[i], top);
    if (hasCells(b) && !terminated(Report)) crossPass(b, top, false);
    bool tookOver = false;
    if (firstSub < b->Objects.size() && !terminated(Report)) tookOver = drawSubReports(b, firstSub, top);
    if (!fixed && !tookOver) CurY = top + height;
  }
  for (auto &[v, h] : heights) v->dy = h;
  prepared_.clear();
  // Cross columns measured for this band are used up.
  for (auto it = crossColumns_.lower_bound({b, nullptr, -1}); it != crossColumns_.end() && std::get<0>(it->first) == b;)
    it = crossColumns_.erase(it);
  // A row drawn whole on a page that holds something above it may move on
  // with its footers; anything else drawn ends that.
  // Only a row under another row of its band moves: its group keeps a line
  // on this page.
  if (!fixed && !inPageStart_) {
    if (b->IsDataBand() && lastDrawn_ == b && PageBandsDrawn > 0 && frBuild.PageNo == page && !Outer && !InRecordMode())
      lastRow_ = {b, page, offset, top, XAdjust};
    else if (!isFooterBand(b->Typ) || frBuild.PageNo != page)
      lastRow_ = {};
    lastDrawn_ = frBuild.PageNo == page ? b : nullptr;
  }
  if (!fixed && !inPageStart_) ++PageBandsDrawn;
  frBuild.EvalBand = nullptr;
  if (b->IsDataBand() && !terminated(Report)) collectAggregates(b);
}

bool TfrPageRun::drawSubReports(TfrBand *b, size_t firstSub, int top) {
  struct Cursor {
    TfrPageRun *run;
    size_t pos = 0;
    int y = 0;
    int x = 0;
    bool waiting = false;
  };
  std::vector<Cursor> cursors;
  for (size_t i = firstSub; i < b->Objects.size(); ++i) {
    auto *s = dynamic_cast<TfrSubReportView *>(b->Objects[i]);
    if (!s || !Runs) continue;
    if (s->SubPage < 0 || s->SubPage >= static_cast<int>(Runs->size()) || s->SubPage == PageIndex) continue;
    TfrPageRun *sub = (*Runs)[static_cast<size_t>(s->SubPage)].get();
    if (sub->Mode == pmBuildList) continue;  // a page that (indirectly) holds itself
    // Form the subreport's page into its list of actions.
    sub->Mode = pmBuildList;
    sub->List.clear();
    sub->Runs = Runs;
    sub->maxLevel_ = 0;
    for (int l = 0; l < 3; ++l)
      for (TfrBand *d = sub->Bands[kLevels[l][1]]; d; d = d->Next)
        if (d->Present()) sub->maxLevel_ = l + 1;
    sub->groups_ = sub->Bands[btGroupHeader] && sub->Bands[btGroupHeader]->Present();
    sub->showChain(btReportTitle);
    if (sub->maxLevel_ > 0) sub->doLoop(1);
    sub->showChain(btReportSummary);
    sub->Mode = pmNormal;
    cursors.push_back({sub, 0, top + s->y, XAdjust + s->x - sub->Left, false});
  }
  if (cursors.empty()) return false;
  int maxY = top + b->maxdy;
  int stalled = 0;
  for (;;) {
    if (terminated(Report)) break;
    bool drew = false, waiting = false, left = false;
    for (Cursor &c : cursors) {
      if (c.waiting) {
        waiting = true;
        continue;
      }
      while (c.pos < c.run->List.size() && !terminated(Report)) {
        const TfrSubAction &a = c.run->List[c.pos];
        if (a.kind == TfrSubAction::First || a.kind == TfrSubAction::Next) {
          try {
            if (a.kind == TfrSubAction::First) a.ds->First();
            else a.ds->Next();
          } catch (const std::exception &e) {
            buildError(Report, e, b->Typ);
          }
          ++c.pos;
          continue;
        }
        c.run->Outer = this;
        c.run->CurY = c.y;
        c.run->CurBottomY = CurBottomY;
        c.run->XAdjust = c.x;
        c.run->CurX = Left + c.x;
        c.run->PageBandsDrawn = 1;
        c.run->ForceDraw = stalled > 0;
        // The counters as they stood when the band was recorded.
        a.band->Positions[0] = a.line;
        a.band->Positions[1] = a.lineThrough;
        c.run->CurrentNo = a.current;
        const bool ok = a.band->Draw();
        c.run->ForceDraw = false;
        c.run->Outer = nullptr;
        if (!ok) {
          c.waiting = true;
          waiting = true;
        } else {
          c.y = c.run->CurY;
          maxY = std::max(maxY, c.y);
          ++c.pos;
          drew = true;
        }
        break;
      }
      if (c.pos < c.run->List.size()) left = true;
    }
    if (!left) break;
    if (!drew && waiting) {
      // Every list waits for room: a new page for all of them.
      ++PageBandsDrawn;
      NewPage();
      for (Cursor &c : cursors) {
        c.waiting = false;
        c.y = CurY;
      }
      maxY = CurY;
      stalled = stalled + 1;
      if (stalled > 3) {
        notFitError(Report, b->Typ, Misfit::Band);
        break;
      }
    } else if (drew) {
      stalled = 0;
    }
  }
  CurY = maxY;
  return true;
}

}  // namespace report
