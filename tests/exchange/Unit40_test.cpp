// The audit data supply dialog: the collect step's checks and failures, the
// decimal separator, the options file, bad targets and the menu item.
#include "audit_fixture.h"

#include "db/connection.h"
#include "support/full_disk.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>

using namespace vorik::test;

namespace {

class Form40Test : public AuditTest {
 protected:
  void SetUp() override {
    AuditTest::SetUp();
    insertMonth();
  }
  QString count() { return scalar(QStringLiteral("SELECT COUNT(*) FROM NAVFEJ")); }
  // A dialog step that sets the month, applies set and clicks "Kigyűjtés".
  static ModalScript::Step collect(const std::function<void(TForm40 *)> &set = {}) {
    return [set](QWidget *d) {
      auto *f = static_cast<TForm40 *>(d);
      setMonth(f);
      if (set) set(f);
      click(d, QStringLiteral("Button6"));
    };
  }
};

TEST_F(Form40Test, SeparatorIsPointOnlyWhileTheDialogIsOpen) {
  const Run r = collectAndExport();
  ASSERT_TRUE(r.done);
  EXPECT_EQ(r.separatorWhileOpen, u'.');
  EXPECT_EQ(r.separatorAfterExport, u',');
  EXPECT_EQ(platform::regional().decimalSeparator, u',');
  EXPECT_EQ(platform::regional().dateSeparator, u'.');
}

TEST_F(Form40Test, SeparatorComesBackAfterAFailedExportAndOnClose) {
  // A producer postcode of three characters stops the export.
  exec(QStringLiteral("UPDATE OSTERMELO SET O_IRSZAM = '612' WHERE O_KOD = '2'"));
  MessageSeen collected, refused;
  QChar during, after;
  ASSERT_TRUE(runDialog({collect(), answer(QMessageBox::Ok, &collected),
                         [&](QWidget *d) {
                           during = platform::regional().decimalSeparator;
                           click(d, QStringLiteral("Button2"));
                         },
                         answer(QMessageBox::Ok, &refused),
                         [&](QWidget *d) {
                           after = platform::regional().decimalSeparator;
                           // Escape closes the dialog too.
                           static_cast<QDialog *>(d)->reject();
                         }}));
  EXPECT_EQ(refused.text, QStringLiteral("Javitandó! Négy karekternél kevesebb a(z) 25000002bizonylatban az "
                                         "őstermelő irányitószáma!"));
  EXPECT_EQ(during, u'.');
  EXPECT_EQ(after, u',');
  EXPECT_TRUE(target().isEmpty());
  // Only a dialog shown switches; closing restores.
  EXPECT_EQ(platform::regional().decimalSeparator, u',');
}

TEST_F(Form40Test, EndBeforeStartStopsBeforeAnythingIsEmptied) {
  exec(QStringLiteral("INSERT INTO NAVFEJ (FE_SZLASORSZAM) VALUES ('24000001')"));
  MessageSeen m;
  bool exportEnabled = true;
  ASSERT_TRUE(runDialog({collect([](TForm40 *f) {
                           f->DateTimePicker1->setDate(QDate(2025, 3, 31));
                           f->DateTimePicker2->setDate(QDate(2025, 3, 1));
                           // Checked in the serial kind as well.
                           setChecked(f, QStringLiteral("RadioButton2"), true);
                         }),
                         answer(QMessageBox::Ok, &m), [&](QWidget *d) {
                           exportEnabled = static_cast<TForm40 *>(d)->Button2->isEnabled();
                           closeWindow(d);
                         }}));
  EXPECT_EQ(m.text, QStringLiteral("Dátum tól-ig hiba."));
  EXPECT_EQ(count(), QStringLiteral("1"));
  EXPECT_FALSE(exportEnabled);
}

TEST_F(Form40Test, EmptyRangeGivesAnEmptyStagingAndAFileWithoutDocuments) {
  exec(QStringLiteral("INSERT INTO NAVFEJ (FE_SZLASORSZAM) VALUES ('24000001')"));
  const Run r = collectAndExport([](TForm40 *f) {
    f->DateTimePicker1->setDate(QDate(2024, 1, 1));
    f->DateTimePicker2->setDate(QDate(2024, 12, 31));
  });
  ASSERT_TRUE(r.done);
  EXPECT_TRUE(r.collected.text.startsWith(QStringLiteral("1.A FEJ adatok kigyűjtése vége.")));
  EXPECT_TRUE(r.exportEnabled);
  EXPECT_EQ(count(), QStringLiteral("0"));
  const AuditFile f = AuditFile::parse(target());
  EXPECT_EQ(f.header, (QStringList{
                          QStringLiteral(R"(<?xml version="1.0" encoding="utf-8"?>)"),
                          QStringLiteral(R"(<szamlak xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" )"
                                         R"(xmlns:xsd="http://www.w3.org/2001/XMLSchema" )"
                                         R"(xmlns="http://schemas.nav.gov.hu/2013/szamla">)"),
                          QStringLiteral("  <export_datuma>2025-04-05</export_datuma>"),
                          QStringLiteral("  <export_szla_db>0</export_szla_db>"),
                          QStringLiteral("  <kezdo_ido>2024-01-01</kezdo_ido>"),
                          QStringLiteral("  <zaro_ido>2024-12-31</zaro_ido>"),
                          QStringLiteral("  <kezdo_szla_szam></kezdo_szla_szam>"),
                          QStringLiteral("  <zaro_szla_szam></zaro_szla_szam>"),
                          QStringLiteral("</szamlak>"),
                          QString(),
                      }));
}

TEST_F(Form40Test, FailedInsertRollsTheWholeCollectionBackAndKeepsExportDisabled) {
  // The third document has no payment date, which does not convert.
  exec(QStringLiteral("UPDATE QZFEJ SET F_FIZKELT = NULL WHERE F_BSZAM = '25000003'"));
  MessageSeen first, failed;
  bool enabledAfterFirst = false, enabledAfterFailure = true;
  ASSERT_TRUE(runDialog({collect([](TForm40 *f) {
                           setChecked(f, QStringLiteral("RadioButton2"), true);
                           setText(f, QStringLiteral("Edit1"), QStringLiteral("25000001"));
                           setText(f, QStringLiteral("Edit2"), QStringLiteral("25000002"));
                         }),
                         answer(QMessageBox::Ok, &first),
                         [&](QWidget *d) {
                           auto *f = static_cast<TForm40 *>(d);
                           enabledAfterFirst = f->Button2->isEnabled();
                           setChecked(f, QStringLiteral("RadioButton1"), true);
                           click(d, QStringLiteral("Button6"));
                         },
                         answer(QMessageBox::Ok, &failed),
                         [&](QWidget *d) {
                           enabledAfterFailure = static_cast<TForm40 *>(d)->Button2->isEnabled();
                           closeWindow(d);
                         }}));
  EXPECT_TRUE(enabledAfterFirst);
  // The message names the document that stops the collection.
  EXPECT_EQ(failed.text, QStringLiteral("Hiba401: NAV INSERT -ben\rA(z) 25000003 bizonylatnak nincs fizetési dátuma."));
  EXPECT_FALSE(enabledAfterFailure);
  // No row of the failed collection stays.
  EXPECT_EQ(count(), QStringLiteral("0"));
}

TEST_F(Form40Test, StagingHeldByAnotherUserStopsTheCollection) {
  exec(QStringLiteral("INSERT INTO NAVFEJ (FE_SZLASORSZAM) VALUES ('24000001')"));
  // A second program instance holds the staged row with an uncommitted change.
  db::Connection other;
  other.setDatabaseName(Data->ZCon1->databaseName());
  other.setParams(db::defaultConnectionParams());
  db::Transaction lock;
  lock.setConnection(&other);
  other.open();
  db::Query hold;
  hold.setTransaction(&lock);
  hold.sql().add(QStringLiteral("UPDATE NAVFEJ SET FE_SZLASORSZAM = FE_SZLASORSZAM"));
  hold.execute();
  MessageSeen m;
  bool enabled = true;
  ASSERT_TRUE(runDialog({collect(), answer(QMessageBox::Ok, &m), [&](QWidget *d) {
                           enabled = static_cast<TForm40 *>(d)->Button2->isEnabled();
                           closeWindow(d);
                         }}));
  lock.rollback();
  // Collecting on top of rows that could not be deleted would stage
  // documents twice: the step ends at the failed delete.
  EXPECT_EQ(m.text, QStringLiteral("Hiba401: NAVFEJ DELETE törlésekor"));
  EXPECT_FALSE(enabled);
  EXPECT_EQ(count(), QStringLiteral("1"));
}

TEST_F(Form40Test, ReceiverChecksStopTheCollection) {
  struct Case {
    const char *update;
    const char *message;
  } cases[] = {
      {"UPDATE ATVEVO SET V_UTCA = '  '", "Javitandó! Nincs megadva az átvevő utca!"},
      {"UPDATE ATVEVO SET V_UTCA = 'Fő', V_KOZADOSZAM = 'HU12345'",
       "Javitandó! Közösségi adószám legalább 8 karakter!"},
  };
  for (const Case &c : cases) {
    exec(QString::fromUtf8(c.update));
    exec(QStringLiteral("INSERT INTO NAVFEJ (FE_SZLASORSZAM) VALUES ('24000001')"));
    MessageSeen m;
    bool enabled = true;
    ASSERT_TRUE(runDialog({collect(), answer(QMessageBox::Ok, &m), [&](QWidget *d) {
                             enabled = static_cast<TForm40 *>(d)->Button2->isEnabled();
                             closeWindow(d);
                           }}));
    EXPECT_EQ(m.text, QString::fromUtf8(c.message));
    EXPECT_FALSE(enabled);
    // The check comes after the staging was emptied.
    EXPECT_EQ(count(), QStringLiteral("0"));
  }
}

TEST_F(Form40Test, DocumentWithMissingProducerIsNamedAndNothingIsWritten) {
  ticket(QStringLiteral("25000009"), QStringLiteral("99"), QStringLiteral("2025-03-30"),
         QStringLiteral("2025-03-30"), QStringLiteral("2025-03-30"), QStringLiteral("x"), QStringLiteral("1"),
         QString(), 0, 0, 0, 0);
  QFile old(targetPath_);
  MessageSeen collected, refused;
  ASSERT_TRUE(runDialog({[&](QWidget *d) {
                           // The previous export was deleted when the dialog opened.
                           EXPECT_FALSE(QFile::exists(targetPath_));
                           ASSERT_TRUE(old.open(QIODevice::WriteOnly));
                           old.write("earlier");
                           old.close();
                           collect()(d);
                         },
                         answer(QMessageBox::Ok, &collected),
                         [&](QWidget *d) { click(d, QStringLiteral("Button2")); }, answer(QMessageBox::Ok, &refused),
                         [&](QWidget *d) { closeWindow(d); }}));
  EXPECT_EQ(count(), QStringLiteral("5"));
  EXPECT_EQ(refused.text, QStringLiteral("Javitandó! Nincs megadva a(z) 25000009bizonylatban az őstermelő "
                                         "irányitószáma!"));
  EXPECT_EQ(target(), QByteArray("earlier"));
}

TEST_F(Form40Test, UnwritableTargetShowsAnErrorAndLeavesNoFile) {
  const QString path = work_->file(QStringLiteral("nincs/szamlak.xml"));
  MessageSeen collected, failed;
  ASSERT_TRUE(runDialog({collect([&](TForm40 *f) { setText(f, QStringLiteral("Edit3"), path); }),
                         answer(QMessageBox::Ok, &collected), [&](QWidget *d) { click(d, QStringLiteral("Button2")); },
                         answer(QMessageBox::Ok, &failed), [&](QWidget *d) { closeWindow(d); }}));
  EXPECT_EQ(failed.kind, QStringLiteral("Error"));
  EXPECT_TRUE(failed.text.startsWith(QStringLiteral("Hiba! A(z) \"") + path + QStringLiteral("\" fájl nem írható.")));
  EXPECT_FALSE(QFile::exists(path));
  EXPECT_TRUE(QDir(work_->path()).entryList(QDir::Files).filter(QStringLiteral("szamlak")).isEmpty());
}

TEST_F(Form40Test, AFullDiskShowsTheReasonAndKeepsTheOldFile) {
  FullDisk disk;
  // A file size limit would stop the database's own writes as well.
  if (!disk.mounted()) GTEST_SKIP() << "no small file system could be mounted here (not permitted)";
  const QString path = disk.file(QStringLiteral("szamlak.xml"));
  MessageSeen collected, failed;
  ASSERT_TRUE(runDialog({collect([&](TForm40 *f) { setText(f, QStringLiteral("Edit3"), path); }),
                         answer(QMessageBox::Ok, &collected),
                         [&](QWidget *d) {
                           ASSERT_TRUE(writeFile(path, "earlier"));
                           disk.fill();
                           click(d, QStringLiteral("Button2"));
                         },
                         answer(QMessageBox::Ok, &failed), [&](QWidget *d) { closeWindow(d); }}));
  disk.release();
  EXPECT_EQ(failed.kind, QStringLiteral("Error"));
  EXPECT_EQ(failed.text, QStringLiteral("Hiba! A(z) \"") + path + QStringLiteral("\" fájl nem írható.\r") +
                             disk.reason());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("earlier"));
}

TEST_F(Form40Test, WindowsPathIsMappedAndTheTemporaryFileRenamed) {
  qputenv("VORIK_DRIVE_C", work_->path().toLocal8Bit());
  QDir(work_->path()).mkdir(QStringLiteral("QZ2016"));
  const Run r = collectAndExport([](TForm40 *f) { setText(f, QStringLiteral("Edit3"), QStringLiteral("C:\\qz2016\\SZAMLAK.xml")); });
  qunsetenv("VORIK_DRIVE_C");
  ASSERT_TRUE(r.done);
  const QStringList files = QDir(work_->file(QStringLiteral("QZ2016"))).entryList(QDir::Files);
  EXPECT_EQ(files, QStringList{QStringLiteral("SZAMLAK.xml")});
  EXPECT_TRUE(r.exported.text.endsWith(QStringLiteral("Adatok a \"C:\\qz2016\\SZAMLAK.xml\" fáljban.")));
}

TEST_F(Form40Test, OptionsFileIsReadSavedAndMissingKeysGiveEmptyFields) {
  QFile::remove(iniPath_);
  QString edit3, edit4, edit5;
  ASSERT_TRUE(runDialog({[&](QWidget *d) {
    edit3 = textOf(d, QStringLiteral("Edit3"));
    edit4 = textOf(d, QStringLiteral("Edit4"));
    edit5 = textOf(d, QStringLiteral("Edit5"));
    // Unticking writes "false" into the field and the option.
    setChecked(d, QStringLiteral("CheckBox3"), false);
    setText(d, QStringLiteral("Edit3"), QStringLiteral("C:\\QZ2016\\szamlakR1.xml"));
    setText(d, QStringLiteral("Edit5"), QStringLiteral("Elektronikus"));
    click(d, QStringLiteral("Button7"));
    closeWindow(d);
  }}));
  EXPECT_EQ(edit3, QString());
  EXPECT_EQ(edit4, QString());
  EXPECT_EQ(edit5, QString());
  EXPECT_EQ(XmlOnszamla, QStringLiteral("false"));
  const platform::IniFile ini(iniPath_);
  EXPECT_EQ(ini.ReadString(QStringLiteral("XML"), QStringLiteral("hova"), QString()),
            QStringLiteral("C:\\QZ2016\\szamlakR1.xml"));
  EXPECT_EQ(ini.ReadString(QStringLiteral("XML"), QStringLiteral("onszla"), QString()), QStringLiteral("false"));
  EXPECT_EQ(ini.ReadString(QStringLiteral("XML"), QStringLiteral("papir"), QString()), QStringLiteral("Elektronikus"));
  // A second opening in the run shows the last used values for keys still missing.
  QFile::remove(iniPath_);
  ASSERT_TRUE(runDialog({[&](QWidget *d) {
    edit5 = textOf(d, QStringLiteral("Edit5"));
    closeWindow(d);
  }}));
  EXPECT_EQ(edit5, QStringLiteral("Elektronikus"));
}

TEST_F(Form40Test, SerialFieldsTakeDigitsOnly) {
  ASSERT_TRUE(runDialog({[&](QWidget *d) {
    auto *f = static_cast<TForm40 *>(d);
    for (QLineEdit *e : {f->Edit1, f->Edit2}) {
      for (QChar ch : QStringLiteral("25a0-0.1\r")) {
        const int key = ch == u'\r' ? int(Qt::Key_Return) : ch.toUpper().unicode();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(e, &press);
      }
      EXPECT_EQ(e->text(), QStringLiteral("25001"));
    }
    EXPECT_TRUE(d->isVisible());  // Enter is dropped
    closeWindow(d);
  }}));
}

TEST_F(Form40Test, ViewsLoadTheFileAndTheSchemaAndCopyThem) {
  // The schema is read from the working directory.
  const QString cwd = QDir::currentPath();
  QDir::setCurrent(work_->path());
  // The file is missing, a folder stands in the schema's place: each named with the reason.
  ASSERT_TRUE(QDir(work_->path()).mkdir(QStringLiteral("23_2014_szamlasema.xsd")));
  MessageSeen missingXml, missingXsd;
  QString xml, xsd, clip;
  ASSERT_TRUE(runDialog({[&](QWidget *d) { click(d, QStringLiteral("Button3")); },  // deleted at opening
                         answer(QMessageBox::Ok, &missingXml),
                         [&](QWidget *d) { click(d, QStringLiteral("Button5")); },
                         answer(QMessageBox::Ok, &missingXsd),
                         [&](QWidget *d) { collect()(d); }, answer(QMessageBox::Ok),
                         [&](QWidget *d) { click(d, QStringLiteral("Button2")); }, answer(QMessageBox::Ok),
                         [&](QWidget *d) {
                           auto *f = static_cast<TForm40 *>(d);
                           f->Button3Click();
                           xml = f->RichEdit1->toPlainText();
                           f->Button8->click();
                           clip = QApplication::clipboard()->text();
                           QDir().rmdir(QStringLiteral("23_2014_szamlasema.xsd"));
                           QFile schema(QStringLiteral("23_2014_szamlasema.xsd"));
                           if (schema.open(QIODevice::WriteOnly)) schema.write("<xs:schema/>");
                           schema.close();
                           f->Button5Click();
                           xsd = f->RichEdit2->toPlainText();
                           closeWindow(d);
                         }}));
  QDir::setCurrent(cwd);
  EXPECT_EQ(missingXml.text, QStringLiteral("Nincs \"szamlak.XML\" fálj!"));
  EXPECT_EQ(missingXsd.text, QStringLiteral("Nincs \"23_2014_szamlasema.xsd\" fálj!\rilyen nevű mappa van"));
  EXPECT_TRUE(xml.startsWith(QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>")));
  EXPECT_TRUE(xml.contains(QStringLiteral("<nev>Kovács János</nev>")));
  EXPECT_EQ(clip, xml);
  EXPECT_EQ(xsd, QStringLiteral("<xs:schema/>"));
}

TEST_F(Form40Test, BrowseDeletesTheOldFileAndTakesTheChosenName) {
  QFile old(targetPath_);
  const QString chosen = work_->file(QStringLiteral("szamlakR1.xml"));
  QString edit3, filter;
  ASSERT_TRUE(runDialog({[&](QWidget *d) {
                           ASSERT_TRUE(old.open(QIODevice::WriteOnly));
                           old.close();
                           click(d, QStringLiteral("Button1"));
                         },
                         [&](QWidget *d) {
                           auto *dlg = qobject_cast<QFileDialog *>(d);
                           ASSERT_NE(dlg, nullptr);
                           filter = dlg->nameFilters().join(QLatin1Char('|'));
                           dlg->selectFile(chosen);
                           static_cast<QDialog *>(dlg)->accept();
                         },
                         [&](QWidget *d) {
                           edit3 = textOf(d, QStringLiteral("Edit3"));
                           closeWindow(d);
                         }}));
  EXPECT_EQ(edit3, chosen);
  EXPECT_EQ(XmlHova, chosen);
  EXPECT_FALSE(QFile::exists(targetPath_));
  EXPECT_EQ(filter, QStringLiteral("*.xml (szamlakR1.xml)"));
}

TEST_F(Form40Test, HiddenMenuItemOpensTheDialog) {
  ASSERT_TRUE(HasMenuCommand(QStringLiteral("Adhatgiellenrzsiadatszolgltats1")));
  QString name, title;
  ModalScript script;
  script.then([&](QWidget *d) {
    name = d->objectName();
    title = d->windowTitle();
    closeWindow(d);
  });
  EXPECT_TRUE(script.run([] { RunMenuCommand(QStringLiteral("Adhatgiellenrzsiadatszolgltats1")); }));
  EXPECT_EQ(name, QStringLiteral("Form40"));
  EXPECT_EQ(title, QStringLiteral("Adóhatósági ellenőrzési adatszolgáltatás"));
  EXPECT_EQ(Form40, nullptr);
}

TEST_F(Form40Test, EveryTabShowsItsControlsUncut) {
  const QString grabDir = qEnvironmentVariable("VORIK_GRAB_DIR");
  // Collected first, so that the grid shows the selection.
  ASSERT_TRUE(runDialog({collect(), answer(QMessageBox::Ok), [&](QWidget *d) {
    auto *f = static_cast<TForm40 *>(d);
    EXPECT_EQ(f->DBGrid1->model()->rowCount(), 4);
    for (int i = 0; i < f->PageControl1->count(); ++i) {
      f->PageControl1->setCurrentIndex(i);
      QWidget *page = f->PageControl1->widget(i);
      QApplication::processEvents();
      for (auto *w : page->findChildren<QWidget *>()) {
        if (!w->isVisible() || w->objectName().isEmpty()) continue;
        if (qobject_cast<QLabel *>(w) && static_cast<QLabel *>(w)->wordWrap()) continue;
        if (qobject_cast<QAbstractButton *>(w) || qobject_cast<QLabel *>(w) || qobject_cast<QLineEdit *>(w)) {
          EXPECT_GE(w->width(), w->minimumSizeHint().width()) << w->objectName().toStdString();
        }
      }
      const QImage shot = d->grab().toImage();
      EXPECT_FALSE(shot.isNull());
      if (!grabDir.isEmpty()) shot.save(QDir(grabDir).filePath(QStringLiteral("Form40_%1.png").arg(i + 1)));
    }
    // The path and form fields hold their default texts whole.
    EXPECT_GE(f->Edit5->width(), f->Edit5->fontMetrics().horizontalAdvance(f->Edit5->text()));
    EXPECT_GE(f->Edit3->width(), f->Edit3->fontMetrics().horizontalAdvance(f->Edit3->text()));
    closeWindow(d);
  }}));
}

}  // namespace
