// Docks and toolbars: rows dropped when emptied, dragging along and off a
// row, docking refused by orientation, and the layout kept in the settings
// store across a restart of the designer, with garbage giving the defaults.
#include "designer_fixture.h"

#include "platform/settings_store.h"

#include <QMouseEvent>
#include <QSettings>

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

namespace {

class DockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, tmp.file("config"));
    owner.resize(800, 400);
    top = new TfrDock(&owner, report::alTop);
    top->setObjectName("frDock1");
    top->setGeometry(0, 0, 800, 1);
    left = new TfrDock(&owner, report::alLeft);
    left->setObjectName("frDock2");
    left->setGeometry(0, 100, 1, 300);
  }
  TfrToolBar *Bar(const QString &name, int buttons) {
    auto *t = new TfrToolBar(name, &owner);
    t->setObjectName(name);
    for (int i = 0; i < buttons; ++i) {
      auto *b = new report::TfrTBButton;
      b->setFixedSize(23, 22);
      t->addWidget(b);
    }
    return t;
  }
  TempDir tmp;
  QWidget owner;
  TfrDock *top, *left;
};

TEST_F(DockTest, HidingARowsToolbarsRemovesTheRowAndShrinksTheDock) {
  TfrToolBar *a = Bar("A", 3), *b = Bar("B", 2), *c = Bar("C", 2), *d = Bar("D", 4);
  a->DockTo(top, 0, 0);
  b->DockTo(top, 0, 26);
  c->DockTo(top, 100, 26);
  d->DockTo(top, 0, 52);
  EXPECT_EQ(top->height(), 79);
  EXPECT_EQ(a->width(), 2 + 11 + 1 + 3 * 23 + 2);
  b->SetVisible(false);
  EXPECT_EQ(top->height(), 79);  // the row still holds C
  c->SetVisible(false);
  EXPECT_EQ(top->height(), 53);
  EXPECT_EQ(d->y(), 26);
  // A toolbar added to the dock goes to a new row at the far edge.
  b->AddToDock(top);
  b->SetVisible(true);
  EXPECT_EQ(b->y(), 52);
  EXPECT_EQ(top->height(), 79);
  // An empty dock is one pixel thick.
  for (TfrToolBar *t : {a, b, c, d}) t->MakeFloat(10, 10);
  EXPECT_EQ(top->height(), 1);
  EXPECT_EQ(FloatingToolBars().size(), 4u);
  delete d;
  EXPECT_EQ(FloatingToolBars().size(), 3u);
}

TEST_F(DockTest, DraggingAlongARowStopsAtNeighboursAndOffTheStartFloats) {
  TfrToolBar *a = Bar("A", 2), *b = Bar("B", 2);
  a->DockTo(top, 0, 0);
  b->DockTo(top, 200, 0);
  top->Arrange();
  a->BeginDrag({10, 10});
  a->DragTo({400, 10});
  EXPECT_EQ(a->x(), 200 - a->width());  // against B's edge
  a->EndDrag();
  b->BeginDrag({300, 10});
  b->DragTo({300 + 900, 10});
  EXPECT_EQ(top->width(), 800);
  EXPECT_EQ(b->x(), 800 - b->width());  // kept in the dock
  b->EndDrag();
  // Down one row: a new row.
  b->BeginDrag({300, 10});
  b->DragTo({300, 10 + 26});
  EXPECT_EQ(b->y(), 26);
  EXPECT_EQ(top->height(), 53);
  b->EndDrag();
  // More than 20 pixels before the row's start: it floats.
  a->move(0, 0);
  a->BeginDrag({50, 10});
  a->DragTo({50 - 25, 10});
  EXPECT_TRUE(a->IsFloat());
  EXPECT_EQ(a->Dock(), nullptr);
  // A toolbar that cannot float stays.
  b->CanFloat = false;
  b->move(0, 26);
  b->BeginDrag({50, 40});
  b->DragTo({0, 40});
  EXPECT_FALSE(b->IsFloat());
}

TEST_F(DockTest, FloatingToolbarDocksOnlyWhereItsOrientationAllows) {
  owner.show();
  TfrToolBar *v = Bar("V", 2);
  v->Orientation = toVertOnly;
  v->MakeFloat(300, 300);
  ASSERT_TRUE(v->IsFloat());
  auto drag = [&](QWidget *w, QPoint global) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(w->mapToGlobal(QPoint(2, 2))), Qt::LeftButton,
                      Qt::LeftButton, {});
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(w->mapFromGlobal(global)), QPointF(global), Qt::NoButton,
                     Qt::LeftButton, {});
    QCoreApplication::sendEvent(w, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(w->mapFromGlobal(global)), QPointF(global),
                        Qt::LeftButton, Qt::NoButton, {});
    QCoreApplication::sendEvent(w, &release);
  };
  top->setFixedHeight(27);
  drag(v->FloatWindow, owner.mapToGlobal(QPoint(400, 10)));
  EXPECT_TRUE(v->IsFloat());  // the top dock refuses it
  drag(v->FloatWindow, left->mapToGlobal(QPoint(0, 50)));
  EXPECT_FALSE(v->IsFloat());
  EXPECT_EQ(v->Dock(), left);
  EXPECT_GT(v->height(), v->width());  // vertical in a side dock
}

TEST_F(DockTest, BottomAndRightDocksKeepTheirFirstRowAtTheOuterEdge) {
  auto *bottom = new TfrDock(&owner, report::alBottom);
  bottom->setObjectName("frDock3");
  TfrToolBar *a = Bar("A", 3), *b = Bar("B", 2);
  a->DockTo(bottom, 0, 0);
  EXPECT_EQ(bottom->height(), 27);
  EXPECT_EQ(a->y(), 1);
  // A new row grows toward the window's centre; the first stays at the bottom.
  b->AddToDock(bottom);
  EXPECT_EQ(bottom->height(), 53);
  EXPECT_EQ(a->y(), 27);
  EXPECT_EQ(b->y(), 1);
  // The outer row emptied: the inner one moves out to the edge.
  a->SetVisible(false);
  EXPECT_EQ(bottom->height(), 27);
  EXPECT_EQ(b->y(), 1);
  a->AddToDock(bottom);
  a->SetVisible(true);
  EXPECT_EQ(bottom->height(), 53);
  EXPECT_EQ(b->y(), 27);
  EXPECT_EQ(a->y(), 1);
  // Dragged one row outward: back into the outer row, next to B.
  a->BeginDrag({10, 10});
  a->DragTo({10 + 0, 10 + 26});
  a->EndDrag();
  EXPECT_EQ(bottom->height(), 27);
  EXPECT_EQ(a->y(), 1);
  EXPECT_EQ(b->y(), 1);

  auto *right = new TfrDock(&owner, report::alRight);
  right->setObjectName("frDock4");
  TfrToolBar *v = Bar("V", 2), *w = Bar("W", 2);
  v->DockTo(right, 0, 0);
  EXPECT_GT(v->height(), v->width());
  EXPECT_EQ(v->x(), 1);
  EXPECT_EQ(right->width(), v->width() + 1);
  // The first column keeps to the right edge; the new one is further in.
  w->AddToDock(right);
  EXPECT_EQ(w->x(), 1);
  EXPECT_EQ(v->x(), 1 + w->width());
  EXPECT_EQ(right->width(), v->x() + v->width());
}

TEST_F(DockTest, FloatingToolbarIsDraggedByADottedFrameAndMovesOnRelease) {
  owner.show();
  TfrToolBar *t = Bar("F", 3);
  t->MakeFloat(500, 300);
  TfrFloatWindow *fw = t->FloatWindow;
  ASSERT_NE(fw, nullptr);
  QCoreApplication::processEvents();
  const QPoint start = fw->pos();
  auto send = [&](QEvent::Type type, QPoint global) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(fw->mapFromGlobal(global)), QPointF(global),
                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, {});
    QCoreApplication::sendEvent(fw, &e);
  };
  const QPoint grab = fw->mapToGlobal(QPoint(3, 3));
  send(QEvent::MouseButtonPress, grab);
  send(QEvent::MouseMove, grab + QPoint(40, 30));
  // The window stays; its frame follows the cursor.
  TfrDragFrame *frame = fw->DragFrame();
  EXPECT_EQ(fw->pos(), start);
  ASSERT_TRUE(frame->isVisible());
  EXPECT_EQ(frame->geometry(), QRect(start + QPoint(40, 30), fw->frameGeometry().size()));
  send(QEvent::MouseMove, grab + QPoint(70, -20));
  EXPECT_EQ(frame->pos(), start + QPoint(70, -20));
  // Four pixels of dots, nothing inside.
  EXPECT_TRUE(frame->mask().contains(QPoint(3, 3)));
  EXPECT_TRUE(frame->mask().contains(QPoint(frame->width() - 4, frame->height() / 2)));
  EXPECT_FALSE(frame->mask().contains(QPoint(4, 4)));
  EXPECT_FALSE(frame->mask().contains(QPoint(frame->width() / 2, frame->height() / 2)));
  const QImage dots = frame->grab().toImage();
  EXPECT_NE(dots.pixel(0, 0), dots.pixel(1, 0));
  EXPECT_EQ(dots.pixel(0, 0), dots.pixel(1, 1));
  send(QEvent::MouseButtonRelease, grab + QPoint(70, -20));
  EXPECT_EQ(fw->pos(), start + QPoint(70, -20));
  EXPECT_FALSE(frame->isVisible());

  // Torn off a dock, the float window carries the same drag on.
  TfrToolBar *d = Bar("D", 2);
  d->DockTo(top, 0, 0);
  d->BeginDrag({50, 10});
  d->DragTo({50 - 25, 10});
  ASSERT_TRUE(d->IsFloat());
  d->DragTo({200, 150});
  ASSERT_TRUE(d->FloatWindow->DragFrame()->isVisible());
  EXPECT_EQ(d->FloatWindow->DragFrame()->pos(), QPoint(200, 150) - QPoint(25, 10) + d->FloatWindow->pos());
  d->EndDrag();
  EXPECT_FALSE(d->FloatWindow->DragFrame()->isVisible());
}

TEST_F(DockTest, RestoreTakesFloatingPlacesAndIgnoresMissingDocksAndGarbage) {
  TfrToolBar *a = Bar("A", 2), *b = Bar("B", 2);
  a->DockTo(top, 0, 0);
  b->DockTo(top, 100, 0);
  platform::writeRegistry("ToolBar\\A", "isFloat", "1");
  platform::writeRegistry("ToolBar\\A", "XPosition", "300");
  platform::writeRegistry("ToolBar\\A", "YPosition", "200");
  platform::writeRegistry("ToolBar\\B", "DockName", "frDockNincs");
  platform::writeRegistry("ToolBar\\B", "XPosition", "40");
  a->RestoreState();
  b->RestoreState();
  ASSERT_TRUE(a->IsFloat());
  EXPECT_EQ(a->FloatWindow->pos(), QPoint(300, 200));
  EXPECT_EQ(b->Dock(), top);
  EXPECT_EQ(b->x(), 40);
  // Garbage: each value falls back to its default.
  for (const char *n : {"isFloat", "isVisible", "XPosition", "YPosition", "Width", "Height"})
    platform::writeRegistry("ToolBar\\B", n, "\xff\x01zz");
  platform::writeRegistry("ToolBar\\B", "DockName", "");
  b->RestoreState();
  EXPECT_FALSE(b->IsFloat());
  EXPECT_TRUE(b->IsVisible());
  EXPECT_EQ(b->Dock(), top);
  EXPECT_EQ(b->x(), 40);
}

TEST_F(DesignerTest, ToolbarLayoutSurvivesARestartOfTheDesigner) {
  Show();
  form->Panel3->MakeFloat(420, 310);
  form->ShowToolWindow(0, false);  // the frame toolbar
  form->Panel4->DockTo(form->frDock4, 0, 0);
  form->InspForm->move(600, 120);
  form->InspForm->resize(210, 180);
  form->InspForm->show();
  const QPoint p2 = form->Panel2->pos();
  const int dock1 = form->frDock1->height();
  form->hide();
  form.reset();
  form = std::make_unique<TfrDesignerForm>();
  frReportDesigner = form.get();
  Show();
  EXPECT_EQ(form->Panel2->pos(), p2);
  EXPECT_EQ(form->frDock1->height(), dock1);
  ASSERT_TRUE(form->Panel3->IsFloat());
  EXPECT_EQ(form->Panel3->FloatWindow->pos(), QPoint(420, 310));
  EXPECT_FALSE(form->Panel1->IsVisible());
  EXPECT_EQ(form->Panel4->Dock(), form->frDock4);
  EXPECT_EQ(form->InspForm->pos(), QPoint(600, 120));
  EXPECT_EQ(form->InspForm->size(), QSize(210, 180));
  // The Toolbars menu checks what shows and toggles it.
  QMetaObject::invokeMethod(form->N37, "aboutToShow");
  EXPECT_FALSE(form->Pan1->isChecked());
  EXPECT_TRUE(form->Pan2->isChecked());
  form->Pan1->trigger();
  EXPECT_TRUE(form->Panel1->IsVisible());
}

TEST_F(DesignerTest, RowsOfTheBottomAndRightDocksSurviveARestart) {
  Show();
  form->Panel1->AddToDock(form->frDock3);
  form->Panel3->AddToDock(form->frDock3);
  form->Panel4->AddToDock(form->frDock4);
  ASSERT_EQ(form->frDock3->height(), 53);
  const int dock4 = form->frDock4->width();
  ASSERT_GT(dock4, 50);
  const QPoint p1 = form->Panel1->pos(), p3 = form->Panel3->pos(), p4 = form->Panel4->pos(),
               p5 = form->Panel5->pos();
  EXPECT_EQ(p1.y(), 27);  // the first row at the bottom
  EXPECT_EQ(p3.y(), 1);
  form->hide();
  form.reset();
  form = std::make_unique<TfrDesignerForm>();
  frReportDesigner = form.get();
  Show();
  EXPECT_EQ(form->Panel1->Dock(), form->frDock3);
  EXPECT_EQ(form->Panel3->Dock(), form->frDock3);
  EXPECT_EQ(form->frDock3->height(), 53);
  EXPECT_EQ(form->Panel1->pos(), p1);
  EXPECT_EQ(form->Panel3->pos(), p3);
  EXPECT_EQ(form->frDock4->width(), dock4);
  EXPECT_EQ(form->Panel4->pos(), p4);
  EXPECT_EQ(form->Panel5->pos(), p5);
}

TEST_F(DesignerTest, GarbageInTheStoreGivesTheDefaultLayout) {
  Show();
  const QPoint p1 = form->Panel1->pos();
  const int dock1 = form->frDock1->height();
  form->hide();
  for (const char *bar : {"Panel1", "Panel2", "Panel3", "Panel4", "Panel6"})
    for (const char *n : {"isFloat", "isVisible", "XPosition", "YPosition", "Width", "Height", "DockName"})
      platform::writeRegistry(QStringLiteral("ToolBar\\") + bar, n, "garbage");
  form.reset();
  form = std::make_unique<TfrDesignerForm>();
  frReportDesigner = form.get();
  Show();
  EXPECT_EQ(form->Panel1->pos(), p1);
  EXPECT_EQ(form->frDock1->height(), dock1);
  EXPECT_FALSE(form->Panel2->IsFloat());
  EXPECT_TRUE(form->Panel3->IsVisible());
}

}  // namespace
