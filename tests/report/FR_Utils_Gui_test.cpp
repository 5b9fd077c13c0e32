#include "report/ui/FR_Utils_Gui.h"

#include "report/ui/FR_Const.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

using namespace report;

TEST(UtilsGui, ControlAtPosFindsTheTopmostVisibleChildAndSearchesInside) {
  QWidget top;
  top.resize(200, 200);
  auto *panel = new QWidget(&top);
  panel->setGeometry(10, 10, 100, 100);
  auto *inner = new QLabel(QStringLiteral("x"), panel);
  inner->setGeometry(5, 5, 20, 20);
  auto *over = new QWidget(&top);
  over->setGeometry(80, 80, 50, 50);
  auto *hidden = new QWidget(&top);
  hidden->setGeometry(150, 150, 40, 40);
  top.show();
  hidden->hide();

  EXPECT_EQ(frControlAtPos(&top, QPoint(20, 20)), inner);   // inside the panel, on its child
  EXPECT_EQ(frControlAtPos(&top, QPoint(50, 50)), panel);   // the panel itself
  EXPECT_EQ(frControlAtPos(&top, QPoint(90, 90)), over);    // the later child is on top
  EXPECT_EQ(frControlAtPos(&top, QPoint(160, 160)), nullptr);  // hidden
  EXPECT_EQ(frControlAtPos(nullptr, QPoint()), nullptr);
}

TEST(UtilsGui, EnableControls) {
  QWidget top;
  auto *label = new QLabel(&top);
  auto *edit = new QLineEdit(&top);
  frEnableControls({label, edit, nullptr}, false);
  EXPECT_FALSE(label->isEnabled());
  EXPECT_FALSE(edit->isEnabled());
  frEnableControls({label, edit}, true);
  EXPECT_TRUE(edit->isEnabled());
  EXPECT_EQ(frGetWindowsVersion(), QStringLiteral("NT"));
}

TEST(UtilsGui, OkCancelRowNamesConnectsAndRightAlignsTheButtons) {
  QDialog dlg;
  QPushButton *ok = nullptr, *cancel = nullptr;
  QHBoxLayout *row = frOkCancelRow(&dlg, ok, cancel);
  ASSERT_TRUE(ok && cancel);
  EXPECT_EQ(ok->objectName(), QStringLiteral("Button1"));
  EXPECT_EQ(cancel->objectName(), QStringLiteral("Button2"));
  EXPECT_EQ(ok->text(), frLoadStr(55000));
  EXPECT_EQ(cancel->text(), frLoadStr(55001));
  EXPECT_TRUE(ok->isDefault());
  EXPECT_FALSE(cancel->isDefault());
  ASSERT_EQ(row->count(), 3);
  EXPECT_NE(row->itemAt(0)->spacerItem(), nullptr);  // the stretch keeps them right
  EXPECT_EQ(row->itemAt(1)->widget(), ok);
  EXPECT_EQ(row->itemAt(2)->widget(), cancel);
  auto *lay = new QVBoxLayout(&dlg);
  lay->addLayout(row);

  dlg.setResult(-1);
  cancel->click();
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
  ok->click();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST(UtilsGui, ColumnStacksControlsAndStretchesBelowOnlyWhenAsked) {
  QGroupBox box;
  auto *a = new QCheckBox(&box);
  auto *b = new QCheckBox(&box);
  QVBoxLayout *col = frColumn(&box, {a, b}, true);
  EXPECT_EQ(box.layout(), col);
  ASSERT_EQ(col->count(), 3);
  EXPECT_EQ(col->itemAt(0)->widget(), a);
  EXPECT_EQ(col->itemAt(1)->widget(), b);
  EXPECT_NE(col->itemAt(2)->spacerItem(), nullptr);

  QWidget page;
  auto *c = new QLineEdit(&page);
  EXPECT_EQ(frColumn(&page, {c})->count(), 1);
}
