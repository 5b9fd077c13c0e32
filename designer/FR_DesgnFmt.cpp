// The designer window's formatting toolbars (frame, text), the line style
// panel, the colour buttons, the enabling by the kind of selection, the
// inspector's rows, the status bar, the owner-drawn menus and the items the
// selected objects add to the surface's popup menu.
#include "designer/FR_Desgn.h"
#include "designer/FR_DesignerPage.h"
#include "designer/FR_Dock.h"
#include "designer/FR_Insp.h"
#include "platform/conv.h"
#include "report/expr/FR_Pars.h"
#include "report/output/FR_Fonts.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Ctrls.h"
#include "report/ui/FR_Utils_Gui.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>
#include <QToolBar>

#include <algorithm>
#include <cmath>

namespace designer {

using namespace report;

namespace {

bool isBand(const TfrView *v) { return v->Typ == gtBand; }
bool isText(const TfrView *v) { return v->Typ == gtMemo; }

// Numbers of the frame width box and the inspector: general format, 2 digits.
QString frameWidthText(double w) { return platform::FloatToStrF(w, platform::FloatFormat::General, 2, 0); }

// Reads the frame width box: "," and "." both stand for the decimal separator.
bool readFrameWidth(const QString &text, double &value) {
  QString t = text.trimmed();
  const QChar sep = platform::regional().decimalSeparator;
  for (QChar &c : t)
    if (c == u',' || c == u'.') c = sep;
  long double v = 0;
  if (!platform::TryStrToFloat(t, v) || !std::isfinite(static_cast<double>(v)) || v <= 0) return false;
  value = static_cast<double>(v);
  return true;
}

// A width the layout file gives back as it is: no smaller than 0.011 (smaller
// ones read back as whole widths), within the stored integer's range, with at
// most three decimals.
bool storableFrameWidth(double w) { return std::fabs(frKeptFrameWidth(w) - w) <= 1e-9 * std::max(1.0, w); }

QString frameWidthRefused(const QString &typed) {
  const QChar sep = platform::regional().decimalSeparator;
  return QStringLiteral(
             "'%1' is not a frame width a layout can keep: from %2 to %3, with at most three decimals.")
      .arg(typed.trimmed(), QStringLiteral("0") + sep + QStringLiteral("011"),
           QStringLiteral("2147483") + sep + QStringLiteral("647"));
}

constexpr int kMaxFontSize = 999;

}  // namespace

// ---------------------------------------------------------------- building

void TfrDesignerForm::buildFormatBars() {
  auto tb = [this](TfrToolBar *bar, const char *name, const char *glyph, int hint, int tag) {
    TfrTBButton *b = button(bar, QLatin1String(name), QLatin1String(glyph), hint, tag);
    connect(b, &QAbstractButton::clicked, this, [this, b] { DoClick(b); });
    return b;
  };
  // The frame toolbar.
  Panel1 = frNamed(new TfrToolBar(frLoadStr(53173), this), "Panel1");
  FrB1 = tb(Panel1, "FrB1", "frame_top", 53122, 1);
  FrB2 = tb(Panel1, "FrB2", "frame_left", 53123, 2);
  FrB3 = tb(Panel1, "FrB3", "frame_bottom", 53124, 3);
  FrB4 = tb(Panel1, "FrB4", "frame_right", 53125, 4);
  for (TfrTBButton *b : {FrB1, FrB2, FrB3, FrB4}) {
    b->SetAllowAllUp(true);
    b->SetGroupIndex(200 + b->property("tag").toInt());
  }
  Panel1->addWidget(new TfrTBSeparator(Panel1));
  FrB5 = tb(Panel1, "FrB5", "frame_all", 53126, 20);
  FrB6 = tb(Panel1, "FrB6", "frame_none", 53127, 21);
  Panel1->addWidget(new TfrTBSeparator(Panel1));
  ClB1 = button(Panel1, "ClB1", "fillcolor", 53128, 5);
  ClB3 = button(Panel1, "ClB3", "framecolor", 53129, 19);
  Panel1->addWidget(new TfrTBSeparator(Panel1));
  E1 = new QLineEdit(Panel1);
  E1->setObjectName(QStringLiteral("E1"));
  E1->setToolTip(frLoadStr(53130));
  E1->setProperty("tag", 6);
  E1->setFixedSize(36, 21);
  Panel1->addWidget(E1);
  E1->installEventFilter(this);
  SB1 = button(Panel1, "SB1", "arrow_up", 53130, 6);
  SB2 = button(Panel1, "SB2", "arrow_down", 53130, 6);
  for (TfrTBButton *b : {SB1, SB2}) b->setFixedSize(14, 22);
  connect(SB1, &QAbstractButton::clicked, this, [this] { stepFrameWidth(1); });
  connect(SB2, &QAbstractButton::clicked, this, [this] { stepFrameWidth(-1); });
  StB1 = button(Panel1, "StB1", "linestyle", 53131, 0);
  // The line style panel: one button per frame style.
  LinePanel = new QFrame(this, Qt::Popup);
  LinePanel->setObjectName(QStringLiteral("LinePanel"));
  LinePanel->setFrameShape(QFrame::Panel);
  LinePanel->setFrameShadow(QFrame::Raised);
  auto *ll = new QVBoxLayout(LinePanel);
  ll->setContentsMargins(2, 2, 2, 2);
  ll->setSpacing(0);
  for (int i = 0; i < 6; ++i) {
    auto *b = new TfrSpeedButton(LinePanel);
    b->setObjectName(QStringLiteral("frSpeedButton%1").arg(i + 1));
    b->SetGlyph(frGlyph(QStringLiteral("linestyle%1").arg(i)));
    b->SetFlat(true);
    b->setProperty("tag", 25 + i);
    b->setFixedSize(64, 16);
    ll->addWidget(b);
    frSpeedButton[i] = b;
    connect(b, &QAbstractButton::clicked, this, [this, b] {
      LinePanel->hide();
      DoClick(b);
    });
  }
  connect(StB1, &QAbstractButton::clicked, this, [this] {
    if (LinePanel->isVisible()) {
      LinePanel->hide();
      return;
    }
    LinePanel->adjustSize();
    LinePanel->move(StB1->mapToGlobal(QPoint(0, 26)));
    LinePanel->show();
  });

  // The text toolbar.
  Panel3 = frNamed(new TfrToolBar(frLoadStr(53175), this), "Panel3");
  C2 = new QComboBox(Panel3);
  C2->setObjectName(QStringLiteral("C2"));
  C2->setToolTip(frLoadStr(53120));
  C2->setProperty("tag", 7);
  C2->setFixedWidth(150);
  FillFontList();
  Panel3->addWidget(C2);
  connect(C2, &QComboBox::activated, this, [this] { DoClick(C2); });
  C2->installEventFilter(this);
  C3 = new QComboBox(Panel3);
  C3->setObjectName(QStringLiteral("C3"));
  C3->setToolTip(frLoadStr(53121));
  C3->setProperty("tag", 8);
  C3->setEditable(true);
  C3->setInsertPolicy(QComboBox::NoInsert);
  C3->setFixedWidth(48);
  for (int s : {5, 6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72}) C3->addItem(QString::number(s));
  Panel3->addWidget(C3);
  connect(C3, &QComboBox::activated, this, [this] { DoClick(C3); });
  C3->installEventFilter(this);
  C3->lineEdit()->installEventFilter(this);
  Panel3->addWidget(new TfrTBSeparator(Panel3));
  FnB1 = tb(Panel3, "FnB1", "bold", 53115, 9);
  FnB2 = tb(Panel3, "FnB2", "italic", 53116, 10);
  FnB3 = tb(Panel3, "FnB3", "underline", 53117, 18);
  for (TfrTBButton *b : {FnB1, FnB2, FnB3}) {
    b->SetAllowAllUp(true);
    b->SetGroupIndex(300 + b->property("tag").toInt());
  }
  Panel3->addWidget(new TfrTBSeparator(Panel3));
  AlB1 = tb(Panel3, "AlB1", "al_left", 53107, 11);
  AlB2 = tb(Panel3, "AlB2", "al_right", 53108, 12);
  AlB3 = tb(Panel3, "AlB3", "al_center", 53109, 13);
  AlB8 = tb(Panel3, "AlB8", "al_width", 53110, 22);
  for (TfrTBButton *b : {AlB1, AlB2, AlB3, AlB8}) b->SetGroupIndex(320);
  Panel3->addWidget(new TfrTBSeparator(Panel3));
  AlB4 = tb(Panel3, "AlB4", "rot90", 53111, 14);
  AlB4->SetAllowAllUp(true);
  AlB4->SetGroupIndex(321);
  AlB5 = tb(Panel3, "AlB5", "al_vcenter", 53112, 15);
  AlB6 = tb(Panel3, "AlB6", "al_top", 53113, 15);
  AlB7 = tb(Panel3, "AlB7", "al_bottom", 53114, 15);
  for (TfrTBButton *b : {AlB5, AlB6, AlB7}) b->SetGroupIndex(322);
  Panel3->addWidget(new TfrTBSeparator(Panel3));
  ClB2 = button(Panel3, "ClB2", "fontcolor", 53118, 17);
  HlB1 = button(Panel3, "HlB1", "highlight", 53119, 59);
  connect(HlB1, &QAbstractButton::clicked, this, [this] {
    std::vector<TfrView *> sel = Selection();
    if (sel.empty() || !isText(sel.back()) || !EditHighlight) return;
    auto *m = static_cast<TfrMemoView *>(sel.back());
    TfrHighlight hl = m->Highlight;
    QString cond = m->HighlightStr;
    if (!EditHighlight(*m, hl, cond)) return;
    AddUndoAction(acEdit);
    m->Highlight = hl;
    m->HighlightStr = cond;
    PageView->update();
  });
  for (TfrTBButton *b : {ClB1, ClB2, ClB3}) connect(b, &QAbstractButton::clicked, this, [this, b] { colorButtonClick(b); });
  SetButtonColorGlyph(clTransparent, ClB1, 1);
  SetButtonColorGlyph(clBlack, ClB2, 0);
  SetButtonColorGlyph(clBlack, ClB3, 2);
}

// ---------------------------------------------------------------- fonts

namespace {

// Windows fonts whose stand-ins are made to their measures: with fontconfig
// putting that stand-in in their place they count as installed, and a layout
// naming them prints alike here and on Windows.
constexpr const char *kMetricTwins[] = {"Arial", "Arial Narrow", "Times New Roman", "Courier New"};

bool fontInstalled(const QString &name) {
  if (QFontDatabase::hasFamily(name)) return true;
  for (const char *twin : kMetricTwins)
    if (name.compare(QLatin1String(twin), Qt::CaseInsensitive) == 0)
      return QFontInfo(QFont(name)).family().compare(frFontFamily(name), Qt::CaseInsensitive) == 0;
  return false;
}

}  // namespace

void TfrDesignerForm::FillFontList() {
  QStringList names = QFontDatabase::families();
  for (const char *twin : kMetricTwins)
    if (!names.contains(QLatin1String(twin), Qt::CaseInsensitive) && fontInstalled(QLatin1String(twin)))
      names << QLatin1String(twin);
  names.sort(Qt::CaseInsensitive);
  {
    QSignalBlocker block(C2);
    C2->clear();
    C2->addItems(names);
  }
  // New text objects: "Arial" if installed, else "Arial Cyr", else the first font.
  for (const QString &name : {QStringLiteral("Arial"), QStringLiteral("Arial Cyr"), names.value(0)}) {
    if (!name.isEmpty() && names.contains(name, Qt::CaseInsensitive)) {
      frLastAttributes.FontName = name;
      break;
    }
  }
}

void TfrDesignerForm::showFontName(const QString &name) {
  // A font that is not installed still shows its name, greyed, and stays as stored.
  const int i = name.isEmpty() ? -1 : C2->findText(name, Qt::MatchFixedString);
  C2->setCurrentIndex(i);
  C2->setPlaceholderText(i < 0 ? name : QString());
}

// ---------------------------------------------------------------- colour buttons

void TfrDesignerForm::SetButtonColorGlyph(TColor color, TfrSpeedButton *button, int kind) {
  static const char *names[] = {"fontcolor", "fillcolor", "framecolor"};
  QImage base = frGlyph(QLatin1String(names[std::clamp(kind, 0, 2)])).convertToFormat(QImage::Format_ARGB32);
  const QRgb bar = qRgb(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
  for (int y = 0; y < base.height(); ++y)
    for (int x = 0; x < base.width(); ++x)
      if (base.pixel(x, y) == qRgb(255, 0, 0)) base.setPixel(x, y, color == clTransparent ? frGlyphTransparent : bar);
  if (color == clTransparent) {
    const QRgb face = palette().color(QPalette::Button).rgb();
    for (int x = 1; x <= 14 && x < base.width(); ++x) base.setPixel(x, 13, face);
  }
  // Two images: up and disabled.
  QImage two(base.width() * 2, base.height(), QImage::Format_ARGB32);
  QPainter p(&two);
  p.drawImage(0, 0, base);
  p.drawImage(base.width(), 0, base);
  p.end();
  button->SetGlyph(two);
  button->SetNumGlyphs(2);
  button->setProperty("color", static_cast<uint>(color));
}

TColor TfrDesignerForm::ButtonColor(const TfrSpeedButton *button) const {
  return static_cast<TColor>(button->property("color").toUInt());
}

void TfrDesignerForm::colorButtonClick(TfrTBButton *b) {
  CurColorButton = b;
  TColor c = ButtonColor(b);
  if (!ChooseColor || !ChooseColor(c)) return;
  SetButtonColorGlyph(c, b, b == ClB1 ? 1 : b == ClB3 ? 2 : 0);
  DoClick(b);
}

// ---------------------------------------------------------------- applying

bool TfrDesignerForm::eventFilter(QObject *o, QEvent *e) {
  // Enter or Tab in the frame width, font or font size box applies the value and is used up there,
  // so that it opens no editor and moves to no other control; the design surface takes the keys
  // that follow, and they work on the objects.
  if (e->type() == QEvent::KeyPress && (o == E1 || o == C2 || o == C3 || o == C3->lineEdit())) {
    const int key = static_cast<QKeyEvent *>(e)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab || key == Qt::Key_Backtab) {
      DoClick(o == E1 ? static_cast<QWidget *>(E1) : o == C2 ? static_cast<QWidget *>(C2) : C3);
      releaseKeys();
      return true;
    }
  }
  return TfrReportDesigner::eventFilter(o, e);
}

void TfrDesignerForm::releaseKeys() {
  QWidget *f = QApplication::focusWidget();
  if (f && (f == E1 || f == C2 || f == C3 || f == C3->lineEdit())) PageView->setFocus(Qt::OtherFocusReason);
}

void TfrDesignerForm::stepFrameWidth(int delta) {
  double w = 1;
  if (!readFrameWidth(E1->text(), w)) w = 1;
  w += delta;
  if (w <= 0) w = 1;
  E1->setText(frameWidthText(w));
  DoClick(E1);
}

void TfrDesignerForm::DoClick(QWidget *control) {
  if (UpdatingControls || !Page || SelNum == 0 || !control) return;
  const int tag = control->property("tag").toInt();
  // Values are checked before anything changes: bad input restores the control.
  double width = 1;
  int fontSize = 10;
  if (tag == 6 && !(readFrameWidth(E1->text(), width) && storableFrameWidth(width))) {
    const QString typed = E1->text();
    SelectionChanged();
    if (frErrorBox) frErrorBox(frameWidthRefused(typed));
    return;
  }
  if (tag == 8) {
    bool ok = false;
    fontSize = C3->currentText().trimmed().toInt(&ok);
    if (!ok || fontSize <= 0 || fontSize > kMaxFontSize) {
      SelectionChanged();
      return;
    }
  }
  if (tag == 7 && C2->currentIndex() < 0) return;
  // A font or size the text objects already have is no change: the size box
  // reports a typed size again when it lets go of the focus.
  if (tag == 7 || tag == 8) {
    const std::vector<TfrView *> sel = Selection();
    const bool changes = std::any_of(sel.begin(), sel.end(), [&](const TfrView *v) {
      if (!isText(v)) return false;
      const TfrFont &f = static_cast<const TfrMemoView *>(v)->Font;
      return tag == 7 ? f.Name != C2->currentText() : f.Size != fontSize;
    });
    if (!changes) {
      releaseKeys();
      return;
    }
  }
  AddUndoAction(acEdit);
  auto down = [](const TfrSpeedButton *b) { return b->Down(); };
  for (TfrView *v : Selection()) {
    if (isBand(v)) continue;
    if (isText(v)) {
      auto *m = static_cast<TfrMemoView *>(v);
      switch (tag) {
        case 7: m->Font.Name = frLastAttributes.FontName = C2->currentText(); break;
        case 8: m->Font.Size = frLastAttributes.FontSize = fontSize; break;
        case 9: case 10: case 18: {
          const int bit = tag == 9 ? fsBold : tag == 10 ? fsItalic : fsUnderline;
          const bool on = down(static_cast<TfrSpeedButton *>(control));
          m->Font.Style = on ? (m->Font.Style | bit) : (m->Font.Style & ~bit);
          frLastAttributes.FontStyle = m->Font.Style;
          break;
        }
        case 11: case 12: case 13: case 22:
          m->Adjust = (m->Adjust & ~3) | (tag == 22 ? 3 : tag - 11);
          frLastAttributes.Alignment = m->Adjust;
          break;
        case 14:
          m->Adjust = down(AlB4) ? (m->Adjust | 4) : (m->Adjust & ~4);
          frLastAttributes.Alignment = m->Adjust;
          break;
        case 15:
          m->Adjust = (m->Adjust & ~24) | (down(AlB5) ? 8 : 0) | (down(AlB7) ? 16 : 0);
          frLastAttributes.Alignment = m->Adjust;
          break;
        case 17: m->Font.Color = frLastAttributes.FontColor = ButtonColor(ClB2); break;
        default: break;
      }
    }
    switch (tag) {
      case 1: case 2: case 3: case 4: {
        const quint16 bit = tag == 1 ? frbTop : tag == 2 ? frbLeft : tag == 3 ? frbBottom : frbRight;
        v->FrameTyp = down(static_cast<TfrSpeedButton *>(control)) ? (v->FrameTyp | bit) : (v->FrameTyp & ~bit);
        frLastAttributes.FrameLines = v->FrameTyp;
        break;
      }
      case 5: v->FillColor = frLastAttributes.FillColor = ButtonColor(ClB1); break;
      case 19: v->FrameColor = frLastAttributes.FrameColor = ButtonColor(ClB3); break;
      case 6:
        v->FrameWidth = width;
        (v->Typ == gtLine ? frLastAttributes.LineWidth : frLastAttributes.FrameWidth) = width;
        break;
      case 20: v->FrameTyp = 15, frLastAttributes.FrameLines = 15; break;
      case 21: v->FrameTyp = 0, frLastAttributes.FrameLines = 0; break;
      case 25: case 26: case 27: case 28: case 29: case 30: v->FrameStyle = static_cast<quint16>(tag - 25); break;
      default: break;
    }
  }
  PageView->update();
  if (tag == 20 || tag == 21) SelectionChanged();
  else UpdateStatus();
  releaseKeys();
}

// ---------------------------------------------------------------- reflecting the selection

int TfrDesignerForm::SelectionKind() const {
  int k = 0;
  if (SelNum == 1) {
    const std::vector<TfrView *> s = Selection();
    if (!s.empty()) k |= isBand(s.front()) ? 1 : isText(s.front()) ? 2 : 4;
  } else if (SelNum > 1) {
    k |= 8;
  }
  if (!DesignerClipboard().empty()) k |= 16;
  return k;
}

void TfrDesignerForm::EnableControls() {
  const int k = SelectionKind();
  const bool frame = k & (2 | 4 | 8), text = k & (2 | 8), any = k & (1 | 2 | 4 | 8), one = k & (1 | 2 | 4),
             paste = k & 16;
  for (QWidget *w : std::initializer_list<QWidget *>{FrB1, FrB2, FrB3, FrB4, FrB5, FrB6, ClB1, ClB3, E1, SB1, SB2, StB1})
    w->setEnabled(frame);
  for (QWidget *w : std::initializer_list<QWidget *>{ClB2, C2, C3, FnB1, FnB2, FnB3, AlB1, AlB2, AlB3, AlB4, AlB5,
                                                      AlB6, AlB7, AlB8, HlB1})
    w->setEnabled(text);
  if (!text) {
    QSignalBlocker b2(C2), b3(C3);
    showFontName(QString());
    C3->setCurrentIndex(-1);
    C3->setEditText(QString());
  }
  for (QWidget *w : std::initializer_list<QWidget *>{ZB1, ZB2, GB3, CutB, CopyB}) w->setEnabled(any);
  for (QAction *a : {N32, N33, N11, N2, N12, N1, N27, N5}) a->setEnabled(any);
  PstB->setEnabled(paste);
  N13->setEnabled(paste);
  N3->setEnabled(paste);
  N36->setEnabled(one);
  N6->setEnabled(one);
  InspForm->EnableItem(6, one);
  UndoB->setEnabled(UndoCount() > 0);
  N46->setEnabled(UndoCount() > 0);
  RedoB->setEnabled(RedoCount() > 0);
  N48->setEnabled(RedoCount() > 0);
  UpdateStatus();
}

void TfrDesignerForm::SelectionChanged() {
  UpdatingControls = true;
  LinePanel->hide();
  EnableControls();
  const std::vector<TfrView *> sel = Selection();
  if (sel.size() == 1 && !isBand(sel.front())) {
    const TfrView *v = sel.front();
    FrB1->SetDown(v->FrameTyp & frbTop);
    FrB2->SetDown(v->FrameTyp & frbLeft);
    FrB3->SetDown(v->FrameTyp & frbBottom);
    FrB4->SetDown(v->FrameTyp & frbRight);
    E1->setText(frameWidthText(v->FrameWidth));
    SetButtonColorGlyph(v->FillColor, ClB1, 1);
    SetButtonColorGlyph(v->FrameColor, ClB3, 2);
    if (isText(v)) {
      const auto *m = static_cast<const TfrMemoView *>(v);
      SetButtonColorGlyph(m->Font.Color, ClB2, 0);
      showFontName(m->Font.Name);
      if (C3->currentText() != QString::number(m->Font.Size)) C3->setEditText(QString::number(m->Font.Size));
      FnB1->SetDown(m->Font.Style & fsBold);
      FnB2->SetDown(m->Font.Style & fsItalic);
      FnB3->SetDown(m->Font.Style & fsUnderline);
      AlB4->SetDown(m->Adjust & 4);
      const int vert = m->Adjust & 24;
      (vert == 8 ? AlB5 : vert == 16 ? AlB7 : AlB6)->SetDown(true);
      const TfrTBButton *horz[] = {AlB1, AlB2, AlB3, AlB8};
      const_cast<TfrTBButton *>(horz[m->Adjust & 3])->SetDown(true);
    }
  } else if (sel.size() > 1) {
    // Mixed selections show neutral values.
    for (TfrTBButton *b : {FrB1, FrB2, FrB3, FrB4, FnB1, FnB2, FnB3, AlB4, AlB5}) b->SetDown(false);
    SetButtonColorGlyph(clBlack, ClB1, 1);
    E1->setText(QStringLiteral("1"));
    showFontName(QString());
    C3->setCurrentIndex(-1);
    C3->setEditText(QString());
    AlB1->SetDown(true);
  }
  UpdatingControls = false;
  UpdateInspector();
  UpdateStatus();
}

// ---------------------------------------------------------------- inspector

namespace {

// Pixels in the chosen unit: whole pixels, or millimetres or inches with 2 decimals.
QString unitText(int units, qint32 px) {
  if (units == 0) return QString::number(px);
  long double v = static_cast<long double>(px) / 18 * 5;
  if (units == 2) v /= 25.4L;
  return platform::FloatToStrF(v, platform::FloatFormat::Fixed, 4, 2);
}

}  // namespace

void TfrDesignerForm::UpdateInspector() {
  // A value still being typed is stored first, into the objects it was typed for.
  InspForm->StoreEdit();
  for (QString &s : InspValues) s.clear();
  const std::vector<TfrView *> sel = Selection();
  inspected_ = sel;
  inspectedPage_ = Page;
  InspForm->CurObject = sel.size() == 1 ? sel.front() : nullptr;
  if (sel.size() == 1) InspValues[0] = sel.front()->Name;
  if (!sel.empty()) {
    auto field = [&](int row, auto get) {
      const auto first = get(sel.front());
      for (const TfrView *v : sel)
        if (get(v) != first) return;
      InspValues[row] = row == 5 ? QString::number(first) : unitText(Units, first);
    };
    field(1, [](const TfrView *v) { return v->x; });
    field(2, [](const TfrView *v) { return v->y; });
    field(3, [](const TfrView *v) { return v->dx; });
    field(4, [](const TfrView *v) { return v->dy; });
    field(5, [](const TfrView *v) { return v->Visible ? 1 : 0; });
  }
  InspForm->setEnabled(!sel.empty());
  InspForm->ItemsChanged();
}

void TfrDesignerForm::InspectorModify(int row, const QString &text) {
  // The objects the rows were filled from, as far as they are still on the page.
  std::vector<TfrView *> sel;
  if (Page && inspectedPage_ == Page)
    for (TfrView *v : inspected_)
      if (std::any_of(Page->Objects.begin(), Page->Objects.end(),
                      [v](const auto &o) { return o.get() == v; }))
        sel.push_back(v);
  TfrReport *r = Report();
  if (sel.empty() || !Page || !r) {
    UpdateInspector();
    return;
  }
  if (row == 0) {
    const QString name = text.trimmed();
    // One object only; a name used anywhere in the report (or none) is refused,
    // and one the layout file cannot keep.
    const bool unmapped = !frStorableText(name);
    if (unmapped && frErrorBox)
      frErrorBox(QStringLiteral("'%1' cannot be a name: a layout file keeps Windows-1250 characters only.")
                     .arg(name));
    if (sel.size() != 1 || name.isEmpty() || unmapped ||
        (r->FindObject(name) && r->FindObject(name) != sel.front())) {
      UpdateInspector();
      return;
    }
    AddUndoAction(acEdit, sel);
    sel.front()->Name = name;
    refreshTabs();
  } else if (row >= 1 && row <= 5) {
    // The text is an expression; anything that does not give a number is refused.
    long double value = 0;
    try {
      const Variant res = frParser->Calc(text);
      if (res.isNull()) throw EParserError(QStringLiteral("empty"));
      value = res.isString() ? platform::StrToFloat(res.stringValue()) : static_cast<long double>(res.toFloat());
    } catch (const std::exception &) {
      UpdateInspector();
      return;
    }
    if (!std::isfinite(static_cast<double>(value)) || std::fabs(static_cast<double>(value)) > 1e9) {
      UpdateInspector();
      return;
    }
    if (Units == 1) value = value * 18 / 5;
    else if (Units == 2) value = value * 25.4L * 18 / 5;
    const qint64 px = platform::Round(value);
    const int pw = PageView->width(), ph = PageView->height();
    const bool inWidth = px > 0 && px < pw, inHeight = px > 0 && px < ph;
    const bool applies = row == 5 || ((row == 1 || row == 3) ? inWidth : inHeight);
    if (applies) {
      AddUndoAction(acEdit, sel);
      for (TfrView *v : sel) {
        switch (row) {
          case 1: v->x = static_cast<qint32>(px); break;
          case 2: v->y = static_cast<qint32>(px); break;
          case 3: v->dx = static_cast<qint32>(px); break;
          case 4: v->dy = static_cast<qint32>(px); break;
          default: v->Visible = px != 0; break;
        }
      }
      PageView->ComputeMultiFrame();
    }
  } else if (row == 6) {
    // The Memo row's editor changed the object.
  }
  UpdateInspector();
  PageView->update();
  UpdateStatus();
}

// ---------------------------------------------------------------- status bar

void TfrDesignerForm::UpdateStatus() {
  StatusUnits->setText(frLoadStr(55330 + Units));
  const std::vector<TfrView *> sel = Selection();
  QString pos, size, text;
  const QString joint = Units == 0 ? QStringLiteral(";") : QStringLiteral("; ");
  QRect frame;
  if (PageView->NewObjectFrame(frame)) {
    // A new object's frame being drawn, or following the pointer.
    pos = unitText(Units, frame.x()) + joint + unitText(Units, frame.y());
    size = unitText(Units, frame.width()) + joint + unitText(Units, frame.height());
  } else if (sel.size() == 1) {
    const TfrView *v = sel.front();
    pos = unitText(Units, v->x) + joint + unitText(Units, v->y);
    size = unitText(Units, v->dx) + joint + unitText(Units, v->dy);
    if (v->Typ == gtPicture) {
      // A picture's scale against its own size.
      const QImage img = static_cast<const TfrPictureView *>(v)->Picture.image();
      if (!img.isNull() && img.width() > 0 && img.height() > 0)
        size += QStringLiteral("   % ") + QString::number(qint64(v->dx) * 100 / img.width()) + QLatin1Char(',') +
                QString::number(qint64(v->dy) * 100 / img.height());
    }
    text = v->Name;
    if (isBand(v)) text += QStringLiteral(": ") + frBandName(static_cast<const TfrBandView *>(v)->BandType());
    else if (!v->Memo.isEmpty()) text += QStringLiteral(": ") + v->Memo.constFirst();
  }
  if (sel.size() > 1) size = PageView->ResizeRatio();
  StatusPos->setText(pos);
  StatusSize->setText(size);
  StatusText->setText(text);
}

// ---------------------------------------------------------------- menus

namespace {

// Measurements of the owner-drawn menu items.
constexpr int kItemHeight = 19;
constexpr int kSeparatorHeight = 10;
constexpr int kGlyph = 16;
constexpr int kGlyphLeft = 2;
constexpr int kCaptionGap = 4;      // between the glyph column and the caption
constexpr int kCaptionExtra = 31;   // the text column: the widest caption + 31
constexpr int kShortcutExtra = 15;  // the shortcut column: the widest shortcut + 15
constexpr int kShortcutGap = 6;     // the shortcut starts this far into its column

// The check mark and the radio mark of checked items, in the given colour.
QPixmap markGlyph(bool radio, const QColor &c) {
  QPixmap pm(kGlyph, kGlyph);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  if (radio) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QRectF(5, 5, 6, 6));
  } else {
    p.setPen(QPen(c, 2));
    p.drawLine(4, 8, 7, 11);
    p.drawLine(7, 11, 12, 4);
  }
  return pm;
}

// The designer's menus: items of 19 pixels (more when the font needs it),
// separators of 10 drawn as an etched line, a 16-pixel glyph column showing
// the linked button's glyph or the check mark, the caption after it and the
// shortcut in a column of its own. Everything else is the platform style's.
class TfrMenuStyle : public QProxyStyle {
 public:
  TfrMenuStyle() = default;

  int pixelMetric(PixelMetric m, const QStyleOption *o, const QWidget *w) const override {
    if (m == PM_SmallIconSize) return kGlyph;
    if (m == PM_MenuHMargin) return 0;
    return QProxyStyle::pixelMetric(m, o, w);
  }

  QSize sizeFromContents(ContentsType t, const QStyleOption *o, const QSize &s,
                         const QWidget *w) const override {
    const auto *mi = qstyleoption_cast<const QStyleOptionMenuItem *>(o);
    if (t != CT_MenuItem || !mi) return QProxyStyle::sizeFromContents(t, o, s, w);
    if (mi->menuItemType == QStyleOptionMenuItem::Separator) return {1, kSeparatorHeight};
    // The menu adds the widest shortcut to the widest item.
    return {s.width() + kCaptionExtra + kShortcutExtra,
            std::max(kItemHeight, QFontMetrics(mi->font).height() + 4)};
  }

  void drawControl(ControlElement e, const QStyleOption *o, QPainter *p, const QWidget *w) const override {
    const auto *mi = qstyleoption_cast<const QStyleOptionMenuItem *>(o);
    if (e != CE_MenuItem || !mi) {
      QProxyStyle::drawControl(e, o, p, w);
      return;
    }
    const QPalette &pal = mi->palette;
    const QRect r = mi->rect;
    if (mi->menuItemType == QStyleOptionMenuItem::Separator) {
      p->fillRect(r, pal.color(QPalette::Window));
      const int y = r.top() + r.height() / 2 - 1;
      p->setPen(pal.color(QPalette::Dark));
      p->drawLine(r.left() + 1, y, r.right() - 1, y);
      p->setPen(pal.color(QPalette::Light));
      p->drawLine(r.left() + 1, y + 1, r.right() - 1, y + 1);
      return;
    }
    const bool selected = mi->state & State_Selected, enabled = mi->state & State_Enabled;
    p->fillRect(r, selected ? pal.color(QPalette::Highlight) : pal.color(QPalette::Window));
    const QColor text = selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::WindowText);
    const QRect glyph(r.left() + kGlyphLeft, r.top() + (r.height() - kGlyph) / 2, kGlyph, kGlyph);
    if (mi->checkType != QStyleOptionMenuItem::NotCheckable && mi->checked) {
      p->drawPixmap(glyph.topLeft(), markGlyph(mi->checkType == QStyleOptionMenuItem::Exclusive,
                                               enabled ? text : pal.color(QPalette::Dark)));
    } else if (!mi->icon.isNull()) {
      p->drawPixmap(glyph.topLeft(),
                    mi->icon.pixmap(QSize(kGlyph, kGlyph), 1.0, enabled ? QIcon::Normal : QIcon::Disabled));
    }
    const QFontMetrics fm(mi->font);
    p->setFont(mi->font);
    const qsizetype tab = mi->text.indexOf(QLatin1Char('\t'));
    const QString caption = tab < 0 ? mi->text : mi->text.left(tab);
    const QString shortcut = tab < 0 ? QString() : mi->text.mid(tab + 1);
    const int captionX = glyph.right() + 1 + kCaptionGap;
    const int textColumn = r.width() - (mi->reservedShortcutWidth + kShortcutExtra);
    const QRect captionRect(captionX, r.top() + 2, std::max(0, r.left() + textColumn - captionX),
                            fm.height());
    const QRect shortcutRect(r.left() + textColumn + kShortcutGap, r.top() + 2,
                             std::max(0, r.right() - (r.left() + textColumn + kShortcutGap)), fm.height());
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextSingleLine;
    auto put = [&](const QColor &c, QPoint off) {
      p->setPen(c);
      p->drawText(captionRect.translated(off), flags, caption);
      if (!shortcut.isEmpty()) p->drawText(shortcutRect.translated(off), flags, shortcut);
    };
    if (enabled) {
      put(text, {});
    } else {
      // Etched: the highlight edge one pixel down and right, then grey.
      put(pal.color(QPalette::Light), {1, 1});
      put(pal.color(QPalette::Disabled, QPalette::WindowText), {});
    }
    if (mi->menuItemType == QStyleOptionMenuItem::SubMenu) {
      QStyleOption arrow = *o;
      const int a = r.height() / 2;
      arrow.rect = QRect(r.right() - a - 2, r.top() + (r.height() - a) / 2, a, a);
      arrow.palette.setColor(QPalette::ButtonText, text);
      arrow.palette.setColor(QPalette::WindowText, text);
      proxy()->drawPrimitive(PE_IndicatorArrowRight, &arrow, p, w);
    }
  }
};

// The items an object adds to the popup menu: its flags by its kind.
std::vector<std::pair<QString, quint16>> popupFlags(const TfrView *v) {
  std::vector<std::pair<QString, quint16>> items{{QStringLiteral("Stretched"), flStretched}};
  if (v->Typ == gtMemo) {
    items.insert(items.end(), {{QStringLiteral("Word wrap"), flWordWrap},
                               {QStringLiteral("Hyphenation"), flWordBreak},
                               {QStringLiteral("Auto size"), flAutoSize}});
  } else if (v->Typ == gtPicture) {
    items.insert(items.end(), {{QStringLiteral("Center picture"), flPictCenter},
                               {QStringLiteral("Keep aspect ratio"), flPictRatio}});
  } else if (v->Typ == gtBand) {
    const int t = static_cast<const TfrBandView *>(v)->BandType();
    const bool data = t == btMasterData || t == btDetailData || t == btSubDetailData;
    const bool header =
        t == btMasterHeader || t == btDetailHeader || t == btSubDetailHeader || t == btGroupHeader;
    // Bands of the report's flow (titles, data levels, groups) may start pages and split.
    const bool flow = t == btReportTitle || t == btReportSummary ||
                      (t >= btMasterHeader && t <= btSubDetailFooter) || t == btGroupHeader ||
                      t == btGroupFooter;
    if (flow) items.push_back({QStringLiteral("Force new page"), flBandNewPageAfter});
    if (data) items.push_back({QStringLiteral("Print if detail empty"), flBandPrintIfSubsetEmpty});
    if (flow) items.push_back({QStringLiteral("Breaked"), flBandBreaked});
    if (t == btPageHeader || t == btPageFooter)
      items.push_back({QStringLiteral("On first page"), flBandOnFirstPage});
    if (t == btPageFooter) items.push_back({QStringLiteral("On last page"), flBandOnLastPage});
    if (header) items.push_back({QStringLiteral("Show on all pages"), flBandRepeatHeader});
  }
  return items;
}

}  // namespace

void TfrDesignerForm::linkMenuItem(QAction *item, TfrSpeedButton *button) {
  if (!item || !button) return;
  QIcon icon;
  icon.addPixmap(QPixmap::fromImage(button->StateImage(TfrSpeedButton::bsUp)), QIcon::Normal);
  icon.addPixmap(QPixmap::fromImage(button->StateImage(TfrSpeedButton::bsDisabled)), QIcon::Disabled);
  item->setIcon(icon);
  menuLinks_.push_back({item, button});
}

void TfrDesignerForm::unlinkMenu(const QMenu *menu) {
  std::erase_if(menuLinks_, [menu](const TfrMenuItemInfo &l) {
    if (!menu->actions().contains(l.MenuItem)) return false;
    l.MenuItem->setIcon(QIcon());
    return true;
  });
}

void TfrDesignerForm::ownerDrawMenus() {
  auto *style = new TfrMenuStyle;
  style->setParent(this);
  // Submenus are windows of their own: each takes the style itself.
  for (QMenu *m : {FileMenu, EditMenu, ToolMenu, N37, MastMenu, HelpMenu, Popup1, Popup2}) m->setStyle(style);
  const std::pair<QAction *, TfrTBButton *> links[] = {
      {N23, FileBtn1}, {N19, FileBtn2}, {N20, FileBtn3}, {N39, FileBtn4}, {N10, ExitB},   {N46, UndoB},
      {N48, RedoB},    {N11, CutB},     {N12, CopyB},    {N13, PstB},     {N28, SelAllB}, {N29, PgB1},
      {N30, PgB2},     {N32, ZB1},      {N33, ZB2},      {N35, HelpBtn},  {N41, PgB1},    {N43, PgB2},
      {N44, PgB3},     {N2, CutB},      {N1, CopyB},     {N3, PstB},      {N16, SelAllB}};
  for (auto [a, b] : links) linkMenuItem(a, b);
}

// ---------------------------------------------------------------- popup menu

void TfrDesignerForm::Popup1Popup() {
  unlinkMenu(Popup1);
  EnableControls();
  // Only the seven fixed items stay.
  const QList<QAction *> items = Popup1->actions();
  for (qsizetype i = 7; i < items.size(); ++i) {
    Popup1->removeAction(items[i]);
    if (items[i]->parent() == Popup1) delete items[i];
  }
  const std::vector<TfrView *> sel = Selection();
  TfrView *top = sel.empty() ? nullptr : sel.back();
  if (top && sel.size() > 1) {
    const bool oneKind = std::all_of(sel.begin(), sel.end(), [top](const TfrView *v) {
      return v->Typ == top->Typ && (top->Typ != gtAddIn || v->ClassName() == top->ClassName());
    });
    if (isBand(top) || !oneKind) top = nullptr;
  }
  if (top) {
    Popup1->addSeparator();
    for (const auto &[text, flag] : popupFlags(top)) {
      QAction *a = Popup1->addAction(text);
      a->setCheckable(true);
      a->setChecked(top->Flags & flag);
      connect(a, &QAction::triggered, this, [this, f = flag](bool on) { setSelectionFlag(f, on); });
      if (flag == flStretched && isText(top)) {
        // The text object's format comes right after its stretch flag.
        QAction *fmt = Popup1->addAction(QStringLiteral("Variable format..."));
        fmt->setEnabled(static_cast<bool>(EditFormat));
        connect(fmt, &QAction::triggered, this, [this] {
          const std::vector<TfrView *> s = Selection();
          if (s.empty() || !EditFormat) return;
          quint32 format = s.back()->Format;
          QString formatStr = s.back()->FormatStr;
          if (!EditFormat(format, formatStr)) return;
          BeforeChange();
          for (TfrView *v : Selection())
            if (isText(v)) v->Format = format, v->FormatStr = formatStr;
          AfterChange();
        });
      }
    }
  }
  linkMenuItem(N2, CutB);
  linkMenuItem(N1, CopyB);
  linkMenuItem(N3, PstB);
  linkMenuItem(N16, SelAllB);
}

void TfrDesignerForm::setSelectionFlag(quint16 flag, bool on) {
  if (SelNum == 0) return;
  BeforeChange();
  for (TfrView *v : Selection()) v->Flags = on ? (v->Flags | flag) : (v->Flags & ~flag);
  AfterChange();
}

}  // namespace designer
