#include "designer/FR_pgopt.h"

#include "report/core/FR_Class_Page.h"
#include "report/core/FR_Class_Report.h"
#include "report/output/FR_Prntr.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Ctrls.h"
#include "report/ui/FR_Utils_Gui.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace designer {

using namespace report;

namespace {

constexpr int kMaxMillimetres = 99999;
constexpr int kMaxColumns = 255;

// A sheet with lines of text, upright or on its side.
QPixmap orientationPicture(bool portrait) {
  const QSize size = portrait ? QSize(32, 42) : QSize(42, 32);
  QPixmap pm(size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setPen(Qt::black);
  p.setBrush(Qt::white);
  p.drawRect(0, 0, size.width() - 1, size.height() - 1);
  p.setPen(QColor(128, 128, 128));
  for (int y = 6; y < size.height() - 5; y += 4) p.drawLine(5, y, size.width() - 6, y);
  return pm;
}

// Millimetres shown for a length in design pixels, and back.
int pixelsToMm(int px) { return px * 5 / 18; }
int mmToPixels(int mm) { return mm * 18 / 5; }

// The whole number an edit holds, within [lo, hi].
bool readWhole(const QLineEdit *e, int lo, int hi, int &value) {
  bool ok = false;
  const int n = e->text().trimmed().toInt(&ok, 10);
  if (!ok || n < lo || n > hi) return false;
  value = n;
  return true;
}

QLineEdit *numberEdit(QWidget *parent, const char *name, int maxLength) {
  auto *e = frNamed(new QLineEdit(parent), name);
  e->setMaxLength(maxLength);
  e->setFixedWidth(e->fontMetrics().horizontalAdvance(QString(maxLength + 2, QLatin1Char('0'))) + 12);
  return e;
}

}  // namespace

TfrPgoptForm::TfrPgoptForm(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frPgoptForm"));
  setWindowTitle(frLoadStr(53390));
  PageControl1 = frNamed(new QTabWidget(this), "PageControl1");
  TabSheet1 = frNamed(new QWidget, "TabSheet1");
  TabSheet2 = frNamed(new QWidget, "TabSheet2");
  TabSheet3 = frNamed(new QWidget, "TabSheet3");
  PageControl1->addTab(TabSheet1, frLoadStr(53391));
  PageControl1->addTab(TabSheet2, frLoadStr(53398));
  PageControl1->addTab(TabSheet3, frLoadStr(53405));

  // Paper.
  GroupBox2 = frNamed(new QGroupBox(frLoadStr(53392), TabSheet1), "GroupBox2");
  RB1 = frNamed(new QRadioButton(frLoadStr(53393), GroupBox2), "RB1");
  RB2 = frNamed(new QRadioButton(frLoadStr(53394), GroupBox2), "RB2");
  RB2->setChecked(true);
  imgPortrait = frNamed(new QLabel(GroupBox2), "imgPortrait");
  imgLandScape = frNamed(new QLabel(GroupBox2), "imgLandScape");
  imgPortrait->setPixmap(orientationPicture(true));
  imgLandScape->setPixmap(orientationPicture(false));
  for (QLabel *l : {imgPortrait, imgLandScape}) {
    l->setFixedSize(44, 44);
    l->setAlignment(Qt::AlignCenter);
  }
  GroupBox3 = frNamed(new QGroupBox(frLoadStr(53395), TabSheet1), "GroupBox3");
  ComB1 = frNamed(new QComboBox(GroupBox3), "ComB1");
  ComB1->setMinimumContentsLength(20);
  ComB1->view()->setMinimumWidth(200);
  Label1 = frNamed(new QLabel(frLoadStr(53396), GroupBox3), "Label1");
  Label2 = frNamed(new QLabel(frLoadStr(53397), GroupBox3), "Label2");
  E1 = numberEdit(GroupBox3, "E1", 5);
  E2 = numberEdit(GroupBox3, "E2", 5);

  // Margins.
  GroupBox4 = frNamed(new QGroupBox(frLoadStr(53399), TabSheet2), "GroupBox4");
  Label3 = frNamed(new QLabel(frLoadStr(53400), GroupBox4), "Label3");
  Label4 = frNamed(new QLabel(frLoadStr(53401), GroupBox4), "Label4");
  Label5 = frNamed(new QLabel(frLoadStr(53402), GroupBox4), "Label5");
  Label6 = frNamed(new QLabel(frLoadStr(53403), GroupBox4), "Label6");
  E3 = numberEdit(GroupBox4, "E3", 5);
  E4 = numberEdit(GroupBox4, "E4", 5);
  E5 = numberEdit(GroupBox4, "E5", 5);
  E6 = numberEdit(GroupBox4, "E6", 5);
  CB5 = frNamed(new QCheckBox(frLoadStr(53404), TabSheet2), "CB5");

  // Options.
  GroupBox1 = frNamed(new QGroupBox(frLoadStr(53406), TabSheet3), "GroupBox1");
  CB1 = frNamed(new QCheckBox(frLoadStr(53407), GroupBox1), "CB1");
  GroupBox5 = frNamed(new QGroupBox(frLoadStr(53408), TabSheet3), "GroupBox5");
  Label7 = frNamed(new QLabel(frLoadStr(53409), GroupBox5), "Label7");
  Edit1 = numberEdit(GroupBox5, "Edit1", 3);
  Edit1->setText(QStringLiteral("1"));
  QVBoxLayout *spin = frSpinButtons(GroupBox5, SB1, SB2, "SB1", "SB2");
  Label8 = frNamed(new QLabel(frLoadStr(53410), GroupBox5), "Label8");
  E7 = numberEdit(GroupBox5, "E7", 5);
  const std::pair<QLabel *, QLineEdit *> buddies[] = {{Label1, E1},    {Label2, E2}, {Label3, E3},
                                                      {Label4, E4},    {Label5, E5}, {Label6, E6},
                                                      {Label7, Edit1}, {Label8, E7}};
  for (auto [l, e] : buddies) l->setBuddy(e);

  QHBoxLayout *buttons = frOkCancelRow(this, Button1, Button2);

  auto *o = new QGridLayout(GroupBox2);
  o->addWidget(RB1, 0, 0);
  o->addWidget(RB2, 1, 0);
  o->addWidget(imgPortrait, 0, 1, 2, 1);
  o->addWidget(imgLandScape, 0, 1, 2, 1);
  o->setColumnStretch(0, 1);
  auto *s = new QGridLayout(GroupBox3);
  s->addWidget(ComB1, 0, 0, 1, 2);
  s->addWidget(Label1, 1, 0);
  s->addWidget(E1, 1, 1);
  s->addWidget(Label2, 2, 0);
  s->addWidget(E2, 2, 1);
  frColumn(TabSheet1, {GroupBox2, GroupBox3}, true);
  auto *m = new QGridLayout(GroupBox4);
  m->addWidget(Label3, 0, 0);
  m->addWidget(E3, 0, 1);
  m->addWidget(Label4, 1, 0);
  m->addWidget(E4, 1, 1);
  m->addWidget(Label5, 0, 2);
  m->addWidget(E5, 0, 3);
  m->addWidget(Label6, 1, 2);
  m->addWidget(E6, 1, 3);
  frColumn(TabSheet2, {GroupBox4, CB5}, true);
  frColumn(GroupBox1, {CB1});
  auto *c = new QGridLayout(GroupBox5);
  c->addWidget(Label7, 0, 0);
  auto *count = new QHBoxLayout;
  count->setSpacing(1);
  count->addWidget(Edit1);
  count->addLayout(spin);
  count->addStretch();
  c->addLayout(count, 0, 1);
  c->addWidget(Label8, 1, 0);
  c->addWidget(E7, 1, 1);
  frColumn(TabSheet3, {GroupBox1, GroupBox5}, true);
  auto *lay = new QVBoxLayout(this);
  lay->addWidget(PageControl1);
  lay->addLayout(buttons);

  connect(ComB1, &QComboBox::currentIndexChanged, this, [this] { UpdateControls(); });
  connect(CB5, &QCheckBox::toggled, this, [this] { UpdateControls(); });
  connect(RB1, &QRadioButton::toggled, this, [this] { UpdateControls(); });
  connect(SB1, &QAbstractButton::clicked, this, [this] { stepColumns(1); });
  connect(SB2, &QAbstractButton::clicked, this, [this] { stepColumns(-1); });
  UpdateControls();
}

void TfrPgoptForm::SetPapers(const QStringList &names, const std::vector<int> &codes) {
  codes_ = codes;
  codes_.resize(static_cast<size_t>(names.size()), 0);
  const QSignalBlocker block(ComB1);
  ComB1->clear();
  ComB1->addItems(names);
}

int TfrPgoptForm::PaperCode(int index) const {
  return index >= 0 && index < static_cast<int>(codes_.size()) ? codes_[static_cast<size_t>(index)] : -1;
}

void TfrPgoptForm::MarkShown() {
  shown_.clear();
  for (QLineEdit *e : numberEdits()) shown_ << e->text();
}

bool TfrPgoptForm::Changed(const QLineEdit *edit) const {
  const qsizetype i = numberEdits().indexOf(const_cast<QLineEdit *>(edit));
  return i < 0 || i >= shown_.size() || edit->text() != shown_[i];
}

void TfrPgoptForm::UpdateControls() {
  imgPortrait->setVisible(RB1->isChecked());
  imgLandScape->setVisible(!RB1->isChecked());
  frEnableControls({Label1, Label2, E1, E2}, PaperCode(ComB1->currentIndex()) == frCustomPaper);
  frEnableControls({GroupBox4, Label3, Label4, Label5, Label6, E3, E4, E5, E6}, !CB5->isChecked());
}

void TfrPgoptForm::showEvent(QShowEvent *e) {
  UpdateControls();
  ComB1->view()->setMinimumWidth(200);
  QDialog::showEvent(e);
}

void TfrPgoptForm::stepColumns(int delta) {
  int n = 0;
  if (!readWhole(Edit1, 0, kMaxColumns, n)) n = delta > 0 ? 0 : 1;
  Edit1->setText(QString::number(std::clamp(n + delta, 0, kMaxColumns)));
}

void TfrPgoptForm::done(int r) {
  if (r == QDialog::Accepted) {
    struct Field {
      QLineEdit *edit;
      QLabel *label;
      QWidget *tab;
      int lo, hi;
    };
    const Field fields[] = {
        {E1, Label1, TabSheet1, 1, kMaxMillimetres}, {E2, Label2, TabSheet1, 1, kMaxMillimetres},
        {E3, Label3, TabSheet2, 0, kMaxMillimetres}, {E4, Label4, TabSheet2, 0, kMaxMillimetres},
        {E5, Label5, TabSheet2, 0, kMaxMillimetres}, {E6, Label6, TabSheet2, 0, kMaxMillimetres},
        {Edit1, Label7, TabSheet3, 0, kMaxColumns},  {E7, Label8, TabSheet3, 0, kMaxMillimetres}};
    for (const Field &f : fields) {
      int v = 0;
      if (!f.edit->isEnabled() || !Changed(f.edit) || readWhole(f.edit, f.lo, f.hi, v)) continue;
      PageControl1->setCurrentWidget(f.tab);
      f.edit->setFocus();
      f.edit->selectAll();
      if (frErrorBox)
        frErrorBox(QStringLiteral("%1: '%2' is not a whole number from %3 to %4.")
                       .arg(QString(f.label->text()).remove(QLatin1Char('&')), f.edit->text())
                       .arg(f.lo)
                       .arg(f.hi));
      return;
    }
  }
  QDialog::done(r);
}

bool EditPageOptions(QWidget *parent, TfrPage &page) {
  TfrPgoptForm dlg(parent);
  // The paper list of the selected printer, or the engine's table without one.
  QStringList names;
  std::vector<int> codes;
  if (frPrinter && frPrinter->PaperCount > 0) {
    for (int i = 0; i < frPrinter->PaperCount && i < frPrinter->PaperNames.size(); ++i) {
      names << frPrinter->PaperNames[i];
      codes.push_back(frPrinter->PaperCodes[static_cast<size_t>(i)]);
    }
  } else {
    for (const TfrPaperInfo &p : frPaperInfo) {
      names << QString::fromLatin1(p.name);
      codes.push_back(p.code);
    }
  }
  // A printer's own list may lack a custom size: it is offered all the same, last, so that a
  // page of its own size shows as such and its size can be edited.
  if (std::find(codes.begin(), codes.end(), frCustomPaper) == codes.end()) {
    for (const TfrPaperInfo &p : frPaperInfo)
      if (p.code == frCustomPaper) names << QString::fromLatin1(p.name);
    codes.push_back(frCustomPaper);
  }
  dlg.SetPapers(names, codes);
  int paperIndex = static_cast<int>(std::find(codes.begin(), codes.end(), page.pgSize) - codes.begin());
  if (paperIndex >= static_cast<int>(codes.size())) paperIndex = static_cast<int>(codes.size()) - 1;

  dlg.CB1->setChecked(page.PrintToPrevPage);
  dlg.CB5->setChecked(!page.UseMargins);
  dlg.RB1->setChecked(page.pgOr == 0);
  dlg.RB2->setChecked(page.pgOr != 0);
  dlg.ComB1->setCurrentIndex(paperIndex);
  dlg.E1->setText(QString::number(page.pgWidth / 10));
  dlg.E2->setText(QString::number(page.pgHeight / 10));
  dlg.E3->setText(QString::number(pixelsToMm(page.pgMargins.Left)));
  dlg.E4->setText(QString::number(pixelsToMm(page.pgMargins.Top)));
  dlg.E5->setText(QString::number(pixelsToMm(page.pgMargins.Right)));
  dlg.E6->setText(QString::number(pixelsToMm(page.pgMargins.Bottom)));
  dlg.E7->setText(QString::number(pixelsToMm(page.ColGap)));
  dlg.Edit1->setText(QString::number(page.ColCount));
  dlg.UpdateControls();
  // A field whose text is still the one shown keeps the page's exact value.
  dlg.MarkShown();
  const bool portrait = dlg.RB1->isChecked();

  if (dlg.exec() != QDialog::Accepted) return false;

  // The dialog took OK only with every changed field in effect a number in range.
  auto changed = [&](const QLineEdit *e, int &value) {
    if (!e->isEnabled() || !dlg.Changed(e)) return false;
    value = e->text().trimmed().toInt();
    return true;
  };
  page.PrintToPrevPage = dlg.CB1->isChecked();
  page.UseMargins = !dlg.CB5->isChecked();
  if (dlg.RB1->isChecked() != portrait) page.pgOr = dlg.RB1->isChecked() ? 0 : 1;
  if (dlg.ComB1->currentIndex() != paperIndex) {
    page.pgSize = dlg.PaperCode(dlg.ComB1->currentIndex());
    for (const TfrPaperInfo &p : frPaperInfo)
      if (p.code == page.pgSize && p.code != frCustomPaper) page.pgWidth = p.width, page.pgHeight = p.height;
  }
  int v = 0;
  if (changed(dlg.E1, v)) page.pgWidth = v * 10;
  if (changed(dlg.E2, v)) page.pgHeight = v * 10;
  if (changed(dlg.E3, v)) page.pgMargins.Left = mmToPixels(v);
  if (changed(dlg.E4, v)) page.pgMargins.Top = mmToPixels(v);
  if (changed(dlg.E5, v)) page.pgMargins.Right = mmToPixels(v);
  if (changed(dlg.E6, v)) page.pgMargins.Bottom = mmToPixels(v);
  if (changed(dlg.E7, v)) page.ColGap = mmToPixels(v);
  if (changed(dlg.Edit1, v)) page.ColCount = v;
  page.ChangePaper();
  return true;
}

}  // namespace designer
