#include "report/ui/FR_View.h"

#include "platform/dialogs.h"
#include "platform/settings_store.h"
#include "report/core/FR_Class_Band.h"
#include "report/core/FR_Class_Page.h"
#include "report/output/FR_Canvas.h"
#include "report/output/FR_Prntr.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Desgn_Intf.h"
#include "report/ui/FR_Utils_Gui.h"
#include "report/ui/FR_Ctrls.h"
#include "report/ui/FR_PrDlg.h"
#include "report/ui/FR_Srch.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWhatsThis>

#include <algorithm>
#include <array>
#include <cmath>

namespace report {

double frLastScale = 1.0;
int frLastZoomMode = 0;

namespace {


QString reportFilter() { return frLoadStr(53011) + QStringLiteral(" (*.frp)"); }

// A file dialog of our own (not the platform's), so that it behaves the same everywhere.
QString chooseFile(QWidget *parent, const char *name, bool save) {
  QFileDialog dlg(parent);
  dlg.setObjectName(QLatin1String(name));
  dlg.setOption(QFileDialog::DontUseNativeDialog);
  dlg.setNameFilter(reportFilter());
  dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
  return dlg.selectedFiles().constFirst();
}

}  // namespace

// ---------------------------------------------------------------- page area

TfrPBox::TfrPBox(TfrPreviewForm *form) : QWidget(form), form_(form) {
  setObjectName(QStringLiteral("PBox"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
  setMinimumSize(100, 100);
}

void TfrPBox::paintEvent(QPaintEvent *e) {
  QPainter p(this);
  p.setClipRect(e->rect());
  form_->paintPages(p, e->rect());
}

void TfrPBox::resizeEvent(QResizeEvent *) { form_->LayoutPages(); }

void TfrPBox::wheelEvent(QWheelEvent *e) { QCoreApplication::sendEvent(form_->VScrollBar, e); }

// ---------------------------------------------------------------- window

TfrPreviewForm::TfrPreviewForm(QWidget *parent) : QDialog(parent, Qt::Window) {
  setObjectName(QStringLiteral("frPreviewForm"));
  setWindowTitle(frLoadStr(53010));
  setSizeGripEnabled(true);

  Panel1 = frNamed(new QWidget(this), "Panel1");
  Panel1->setProperty("Align", int(alTop));
  Panel1->setAutoFillBackground(true);
  auto *bar = new QHBoxLayout(Panel1);
  bar->setContentsMargins(2, 2, 2, 2);
  bar->setSpacing(0);
  auto button = [&](const char *name, const char *glyph, int hint) {
    auto *b = frNamed(new TfrTBButton(Panel1), name);
    b->SetGlyph(frGlyph(QLatin1String(glyph)));
    b->setToolTip(frLoadStr(hint));
    b->setWhatsThis(frLoadStr(hint));
    b->setFixedSize(b->sizeHint());
    return b;
  };
  auto separator = [&](const char *name) {
    auto *s = frNamed(new TfrTBSeparator(Panel1), name);
    s->setFixedSize(8, 22);
    return s;
  };
  ZoomBtn = button("ZoomBtn", "zoom", 53027);
  ZoomBtn->setText(QStringLiteral("100%"));
  ZoomBtn->setFixedSize(ZoomBtn->fontMetrics().horizontalAdvance(QStringLiteral("1000%")) + 34, 22);
  frTBSeparator1 = separator("frTBSeparator1");
  LoadBtn = button("LoadBtn", "open", 53028);
  SaveBtn = button("SaveBtn", "save", 53029);
  PrintBtn = button("PrintBtn", "print", 53030);
  FindBtn = button("FindBtn", "find", 53031);
  frTBSeparator2 = separator("frTBSeparator2");
  HelpBtn = button("HelpBtn", "help", 53032);
  ExitBtn = button("ExitBtn", "exit", 53033);
  for (QWidget *w : std::initializer_list<QWidget *>{ZoomBtn, frTBSeparator1, LoadBtn, SaveBtn, PrintBtn, FindBtn,
                                                      frTBSeparator2, HelpBtn, ExitBtn})
    bar->addWidget(w);
  bar->addStretch();

  PreviewPanel = frNamed(new QWidget(this), "PreviewPanel");
  PBox = new TfrPBox(this);
  PBox->setParent(PreviewPanel);
  VScrollBar = frNamed(new QScrollBar(Qt::Vertical, PreviewPanel), "VScrollBar");
  HScrollBar = frNamed(new QScrollBar(Qt::Horizontal, PreviewPanel), "HScrollBar");
  for (QScrollBar *s : {VScrollBar, HScrollBar}) {
    s->setFocusPolicy(Qt::NoFocus);
    s->setSingleStep(20);
    connect(s, &QScrollBar::valueChanged, this, &TfrPreviewForm::scrolled);
  }
  PgUp = frNamed(new TfrSpeedButton(PreviewPanel), "PgUp");
  PgDown = frNamed(new TfrSpeedButton(PreviewPanel), "PgDown");
  PgUp->SetGlyph(frGlyph(QStringLiteral("page_up")));
  PgDown->SetGlyph(frGlyph(QStringLiteral("page_down")));
  const int sw = VScrollBar->sizeHint().width();
  for (TfrSpeedButton *b : {PgUp, PgDown}) b->setFixedSize(sw, sw);
  connect(PgUp, &QAbstractButton::clicked, this, [this] { GotoPage(curPage_ - 1); });
  connect(PgDown, &QAbstractButton::clicked, this, [this] { GotoPage(curPage_ + 1); });
  auto *grid = new QGridLayout(PreviewPanel);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(0);
  grid->addWidget(PBox, 0, 0, 3, 1);
  grid->addWidget(VScrollBar, 0, 1);
  grid->addWidget(PgUp, 1, 1);
  grid->addWidget(PgDown, 2, 1);
  grid->addWidget(HScrollBar, 3, 0);
  grid->setRowStretch(0, 1);
  grid->setColumnStretch(0, 1);

  auto *lay = new QVBoxLayout(this);
  lay->setContentsMargins(0, 0, 0, 0);
  lay->setSpacing(0);
  lay->addWidget(Panel1);
  lay->addWidget(PreviewPanel, 1);

  // The zoom and page menu.
  ProcMenu = frNamed(new QMenu(this), "ProcMenu");
  auto *zoomGroup = new QActionGroup(ProcMenu);
  auto zoomItem = [&](const QString &text, int tag, const QString &name) {
    QAction *a = ProcMenu->addAction(text);
    a->setObjectName(name);
    a->setCheckable(true);
    a->setData(tag);
    zoomGroup->addAction(a);
    connect(a, &QAction::triggered, this, [this, tag] {
      SetZoom(tag);
      frLastScale = scale_;
      frLastZoomMode = zoomMode_;
    });
    return a;
  };
  for (int pct : {200, 150, 100, 75, 50, 25, 10})
    zoomItem(QStringLiteral("%1%").arg(pct), pct, QStringLiteral("Zoom%1").arg(pct))->setChecked(pct == 100);
  zoomItem(frLoadStr(53012), 1, QStringLiteral("N2"));
  zoomItem(frLoadStr(53013), 2, QStringLiteral("N3"));
  zoomItem(frLoadStr(53014), 3, QStringLiteral("N4"));
  N8 = ProcMenu->addSeparator();
  N8->setObjectName(QStringLiteral("N8"));
  N5 = ProcMenu->addAction(frLoadStr(53015), this, &TfrPreviewForm::EditPage);
  N6 = ProcMenu->addAction(frLoadStr(53016), this, &TfrPreviewForm::AddPage);
  N7 = ProcMenu->addAction(frLoadStr(53017), this, &TfrPreviewForm::DeletePage);
  N5->setObjectName(QStringLiteral("N5"));
  N6->setObjectName(QStringLiteral("N6"));
  N7->setObjectName(QStringLiteral("N7"));

  connect(ZoomBtn, &QAbstractButton::clicked, this, &TfrPreviewForm::popupZoomMenu);
  connect(LoadBtn, &QAbstractButton::clicked, this, &TfrPreviewForm::Open);
  connect(SaveBtn, &QAbstractButton::clicked, this, &TfrPreviewForm::Save);
  connect(PrintBtn, &QAbstractButton::clicked, this, &TfrPreviewForm::Print);
  connect(FindBtn, &QAbstractButton::clicked, this, &TfrPreviewForm::Find);
  connect(HelpBtn, &QAbstractButton::clicked, this, [] { QWhatsThis::enterWhatsThisMode(); });
  connect(ExitBtn, &QAbstractButton::clicked, this, &TfrPreviewForm::close1);

  resize(900, 700);
}

TfrPreviewForm::~TfrPreviewForm() = default;

int TfrPreviewForm::PageCount() const { return pages_ ? pages_->Count() : 0; }

QRect TfrPreviewForm::PageRect(int index) const {
  return index >= 0 && index < static_cast<int>(rects_.size()) ? rects_[static_cast<size_t>(index)] : QRect();
}

bool TfrPreviewForm::hasPrinter() const { return frPrinter && frPrinter->Printers.size() > 1; }

bool TfrPreviewForm::editItemsVisible() const { return frReportDesigner != nullptr; }

void TfrPreviewForm::ShowForReport(TfrReport &report, std::unique_ptr<TfrEMFPages> pages) {
  report_ = &report;
  pages_ = std::move(pages);
  if (!pages_) pages_ = std::make_unique<TfrEMFPages>(&report);
  pages_->Parent = &report;
  const int b = report.PreviewButtons;
  ZoomBtn->setVisible(b & TfrReport::pbZoom);
  frTBSeparator1->setVisible(b & TfrReport::pbZoom);
  LoadBtn->setVisible(b & TfrReport::pbLoad);
  SaveBtn->setVisible(b & TfrReport::pbSave);
  PrintBtn->setVisible(b & TfrReport::pbPrint);
  FindBtn->setVisible(b & TfrReport::pbFind);
  HelpBtn->setVisible(b & TfrReport::pbHelp);
  ExitBtn->setVisible(b & TfrReport::pbExit);
  frTBSeparator2->setVisible(b & (TfrReport::pbHelp | TfrReport::pbExit));
  PrintBtn->setEnabled(hasPrinter());
  const bool edit = editItemsVisible();
  for (QAction *a : {N5, N6, N7, N8}) a->setVisible(edit);

  switch (report.InitialZoom) {
    case TfrReport::pzPageWidth: zoomMode_ = 1; break;
    case TfrReport::pzOnePage: zoomMode_ = 2; break;
    case TfrReport::pzTwoPages: zoomMode_ = 3; break;
    default:
      zoomMode_ = frLastZoomMode;
      scale_ = frLastScale;
      break;
  }
  for (QAction *a : ProcMenu->actions()) {
    const int tag = a->data().toInt();
    if (a->isCheckable()) a->setChecked(zoomMode_ == 0 ? tag == qRound(scale_ * 100) : tag == zoomMode_);
  }

  bool gray = report.GrayedButtons;
  if (frReportDesigner)
    gray = platform::readRegistry(QStringLiteral("Form\\") + frReportDesigner->objectName(), QStringLiteral("GrayButtons"), false)
               .toBool();
  for (TfrTBButton *btn : {ZoomBtn, LoadBtn, SaveBtn, PrintBtn, FindBtn, HelpBtn, ExitBtn}) btn->SetGrayedInactive(gray);

  curPage_ = 1;
  LayoutPages();
  VScrollBar->setValue(0);
  HScrollBar->setValue(0);
}

void TfrPreviewForm::LayoutPages() {
  if (lent_) {
    PBox->update();
    return;
  }
  const int n = PageCount();
  rects_.assign(static_cast<size_t>(n), QRect());
  if (n == 0) {
    VScrollBar->setRange(0, 0);
    HScrollBar->setRange(0, 0);
    VScrollBar->setEnabled(false);
    HScrollBar->setEnabled(false);
    PBox->update();
    return;
  }
  curPage_ = std::clamp(curPage_, 1, n);
  const TfrPageRec *cur = pages_->GetPageRec(curPage_ - 1);
  const double pw = std::max(1, cur->PrnInfo.pageWidth), ph = std::max(1, cur->PrnInfo.pageHeight);
  const int boxW = PBox->width(), boxH = PBox->height();
  switch (zoomMode_) {
    case 1: scale_ = (boxW - 20) / pw; break;
    case 2: scale_ = (boxH - 20) / ph; break;
    case 3: scale_ = (boxW - 30) / (2 * pw); break;
    default: break;
  }
  scale_ = std::clamp(scale_, 0.01, 20.0);
  ZoomBtn->setText(QString::number(std::nearbyint(scale_ * 100)) + QLatin1Char('%'));

  auto scaled = [this](int i) {
    const TfrPageRec *r = pages_->GetPageRec(i);
    return QSize(static_cast<int>(r->PrnInfo.pageWidth * scale_), static_cast<int>(r->PrnInfo.pageHeight * scale_));
  };
  int perRow = 1;
  if (zoomMode_ == 2) {
    perRow = 1;
  } else if (zoomMode_ == 3) {
    perRow = 2;
  } else {
    int x = 10, fit = 0;
    for (int i = 0; i < n; ++i) {
      x += scaled(i).width() + 10;
      if (x > boxW) break;
      ++fit;
    }
    perRow = std::max(1, fit);
  }
  int y = 10, right = 0, bottom = 0;
  tallest_ = 0;
  for (int i = 0; i < n;) {
    int x = 10, rowH = 0;
    for (int k = 0; k < perRow && i < n; ++k, ++i) {
      const QSize s = scaled(i);
      if (perRow == 1 && s.width() < boxW) x = (boxW - s.width()) / 2;
      rects_[static_cast<size_t>(i)] = QRect(QPoint(x, y), s);
      right = std::max(right, x + s.width());
      x += s.width() + 10;
      rowH = std::max(rowH, s.height());
      tallest_ = std::max(tallest_, s.height());
    }
    bottom = y + rowH;
    y += rowH + 10;
  }
  settingScroll_ = true;
  const int hr = std::max(0, right - boxW + 10), vr = std::max(0, bottom - boxH + 10);
  HScrollBar->setRange(0, hr);
  VScrollBar->setRange(0, vr);
  HScrollBar->setPageStep(std::max(1, boxW));
  VScrollBar->setPageStep(std::max(1, boxH));
  HScrollBar->setEnabled(hr > 0);
  VScrollBar->setEnabled(vr > 0);
  settingScroll_ = false;
  PBox->update();
}

void TfrPreviewForm::scrolled() {
  if (lent_) {
    PBox->update();
    return;
  }
  if (settingScroll_) return;
  // The current page is the first one reaching into the view's top.
  const int top = VScrollBar->value();
  for (int i = 0; i < PageCount(); ++i)
    if (rects_[static_cast<size_t>(i)].bottom() >= top) {
      curPage_ = i + 1;
      break;
    }
  PBox->update();
}

void TfrPreviewForm::paintPages(QPainter &p, const QRect &area) {
  p.fillRect(area, QColor(128, 128, 128));
  const QPoint offset(-HScrollBar->value(), -VScrollBar->value());
  const QRect view = PBox->rect();
  std::vector<int> nowShown;
  TfrPainterCanvas canvas(&p, TfrCanvasKind::Screen);
  // Page tops never decrease: start by a binary search one tallest page above the view.
  const int from = VScrollBar->value() - tallest_ - 10;
  const auto first = std::lower_bound(rects_.begin(), rects_.end(), from,
                                      [](const QRect &r, int y) { return r.top() < y; });
  for (auto it = first; it != rects_.end(); ++it) {
    const int i = static_cast<int>(it - rects_.begin());
    const QRect r = it->translated(offset);
    if (r.top() > view.bottom()) break;
    if (!r.intersects(view)) continue;
    nowShown.push_back(i);
    if (!r.intersects(area)) continue;
    p.fillRect(r.translated(3, 3), QColor(64, 64, 64));
    p.fillRect(r, Qt::white);
    if (!lent_) {
      p.save();
      p.setClipRect(r.intersected(area));
      TfrPageRec *rec = pages_->GetPageRec(i);
      rec->Visible = true;
      pages_->Draw(i, canvas, r);
      p.restore();
    }
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
  }
  if (lent_) return;
  // Pages no longer in view give their objects up.
  for (int i : shown_) {
    if (std::find(nowShown.begin(), nowShown.end(), i) != nowShown.end()) continue;
    if (TfrPageRec *rec = pages_->GetPageRec(i)) {
      rec->Visible = false;
      TfrMeasureCanvas none;
      pages_->Draw(i, none, QRect());
    }
  }
  shown_ = std::move(nowShown);
}

void TfrPreviewForm::SetZoom(int tag) {
  if (tag == 1 || tag == 2 || tag == 3) {
    zoomMode_ = tag;
  } else {
    zoomMode_ = 0;
    scale_ = tag / 100.0;
  }
  for (QAction *a : ProcMenu->actions())
    if (a->isCheckable()) a->setChecked(a->data().toInt() == tag);
  HScrollBar->setValue(0);
  LayoutPages();
  // Keep the current page in view.
  settingScroll_ = true;
  VScrollBar->setValue(PageRect(curPage_ - 1).top() - 10);
  settingScroll_ = false;
}

void TfrPreviewForm::popupZoomMenu() {
  for (QAction *a : {N5, N6, N7, N8}) a->setVisible(false);
  ProcMenu->popup(ZoomBtn->mapToGlobal(QPoint(0, ZoomBtn->height())));
  connect(ProcMenu, &QMenu::aboutToHide, this, [this] {
    const bool edit = editItemsVisible();
    for (QAction *a : {N5, N6, N7, N8}) a->setVisible(edit);
  }, Qt::SingleShotConnection);
}

void TfrPreviewForm::GotoPage(int page) {
  const int n = PageCount();
  if (n == 0) return;
  curPage_ = std::clamp(page, 1, n);
  settingScroll_ = true;
  VScrollBar->setValue(PageRect(curPage_ - 1).top() - 10);
  settingScroll_ = false;
  PBox->update();
}

// ---------------------------------------------------------------- search

void TfrPreviewForm::Find() {
  if (PageCount() == 0) return;
  TfrPreviewSearchForm dlg(this);
  if (dlg.exec() != QDialog::Accepted || dlg.Edit1->text().isEmpty()) return;
  FindText(dlg.Edit1->text(), dlg.CB1->isChecked(), dlg.RB1->isChecked() ? 0 : curPage_ - 1, 0);
}

bool TfrPreviewForm::FindNext() {
  if (findText_.isEmpty()) return false;
  // A page changed since the last search restarts from the current page.
  if (curPage_ != foundPage_) return FindText(findText_, findCase_, curPage_ - 1, 0);
  return FindText(findText_, findCase_, findPage_, findRecord_);
}

bool TfrPreviewForm::FindText(const QString &text, bool caseSensitive, int startPage, int startRecord) {
  if (lent_) return false;
  findCase_ = caseSensitive;
  findText_ = caseSensitive ? text : text.toUpper();
  for (int i = std::max(0, startPage); i < PageCount(); ++i) {
    TfrPageRec *rec = pages_->GetPageRec(i);
    const bool kept = rec->Visible;
    rec->Visible = true;
    TfrRecordCanvas rc;
    pages_->Draw(i, rc, QRect(0, 0, rec->PrnInfo.pageWidth, rec->PrnInfo.pageHeight));
    const auto calls = rc.textCalls();
    for (size_t k = i == startPage ? static_cast<size_t>(std::max(0, startRecord)) : 0; k < calls.size(); ++k) {
      const QString &t = calls[k]->text;
      if (!(caseSensitive ? t : t.toUpper()).contains(findText_)) continue;
      rec->Visible = kept;
      curPage_ = i + 1;
      findPage_ = i;
      findRecord_ = static_cast<int>(k) + 1;
      foundPage_ = curPage_;
      // The match's top-left corner 10 pixels inside the view.
      const QRect r = PageRect(i);
      settingScroll_ = true;
      VScrollBar->setValue(r.top() + static_cast<int>(calls[k]->pos.y() * scale_) - 10);
      HScrollBar->setValue(r.left() + static_cast<int>(calls[k]->pos.x() * scale_) - 10);
      settingScroll_ = false;
      PBox->update();
      return true;
    }
    rec->Visible = kept;
    if (!kept) pages_->Draw(i, rc, QRect());  // frees the page's objects again
  }
  return false;
}

// ---------------------------------------------------------------- commands

void TfrPreviewForm::withPagesInReport(const std::function<void()> &f) {
  struct Back {
    TfrPreviewForm *form;
    ~Back() {
      std::swap(form->report_->EMFPages, form->pages_);
      form->pages_->Parent = form->report_;
      form->lent_ = false;
      // A print fills the pages' geometry from the printer.
      form->LayoutPages();
    }
  };
  lent_ = true;
  std::swap(report_->EMFPages, pages_);
  Back back{this};
  f();
}

void TfrPreviewForm::Print() {
  if (lent_ || !report_ || !hasPrinter() || PageCount() == 0) return;
  TfrPrintForm dlg(PageCount(), curPage_, this);
  if (dlg.exec() != QDialog::Accepted) return;
  if ((frPrinter->PrinterIndex() != dlg.OldIndex() || dlg.PaperChosen()) && report_->CanRebuild) {
    // A paper chosen through "Properties": the design pages take it for this
    // build and have their own back after it.
    std::vector<std::pair<TfrPage *, std::array<int, 4>>> papers;
    for (int i = 0; dlg.PaperChosen() && i < report_->Pages.Count(); ++i) {
      TfrPage *p = report_->Pages[i];
      papers.push_back({p, {p->pgSize, p->pgWidth, p->pgHeight, p->pgOr}});
      p->pgSize = dlg.ChosenPaperSize();
      p->pgWidth = dlg.ChosenPaperWidth();
      p->pgHeight = dlg.ChosenPaperHeight();
      p->pgOr = static_cast<quint8>(dlg.ChosenOrientation());
    }
    struct Back {
      std::vector<std::pair<TfrPage *, std::array<int, 4>>> &papers;
      ~Back() {
        for (auto &[p, v] : papers) p->pgSize = v[0], p->pgWidth = v[1], p->pgHeight = v[2], p->pgOr = quint8(v[3]);
      }
    } back{papers};
    if (!report_->ChangePrinter(dlg.OldIndex(), frPrinter->PrinterIndex())) return;
    const bool built = report_->PrepareReport();
    if (!built) {
      // As ShowReport does: the error text, and nothing printed; a build the
      // user cancelled prints no part of the report either.
      if (frBuild.ErrorFlag && frErrorBox) frErrorBox(frBuild.ErrorText);
      report_->EMFPages->Clear();
      return;
    }
    if (report_->EMFPages->Count() > 0) {
      pages_ = std::move(report_->EMFPages);
      report_->EMFPages = std::make_unique<TfrEMFPages>(report_);
      shown_.clear();
      LayoutPages();
    }
  }
  const QString pageNumbers = dlg.PageNumbers();
  const int copies = dlg.Copies();
  withPagesInReport([&] { report_->PrintPreparedReport(pageNumbers, copies); });
}

void TfrPreviewForm::Open() {
  const QString name = chooseFile(this, "OpenDialog", false);
  if (!name.isEmpty()) OpenFile(name);
}

void TfrPreviewForm::Save() {
  QString name = chooseFile(this, "SaveDialog", true);
  if (name.isEmpty()) return;
  const QFileInfo fi(name);
  if (fi.suffix().compare(QLatin1String("frp"), Qt::CaseInsensitive) != 0)
    name = fi.path() + QLatin1Char('/') + fi.completeBaseName() + QStringLiteral(".frp");
  SaveFile(name);
}

bool TfrPreviewForm::OpenFile(const QString &fileName) {
  if (lent_) return false;
  auto loaded = std::make_unique<TfrEMFPages>(report_);
  try {
    loaded->LoadFromFile(fileName);
  } catch (const Exception &e) {
    if (frErrorBox)
      frErrorBox(QStringLiteral("\"%1\" cannot be opened as a prepared report.\n%2").arg(fileName, e.message()));
    return false;
  }
  if (loaded->Count() == 0) {
    if (frErrorBox) frErrorBox(QStringLiteral("\"%1\" holds no pages.").arg(fileName));
    return false;
  }
  pages_ = std::move(loaded);
  shown_.clear();
  if (report_) report_->CanRebuild = false;
  curPage_ = 1;
  findText_.clear();
  LayoutPages();
  VScrollBar->setValue(0);
  HScrollBar->setValue(0);
  return true;
}

bool TfrPreviewForm::SaveFile(const QString &fileName) {
  if (lent_) return false;
  try {
    pages_->SaveToFile(fileName);
    return true;
  } catch (const Exception &e) {
    if (frErrorBox) frErrorBox(e.message());
    return false;
  }
}

void TfrPreviewForm::AddPage() {
  if (lent_ || !report_) return;
  static const TfrPage a4;
  const TfrPage &paper = report_->Pages.Count() > 0 ? *report_->Pages[0] : a4;
  pages_->Insert(curPage_ - 1, paper);
  shown_.clear();
  LayoutPages();
}

void TfrPreviewForm::DeletePage() {
  if (lent_ || PageCount() <= 1) return;
  if (platform::messageBox(platform::MessageKind::Confirmation, frLoadStr(55005),
                           QMessageBox::Yes | QMessageBox::No, frLoadStr(53025), this) != QMessageBox::Yes)
    return;
  pages_->Delete(curPage_ - 1);
  shown_.clear();
  LayoutPages();
}

void TfrPreviewForm::EditPage() {
  if (lent_ || !report_ || !report_->ModifyPrepared || !frReportDesigner) return;
  const int index = curPage_ - 1;
  shown_.clear();  // the edited page's objects are rebuilt
  withPagesInReport([&] { report_->EditPreparedReport(index); });
}

void TfrPreviewForm::close1() {
  if (isModal()) accept();
  else close();
}

void TfrPreviewForm::closeEvent(QCloseEvent *e) {
  if (lent_) {
    e->ignore();  // the pages come back to this window
    return;
  }
  pages_.reset();
  rects_.clear();
  shown_.clear();
  QDialog::closeEvent(e);
}

void TfrPreviewForm::keyPressEvent(QKeyEvent *e) {
  if (lent_) return;
  if (PageCount() == 0) {
    QDialog::keyPressEvent(e);
    return;
  }
  const bool ctrl = e->modifiers() & Qt::ControlModifier;
  auto step = [](QScrollBar *s, int by) { s->setValue(s->value() + by); };
  switch (e->key()) {
    case Qt::Key_Up: step(VScrollBar, -VScrollBar->singleStep()); break;
    case Qt::Key_Down: step(VScrollBar, VScrollBar->singleStep()); break;
    case Qt::Key_Left: step(HScrollBar, -HScrollBar->singleStep()); break;
    case Qt::Key_Right: step(HScrollBar, HScrollBar->singleStep()); break;
    case Qt::Key_PageUp:
      if (ctrl) GotoPage(curPage_ - 1);
      else step(VScrollBar, -VScrollBar->pageStep());
      break;
    case Qt::Key_PageDown:
      if (ctrl) GotoPage(curPage_ + 1);
      else step(VScrollBar, VScrollBar->pageStep());
      break;
    case Qt::Key_Home:
      if (!ctrl) return QDialog::keyPressEvent(e);
      VScrollBar->setValue(0);
      break;
    case Qt::Key_End:
      if (!ctrl) return QDialog::keyPressEvent(e);
      GotoPage(PageCount());
      break;
    case Qt::Key_Space: popupZoomMenu(); break;
    case Qt::Key_Escape: close1(); break;
    case Qt::Key_O:
      if (!ctrl) return QDialog::keyPressEvent(e);
      Open();
      break;
    case Qt::Key_S:
      if (!ctrl) return QDialog::keyPressEvent(e);
      Save();
      break;
    case Qt::Key_P:
      if (!ctrl) return QDialog::keyPressEvent(e);
      if (!PrintBtn->isHidden()) Print();
      break;
    case Qt::Key_F:
      if (!ctrl) return QDialog::keyPressEvent(e);
      Find();
      break;
    case Qt::Key_E:
      if (!ctrl) return QDialog::keyPressEvent(e);
      if (editItemsVisible()) EditPage();
      break;
    case Qt::Key_F3: FindNext(); break;
    case Qt::Key_Delete:
      if (editItemsVisible()) DeletePage();
      break;
    case Qt::Key_Insert:
      if (editItemsVisible()) AddPage();
      break;
    default: QDialog::keyPressEvent(e); return;
  }
  e->accept();
}

// ---------------------------------------------------------------- embedded page area

TfrPreviewPanel::TfrPreviewPanel(QWidget *parent) : QFrame(parent), form_(std::make_unique<TfrPreviewForm>()) {
  setObjectName(QStringLiteral("frPreview"));
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  auto *lay = new QVBoxLayout(this);
  lay->setContentsMargins(1, 1, 1, 1);
  lay->addWidget(form_->PreviewPanel);  // the page area moves here; the window stays hidden
}

TfrPreviewPanel::~TfrPreviewPanel() {
  // The page area belongs to this panel now; give it back to the window it works for.
  form_->PreviewPanel->setParent(form_.get());
}

void TfrPreviewPanel::Connect(TfrReport *report) {
  if (!report) return;
  std::unique_ptr<TfrEMFPages> pages = std::move(report->EMFPages);
  report->EMFPages = std::make_unique<TfrEMFPages>(report);
  form_->ShowForReport(*report, std::move(pages));
}

void TfrPreviewPanel::SetScrollBars(TScrollBars bars) {
  scrollBars_ = bars;
  const bool v = bars == ssVertical || bars == ssBoth, h = bars == ssHorizontal || bars == ssBoth;
  form_->VScrollBar->setVisible(v);
  form_->PgUp->setVisible(v);
  form_->PgDown->setVisible(v);
  form_->HScrollBar->setVisible(h);
}

void frShowPreviewWindow(TfrReport &report, std::unique_ptr<TfrEMFPages> pages, const QString &caption, bool modal) {
  if (!qobject_cast<QApplication *>(QCoreApplication::instance())) return;
  auto *form = new TfrPreviewForm;
  form->setAttribute(Qt::WA_DeleteOnClose);
  form->setWindowTitle(caption);
  form->ShowForReport(report, std::move(pages));
  if (modal) {
    form->exec();
  } else {
    form->show();
  }
}

}  // namespace report
