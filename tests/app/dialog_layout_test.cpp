// Every dialog opens with nothing cut: each edit wide enough for its longest
// allowed content, labels whole, every control inside the window; in the
// platform's font and in Liberation Sans. Each dialog is also grabbed to PNG
// (into VORIK_DIALOG_PNG_DIR when set, to look at).
#include "app/About.h"
#include "app/common/LimitedEdit.h"
#include "dialog_factories.h"
#include "dialog_layout.h"
#include "support/data_fixture.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTimer>

using namespace vorik::test;

namespace {

class DialogLayout : public DataModuleTest {
 protected:
  void SetUp() override {
    DataModuleTest::SetUp();
    prepareDialogData();
    splash_ = TAboutBox::Interval();
    TAboutBox::SetInterval(600000);  // the splash stays while it is looked at
    font_ = QApplication::font();
  }
  void TearDown() override {
    QApplication::setFont(font_);
    TAboutBox::SetInterval(splash_);
    DataModuleTest::TearDown();
  }

  // Shows each dialog as its command does and collects what is cut.
  void checkEveryDialog(const QString &fontLabel) {
    const QString pngDir = qEnvironmentVariable("VORIK_DIALOG_PNG_DIR");
    for (const DialogFactory &factory : dialogFactories()) {
      SCOPED_TRACE(std::string(factory.name) + " in " + fontLabel.toStdString());
      std::unique_ptr<QWidget> dialog = factory.make();
      ASSERT_TRUE(dialog);
      dialog->show();
      QApplication::processEvents();
      ASSERT_EQ(QApplication::activeModalWidget(), dialog.get()) << "a box opened over the dialog";
      const QStringList problems = dialogProblems(dialog.get());
      EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();
      const QPixmap shot = dialog->grab();
      EXPECT_EQ(shot.size(), dialog->size() * shot.devicePixelRatio());
      if (!pngDir.isEmpty()) {
        QDir().mkpath(pngDir);
        shot.save(QStringLiteral("%1/%2-%3.png").arg(pngDir, QString::fromLatin1(factory.name), fontLabel));
      }
      dialog->hide();
    }
  }

  int splash_ = 0;
  QFont font_;
};

}  // namespace

TEST_F(DialogLayout, NothingIsCutInThePlatformFont) { checkEveryDialog(QStringLiteral("default")); }

TEST_F(DialogLayout, NothingIsCutInLiberationSans) {
  ASSERT_TRUE(QFontDatabase::families().contains(QStringLiteral("Liberation Sans")));
  for (int points : {9, 10}) {
    QFont f(QStringLiteral("Liberation Sans"), points);
    QApplication::setFont(f);
    checkEveryDialog(QStringLiteral("liberation%1").arg(points));
  }
}

// The check itself finds a cut edit and a cut label.
TEST_F(DialogLayout, TheCheckFindsANarrowEditAndACutLabel) {
  QWidget w;
  w.resize(400, 100);
  auto *edit = new LimitedEdit(&w);
  edit->setObjectName(QStringLiteral("Edit3"));
  edit->setLimit(45);
  edit->setGeometry(10, 10, 60, edit->sizeHint().height());
  auto *label = new QLabel(QStringLiteral("Családi gazd.nyilv.száma 2021. évtől"), &w);
  label->setGeometry(10, 50, 40, 20);
  auto *plain = new QLineEdit(&w);
  plain->setGeometry(200, 10, 150, 20);
  w.show();
  QApplication::processEvents();
  const QString found = dialogProblems(&w).join(QLatin1Char('\n'));
  EXPECT_TRUE(found.contains(QStringLiteral("LimitedEdit Edit3: 45 characters"))) << found.toStdString();
  EXPECT_TRUE(found.contains(QStringLiteral("évtől\" is cut"))) << found.toStdString();
  EXPECT_TRUE(found.contains(QStringLiteral("plain QLineEdit"))) << found.toStdString();
}
