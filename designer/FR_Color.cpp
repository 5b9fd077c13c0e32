#include "designer/FR_Color.h"

#include "report/core/FR_Class_View.h"
#include "report/expr/FR_Intrp.h"
#include "report/output/FR_Canvas.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Ctrls.h"
#include "report/ui/FR_Utils_Gui.h"

#include <QColorDialog>
#include <QEventLoop>
#include <QGridLayout>
#include <QHideEvent>
#include <QPainter>

namespace designer {

using namespace report;

namespace {

// A swatch glyph: the colour inside a dark outline. Olive marks transparent
// glyph pixels, so an olive swatch is drawn one step off it.
QImage swatch(TColor color, int w, int h) {
  QImage img(w, h, QImage::Format_ARGB32);
  img.fill(frGlyphTransparent);
  QPainter p(&img);
  p.setPen(QColor(128, 128, 128));
  QColor fill = frColor(color);
  if ((fill.rgb() | 0xFF000000) == frGlyphTransparent) fill = QColor(0x80, 0x80, 0x01);
  p.setBrush(fill);
  p.drawRect(0, 0, w - 1, h - 1);
  return img;
}

}  // namespace

TColorSelector::TColorSelector(QWidget *parent) : QFrame(parent, Qt::Popup) {
  setObjectName(QStringLiteral("ColorSelector"));
  setFrameShape(QFrame::Panel);
  setFrameShadow(QFrame::Raised);
  // A click on the colour button that opened it only closes it.
  setAttribute(Qt::WA_NoMouseReplay);
  auto *grid = new QGridLayout(this);
  grid->setContentsMargins(3, 3, 3, 3);
  grid->setSpacing(1);
  for (int i = 0; i < frNamedColorCount; ++i) {
    auto *b = new TfrSpeedButton(this);
    b->setObjectName(QStringLiteral("ColorButton%1").arg(i + 1));
    const TColor c = frNamedColor(i);
    b->setProperty("color", static_cast<uint>(c));
    b->SetGlyph(swatch(c, 14, 14));
    b->SetFlat(true);
    b->SetGrayedInactive(false);
    b->SetGroupIndex(1);
    b->SetAllowAllUp(true);
    b->setFixedSize(22, 22);
    grid->addWidget(b, i / 4, i % 4);
    connect(b, &QAbstractButton::clicked, this, [this, c] { choose(c); });
    Buttons[i] = b;
  }
  TransparentButton = frNamed(new TfrSpeedButton(this), "TransparentButton");
  TransparentButton->setText(frLoadStr(55228));
  OtherButton = frNamed(new TfrSpeedButton(this), "OtherButton");
  OtherButton->setText(frLoadStr(55229));
  for (TfrSpeedButton *b : {TransparentButton, OtherButton}) {
    b->SetFlat(true);
    b->SetGrayedInactive(false);
    b->setMinimumHeight(22);
  }
  grid->addWidget(TransparentButton, 4, 0, 1, 4);
  grid->addWidget(OtherButton, 5, 0, 1, 4);
  connect(TransparentButton, &QAbstractButton::clicked, this, [this] { choose(clTransparent); });
  connect(OtherButton, &QAbstractButton::clicked, this, [this] {
    // The popup goes first: a modal dialog over an open popup would close it
    // in the middle of the choice.
    TColor c = color_;
    inOther_ = true;
    hide();
    const bool ok = frColorDialog(parentWidget(), c);
    inOther_ = false;
    if (ok) choose(c);
    else emit Closed();
  });
}

void TColorSelector::SetColor(TColor color) {
  color_ = color;
  bool found = false;
  for (TfrSpeedButton *b : Buttons) {
    const bool match = static_cast<TColor>(b->property("color").toUInt()) == color;
    b->SetDown(match);
    found = found || match;
  }
  // A colour not in the table shows on the "Other..." button.
  OtherButton->SetGlyph(found || color == clTransparent ? QImage() : swatch(color, 12, 13));
}

void TColorSelector::hideEvent(QHideEvent *e) {
  QFrame::hideEvent(e);
  if (!inOther_) emit Closed();
}

void TColorSelector::choose(TColor color) {
  SetColor(color);
  hide();
  emit ColorSelected(color);
}

bool frColorDialog(QWidget *parent, TColor &color) {
  QColorDialog dlg(parent);
  dlg.setObjectName(QStringLiteral("ColorDialog1"));
  dlg.setOption(QColorDialog::DontUseNativeDialog);
  dlg.setCurrentColor(color == clTransparent ? QColor(Qt::white) : frColor(color));
  if (dlg.exec() != QDialog::Accepted) return false;
  const QColor q = dlg.selectedColor();
  if (!q.isValid()) return false;
  color = static_cast<TColor>(q.red() | (q.green() << 8) | (q.blue() << 16));
  return true;
}

bool frSelectColor(QWidget *under, TColor &color) {
  TColorSelector selector(under);
  selector.SetColor(color);
  bool chosen = false;
  QEventLoop loop;
  QObject::connect(&selector, &TColorSelector::ColorSelected, &loop, [&](TColor c) {
    color = c;
    chosen = true;
    loop.quit();
  });
  QObject::connect(&selector, &TColorSelector::Closed, &loop, &QEventLoop::quit);
  selector.adjustSize();
  if (under) selector.move(under->mapToGlobal(QPoint(0, 26)));
  selector.show();
  loop.exec();
  return chosen;
}

}  // namespace designer
