#pragma once
// A designer window on a report of the test's own, its settings in a fresh
// folder, error boxes collected, and mouse and key input sent to the surface;
// the engine's globals and the attributes of new objects as at start.
#include "designer/FR_Desgn.h"
#include "designer/FR_DesignerPage.h"
#include "designer/FR_Dock.h"
#include "designer/FR_Insp.h"
#include "report/core/FR_Class_Build.h"
#include "report/ui/FR_Ctrls.h"
#include "support/gui_driver.h"
#include "support/temp_dir.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSettings>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

namespace designer::test {

using namespace report;

// A file dialog step: picks the file (and the filter, counted from 1), or
// cancels when file is empty.
inline vorik::test::ModalScript::Step fileDialog(const QString &name, const QString &file, int filter = 1,
                                                 QString *seenName = nullptr) {
  return [=](QWidget *w) {
    auto *d = qobject_cast<QFileDialog *>(w);
    ASSERT_NE(d, nullptr) << name.toStdString();
    if (seenName) *seenName = d->objectName();
    if (file.isEmpty()) {
      QMetaObject::invokeMethod(d, "reject", Qt::QueuedConnection);
      return;
    }
    d->selectNameFilter(d->nameFilters().value(filter - 1));
    d->selectFile(file);
    QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
  };
}

class DesignerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frResetGlobals();
    frResetDesignerGlobals();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, tmp.file("config"));
    frErrorBox = [this](const QString &t) { errors << t; };
    report = std::make_unique<TfrReport>();
    report->Pages.Add()->UseMargins = false;
    frCurrentReport = report.get();
    ClearClipboard();
    form = std::make_unique<TfrDesignerForm>();
    frReportDesigner = form.get();
    // The text editor is a modal dialog that inserting a text object opens;
    // tests that do not drive it keep it closed. Tests of the editor put it back.
    textEditor = std::exchange(form->EditMemo, nullptr);
    // So is the picture editor, which inserting a picture object opens.
    pictureEditor = std::exchange(form->EditPicture, nullptr);
    form->SetCurPage(0);
  }
  void TearDown() override {
    if (form && form->isVisible()) form->hide();
    form.reset();
    frReportDesigner = nullptr;
    frCurrentReport = nullptr;
    report.reset();
    ClearClipboard();
    frErrorBox = nullptr;
  }

  // Shows the window at a fixed size on page 0.
  void Show(int w = 1100, int h = 800) {
    form->setWindowState(Qt::WindowNoState);
    form->resize(w, h);
    form->show();
    QCoreApplication::processEvents();
  }
  // Shows the window as the active one: real key and mouse input (below) goes to it.
  void ShowActive(int w = 1100, int h = 800) {
    Show(w, h);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  }
  // Input as the window system delivers it: to the window handle, keys through
  // the shortcut map to the focused control, a double click as press, release,
  // press, double click, release. Points are the surface's.
  QPoint InWindow(QPoint p) const { return form->PageView->mapTo(form.get(), p); }
  void RealClick(QPoint p, Qt::KeyboardModifiers m = {}) {
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, m, InWindow(p));
  }
  void RealDoubleClick(QPoint p) {
    QTest::mouseDClick(form->windowHandle(), Qt::LeftButton, {}, InWindow(p));
  }
  void RealDrag(QPoint a, QPoint b) {
    QTest::mousePress(form->windowHandle(), Qt::LeftButton, {}, InWindow(a));
    QTest::mouseMove(form->windowHandle(), InWindow(b));
    QTest::mouseRelease(form->windowHandle(), Qt::LeftButton, {}, InWindow(b));
  }
  void RealKey(int key, Qt::KeyboardModifiers m = {}) {
    QTest::keyClick(form->windowHandle(), static_cast<Qt::Key>(key), m);
  }
  TfrPage &P() { return *form->Page; }
  TfrMemoView *Memo(int x, int y, int dx, int dy, const QString &name) {
    auto v = std::make_unique<TfrMemoView>();
    v->x = x, v->y = y, v->dx = dx, v->dy = dy;
    v->Name = name;
    v->Memo = QStringList{name};
    return static_cast<TfrMemoView *>(P().Add(std::move(v)));
  }
  TfrBandView *Band(int type, int y, int dy, const QString &name) {
    auto v = std::make_unique<TfrBandView>();
    v->SetBandType(type);
    v->x = 0, v->y = y, v->dx = 700, v->dy = dy;
    v->Name = name;
    return static_cast<TfrBandView *>(P().Add(std::move(v)));
  }
  // Selects these objects only, as a click or the rubber band does.
  void SelectOnly(std::initializer_list<TfrView *> views) {
    form->ClearSelection();
    for (TfrView *v : views) form->Select(v);
    form->PageView->ComputeMultiFrame();
    form->SelectionChanged();
  }
  QStringList Names() {
    QStringList n;
    for (const auto &v : P().Objects) n << v->Name;
    return n;
  }

  void Mouse(QEvent::Type type, QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {}) {
    QWidget *w = form->PageView;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(b);
    QMouseEvent e(type, QPointF(p), w->mapToGlobal(QPointF(p)), type == QEvent::MouseMove ? Qt::NoButton : b,
                  type == QEvent::MouseMove && b == Qt::NoButton ? Qt::NoButton : held, m);
    QCoreApplication::sendEvent(w, &e);
  }
  void Click(QPoint p, Qt::KeyboardModifiers m = {}) {
    Mouse(QEvent::MouseButtonPress, p, Qt::LeftButton, m);
    Mouse(QEvent::MouseButtonRelease, p, Qt::LeftButton, m);
  }
  // Press at a, move to b in one step, release there.
  void Drag(QPoint a, QPoint b, Qt::KeyboardModifiers m = {}) {
    Mouse(QEvent::MouseButtonPress, a, Qt::LeftButton, m);
    Mouse(QEvent::MouseMove, b, Qt::LeftButton, m);
    Mouse(QEvent::MouseButtonRelease, b, Qt::LeftButton, m);
  }
  void Key(int key, Qt::KeyboardModifiers m = {}) {
    QKeyEvent e(QEvent::KeyPress, key, m);
    QCoreApplication::sendEvent(form->PageView, &e);
  }

  vorik::test::TempDir tmp;
  QStringList errors;
  std::unique_ptr<TfrReport> report;
  std::unique_ptr<TfrDesignerForm> form;
  std::function<bool(TfrView &)> textEditor;
  std::function<bool(TfrView &)> pictureEditor;
};

}  // namespace designer::test
