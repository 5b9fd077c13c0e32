// Cross-tabs: cross bands standing side by side across the page, the cells
// of a band that lie in them printed column by column (one column per record
// of the cross data band's source, with OnBeginColumn and OnPrintColumn), the
// columns made while a stretched band is measured, and the aggregates of
// footer cells collected per column.
#include "report/core/FR_Class_Band.h"

#include "report/core/FR_Class_Fill.h"
#include "report/core/FR_Class_Report.h"
#include "report/data/FR_DSet.h"
#include "report/expr/FR_Intrp.h"
#include "report/output/FR_TextLayout.h"

#include <QCoreApplication>

#include <algorithm>

namespace report {

using namespace fill;

namespace {

// The aggregate key suffix of a cross column.
QString crossKey(const TfrBand *cb, int col) {
  return QStringLiteral("\x01%1:%2").arg(cb->Name()).arg(col);
}

// The source name of a cross data band: its format text, or, where the
// designer's cross band dialog wrote one entry per cross band
// ("name=source;..."), the entry of its own name (compared without regard to
// case); none when it has no entry.
QString crossSourceName(const TfrView *cv) {
  if (!cv->FormatStr.contains(QLatin1Char(';'))) return cv->FormatStr;
  for (const QString &entry : cv->FormatStr.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    const int eq = entry.indexOf(QLatin1Char('='));
    if (eq > 0 && entry.left(eq).compare(cv->Name, Qt::CaseInsensitive) == 0) return entry.mid(eq + 1);
  }
  return QString();
}

}  // namespace

void TfrPageRun::setUpCrossBands(std::vector<TfrView *> views) {
  // Cross bands stand side by side: each takes its band object's left and
  // width, and the objects that lie within it across become its cells.
  std::stable_sort(views.begin(), views.end(), [](TfrView *a, TfrView *b) { return a->x < b->x; });
  CrossBands.clear();
  crossOf_.clear();
  crossColumns_.clear();
  for (TfrView *cv : views) {
    const auto t = static_cast<TfrBandType>(static_cast<TfrBandView *>(cv)->BandType());
    TfrBand *b = Bands[t];
    if (b->View) {
      OwnedBands.push_back(std::make_unique<TfrBand>(this, t));
      TfrBand *last = b;
      while (last->Next) last = last->Next;
      b = OwnedBands.back().get();
      last->Next = b;
    }
    b->View = cv;
    cv->Parent = b;
    b->x = cv->x;
    b->dx = cv->dx;
    b->y = cv->y;
    b->dy = cv->dy;
    b->Visible = cv->Visible;
    b->Script = compiledScript(cv->Script);
    if (t == btCrossData) {
      bool owned = false;
      b->DataSet = frFindDataSource(crossSourceName(cv), owned);
      b->IsVirtualDS = owned;
    }
    CrossBands.push_back(b);
  }
}

TfrBand *TfrPageRun::crossBandAround(const TfrView *v) const {
  for (TfrBand *c : CrossBands)
    if (v->x >= c->x && v->x + v->dx <= c->x + c->dx) return c;
  return nullptr;
}

TfrBand *TfrPageRun::CrossBandOf(const TfrView *v) const { return crossOf_.value(v, nullptr); }

bool TfrPageRun::hasCells(const TfrBand *b) const {
  if (crossOf_.isEmpty() || isCrossBand(b->Typ)) return false;
  for (const TfrView *v : b->Objects)
    if (crossOf_.contains(v)) return true;
  return false;
}

// Cross cells of a footer that call aggregates collect the record once per
// column, each column under its own key.
void TfrPageRun::collectCells(TfrBand *f) {
  TfrBand *cb = nullptr;
  try {
    for (TfrBand *c : CrossBands) {
      cb = c;
      std::vector<TfrView *> cells;
      for (TfrView *v : f->AggregateCells)
        if (crossOf_.value(v) == cb && v->Typ == gtMemo) cells.push_back(v);
      if (cells.empty() || (cb->View && !cb->View->Visible)) continue;
      auto eval = [&] {
        for (TfrView *v : cells) {
          try {
            frExpandText(v->Memo, v->Format, v->FormatStr);
          } catch (const std::exception &) {
            buildError(Report, v->Memo, f->Typ);
            return false;
          }
        }
        return true;
      };
      if (cb->Typ != btCrossData || !cb->DataSet) {
        if (!eval()) break;
        continue;
      }
      int col = 0;
      bool ok = true;
      cb->DataSet->First();
      while (ok && !terminated(Report) && !cb->DataSet->Eof()) {
        frBuild.CrossKey = crossKey(cb, ++col);
        ok = eval();
        frBuild.CrossKey.clear();
        // No more columns than a page can hold (the print stops there too).
        if (col > Right - Left) break;
        cb->DataSet->Next();
      }
      if (!ok) break;
    }
  } catch (const std::exception &e) {
    buildError(Report, e, cb ? cb->Typ : f->Typ);
  }
  frBuild.CrossKey.clear();
}

void TfrPageRun::printCell(TfrBand *b, TfrView *v, int top, int shift, const QStringList *ready) {
  try {
    if (!ready) {
      prepareObject(b, v);
    } else {
      v->Memo1 = *ready;
      // Made on another page: page numbers and the like are taken again.
      if (preparedPage_ != frBuild.PageNo && v->Typ == gtMemo)
        v->Memo1 = frExpandText(v->Memo, v->Format, v->FormatStr);
    }
  } catch (const std::exception &e) {
    objectError(Report, b, v, e);
    return;
  }
  writeAt(b, v, top, {shift, v->y, v->dy});
}

// The cells of a band that lie in cross bands, left to right: header and
// footer cells once, data cells once per record of the cross data band's
// source, each column one column width further right; whatever stands right
// of a cross data band moves by the width its columns took beyond the band's
// own. Measuring (a stretched band) makes the columns' texts and widths, which
// the drawing then uses; OnBeginColumn and OnPrintColumn are called once per
// column where it is made. Returns the lowest bottom of the cells measured.
int TfrPageRun::crossPass(TfrBand *b, int top, bool measure) {
  struct KeyReset {
    ~KeyReset() { frBuild.CrossKey.clear(); }
  } keyReset;
  int bottom = 0;
  int extra = 0;
  const int limit = Outer ? Outer->Right : ColCount > 1 ? CurX + ColWidth : Right;
  auto outside = [&](int left, int right) {
    if (left + XAdjust < limit && right + XAdjust <= limit) return false;
    notFitError(Report, b->Typ, Misfit::CrossTab);
    return true;
  };
  auto prepareCell = [&](TfrView *v) {
    try {
      prepareObject(b, v);
      return true;
    } catch (const std::exception &e) {
      objectError(Report, b, v, e);
      return false;
    }
  };
  auto measureCell = [&](TfrView *v) {
    if (isStretching(v) && v->Visible)
      bottom = std::max(bottom, frClampPixel(static_cast<long long>(v->y) +
                                             static_cast<TfrMemoView *>(v)->MeasureHeight()));
  };
  // A cross band's script runs once per column it prints, before its cells,
  // with the cross band current and its data source active, as a band's
  // script does; a script that hides the band leaves the column empty (it
  // keeps its place). A row cannot break between its columns, so NEWPAGE and
  // NEWCOLUMN asked for here are dropped. False when the script failed.
  auto runScript = [&](TfrBand *c) {
    if (c->Script.isEmpty()) return true;
    frBuild.CurBand = c;
    setActiveDataSet(c);
    frInterpretator->Context.CurView = c->View;
    bool ok = true;
    try {
      frInterpretator->DoScript(c->Script);
    } catch (const std::exception &) {
      buildError(Report, c->View ? c->View->Script : QStringList(), c->Typ);
      ok = false;
    }
    c->NewPageRequest = c->NewColumnRequest = false;
    frBuild.CurBand = b;
    setActiveDataSet(b);
    return ok;
  };
  TfrBand *cb = nullptr;
  try {
    for (TfrBand *c : CrossBands) {
      cb = c;
      if (terminated(Report)) break;
      if (cb->View && !cb->View->Visible) continue;  // hidden by design; scripts hide per column
      std::vector<TfrView *> cells;
      for (TfrView *v : b->Objects)
        if (crossOf_.value(v) == cb) cells.push_back(v);
      if (cb->Typ != btCrossData || !cb->DataSet) {
        if (cells.empty()) continue;
        // Header and footer: one column a row, its script run where it is made.
        const auto once = crossColumns_.find({b, cb, 0});
        bool hidden = false;
        if (measure || once == crossColumns_.end()) {
          if (!runScript(cb)) return bottom;
          hidden = !cb->Visible;
          if (measure) crossColumns_[{b, cb, 0}].hidden = hidden;
        } else {
          hidden = once->second.hidden;
        }
        for (TfrView *v : hidden ? std::vector<TfrView *>() : cells) {
          if (outside(v->x + extra, v->x + extra + v->dx)) return bottom;
          if (measure) {
            if (!prepareCell(v)) return bottom;
            crossColumns_[{b, cb, 0}].texts.insert(v, v->Memo1);
            measureCell(v);
          } else {
            const auto it = crossColumns_.find({b, cb, 0});
            const QStringList *ready = nullptr;
            if (it != crossColumns_.end() && it->second.texts.contains(v)) ready = &*it->second.texts.constFind(v);
            printCell(b, v, top, extra, ready);
          }
          if (terminated(Report)) return bottom;
        }
        continue;
      }
      TfrDataset *ds = cb->DataSet;
      int offset = 0;
      int col = 0;
      ds->First();
      while (!terminated(Report) && !ds->Eof()) {
        ++col;
        if ((++records_ & 255) == 0) QCoreApplication::processEvents();
        const int shift = extra + offset;
        if (outside(cb->x + shift, cb->x + shift)) return bottom;
        const auto made = crossColumns_.find({b, cb, col});
        int width = cb->dx;
        bool hidden = false;
        frBuild.CrossKey = crossKey(cb, col);  // aggregates of this column
        if (measure || made == crossColumns_.end()) {
          frBuild.CurBand = cb;
          if (Report->OnBeginColumn) Report->OnBeginColumn(cb);
          frBuild.CurBand = b;
          if (!runScript(cb)) return bottom;
          hidden = !cb->Visible;
          frBuild.CurBand = cb;
          if (Report->OnPrintColumn) Report->OnPrintColumn(col, width);
          frBuild.CurBand = b;
          // Every column takes at least a pixel, so columns always reach the page edge.
          width = std::max(1, width);
        } else {
          width = made->second.width;
          hidden = made->second.hidden;
        }
        CrossColumn column;
        column.width = width;
        column.hidden = hidden;
        for (TfrView *v : hidden ? std::vector<TfrView *>() : cells) {
          if (outside(v->x + shift, v->x + shift + v->dx)) return bottom;
          if (measure) {
            if (!prepareCell(v)) return bottom;
            column.texts.insert(v, v->Memo1);
            measureCell(v);
          } else {
            const QStringList *ready = nullptr;
            if (made != crossColumns_.end() && made->second.texts.contains(v))
              ready = &*made->second.texts.constFind(v);
            printCell(b, v, top, shift, ready);
          }
          if (terminated(Report)) return bottom;
        }
        frBuild.CrossKey.clear();
        if (measure) crossColumns_[{b, cb, col}] = column;
        offset += width;
        ds->Next();
      }
      extra += offset - cb->dx;
    }
  } catch (const std::exception &e) {
    frBuild.CurBand = b;
    buildError(Report, e, cb ? cb->Typ : b->Typ);
  }
  if (measure) preparedPage_ = frBuild.PageNo;
  return bottom;
}

}  // namespace report
