// The designer window's alignment palette, fit to grid and the dispatch of an
// object to the editor of its kind.
#include "designer/FR_Desgn.h"
#include "designer/FR_DesignerPage.h"
#include "platform/conv.h"

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
      else PageView->ClearDoubleClicked();
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

}  // namespace designer
