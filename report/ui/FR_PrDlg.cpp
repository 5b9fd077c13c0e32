#include "report/ui/FR_PrDlg.h"

#include "platform/conv.h"
#include "platform/error_text.h"
#include "report/core/FR_Class_Build.h"
#include "report/output/FR_Prntr.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Utils_Gui.h"
#include "report/ui/FR_Ctrls.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace report {

namespace {

void showError(const QString &text) {
  if (frErrorBox) frErrorBox(text);
}

// The class library's conversion of a copies text; false with its message.
bool copiesOf(const QString &text, int &n, QString &error) {
  try {
    n = platform::StrToInt(text);
    return true;
  } catch (const platform::ConvertError &e) {
    error = platform::exceptionText(e);
    return false;
  }
}

// Printer list entries: the printer glyph two pixels from the left edge, the
// name 24 pixels from it and one pixel down.
class PrinterItemDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override {
    const QRect r = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    p->fillRect(r, option.palette.color(selected ? QPalette::Highlight : QPalette::Base));
    static const QPixmap glyph = frGlyphPixmap(QStringLiteral("printer"));
    p->drawPixmap(r.left() + 2, r.top() + (r.height() - glyph.height()) / 2, glyph);
    p->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    p->drawText(r.adjusted(24, 1, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, index.data().toString());
  }
  QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override {
    const QSize s = QStyledItemDelegate::sizeHint(option, index);
    return {option.fontMetrics.horizontalAdvance(index.data().toString()) + 30, std::max(s.height(), 18)};
  }
};

// The paper and orientation of a set-up dialog taken into the printer wrapper.
void takePaper(const QPageLayout &layout) {
  const QPageSize size = layout.pageSize();
  int code = size.windowsId();
  const QSizeF mm = size.size(QPageSize::Millimeter);
  if (code <= 0 || code == frCustomPaper) code = frCustomPaper;
  try {
    frPrinter->SetPrinterInfo(code, qRound(mm.width() * 10), qRound(mm.height() * 10),
                              layout.orientation() == QPageLayout::Landscape ? 1 : 0);
  } catch (const EPrinterError &e) {
    showError(e.message());
  }
}

// The printer "PDF": a page set-up of paper and orientation.
void pdfPageSetup(QWidget *parent) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  const int code = frPrinter->PaperSize;
  QPageSize size = code == frCustomPaper
                       ? QPageSize(QSizeF(frPrinter->PaperWidth / 10.0, frPrinter->PaperHeight / 10.0),
                                   QPageSize::Millimeter)
                       : QPageSize(QPageSize::id(code));
  printer.setPageSize(size.isValid() ? size : QPageSize(QPageSize::A4));
  printer.setPageOrientation(frPrinter->Orientation == 1 ? QPageLayout::Landscape : QPageLayout::Portrait);
  QPageSetupDialog dlg(&printer, parent);
  dlg.setObjectName(QStringLiteral("PageSetupDialog"));
  if (dlg.exec() == QDialog::Accepted) takePaper(printer.pageLayout());
}

}  // namespace

void frDefaultPrinterSetupDialog(QWidget *parent) {
  if (!frPrinter || frPrinter->IsDefaultPrinter()) return;
  if (frPrinter->Printers.value(frPrinter->PrinterIndex()) == frPdfPrinterName()) {
    pdfPageSetup(parent);
    return;
  }
  // A CUPS printer: the platform's dialog on the printer object the job goes
  // through, so that every setting made there goes with it. Files and page
  // ranges are the engine's own.
  QPrinter *printer = frPrinter->Printer() ? frPrinter->Printer()->systemPrinter() : nullptr;
  if (!printer) return;
  QPrintDialog dlg(printer, parent);
  dlg.setObjectName(QStringLiteral("PrintSetupDialog"));
  dlg.setOptions(QAbstractPrintDialog::PrintShowPageSize);
  if (dlg.exec() != QDialog::Accepted) return;
  const QPageLayout layout = printer->pageLayout();
  const int copies = printer->copyCount();
  const int i = frPrinter->Printers.indexOf(printer->printerName());
  if (i >= 0 && i != frPrinter->PrinterIndex()) {
    try {
      frPrinter->SetPrinterIndex(i);
    } catch (const EPrinterError &e) {
      showError(e.message());
      return;
    }
  }
  takePaper(layout);
  if (auto *form = qobject_cast<TfrPrintForm *>(parent); form && copies > 1)
    form->E1->setText(QString::number(copies));
}
std::function<void(QWidget *)> frPrinterSetupDialog = frDefaultPrinterSetupDialog;

bool frCheckPageList(const QString &text, int pageCount, QString &error) {
  QString t = text;
  t.remove(QLatin1Char(' '));
  if (t.isEmpty()) return true;
  for (const QString &part : t.split(QLatin1Char(','))) {
    if (part.isEmpty()) {
      error = QStringLiteral("The page list \"%1\" has an empty entry between commas.").arg(text);
      return false;
    }
    QList<QPair<int, int>> ranges;
    if (!frParsePageNumbers(part, ranges, error)) return false;
    const qsizetype dash = part.indexOf(QLatin1Char('-'));
    if (dash >= 0 && part.left(dash).toLongLong() > part.mid(dash + 1).toLongLong()) {
      error = QStringLiteral("The page range \"%1\" runs backwards; write it as %2-%3.")
                  .arg(part, part.mid(dash + 1), part.left(dash));
      return false;
    }
    for (const auto &r : ranges) {
      const int bad = r.first < 1 ? r.first : (r.second > pageCount ? r.second : 0);
      if (r.first < 1 || r.second > pageCount) {
        error = QStringLiteral("There is no page %1: the report has %2 pages.").arg(bad).arg(pageCount);
        return false;
      }
    }
  }
  return true;
}

TfrPrintForm::TfrPrintForm(int pageCount, int currentPage, QWidget *parent)
    : QDialog(parent), pageCount_(pageCount), currentPage_(currentPage) {
  setObjectName(QStringLiteral("frPrintForm"));
  setWindowTitle(frLoadStr(53040));
  GroupBox1 = frNamed(new QGroupBox(frLoadStr(53041), this), "GroupBox1");
  CB1 = frNamed(new QComboBox(GroupBox1), "CB1");
  PropButton = frNamed(new QPushButton(frLoadStr(53042), GroupBox1), "PropButton");
  Label1 = frNamed(new QLabel(frLoadStr(53043), this), "Label1");
  E1 = frNamed(new QLineEdit(QStringLiteral("1"), this), "E1");
  Label1->setBuddy(E1);
  QVBoxLayout *spin = frSpinButtons(this, frSpeedButton1, frSpeedButton2, "frSpeedButton1", "frSpeedButton2");
  GroupBox2 = frNamed(new QGroupBox(frLoadStr(53044), this), "GroupBox2");
  RB1 = frNamed(new QRadioButton(frLoadStr(53045), GroupBox2), "RB1");
  RB2 = frNamed(new QRadioButton(frLoadStr(53046), GroupBox2), "RB2");
  RB3 = frNamed(new QRadioButton(frLoadStr(53047), GroupBox2), "RB3");
  RB1->setChecked(true);
  E2 = frNamed(new QLineEdit(GroupBox2), "E2");
  Label2 = frNamed(new QLabel(frLoadStr(53048), GroupBox2), "Label2");
  Label2->setWordWrap(true);
  QHBoxLayout *buttons = frOkCancelRow(this, Button1, Button2);

  // The printers, each with the printer glyph.
  const QIcon glyph(frGlyphPixmap(QStringLiteral("printer")));
  CB1->setIconSize(QSize(18, 16));
  CB1->setItemDelegate(new PrinterItemDelegate(CB1));
  if (frPrinter)
    for (const QString &name : frPrinter->Printers) CB1->addItem(glyph, name);
  oldIndex_ = frPrinter ? frPrinter->PrinterIndex() : 0;
  showCurrentPrinter();
  CB1->setMinimumContentsLength(28);
  CB1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);

  E1->setMaximumWidth(E1->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
  E2->setMinimumWidth(E2->fontMetrics().horizontalAdvance(QStringLiteral("1,3,5-12,20-30")) + 12);
  Label2->setMinimumWidth(E2->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40);

  connect(CB1, &QComboBox::activated, this, &TfrPrintForm::printerChosen);
  connect(PropButton, &QPushButton::clicked, this, &TfrPrintForm::properties);
  connect(frSpeedButton1, &QAbstractButton::clicked, this, [this] { stepCopies(1); });
  connect(frSpeedButton2, &QAbstractButton::clicked, this, [this] { stepCopies(-1); });
  connect(RB3, &QRadioButton::toggled, this, [this](bool on) {
    if (on) E2->setFocus();
  });
  E2->installEventFilter(this);

  auto *g1 = new QHBoxLayout(GroupBox1);
  g1->addWidget(CB1, 1);
  g1->addWidget(PropButton);
  auto *copies = new QHBoxLayout;
  copies->addWidget(Label1);
  copies->addWidget(E1);
  copies->addLayout(spin);
  copies->addStretch();
  auto *g2 = new QGridLayout(GroupBox2);
  g2->addWidget(RB1, 0, 0, 1, 2);
  g2->addWidget(RB2, 1, 0, 1, 2);
  g2->addWidget(RB3, 2, 0);
  g2->addWidget(E2, 2, 1);
  g2->addWidget(Label2, 3, 0, 1, 2);
  auto *lay = new QVBoxLayout(this);
  lay->addWidget(GroupBox1);
  lay->addLayout(copies);
  lay->addWidget(GroupBox2);
  lay->addLayout(buttons);
}

void TfrPrintForm::properties() {
  auto paper = [] {
    if (!frPrinter) return std::array<int, 4>{};
    // The printer's size lies as printed; the choice keeps it upright.
    const bool turned = frPrinter->Orientation == 1;
    return std::array<int, 4>{frPrinter->PaperSize, turned ? frPrinter->PaperHeight : frPrinter->PaperWidth,
                              turned ? frPrinter->PaperWidth : frPrinter->PaperHeight, frPrinter->Orientation};
  };
  const std::array<int, 4> before = paper();
  if (frPrinterSetupDialog) frPrinterSetupDialog(this);
  const std::array<int, 4> after = paper();
  if (after != before) {
    paperChosen_ = true;
    chosen_ = after;
  }
  showCurrentPrinter();
}

void TfrPrintForm::showCurrentPrinter() {
  shownIndex_ = frPrinter ? frPrinter->PrinterIndex() : 0;
  CB1->setCurrentIndex(shownIndex_);
}

void TfrPrintForm::printerChosen(int index) {
  if (!frPrinter || index == frPrinter->PrinterIndex()) return;
  try {
    frPrinter->SetPrinterIndex(index);
    shownIndex_ = index;
  } catch (const EPrinterError &e) {
    showError(e.message());
    CB1->setCurrentIndex(shownIndex_);
  }
}

void TfrPrintForm::stepCopies(int delta) {
  int n = 0;
  QString error;
  if (!copiesOf(E1->text(), n, error)) {
    showError(error);
    return;
  }
  n = delta > 0 ? (n < std::numeric_limits<int>::max() ? n + 1 : n) : std::max(1, n - 1);
  E1->setText(QString::number(n));
}

bool TfrPrintForm::eventFilter(QObject *o, QEvent *e) {
  if (o == E2 && e->type() == QEvent::MouseButtonPress) RB3->setChecked(true);
  return QDialog::eventFilter(o, e);
}

void TfrPrintForm::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  if (e->spontaneous()) return;
  QRect frame = frameGeometry();
  frame.moveCenter(screen()->availableGeometry().center());
  move(frame.topLeft());
}

int TfrPrintForm::Copies() const {
  int n = 1;
  QString error;
  copiesOf(E1->text(), n, error);
  return std::max(1, n);
}

QString TfrPrintForm::PageNumbers() const {
  if (RB2->isChecked()) return QString::number(currentPage_);
  if (RB3->isChecked()) return E2->text();
  return QString();
}

void TfrPrintForm::done(int r) {
  if (r == Accepted) {
    int n = 0;
    QString error;
    if (!copiesOf(E1->text(), n, error)) {
      showError(error);
      E1->setFocus();
      return;
    }
    if (RB3->isChecked() && !frCheckPageList(E2->text(), pageCount_, error)) {
      showError(error);
      E2->setFocus();
      return;
    }
  } else if (frPrinter && frPrinter->PrinterIndex() != oldIndex_) {
    try {
      frPrinter->SetPrinterIndex(oldIndex_);
    } catch (const EPrinterError &e) {
      showError(e.message());
    }
  }
  QDialog::done(r);
}

}  // namespace report
