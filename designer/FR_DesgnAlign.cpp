// The designer window's alignment palette, fit to grid, the dispatch of an
// object to the editor of its kind, and the layout of inserted fields.
#include "designer/FR_Desgn.h"
#include "designer/FR_DesignerPage.h"
#include "platform/conv.h"
#include "report/expr/FR_Values.h"
#include "report/output/FR_Draw.h"

#include <QFontMetrics>

#include <algorithm>

namespace designer {

using namespace report;

void TfrDesignerForm::AlignSelection(int tool) {
  const std::vector<TfrView *> sel = Selection();
  const size_t need = (tool == 3 || tool == 8) ? 1 : (tool == 4 || tool == 9) ? 3 : 2;
  if (!Page || tool < 1 || tool > 10 || sel.size() < need) return;
  // The anchor: the one clicked first, else the topmost selected object.
  const TfrView *anchor = AnchorObject && AnchorObject->Selected ? AnchorObject : sel.back();
  const qint32 ax = anchor->x, ay = anchor->y, adx = anchor->dx, ady = anchor->dy;
  const bool horizontal = tool <= 5;
  auto pos = [horizontal](TfrView *v) -> qint32 & { return horizontal ? v->x : v->y; };
  auto size = [horizontal](const TfrView *v) { return horizontal ? v->dx : v->dy; };
  AddUndoAction(acEdit);
  switch (tool) {
    case 1: case 6:
      for (TfrView *v : sel) pos(v) = horizontal ? ax : ay;
      break;
    case 2: case 7:
      for (TfrView *v : sel) pos(v) = (horizontal ? ax + adx / 2 : ay + ady / 2) - size(v) / 2;
      break;
    case 5: case 10:
      for (TfrView *v : sel) pos(v) = (horizontal ? ax + adx : ay + ady) - size(v);
      break;
    case 3: case 8: {
      // The group is centred on the page.
      qint64 lo = pos(sel.front()), hi = pos(sel.front()) + size(sel.front());
      for (TfrView *v : sel) {
        lo = std::min<qint64>(lo, pos(v));
        hi = std::max<qint64>(hi, static_cast<qint64>(pos(v)) + size(v));
      }
      const qint64 extent = horizontal ? PageView->width() : PageView->height();
      const qint64 shift = lo + (hi - lo - extent) / 2;
      for (TfrView *v : sel) pos(v) = static_cast<qint32>(pos(v) - shift);
      break;
    }
    case 4: case 9: {
      // Sorted by place as numbers (negative places and five digits too), equal places kept in order.
      std::vector<TfrView *> order = sel;
      std::stable_sort(order.begin(), order.end(), [&](TfrView *a, TfrView *b) { return pos(a) < pos(b); });
      const qint64 step = (static_cast<qint64>(pos(order.back())) - pos(order.front())) /
                          static_cast<qint64>(order.size() - 1);
      for (size_t i = 1; i + 1 < order.size(); ++i) pos(order[i]) = static_cast<qint32>(pos(order[i - 1]) + step);
      break;
    }
    default: break;
  }
  PageView->ComputeMultiFrame();
  PageView->update();
  UpdateInspector();
  UpdateStatus();
}

void TfrDesignerForm::FitToGrid() {
  const std::vector<TfrView *> sel = Selection();
  if (!Page || sel.empty()) return;
  AddUndoAction(acEdit);
  const int g = GridSize;
  auto snap = [g](qint32 v) {
    return static_cast<qint32>(platform::RoundHalfEven(static_cast<long double>(v) / g) * g);
  };
  for (TfrView *v : sel) {
    v->x = snap(v->x);
    v->y = snap(v->y);
    v->dx = snap(v->dx);
    v->dy = snap(v->dy);
    if (v->dx == 0) v->dx = g;
    if (v->dy == 0) v->dy = g;
  }
  PageView->update();
  UpdateInspector();
  UpdateStatus();
  PageView->ComputeMultiFrame();
}

void TfrDesignerForm::ShowObjectEditor() {
  const std::vector<TfrView *> sel = Selection();
  if (!Page || sel.empty()) return;
  TfrView *v = sel.back();
  switch (v->Typ) {
    case gtMemo:
      if (EditMemo) EditMemo(*v);
      break;
    case gtPicture:
      if (EditPicture) EditPicture(*v);
      break;
    case gtBand: {
      auto *band = static_cast<TfrBandView *>(v);
      const int t = band->BandType();
      const int kind = (t == btMasterData || t == btDetailData || t == btSubDetailData) ? 0
                       : t == btGroupHeader                                             ? 1
                       : t == btCrossData                                               ? 2
                                                                                        : -1;
      if (kind >= 0 && EditBand) EditBand(*band, kind);
      break;
    }
    case gtSubReport: {
      // A subreport whose page is missing opens nothing.
      const int sub = static_cast<const TfrSubReportView *>(v)->SubPage;
      TfrReport *r = Report();
      if (r && sub >= 0 && sub < r->Pages.Count()) {
        SetCurPage(sub);
        return;
      }
      break;
    }
    default:
      if (EditMemo) EditMemo(*v);
      break;
  }
  PageView->update();
  UpdateInspector();
  UpdateStatus();
}

void TfrDesignerForm::InsertDBFields(const TfrInsertFieldsChoice &c) {
  TfrReport *r = Report();
  if (!r || !Page || c.DataSet.isEmpty() || c.Fields.empty()) return;
  const int g = GridSize;
  const TfrMargins &m = Page->pgMargins;
  const int left = m.Left, topMargin = m.Top;
  int x = left, y = topMargin;
  const std::vector<int> order = frObjectOrder(*Page);
  ClearSelection();
  const QFontMetrics fm(PageView->font());
  const QSize def = PageView->GetDefaultSize();
  auto make = [&](int px, int py) {
    auto v = std::make_unique<TfrMemoView>();
    v->x = px, v->y = py, v->dx = def.width(), v->dy = def.height();
    v->Font.Name = frLastAttributes.FontName;
    v->Font.Size = frLastAttributes.FontSize;
    v->Name = CreateUniqueName(*v, r->Pages);
    auto *added = static_cast<TfrMemoView *>(Page->Add(std::move(v)));
    Select(added);
    return added;
  };
  // The narrowest width on the grid at which the data object prints the field's
  // widest value on one line, as the engine lays it out.
  auto fitWidth = [&](TfrMemoView *m, const TfrInsertField &f, int chars) {
    QString widest = f.Longest.isNull() ? QString() : frFormatValue(f.Longest, m->Format, m->FormatStr);
    if (widest.isEmpty()) widest = QString(chars, QLatin1Char('0'));
    const QStringList text = m->Memo;
    const quint32 flags = m->Flags;
    const int height = m->dy;
    m->Memo = QStringList{widest};
    m->Flags &= ~flWordWrap;
    m->dy = 1000;
    const int limit = std::max(PageView->width(), g);
    for (m->dx = g; m->dx < limit && frMemoTextFit(*m).tooWide; m->dx += g) {
    }
    const int width = m->dx;
    m->Memo = text;
    m->Flags = flags;
    m->dy = height;
    return width;
  };
  std::vector<TfrMemoView *> data, headers;
  for (const TfrInsertField &f : c.Fields) {
    const int chars = f.DisplayWidth <= 0 || f.DisplayWidth >= 256 ? 6 : f.DisplayWidth;
    TfrMemoView *first = make(x, y);
    TfrMemoView *value = first;
    if (c.Headers) {
      const QString caption = f.Label.isEmpty() ? f.Name : f.Label;
      first->Font.Style = fsBold;
      first->Memo = QStringList{caption};
      first->dx = fm.horizontalAdvance(caption + QStringLiteral("   ")) / g * g;
      headers.push_back(first);
      value = c.Horizontal ? make(x, y + 72) : make(first->x + first->dx + g * 2, y);
    }
    value->Memo = QStringList{QStringLiteral("[") + c.DataSet + QStringLiteral(".\"") + f.Name + QStringLiteral("\"]")};
    value->dx = fitWidth(value, f, chars);
    data.push_back(value);
    if (c.Horizontal) x += value->dx + g;
    else y += value->dy + g;
  }
  // A row wider than the printable width is scaled into it.
  const int printable = PageView->width() - m.Right - left;
  const int edge = data.back()->x + data.back()->dx - left;
  if (c.Horizontal && printable > 0 && edge > printable) {
    const long double k = static_cast<long double>(edge) / printable;
    auto scaled = [k](qint32 v) { return static_cast<qint32>(platform::RoundHalfEven(v / k)); };
    for (size_t i = 0; i < data.size(); ++i) {
      data[i]->x = left + scaled(data[i]->x - left);
      data[i]->dx = scaled(data[i]->dx);
      if (c.Headers) {
        headers[i]->x = left + scaled(headers[i]->x - left);
        headers[i]->dx = std::min(headers[i]->dx, data[i]->dx);
      }
    }
  }
  if (c.Bands) {
    const TfrView *lastObj = c.Headers ? static_cast<TfrView *>(headers.back()) : data.back();
    const int h = lastObj->y + lastObj->dy - topMargin;
    auto band = [&](int type, int top) {
      auto b = std::make_unique<TfrBandView>();
      b->SetBandType(type);
      b->BaseName = frBandBaseName(type);
      b->x = 0, b->y = top, b->dx = PageView->width(), b->dy = h;
      b->Name = CreateUniqueName(*b, r->Pages);
      if (type == btMasterData) b->FormatStr = c.DataSource;
      Select(Page->Add(std::move(b)));
    };
    if (c.Headers && c.Horizontal) {
      if (!BandTypeExists(btPageHeader)) band(btPageHeader, topMargin);
      band(btMasterData, topMargin + 72);
    } else {
      band(btMasterData, topMargin);
    }
  }
  SelectionChanged();
  ArrangeBands();
  PageView->ComputeMultiFrame();
  PageView->update();
  AddUndoAction(acInsert, Selection(), order);
}

}  // namespace designer
