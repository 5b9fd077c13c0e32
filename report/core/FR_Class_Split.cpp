// Bands split over pages: a band taller than the room left prints what fits
// and continues on the next page (or column); stretched texts are cut between
// lines and go on from the top of the next part, other objects move whole to
// the part they fit in, and cross cells print whole with the first part.
#include "report/core/FR_Class_Band.h"

#include "report/core/FR_Class_Fill.h"
#include "report/core/FR_Class_Report.h"
#include "report/output/FR_Canvas.h"
#include "report/output/FR_TextLayout.h"

#include <algorithm>

namespace report {

using namespace fill;

namespace {

// Vertical text gap of an object at scale 1.
int gapYOf(const TfrView *v) {
  return frScaleGeometry(v->x, v->y, v->dx, v->dy, v->FrameTyp, v->FrameWidth, 1, 1, 0, 0).gapY;
}

}  // namespace

// Draws a part of a text cut at a height: the lines that fit are written, the
// rest stays in the printed text for the next part.
int TfrPageRun::printCut(TfrBand *b, TfrMemoView *m, int top, int height) {
  const int sy = m->y, sdy = m->dy;
  m->y = 0;
  m->dy = height;
  const QStringList all = m->Memo1;
  const QStringList savedMemo = m->Memo;
  m->Memo = all;
  m->CutPrinting = true;
  TfrMeasureCanvas mc;
  m->Draw(mc);
  m->Memo = savedMemo;
  m->y = sy;
  m->dy = sdy;
  const int n = std::clamp(m->DrawnLines, 0, static_cast<int>(all.size()));
  QStringList part = all.mid(0, n);
  if (n > 0) {
    if (!frHasParaMark(part)) part.append(QString(QChar(frParaMark)));
    m->Memo1 = part;
    writeAt(b, m, 0, {0, top, height});
  }
  m->Memo1 = all.mid(n);
  return n;
}

void TfrPageRun::drawBreaked(TfrBand *b, int height) {
  struct Item {
    TfrView *v;
    int top, dy;
    bool pending = true;
    bool started = false;
  };
  std::vector<Item> items;
  for (TfrView *v : b->Objects) {
    if (v->Typ == gtSubReport || CrossBandOf(v)) continue;
    auto *m = dynamic_cast<TfrMemoView *>(v);
    if (std::find(prepared_.begin(), prepared_.end(), v) == prepared_.end()) {
      try {
        prepareObject(b, v);
      } catch (const std::exception &e) {
        objectError(Report, b, v, e);
        return;
      }
    }
    if (m && isStretching(v)) m->Memo1 = m->LaidOutText();
    items.push_back({v, v->y, v->dy});
  }
  const TfrBand *cf = Bands[btColumnFooter];
  const int cfh = (cf && cf->Present() && b != cf) ? cf->dy : 0;
  int bandTop = CurY;
  int lowest = 0;
  int stalled = 0;
  int cellsLowest = 0;  // on the band's first part
  bool firstPart = true;
  if (hasCells(b)) {
    // Cross cells are not split: they print with the band's first part and
    // must fit in it.
    int cellsBottom = 0;
    for (TfrView *v : b->Objects)
      if (CrossBandOf(v)) cellsBottom = std::max(cellsBottom, frClampPixel(static_cast<long long>(v->y) + v->dy));
    if (cellsBottom > CurBottomY - cfh - bandTop - 2 && PageBandsDrawn > 0 && !inPageStart_ && !Outer &&
        !isPageBand(b->Typ)) {
      // A fresh page may have the room.
      NewColumn(b);
      bandTop = CurY;
    }
    if (cellsBottom > CurBottomY - cfh - bandTop - 2) {
      notFitError(Report, b->Typ, Misfit::CrossTab);
      return;
    }
    crossPass(b, bandTop, false);
    cellsLowest = cellsBottom;
  }
  for (;;) {
    if (terminated(Report)) break;
    const bool fresh = PageBandsDrawn == 0;
    const int room = CurBottomY - cfh - bandTop - 2;
    bool progress = false;
    lowest = 0;
    if (room <= 0 && fresh) {
      notFitError(Report, b->Typ, Misfit::Band);
      return;
    }
    int grow = 0;
    // Texts that began on an earlier page continue from the page top.
    for (Item &it : items) {
      if (!it.pending || !it.started) continue;
      auto *m = static_cast<TfrMemoView *>(it.v);
      const int lh = m->MinimumHeight();
      const int remaining = static_cast<int>(m->Memo1.size()) * lh;
      if (remaining >= room) {
        if (printCut(b, m, bandTop, room) > 0) progress = true;
        lowest = std::max(lowest, room);
      } else {
        if (remaining > 0) {
          const int h = remaining + 2 * gapYOf(m) + 1;
          writeAt(b, m, bandTop, {0, 0, h});
          grow = std::max(grow, h);
          lowest = std::max(lowest, h);
        }
        it.pending = false;
        progress = true;
      }
    }
    if (grow > 0)
      for (Item &it : items)
        if (it.pending && !it.started && it.top >= 0) it.top += grow;
    for (Item &it : items) {
      if (!it.pending || it.started || it.top < 0 || it.top >= room) continue;
      TfrView *v = it.v;
      if (it.top + it.dy <= room) {
        writeAt(b, v, bandTop, {0, it.top, it.dy});
        it.pending = false;
        progress = true;
        lowest = std::max(lowest, it.top + it.dy);
      } else if (isStretching(v)) {
        auto *m = static_cast<TfrMemoView *>(v);
        const int cut = room - it.top;
        if (cut > m->MinimumHeight() || (fresh && it.top == 0)) {
          if (printCut(b, m, bandTop + it.top, cut) > 0) progress = true;
          it.started = true;
          lowest = std::max(lowest, room);
          if (m->Memo1.isEmpty() || (m->Memo1.size() == 1 && m->Memo1[0] == QString(QChar(frParaMark))))
            it.pending = false;
        } else {
          it.top = room;
        }
      } else if (fresh && it.top == 0) {
        // Taller than a whole page: cut at the bottom rather than wait for room that never comes.
        writeAt(b, v, bandTop, {0, 0, room});
        it.pending = false;
        progress = true;
        lowest = std::max(lowest, room);
      } else {
        it.top = room;
      }
    }
    bool anyPending = false;
    for (const Item &it : items) anyPending = anyPending || it.pending;
    if (!anyPending || terminated(Report)) break;
    stalled = progress ? 0 : stalled + 1;
    if (stalled > 2) {
      notFitError(Report, b->Typ, Misfit::Band);
      return;
    }
    // Bands printed by a page start are cut at the bottom, never continued.
    if (inPageStart_ || Outer || isPageBand(b->Typ)) break;
    for (Item &it : items) it.top -= room;
    ++PageBandsDrawn;
    NewColumn(b);
    bandTop = CurY;
    firstPart = false;
  }
  (void)height;
  if (firstPart) lowest = std::max(lowest, cellsLowest);
  CurY = bandTop + lowest;
}

}  // namespace report
