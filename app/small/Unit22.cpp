#include "app/small/Unit22.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaProperty>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <memory>

#include "app/MenuCommands.h"
#include "app/Unit2.h"
#include "app/common/ListGrid.h"
#include "app/common/Navigator.h"
#include "app/common/Widgets.h"
#include "app/common/Guarded.h"
#include "app/small/PasswordDlg.h"
#include "db/dataset.h"
#include "db/datasetmodel.h"
#include "db/datasource.h"
#include "db/decimal.h"
#include "platform/conv.h"
#include "platform/dialogs.h"

TForm22 *Form22 = nullptr;
QString AdatbazisKod;

VORIK_MENU_COMMAND(Adatbzis1, TForm22, Form22)

namespace {

db::Table *table(int i) {
  db::Table *const tables[] = {Data->IBTable1, Data->IBTable2, Data->IBTable3,
                               Data->IBTable4, Data->IBTable5, Data->IBTable6};
  return tables[i];
}

db::DataSource *source(int i) {
  db::DataSource *const sources[] = {Data->DS1, Data->DS2, Data->DS3, Data->DS4, Data->DS5, Data->DS6};
  return sources[i];
}

// Closes, sets the read-only flag and opens the first count tables.
void reopen(int count, bool readOnly) {
  for (int i = 0; i < count; ++i) {
    table(i)->close();
    table(i)->setReadOnly(readOnly);
    table(i)->open();
  }
}

// What a typed text lacks to be a value of the field: the message naming
// the field, or an empty text when it is one (an empty cell is left to the
// table).
QString typedValueProblem(const db::Field &f, const QString &title, const QString &text) {
  if (text.trimmed().isEmpty()) return QString();
  long double number = 0;
  QDate date;
  switch (f.type()) {
    case db::FieldType::SmallInt:
    case db::FieldType::Integer:
    case db::FieldType::BigInt: {
      bool ok = false;
      text.trimmed().toLongLong(&ok);
      if (ok) return QString();
      return QStringLiteral("A(z) %1 mezőbe egész számot kell írni, „%2” nem az. A mező értéke nem változott.")
          .arg(title, text);
    }
    case db::FieldType::Numeric:
    case db::FieldType::Float:
    case db::FieldType::Double: {
      const bool ok = f.type() == db::FieldType::Numeric
                          ? db::Decimal::parse(text, platform::regional().decimalSeparator, f.scale()).has_value()
                          : platform::TryStrToFloat(text, number);
      if (ok) return QString();
      return QStringLiteral("A(z) %1 mezőbe számot kell írni (tizedesvesszővel), „%2” nem az. "
                            "A mező értéke nem változott.")
          .arg(title, text);
    }
    case db::FieldType::Date:
    case db::FieldType::Timestamp:
      if (platform::TryStrToDate(text, date)) return QString();
      return QStringLiteral("A(z) %1 mezőbe dátumot kell írni (éééé.hh.nn), „%2” nem az. A mező értéke nem változott.")
          .arg(title, text);
    default: return QString();
  }
}

// A typed text that is no value of its field is not put into the row: the
// user is told in the program's words which field wants what.
class TypedValues : public QStyledItemDelegate {
 public:
  TypedValues(QObject *parent, db::DataSetModel *model) : QStyledItemDelegate(parent), model_(model) {}

  void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override {
    auto *edit = qobject_cast<QLineEdit *>(editor);
    db::DataSource *source = model_->dataSource();
    db::DataSet *d = source ? source->dataSet() : nullptr;
    const int f = model_->fieldIndex(index.column());
    if (edit && d && f >= 0) {
      const QString problem =
          typedValueProblem(d->field(f), model->headerData(index.column(), Qt::Horizontal).toString(), edit->text());
      if (!problem.isEmpty()) return platform::showMessage(problem);
    }
    QStyledItemDelegate::setModelData(editor, model, index);
  }

 private:
  db::DataSetModel *model_;
};

}  // namespace

TForm22::TForm22(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form22"));
  setWindowTitle(QStringLiteral("Adatbázis"));
  setModal(true);
  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  const char *tabs[] = {"QzFej", "QzSor", "Ostermelo", "Termek", "Sorszam", "Atvevo"};
  for (int i = 0; i < 6; ++i) {
    // The tables are opened by the start-up; one a commit has closed since is opened again.
    if (!table(i)->active()) RunGuarded([i] { table(i)->open(); });
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
    DBGrid[i] = new QTableView(page);
    DBGrid[i]->setObjectName(QStringLiteral("DBGrid%1").arg(i + 1));
    auto *model = new db::DataSetModel(DBGrid[i]);
    model->setDataSource(source(i));
    BindListGrid(DBGrid[i], model, false);  // the table's own column names, the lists' keys
    DBGrid[i]->setItemDelegate(new TypedValues(DBGrid[i], model));
    connect(model, &db::DataSetModel::editFailed, this,
            [](const QString &message) { platform::error(message); });
    connect(model, &db::DataSetModel::editConflict, this,
            [this, i](const QModelIndex &index, const QVariant &value) { keepEdit(i, index, value); });
    Navigator[i] = MakeNavigator(page, table(i), QStringLiteral("DBNavigator%1").arg(i + 1));
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(DBGrid[i]);
    layout->addWidget(Navigator[i]);
    PageControl1->addTab(page, QLatin1String(tabs[i]));
  }
  DBGrid[5]->setVisible(false);
  Navigator[5]->setVisible(false);

  Button6 = Widgets::makeButton(this, "Button6", QStringLiteral("Szerkeszt"));
  Button1 = Widgets::makeButton(this, "Button1", QStringLiteral("Mégsem"));
  auto *buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button6);
  buttons->addWidget(Button1);
  auto *top = new QVBoxLayout(this);
  top->addWidget(PageControl1, 1);
  top->addLayout(buttons);
  resize(900, 500);
  connect(Button6, &QPushButton::clicked, this, [this] { RunGuarded([this] { Button6Click(); }); });
  connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
  Button6->installEventFilter(this);
  Button1->installEventFilter(this);
}

TForm22::~TForm22() = default;

bool TForm22::writable(int i) const { return !table(i)->readOnly(); }

QString TForm22::rowBusyMessage() {
  return QStringLiteral("Ezt a sort egy másik program közben módosította, vagy éppen most módosítja, ezért a "
                        "változtatás nem menthető. A beírt érték megmaradt: próbálja meg újra később, vagy az Esc "
                        "billentyűvel vesse el.");
}

void TForm22::keepEdit(int table, const QModelIndex &index, const QVariant &value) {
  // Once the grid has closed its editor: the message, then the cell's editor
  // again with the value typed, for another try or Esc.
  QPointer<QTableView> grid = DBGrid[table];
  const QPersistentModelIndex cell(index);
  QMetaObject::invokeMethod(
      this,
      [grid, cell, value] {
        platform::warning(rowBusyMessage());
        if (!grid || !cell.isValid()) return;
        grid->setCurrentIndex(cell);
        grid->edit(cell);
        if (QWidget *editor = grid->indexWidget(cell)) {
          const QMetaProperty typed = editor->metaObject()->userProperty();
          if (typed.isValid()) typed.write(editor, value);
        }
      },
      Qt::QueuedConnection);
}

void TForm22::unlock(int tables) {
  reopen(tables, false);
  if (tables == 6) {
    DBGrid[5]->setVisible(true);
    Navigator[5]->setVisible(true);
  }
}

void TForm22::Button6Click() {
  if (!PasswordDlgCreated) {
    PasswordDlgCreated = true;
    std::unique_ptr<TPasswordDlg> dialog(new TPasswordDlg(nullptr));
    PasswordDlg = dialog.get();
    dialog->exec();
    AdatbazisKod = dialog->Password->text();  // whichever button closed it
    PasswordDlg = nullptr;
  }
  if (AdatbazisKod == QLatin1String(kCode5)) {
    AdatbazisKod.clear();
    unlock(5);
  } else if (AdatbazisKod == QLatin1String(kCode6)) {
    AdatbazisKod.clear();
    unlock(6);
  }
}

void TForm22::done(int result) {
  AdatbazisKod.clear();
  RunGuarded([] { reopen(5, true); });  // ATVEVO keeps its state
  QDialog::done(result);
}

bool TForm22::eventFilter(QObject *watched, QEvent *event) {
  if ((watched == Button6 || watched == Button1) && event->type() == QEvent::KeyPress) {
    auto *ke = static_cast<QKeyEvent *>(event);
    if (ke->key() == Qt::Key_A + (kServiceKey - 'A') &&
        !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
      RunGuarded([this] { unlock(5); });
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}
