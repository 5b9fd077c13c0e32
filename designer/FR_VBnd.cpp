#include "designer/FR_VBnd.h"

#include "designer/FR_BndEd.h"
#include "report/core/FR_Class_Page.h"
#include "report/core/FR_Class_View.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Desgn_Intf.h"
#include "report/ui/FR_Utils_Gui.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace designer {

using namespace report;

QStringList frSplitCrossSources(const QString &format, const QStringList &bands) {
  QStringList sources;
  if (!format.contains(u';')) {
    for (qsizetype i = 0; i < bands.size(); ++i) sources << format;
    return sources;
  }
  for (qsizetype i = 0; i < bands.size(); ++i) sources << QString();
  for (const QString &entry : format.split(u';', Qt::SkipEmptyParts)) {
    const qsizetype eq = entry.indexOf(u'=');
    if (eq < 0) continue;
    const QString name = entry.left(eq);
    for (qsizetype i = 0; i < bands.size(); ++i)
      if (bands[i].compare(name, Qt::CaseInsensitive) == 0) sources[i] = entry.mid(eq + 1);
  }
  return sources;
}

QString frJoinCrossSources(const QStringList &bands, const QStringList &sources) {
  QString s;
  for (qsizetype i = 0; i < bands.size() && i < sources.size(); ++i) s += bands[i] + u'=' + sources[i] + u';';
  return s;
}

TfrVBandEditorForm::TfrVBandEditorForm(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frVBandEditorForm"));
  setWindowTitle(frLoadStr(53485));
  GB1 = frNamed(new QGroupBox(frLoadStr(53486), this), "GB1");
  LB1 = frNamed(new QListWidget(GB1), "LB1");
  const int x = LB1->fontMetrics().horizontalAdvance(QLatin1Char('x'));
  LB1->setMinimumSize(x * 32, LB1->fontMetrics().height() * 8);
  GB2 = frNamed(new QGroupBox(frLoadStr(53487), this), "GB2");
  CB1 = frNamed(new QComboBox(GB2), "CB1");
  CB1->setMinimumWidth(x * 30);
  Label1 = frNamed(new QLabel(frLoadStr(53488), GB2), "Label1");
  E1 = frNamed(new QLineEdit(GB2), "E1");
  frSetRecordCountInput(E1);
  Label1->setBuddy(E1);
  connect(LB1, &QListWidget::currentRowChanged, this, [this] { bandChosen(); });
  connect(CB1, &QComboBox::currentIndexChanged, this, [this] { storeChoice(); });
  connect(E1, &QLineEdit::textChanged, this, [this] { storeChoice(); });

  auto *g1 = new QVBoxLayout(GB1);
  g1->addWidget(LB1);
  auto *g2 = new QVBoxLayout(GB2);
  g2->addWidget(CB1);
  auto *count = new QHBoxLayout;
  count->addWidget(Label1);
  count->addWidget(E1, 1);
  g2->addLayout(count);
  g2->addStretch();
  QHBoxLayout *buttons = frOkCancelRow(this, Button1, Button2);
  auto *lay = new QVBoxLayout(this);
  lay->addWidget(GB1, 1);
  lay->addWidget(GB2);
  lay->addLayout(buttons);
  frFillDataSources(CB1);
  updateControls();
}

void TfrVBandEditorForm::bandChosen() {
  const int row = LB1->currentRow();
  showing_ = true;
  frShowDataSource(row >= 0 && row < sources_.size() ? sources_[row] : QString(), CB1, E1);
  showing_ = false;
  updateControls();
}

void TfrVBandEditorForm::storeChoice() {
  const int row = LB1->currentRow();
  if (!showing_ && row >= 0 && row < sources_.size()) sources_[row] = frDataSourceChoice(CB1, E1);
  updateControls();
}

void TfrVBandEditorForm::updateControls() {
  GB2->setEnabled(LB1->currentRow() >= 0);
  frEnableRecordCount(CB1, Label1, E1);
  Button1->setEnabled(!names_.isEmpty() && !sources_.contains(QString()));
}

bool TfrVBandEditorForm::ShowEditor(TfrBandView &band, const TfrPage &page, TfrReportDesigner *designer) {
  names_.clear();
  LB1->clear();
  frFillDataSources(CB1);
  for (const auto &v : page.Objects) {
    if (v->Typ != gtBand) continue;
    const int t = static_cast<const TfrBandView *>(v.get())->BandType();
    if (t < btCrossHeader || t > btCrossFooter) continue;
    names_ << v->Name;
    LB1->addItem(frLoadStr(55077 + t) + QStringLiteral(": ") + v->Name);
  }
  // Each band's source as the list shows it: unknown names become "[None]".
  sources_.clear();
  for (const QString &s : frSplitCrossSources(band.FormatStr, names_)) {
    frShowDataSource(s, CB1, E1);
    sources_ << frDataSourceChoice(CB1, E1);
  }
  if (!names_.isEmpty()) LB1->setCurrentRow(0);
  bandChosen();
  if (exec() != QDialog::Accepted || names_.isEmpty() || sources_.contains(QString())) return false;
  if (designer) designer->BeforeChange();
  band.FormatStr = frJoinCrossSources(names_, sources_);
  return true;
}

}  // namespace designer
