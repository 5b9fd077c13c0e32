// The template chooser: what the folder lists, the header read on selection,
// broken and truncated templates, double click, Cancel, and its layout.
#include "template_fixture.h"

#include "dialog_steps.h"

#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QtEndian>

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

namespace {

// Opens the chooser through New from template and runs step on it; the
// chooser's result.
QString choose(TfrDesignerForm &form, const ModalScript::Step &step) {
  QString chosen = QStringLiteral("(not returned)");
  ModalScript script;
  script.then(step);
  EXPECT_TRUE(script.run([&] { chosen = form.ChooseTemplate(); }));
  return chosen;
}

void select(QWidget *dlg, int row) { child<QListWidget>(dlg, "LB1")->setCurrentRow(row); }
QString description(QWidget *dlg) { return child<QPlainTextEdit>(dlg, "Memo1")->toPlainText(); }

void doubleClick(QWidget *dlg, int row) {
  auto *lb = child<QListWidget>(dlg, "LB1");
  QWidget *vp = lb->viewport();
  const QPointF p = lb->visualItemRect(lb->item(row)).center();
  for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                         QEvent::MouseButtonRelease}) {
    const Qt::MouseButtons held = t == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(t, p, vp->mapToGlobal(p), Qt::LeftButton, held, {});
    QCoreApplication::sendEvent(vp, &e);
  }
}

}  // namespace

TEST_F(TemplateTest, AnEmptyFolderListsNothingAndOkStaysDisabled) {
  QDir().mkpath(T("mappa.frt"));  // a folder named like a template is no template
  writeFile(T("jegyzet.txt"), "nem minta");
  const QString chosen = choose(*form, [&](QWidget *d) {
    EXPECT_EQ(d->objectName(), "frTemplForm");
    EXPECT_EQ(d->windowTitle(), "New report");
    EXPECT_EQ(Items(d), QStringList());
    EXPECT_FALSE(Enabled(d, "Button1"));
    // Taking the focus makes no choice.
    child<QListWidget>(d, "LB1")->setFocus();
    QCoreApplication::processEvents();
    EXPECT_FALSE(Enabled(d, "Button1"));
    click(d, "Button1");  // disabled: nothing happens
    QCoreApplication::processEvents();
    EXPECT_TRUE(d->isVisible());
    click(d, "Button2");
  });
  EXPECT_EQ(chosen, QString());
}

TEST_F(TemplateTest, NamesLoseTheirLastExtensionOnlyAndTheResultIsTheFile) {
  WriteTemplate("szamla.v2.frt", {"Két pont"});
  WriteTemplate("alap.frt", {"Alap"});
  WriteTemplate("NAGY.FRT", {"Nagybetűs"});
  const QString chosen = choose(*form, [&](QWidget *d) {
    EXPECT_EQ(Items(d), QStringList({"alap", "NAGY", "szamla.v2"}));
    EXPECT_FALSE(Enabled(d, "Button1"));
    select(d, 2);
    EXPECT_TRUE(Enabled(d, "Button1"));
    EXPECT_EQ(description(d), "Két pont");
    click(d, "Button1");
  });
  EXPECT_EQ(chosen, T("szamla.v2.frt"));
  // A name in capitals gives the file as it is named.
  EXPECT_EQ(choose(*form,
                   [&](QWidget *d) {
                     select(d, 1);
                     click(d, "Button1");
                   }),
            T("NAGY.FRT"));
}

TEST_F(TemplateTest, SelectingReadsTheDescriptionAndPictureOfEachTemplate) {
  const TfrPicture red = Bitmap(qRgb(255, 0, 0));
  WriteTemplate("a.frt", {"Első sor", "", "Harmadik sor"}, red);
  WriteTemplate("b.frt", {});
  choose(*form, [&](QWidget *d) {
    select(d, 0);
    EXPECT_EQ(description(d), "Első sor\n\nHarmadik sor");
    EXPECT_EQ(Shown(d), red);
    // The next template without a picture or description clears both.
    select(d, 1);
    EXPECT_EQ(description(d), "");
    EXPECT_TRUE(Shown(d).isEmpty());
    EXPECT_TRUE(Enabled(d, "Button1"));
    click(d, "Button2");
  });
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(TemplateTest, ABrokenTemplateShowsItsErrorAndCannotBeChosen) {
  WriteTemplate("jo.frt", {"Jó"}, Bitmap(qRgb(0, 0, 255)));
  writeFile(T("rossz.frt"), QByteArray("\x01\x00\x05\x00hello\x00\xFF\xFF\xFF\x7F\x01", 16));
  writeFile(T("ures.frt"), QByteArray());
  choose(*form, [&](QWidget *d) {
    EXPECT_EQ(Items(d), QStringList({"jo", "rossz", "ures"}));
    select(d, 0);
    ASSERT_TRUE(Enabled(d, "Button1"));
    for (int row : {1, 2}) {
      errors.clear();
      select(d, row);
      EXPECT_EQ(errors.size(), 1) << row;
      EXPECT_FALSE(Enabled(d, "Button1")) << row;
      EXPECT_EQ(description(d), "") << row;
      EXPECT_TRUE(Shown(d).isEmpty()) << row;
    }
    // A double click on it does not close the dialog.
    doubleClick(d, 2);
    QCoreApplication::processEvents();
    EXPECT_TRUE(d->isVisible());
    click(d, "Button2");
  });
}

TEST_F(TemplateTest, ADoubleClickChoosesAndNewFromTemplateLoadsIt) {
  WriteTemplate("egy.frt", {"Egy"});
  WriteTemplate("ketto.frt", {"Kettő"});
  Memo(8, 8, 96, 18, "Regi1");
  Show();
  ModalScript script;
  script.then([&](QWidget *d) { doubleClick(d, 1); });
  EXPECT_TRUE(script.run([&] { click(form.get(), "N23"); }));
  QCoreApplication::processEvents();
  EXPECT_EQ(Names(), QStringList({"Minta1"}));
  EXPECT_EQ(form->windowTitle(), "Designer - Untitled");
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(TemplateTest, CancelChangesNothingAndTheDialogFitsItsTexts) {
  WriteTemplate("szamla.v2.frt",
                {"Egy hosszabb leírás a mintáról, amely több szót is tartalmaz", "Második sor"},
                Bitmap(qRgb(0, 128, 0), 200, 120));
  Memo(8, 8, 96, 18, "Regi1");
  Show();
  const QByteArray before = report->SaveToBytes();
  ModalScript script;
  script.then([&](QWidget *d) {
    select(d, 0);
    QCoreApplication::processEvents();
    expectLaidOut(d);
    click(d, "Button2");
  });
  EXPECT_TRUE(script.run([&] { click(form.get(), "N23"); }));
  QCoreApplication::processEvents();
  EXPECT_EQ(report->SaveToBytes(), before);
  EXPECT_FALSE(form->FileModified);
  EXPECT_EQ(form->UndoCount(), 0);
  EXPECT_EQ(Names(), QStringList({"Regi1"}));
}

// Every cut of a good template, and garbage: a header that is all there is
// read whatever follows; anything shorter is refused with a message; nothing crashes.
TEST_F(TemplateTest, TruncatedAndGarbageTemplatesAreReadOrRefusedOnSelection) {
  const QStringList desc{"Első", "Második"};
  WriteTemplate("minta.frt", desc, Bitmap(qRgb(10, 20, 30), 3, 2));
  QFile f(T("minta.frt"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray good = f.readAll();
  f.close();
  QFile::remove(T("minta.frt"));
  // The header: the description, the body position, the picture byte and the bitmap.
  const qint32 bodyPos = qFromLittleEndian<qint32>(good.constData() + 2 + 2 + 4 + 1 + 2 + 7 + 1);
  ASSERT_GT(bodyPos, 0);
  ASSERT_LT(bodyPos, good.size());
  for (int n = 0; n < good.size(); ++n)
    writeFile(T(QStringLiteral("cut%1.frt").arg(n, 4, 10, QLatin1Char('0'))), good.left(n));
  QRandomGenerator rng(2026);
  for (int i = 0; i < 40; ++i) {
    QByteArray junk(static_cast<int>(rng.bounded(1, 300)), '\0');
    for (char &c : junk) c = static_cast<char>(rng.bounded(256));
    if (i % 2) junk = good.left(9) + junk;  // a plausible start
    writeFile(T(QStringLiteral("zaj%1.frt").arg(i, 2, 10, QLatin1Char('0'))), junk);
  }
  choose(*form, [&](QWidget *d) {
    const QStringList items = Items(d);
    ASSERT_EQ(items.size(), good.size() + 40);
    int refused = 0;
    for (int row = 0; row < items.size(); ++row) {
      errors.clear();
      select(d, row);
      const bool ok = Enabled(d, "Button1");
      EXPECT_EQ(errors.size(), ok ? 0 : 1) << items[row].toStdString();
      if (!ok) {
        ++refused;
        EXPECT_EQ(description(d), "") << items[row].toStdString();
      }
      if (items[row].startsWith("cut")) {
        const int n = items[row].mid(3).toInt();
        EXPECT_EQ(ok, n >= bodyPos) << n;
        if (ok) {
          EXPECT_EQ(description(d), desc.join('\n')) << n;
        }
      }
    }
    EXPECT_GE(refused, bodyPos);
    click(d, "Button2");
  });
}
