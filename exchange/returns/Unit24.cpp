#include "exchange/returns/Unit24.h"

#include "app/MenuCommands.h"
#include "app/common/ListGrid.h"
#include "app/common/ListRows.h"
#include "app/common/Widgets.h"
#include "exchange/returns/ImportMerge.h"
#include "exchange/returns/ReturnControls.h"
#include "platform/dialogs.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

TForm24 *Form24 = nullptr;

VORIK_MENU_COMMAND(Importsszevons1, TForm24, Form24)

namespace {

const char *const kHelp =
    "1. Válassza ki az \"A\" és a \"B\" importok meghajtójának betűjelét.\n"
    "2. Válassza ki az összevonandó könyvtárakat az \"A\" és a \"B\" oldalon "
    "(pl.: A: C:\\qz2021\\01  és  B: E:\\qz2025\\01).\n"
    "3. Indítsa az \"Összevonás\" gombbal.\n"
    "A \"Mindösszesen\" forint összegnek egyezni kell a két gépen nyomtatott bevallás listák összegével "
    "(kerekítési eltérés lehet, mert csak a mennyiség és az egységár van tárolva). Ha a fájlokban nincs "
    "455. sor (12456=, 23790=), a \"Mindösszesen\" a kifizetett összegek (24804=) összege.\n"
    "Az összevonás után az \"A\" és a \"B\" könyvtárban maradt import fájlokat kell beolvasni "
    "a nyomtatványkitöltő programba.\n"
    "A mindkét gépen megtalálható östermelök összevont adatai az \"A\" könyvtárba kerülnek, "
    "a \"B\" könyvtárbeli tételeik \".old\" kiterjesztést kapnak; az \"A\" könyvtárban az "
    "összevonás előtti állapot \".old\" néven marad meg.\n"
    "Ismételt összevonás előtt mindkét gépen újra kell futtatni a bevallás kigyüjtését, "
    "és újra át kell másolni a pen drive-ra.";

// A label as wide as the widest text it will show.
QLabel *SumLabel(QWidget *parent, const char *name,
                 const QString &widest = QStringLiteral("Összevonás előtt a 455. sor (növény): -9999999999999")) {
  auto *l = Widgets::makeLabel(parent, name, QString());
  l->setMinimumWidth(l->fontMetrics().horizontalAdvance(widest));
  return l;
}

}  // namespace

TForm24::TForm24(QWidget *owner) : QDialog(owner) {
  setObjectName(QStringLiteral("Form24"));
  setWindowTitle(QStringLiteral("Két import összevonása"));
  setModal(true);

  auto side = [this](const char *drive, const char *dir, const char *files, returns::DriveComboBox *&d,
                     returns::DirectoryListBox *&l, returns::FileListBox *&f) {
    d = new returns::DriveComboBox(this);
    d->setObjectName(QLatin1String(drive));
    l = new returns::DirectoryListBox(this);
    l->setObjectName(QLatin1String(dir));
    f = new returns::FileListBox(this);
    f->setObjectName(QLatin1String(files));
    f->setMask(QStringLiteral("*.imp"));
    f->setMinimumWidth(f->fontMetrics().horizontalAdvance(QStringLiteral("2508M202501_8123456789.imp")) + 40);
    l->setMinimumWidth(f->minimumWidth());
    connect(d, &returns::DriveComboBox::driveChosen, l, &returns::DirectoryListBox::setDirectory);
  };
  side("DriveComboBox1", "DirectoryListBox1", "FileListBox1", DriveComboBox1, DirectoryListBox1, FileListBox1);
  side("DriveComboBox2", "DirectoryListBox2", "FileListBox2", DriveComboBox2, DirectoryListBox2, FileListBox2);
  DirectoryListBox1->setToolTip(QStringLiteral("Az adatok helye (pl.:  C:\\qz2016\\01 azaz  januári hónap)"));
  connect(DirectoryListBox1, &returns::DirectoryListBox::changed, this, &TForm24::DirectoryListBox1Change);
  connect(DirectoryListBox2, &returns::DirectoryListBox::changed, this, &TForm24::DirectoryListBox2Change);

  CheckListBox2 = new QListWidget(this);
  CheckListBox2->setObjectName(QStringLiteral("CheckListBox2"));
  CheckListBox2->hide();
  CheckListBox1 = new QListWidget(this);
  CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
  CheckListBox1->setSelectionMode(QAbstractItemView::NoSelection);
  CheckListBox1->setToolTip(QStringLiteral("Ezek az östermelök mind két listában szerepelnek."));
  CheckListBox1->setMinimumWidth(FileListBox1->minimumWidth());

  Label1 = SumLabel(this, "Label1");
  Label4 = SumLabel(this, "Label4");
  Label2 = SumLabel(this, "Label2");
  Label5 = SumLabel(this, "Label5");
  Label3 = SumLabel(this, "Label3");
  Label6 = SumLabel(this, "Label6");
  Label7 = SumLabel(this, "Label7");
  Label8 = SumLabel(this, "Label8");
  Label12 = SumLabel(this, "Label12");
  Label13 = SumLabel(this, "Label13");
  const QString widestPaid =
      QStringLiteral("Összevonás előtt kifizetve (24804=): \"A\" -9999999999 + \"B\" -9999999999 = -99999999999");
  Label17 = SumLabel(this, "Label17", widestPaid);
  Label18 = SumLabel(this, "Label18", widestPaid);

  Memo1 = new QPlainTextEdit(QString::fromUtf8(kHelp), this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setReadOnly(true);
  Memo1->setMinimumHeight(Memo1->fontMetrics().lineSpacing() * 9);

  Button3 = MakeListButton(this, "Button3", "Összevonás", &TForm24::Button3Click);
  Button3->setToolTip(QStringLiteral("Azonos adóazonositójú östermelö adatok összeadása egy listára hozása."));
  Button6 = MakeListButton(this, "Button6", "Mégsem", &TForm24::Button6Click);

  auto column = [this](const char *captionName, const QString &caption, QWidget *drive, QWidget *dirs, QWidget *files) {
    auto *c = new QVBoxLayout;
    c->addWidget(Widgets::makeLabel(this, captionName, caption));
    c->addWidget(drive);
    c->addWidget(dirs, 1);
    c->addWidget(files, 1);
    return c;
  };
  auto *lists = new QHBoxLayout;
  lists->addLayout(column("Label9", QStringLiteral("\"A\" importok (winchester)"), DriveComboBox1, DirectoryListBox1,
                          FileListBox1));
  lists->addLayout(column("Label10", QStringLiteral("\"B\"  importok (pen drive)"), DriveComboBox2,
                          DirectoryListBox2, FileListBox2));
  auto *paired = new QVBoxLayout;
  paired->addWidget(Widgets::makeLabel(this, "Label11", QStringLiteral("Mind két listában megtalálhatóak")));
  paired->addWidget(CheckListBox1, 1);
  lists->addLayout(paired);

  auto *sums = new QGridLayout;
  sums->addWidget(Widgets::makeLabel(this, "Label14", QStringLiteral("Összevonás előtt:")), 0, 0);
  sums->addWidget(Widgets::makeLabel(this, "Label15", QStringLiteral("Összevonás után")), 0, 1);
  int row = 1;
  for (auto [before, after] : {std::pair{Label1, Label6}, {Label4, Label7}, {Label2, Label8}, {Label5, Label12}}) {
    sums->addWidget(before, row, 0);
    sums->addWidget(after, row++, 1);
  }
  sums->addWidget(Widgets::makeLabel(this, "Label16", QStringLiteral("Mindösszesen:")), row++, 0);
  sums->addWidget(Label3, row, 0);
  sums->addWidget(Label13, row++, 1);
  // The paid sums are long: each has a line of its own across both columns.
  sums->addWidget(Label17, row++, 0, 1, 2);
  sums->addWidget(Label18, row, 0, 1, 2);

  auto *buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Button3);
  buttons->addWidget(Button6);

  auto *top = new QVBoxLayout(this);
  top->addLayout(lists, 1);
  top->addLayout(sums);
  top->addWidget(Memo1);
  top->addLayout(buttons);
  // 720 high unless the layout needs more; the lists take what is left over.
  resize(std::max(760, sizeHint().width()), std::max(720, minimumSizeHint().height()));
}

TForm24::~TForm24() = default;

void TForm24::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  FormShow();
}

void TForm24::FormShow() {
  // A merge the program did not live to finish is put right first.
  if (QFileInfo::exists(returns::MergeJournal())) {
    try {
      // Nothing is said of another program's merge under way.
      if (const auto r = returns::RecoverMerge()) {
        if (!r->notRight.isEmpty())
          platform::error(QStringLiteral("Az előző összevonás félbeszakadt: %1 östermelö összevonása befejezve. "
                                         "Nem sikerült helyreállítani: %2. Az összevonás naplója megmarad, az "
                                         "ablak következő megnyitása újra megpróbálja.")
                              .arg(r->finished.size())
                              .arg(r->notRight.join(QStringLiteral(", "))));
        else
          platform::showMessage(
              QStringLiteral("Az előző összevonás félbeszakadt: %1 östermelö összevonása befejezve, a többi fájl az "
                             "összevonás előtti állapotban maradt.")
                  .arg(r->finished.size()));
      }
    } catch (const returns::ReturnError &e) {
      platform::error(e.message());
    }
  }
  DriveComboBox1->setDriveOf(QStringLiteral("c:\\qz2016\\"));
  DirectoryListBox1->setDirectory(QStringLiteral("c:\\qz2016\\"));
  DriveComboBox2->setDriveOf(QStringLiteral("c:\\"));
  DirectoryListBox2->setDirectory(QStringLiteral("c:\\"));
}

void TForm24::FolderChanged(returns::FileListBox *files, const QString &folder) {
  files->setDirectory(folder);
  if (DirectoryListBox1->directory() == DirectoryListBox2->directory())
    platform::showMessage(QStringLiteral("Nem lehet azonos a könyvtár "));
  files->setMask(QStringLiteral("*.old"));
  const bool retired = files->count() > 0;
  files->setMask(QStringLiteral("*.imp"));
  if (retired) platform::showMessage(QStringLiteral(" Csak bevallás újbóli export ismétlés után!  "));
}

void TForm24::DirectoryListBox1Change() { FolderChanged(FileListBox1, DirectoryListBox1->directory()); }
void TForm24::DirectoryListBox2Change() { FolderChanged(FileListBox2, DirectoryListBox2->directory()); }

bool TForm24::ShowSums(const QString &when, QLabel *aAnimal, QLabel *aPlant, QLabel *bAnimal, QLabel *bPlant,
                       QLabel *total, QLabel *paid) {
  returns::RowSums a, b;
  try {
    a = returns::SumFolder(FileListBox1->directory(), FileListBox1->files());
    b = returns::SumFolder(FileListBox2->directory(), FileListBox2->files());
  } catch (const returns::ReturnError &e) {
    platform::error(e.message());
    return false;
  }
  const QString animal = when + QStringLiteral(" a 455. sor (állat): ");
  const QString plant = when + QStringLiteral(" a 455. sor (növény): ");
  aAnimal->setText(animal + QString::number(a.animal));
  aPlant->setText(plant + QString::number(a.plant));
  bAnimal->setText(animal + QString::number(b.animal));
  bPlant->setText(plant + QString::number(b.plant));
  // Files without row 455 (the program's own) would show zeros to compare
  // with the printed lists: their paid sums are the total then.
  const qint64 row455 = a.animal + a.plant + b.animal + b.plant;
  const bool hasRow455 = a.animal != 0 || a.plant != 0 || b.animal != 0 || b.plant != 0;
  for (QLabel *l : {aAnimal, aPlant, bAnimal, bPlant}) l->setVisible(hasRow455);
  total->setText(QStringLiteral("Mindösszesen : ") + QString::number(hasRow455 ? row455 : a.paid + b.paid));
  paid->setText(when + QStringLiteral(" kifizetve (24804=): \"A\" %1 + \"B\" %2 = %3")
                           .arg(a.paid)
                           .arg(b.paid)
                           .arg(a.paid + b.paid));
  return true;
}

void TForm24::Button3Click() {
  if (returns::SameFolder(DirectoryListBox1->directory(), DirectoryListBox2->directory())) {
    platform::showMessage(QStringLiteral("Nem lehet azonos a könyvtár "));
    return;
  }
  // The holds come before anything of folder A is read: a gather of another
  // program writing there is told as busy, not as a file gone missing.
  std::optional<returns::MergeHolds> holds;
  try {
    holds.emplace(DirectoryListBox1->directory());
  } catch (const returns::ReturnError &e) {
    platform::error(e.message());
    return;
  }
  FileListBox1->refresh();
  FileListBox2->refresh();
  if (!ShowSums(QStringLiteral("Összevonás előtt"), Label1, Label4, Label2, Label5, Label3, Label17))
    return;

  const QStringList paired = returns::PairedNames(FileListBox1->files(), FileListBox2->files());
  CheckListBox2->clear();
  for (const QString &n : FileListBox2->files()) {
    auto *item = new QListWidgetItem(n, CheckListBox2);
    item->setCheckState(paired.contains(n) ? Qt::Checked : Qt::Unchecked);
  }
  CheckListBox1->clear();
  for (const QString &n : paired) (new QListWidgetItem(n, CheckListBox1))->setCheckState(Qt::Checked);

  QStringList failures;
  try {
    failures = returns::Merge(DirectoryListBox1->directory(), DirectoryListBox2->directory(), paired, {}, &*holds);
  } catch (const returns::ReturnError &e) {
    platform::error(e.message());
    return;
  }
  FileListBox1->setMask(QStringLiteral("*.imp"));
  FileListBox2->setMask(QStringLiteral("*.imp"));
  ShowSums(QStringLiteral("Összevonás után"), Label6, Label7, Label8, Label12, Label13, Label18);
  // No hold waits on a person reading the boxes.
  holds.reset();
  for (const QString &f : failures) platform::showMessage(f);
}

void TForm24::Button6Click() { reject(); }
