#include "report/ui/FR_Utils_Gui.h"

#include <QLabel>
#include <QLineEdit>
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
