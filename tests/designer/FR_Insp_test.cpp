// The formatting toolbars and the object inspector acting on the selection:
// enabling by the kind of selection, neutral values, bad input refused with
// nothing recorded, renaming, units, the status bar and the inspector window.
#include "designer_fixture.h"

#include "designer/FR_Insp.h"
#include "report/output/FR_Fonts.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFontInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QStyleHints>
#include <QToolBar>

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

namespace {

class FormatTest : public DesignerTest {
 protected:
  // Types a value into the frame width box and presses Enter.
  void TypeFrameWidth(const QString &text) {
    form->E1->setText(text);
    QTest::keyClick(form->E1, Qt::Key_Return);
  }
  // Types into an inspector row and leaves it as the user does.
  void Inspect(int row, const QString &text) {
    form->InspForm->SetCurItem(row);
    form->InspForm->Edit1->setText(text);
    form->InspForm->Edit1->setModified(true);
    form->InspForm->StoreEdit();
  }
};

TEST_F(FormatTest, ControlsFollowTheKindOfSelection) {
  Show();
  TfrBandView *band = Band(btMasterData, 100, 40, "MasterData1");
  TfrMemoView *a = Memo(8, 8, 96, 18, "Memo1");
  TfrMemoView *b = Memo(8, 40, 50, 18, "Memo2");
  a->FrameTyp = frbTop | frbLeft;
  a->FrameWidth = 2.5;
  a->Font.Style = fsBold;
  a->Adjust = 2 | 16;
  std::vector<QWidget *> frame{form->FrB1, form->FrB6, form->ClB1, form->ClB3, form->E1, form->SB1, form->StB1};
  std::vector<QWidget *> text{form->C2, form->C3, form->FnB1, form->AlB1, form->AlB8, form->ClB2, form->HlB1};

  SelectOnly({band});
  EXPECT_EQ(form->SelectionKind(), 1);
  for (QWidget *w : frame) EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  for (QWidget *w : text) EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  EXPECT_EQ(form->C2->currentIndex(), -1);
  EXPECT_EQ(form->C3->currentText(), "");
  EXPECT_TRUE(form->ZB1->isEnabled());
  EXPECT_TRUE(form->N36->isEnabled());

  // One text object: its values.
  SelectOnly({a});
  EXPECT_EQ(form->SelectionKind(), 2);
  EXPECT_TRUE(form->FrB1->Down());
  EXPECT_TRUE(form->FrB2->Down());
  EXPECT_FALSE(form->FrB3->Down());
  EXPECT_EQ(form->E1->text(), "2,5");
  EXPECT_TRUE(form->FnB1->Down());
  EXPECT_TRUE(form->AlB3->Down());
  EXPECT_TRUE(form->AlB7->Down());
  EXPECT_EQ(form->C3->currentText(), "10");

  // Two objects: enabled, neutral values.
  SelectOnly({a, b});
  EXPECT_EQ(form->SelectionKind(), 8);
  for (QWidget *w : frame) EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
  for (QWidget *w : text) EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
  EXPECT_FALSE(form->FrB1->Down());
  EXPECT_FALSE(form->FnB1->Down());
  EXPECT_TRUE(form->AlB1->Down());
  EXPECT_EQ(form->E1->text(), "1");
  EXPECT_EQ(form->C3->currentText(), "");
  EXPECT_FALSE(form->N36->isEnabled());  // the object editor needs one object
  EXPECT_FALSE(form->InspForm->Row(6).Enabled);

  // The clipboard adds bit 16 and enables paste.
  form->Copy();
  EXPECT_EQ(form->SelectionKind(), 8 | 16);
  EXPECT_TRUE(form->PstB->isEnabled());
}

TEST_F(FormatTest, FrameWidthTakesEitherSeparatorAndRefusesBadInputWithoutAStep) {
  Show();
  TfrMemoView *a = Memo(8, 8, 96, 18, "Memo1");
  TfrMemoView *b = Memo(8, 40, 96, 18, "Memo2");
  SelectOnly({a, b});
  for (const char *t : {"1,5", "1.5"}) {
    a->FrameWidth = b->FrameWidth = 1;
    const int steps = form->UndoCount();
    TypeFrameWidth(t);
    EXPECT_DOUBLE_EQ(a->FrameWidth, 1.5) << t;
    EXPECT_DOUBLE_EQ(b->FrameWidth, 1.5) << t;
    EXPECT_EQ(form->UndoCount(), steps + 1);
  }
  EXPECT_DOUBLE_EQ(frLastAttributes.FrameWidth, 1.5);
  // Not numbers, or not a width the layout file gives back (below 0.011 it reads
  // a whole width, past the stored integer's range it is cut, four decimals are
  // rounded): nothing changes, no step, the box restored, a message.
  for (const char *t : {"abc", "", "0", "-2", "1,5,5", "0,01", "0,0105", "1e308", "2147484", "1,2345"}) {
    const int steps = form->UndoCount();
    errors.clear();
    TypeFrameWidth(t);
    EXPECT_DOUBLE_EQ(a->FrameWidth, 1.5) << t;
    EXPECT_EQ(form->UndoCount(), steps) << t;
    EXPECT_EQ(form->E1->text(), "1") << t;  // a mixed selection's neutral value
    EXPECT_EQ(errors.size(), 1) << t;
  }
  // What is accepted comes back from the file as it was typed.
  for (const auto &[t, w] :
       {std::pair{"0,011", 0.011}, std::pair{"20", 20.0}, std::pair{"2147483,647", 2147483.647}}) {
    TypeFrameWidth(t);
    EXPECT_DOUBLE_EQ(a->FrameWidth, w) << t;
    TfrReport back;
    ASSERT_TRUE(back.LoadFromBytes(report->SaveToBytes()));
    frCurrentReport = report.get();
    EXPECT_DOUBLE_EQ(back.Pages[0]->Object(0)->FrameWidth, w) << t;
  }
  TypeFrameWidth("1,5");
  // The minus button never goes below 1; the plus button adds 1.
  SelectOnly({a});
  TypeFrameWidth("1");
  form->SB2->click();
  EXPECT_EQ(form->E1->text(), "1");
  EXPECT_DOUBLE_EQ(a->FrameWidth, 1);
  form->SB1->click();
  EXPECT_EQ(form->E1->text(), "2");
  EXPECT_DOUBLE_EQ(a->FrameWidth, 2);
  // Undo takes back the last width.
  form->Undo();
  EXPECT_DOUBLE_EQ(P().FindObject("Memo1")->FrameWidth, 1);
}

// Enter or Tab in the frame width or font size box applies the value and opens no
// editor; the design surface takes the focus, so the keys after it act on the objects.
TEST_F(FormatTest, EnterInTheWidthAndSizeBoxesAppliesAndHandsTheKeysBackToTheObjects) {
  ShowActive();
  TfrMemoView *a = Memo(40, 40, 96, 18, "Memo1");
  int editors = 0;
  form->EditMemo = [&](TfrView &) { return ++editors, false; };
  RealClick({60, 48});
  ASSERT_TRUE(a->Selected);
  struct Box {
    QWidget *click;
    QWidget *edit;
    const char *typed;
    Qt::Key leave = Qt::Key_Return;
  };
  // A size in the list or not: each Return or Tab is one step.
  for (const Box &box : {Box{form->C3, form->C3->lineEdit(), "15", Qt::Key_Tab}, Box{form->E1, form->E1, "3"},
                         Box{form->C3, form->C3->lineEdit(), "13"}, Box{form->C3, form->C3->lineEdit(), "14"}}) {
    const QString name = box.click->objectName() + box.typed;
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {},
                      box.click->mapTo(form.get(), box.click->rect().center()));
    ASSERT_TRUE(box.edit->hasFocus()) << name.toStdString();
    RealKey(Qt::Key_A, Qt::ControlModifier);  // the box's own select all
    EXPECT_EQ(P().Objects.size(), 1u);
    const int steps = form->UndoCount();
    for (const char *c = box.typed; *c; ++c) QTest::keyClick(form->windowHandle(), *c);
    RealKey(box.leave);
    EXPECT_EQ(form->UndoCount(), steps + 1) << name.toStdString();
    EXPECT_EQ(editors, 0) << name.toStdString();
    EXPECT_TRUE(form->PageView->hasFocus()) << name.toStdString();
    const int x = a->x;
    RealKey(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(a->x, x + 1) << name.toStdString();
  }
  EXPECT_DOUBLE_EQ(a->FrameWidth, 3);
  EXPECT_EQ(a->Font.Size, 14);
  // A size picked from the list with the mouse: the keys go back to the objects,
  // Up and Down do not change the size. (The list takes no click within the
  // double-click time after it opened: that time is made to pass at once.)
  QStyleHints *hints = QGuiApplication::styleHints();
  const int doubleClick = hints->mouseDoubleClickInterval();
  hints->setMouseDoubleClickInterval(0);
  QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {},
                    form->C3->mapTo(form.get(), QPoint(form->C3->width() - 6, form->C3->height() / 2)));
  QAbstractItemView *list = form->C3->view();
  ASSERT_TRUE(list->isVisible());
  QCoreApplication::processEvents();
  hints->setMouseDoubleClickInterval(doubleClick);
  const int steps = form->UndoCount();
  const QModelIndex twenty = list->model()->index(form->C3->findText("20"), 0);
  list->scrollTo(twenty);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(twenty).center());
  EXPECT_FALSE(list->isVisible());
  EXPECT_EQ(a->Font.Size, 20);
  EXPECT_EQ(form->UndoCount(), steps + 1);
  EXPECT_FALSE(form->C3->hasFocus());
  EXPECT_FALSE(form->C3->lineEdit()->hasFocus());
  const int x = a->x;
  RealKey(Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(a->x, x + 1);
  RealKey(Qt::Key_Down);
  RealKey(Qt::Key_Up);
  EXPECT_EQ(a->Font.Size, 20);
  EXPECT_EQ(form->UndoCount(), steps + 2);
  RealKey(Qt::Key_Delete);
  EXPECT_TRUE(P().Objects.empty());
  EXPECT_EQ(editors, 0);
}

TEST_F(FormatTest, ToolbarButtonsApplyToTheSelectionAndSkipBands) {
  Show();
  TfrBandView *band = Band(btMasterData, 100, 40, "MasterData1");
  TfrMemoView *a = Memo(8, 8, 96, 18, "Memo1");
  SelectOnly({a, band});
  form->FrB5->click();
  EXPECT_EQ(a->FrameTyp, 15);
  EXPECT_EQ(band->FrameTyp, btMasterData);  // a band's frame field is its type
  form->FrB6->click();
  EXPECT_EQ(a->FrameTyp, 0);
  form->FrB1->click();
  EXPECT_EQ(a->FrameTyp, frbTop);
  form->FnB2->click();
  EXPECT_EQ(a->Font.Style, fsItalic);
  form->AlB2->click();
  EXPECT_EQ(a->Adjust & 3, 1);
  form->AlB8->click();
  EXPECT_EQ(a->Adjust & 3, 3);
  form->AlB5->click();
  EXPECT_EQ(a->Adjust & 24, 8);
  form->AlB4->click();
  EXPECT_EQ(a->Adjust & 4, 4);
  form->frSpeedButton[3]->click();
  EXPECT_EQ(a->FrameStyle, 3);
  // Colour buttons take the selector's colour.
  form->ChooseColor = [](TColor &c) {
    c = 0x0000FF;
    return true;
  };
  form->ClB1->click();
  EXPECT_EQ(a->FillColor, 0x0000FFu);
  EXPECT_EQ(form->ButtonColor(form->ClB1), 0x0000FFu);
  // Font size: a number in range, else refused with nothing recorded.
  SelectOnly({a});
  form->C3->setEditText("14");
  QTest::keyClick(form->C3, Qt::Key_Return);
  EXPECT_EQ(a->Font.Size, 14);
  const int steps = form->UndoCount();
  for (const char *t : {"x", "0", "100000"}) {
    form->C3->setEditText(t);
    QTest::keyClick(form->C3, Qt::Key_Return);
    EXPECT_EQ(a->Font.Size, 14) << t;
    EXPECT_EQ(form->C3->currentText(), "14") << t;
  }
  EXPECT_EQ(form->UndoCount(), steps);
  // Any entry of the font list applies, the first one too.
  form->C2->setCurrentIndex(0);
  QMetaObject::invokeMethod(form->C2, "activated", Q_ARG(int, 0));
  EXPECT_EQ(a->Font.Name, form->C2->itemText(0));
}

TEST_F(FormatTest, InspectorRowsShowTheSelectionAndRefuseBadValues) {
  Show();
  TfrMemoView *a = Memo(8, 8, 36, 18, "Memo1");
  TfrMemoView *b = Memo(8, 40, 50, 18, "Memo2");
  Band(btPageHeader, 200, 40, "PageHeader1");
  SelectOnly({a});
  EXPECT_EQ(form->InspValues[0], "Memo1");
  EXPECT_EQ(form->InspValues[1], "8");
  EXPECT_EQ(form->InspValues[3], "36");
  EXPECT_EQ(form->InspValues[5], "1");
  // Several: only the values all agree on.
  SelectOnly({a, b});
  EXPECT_EQ(form->InspValues[0], "");
  EXPECT_EQ(form->InspValues[1], "8");
  EXPECT_EQ(form->InspValues[2], "");
  EXPECT_EQ(form->InspValues[4], "18");
  Inspect(2, "100");
  EXPECT_EQ(a->y, 100);
  EXPECT_EQ(b->y, 100);
  // Out of the page, zero, non-numeric and unknown names: nothing applied, no step.
  SelectOnly({a});
  const int steps = form->UndoCount();
  for (const char *t : {"0", "-5", "100000", "abc", "Nincs + 1", "1 +", ""}) {
    Inspect(1, t);
    EXPECT_EQ(a->x, 8) << t;
    EXPECT_EQ(form->InspValues[1], "8") << t;
  }
  EXPECT_EQ(form->UndoCount(), steps);
  // An expression is evaluated.
  Inspect(3, "8*2");
  EXPECT_EQ(a->dx, 16);
  EXPECT_EQ(form->InspValues[3], "16");
  Inspect(5, "0");
  EXPECT_FALSE(a->Visible);

  // Renaming: a name used elsewhere (any case) keeps the old one.
  for (const char *t : {"memo2", "PAGEHEADER1", ""}) {
    Inspect(0, t);
    EXPECT_EQ(a->Name, "Memo1") << t;
    EXPECT_EQ(form->InspValues[0], "Memo1") << t;
  }
  Inspect(0, "Cim");
  EXPECT_EQ(a->Name, "Cim");
  form->Undo();
  EXPECT_EQ(P().Object(0)->Name, "Memo1");
}

// A value typed in the inspector goes into the object it was typed for, whether
// the designer window gets the focus before the click on another object or after.
TEST_F(FormatTest, AnInspectorValueGoesToItsObjectWhateverTheOrderOfFocusAndClick) {
  ShowActive();
  TfrInspForm *insp = form->InspForm;
  for (const bool clickFirst : {true, false}) {
    P().Clear();
    SelectOnly({});
    TfrMemoView *a = Memo(40, 40, 96, 18, "Memo1");
    TfrMemoView *b = Memo(40, 100, 96, 18, "Memo2");
    RealClick({60, 48});
    ASSERT_TRUE(a->Selected);
    insp->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == insp; }));
    QTest::mouseClick(insp->PaintBox1, Qt::LeftButton, {},
                      QPoint(10, insp->RowHeight() + insp->RowHeight() / 2));
    ASSERT_TRUE(insp->Edit1->hasFocus());
    QTest::keyClick(insp->windowHandle(), Qt::Key_A, Qt::ControlModifier);
    for (const char *c = "120"; *c; ++c) QTest::keyClick(insp->windowHandle(), *c);
    const int steps = form->UndoCount();
    auto focus = [&] {
      form->activateWindow();
      ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == form.get(); }));
    };
    if (!clickFirst) focus();
    RealClick({60, 108});
    if (clickFirst) focus();
    EXPECT_EQ(a->x, 120) << clickFirst;
    EXPECT_EQ(b->x, 40) << clickFirst;
    EXPECT_TRUE(b->Selected) << clickFirst;
    EXPECT_EQ(form->InspValues[0], "Memo2") << clickFirst;
    EXPECT_EQ(form->UndoCount(), steps + 1) << clickFirst;
    form->Undo();
    EXPECT_EQ(P().FindObject("Memo1")->x, 40) << clickFirst;
  }
}

TEST_F(FormatTest, UnitsConvertTheInspectorAndTheStatusBar) {
  Show();
  TfrMemoView *a = Memo(18, 36, 36, 18, "Memo1");
  a->Memo = QStringList{"Első sor", "második"};
  form->SetUnits(1);
  SelectOnly({a});
  EXPECT_EQ(form->InspValues[3], "10,00");
  EXPECT_EQ(form->InspValues[1], "5,00");
  EXPECT_EQ(form->StatusUnits->text(), "MM");
  EXPECT_EQ(form->StatusPos->text(), "5,00; 10,00");
  EXPECT_EQ(form->StatusSize->text(), "10,00; 5,00");
  EXPECT_EQ(form->StatusText->text(), "Memo1: Első sor");
  // A typed millimetre value becomes pixels.
  form->InspForm->SetCurItem(3);
  form->InspForm->Edit1->setText("20");
  form->InspForm->Edit1->setModified(true);
  form->InspForm->StoreEdit();
  EXPECT_EQ(a->dx, 72);
  form->SetUnits(2);
  form->SelectionChanged();
  EXPECT_EQ(form->InspValues[3], "0,79");
  form->SetUnits(0);
  form->SelectionChanged();
  EXPECT_EQ(form->StatusPos->text(), "18;36");
  TfrBandView *band = Band(btPageFooter, 300, 40, "PageFooter1");
  SelectOnly({band});
  EXPECT_EQ(form->StatusText->text(), "PageFooter1: " + frBandName(btPageFooter));
  // A picture shows its scale.
  auto pic = std::make_unique<TfrPictureView>();
  QImage img(50, 20, QImage::Format_RGB32);
  img.fill(Qt::red);
  pic->Picture.setImage(img);
  pic->x = 0, pic->y = 0, pic->dx = 100, pic->dy = 30;
  pic->Name = "Picture1";
  TfrView *p = P().Add(std::move(pic));
  SelectOnly({p});
  EXPECT_EQ(form->StatusSize->text(), "100;30   % 200,150");
  form->ClearSelection();
  form->SelectionChanged();
  EXPECT_EQ(form->StatusPos->text(), "");
  EXPECT_FALSE(form->InspForm->isEnabled());
}

TEST(InspFormTest, ValuesAreStoredOnceGreyedRowsAreSkippedAndEmptyPaintsTheFrame) {
  TfrInspForm insp;
  insp.resize(200, 160);
  // No rows: only the frame and the face colour.
  QImage empty(insp.PaintBox1->size(), QImage::Format_RGB32);
  empty.fill(Qt::white);
  insp.PaintBox1->render(&empty);
  const QRgb face = insp.palette().color(QPalette::Button).rgb();
  EXPECT_EQ(empty.pixel(empty.width() / 2, empty.height() / 2), face);
  EXPECT_NE(empty.pixel(0, 0), face);

  QString a = "1", b = "2", c = "3";
  insp.AddProperty("A", &a);
  insp.AddProperty("B", &b);
  insp.AddProperty("C", &c);
  std::vector<std::pair<int, QString>> calls;
  insp.OnModify = [&](int row, const QString &v) { calls.emplace_back(row, v); };
  insp.show();
  QCoreApplication::processEvents();
  insp.EnableItem(1, false);
  // A click on the greyed row selects nothing.
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, insp.RowHeight() * 1 + 2), QPointF(), Qt::LeftButton,
                    Qt::LeftButton, {});
  QCoreApplication::sendEvent(insp.PaintBox1, &press);
  EXPECT_EQ(insp.CurItem(), -1);
  QMouseEvent press0(QEvent::MouseButtonPress, QPointF(10, 2), QPointF(), Qt::LeftButton, Qt::LeftButton, {});
  QCoreApplication::sendEvent(insp.PaintBox1, &press0);
  EXPECT_EQ(insp.CurItem(), 0);
  // Down skips the greyed row.
  QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, {});
  QCoreApplication::sendEvent(insp.Edit1, &down);
  EXPECT_EQ(insp.CurItem(), 2);
  // Typing, then Enter, then leaving: one call.
  insp.Edit1->setText("xyz");
  insp.Edit1->setModified(true);
  QMetaObject::invokeMethod(insp.Edit1, "editingFinished");
  QMetaObject::invokeMethod(insp.Edit1, "editingFinished");
  insp.SetCurItem(0);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0], std::make_pair(2, QString("xyz")));
  EXPECT_EQ(c, "xyz");
  // A value is cut to 255 characters.
  insp.SetCurItem(2);
  insp.Edit1->setMaxLength(1000);
  insp.Edit1->setText(QString(300, 'q'));
  insp.Edit1->setModified(true);
  insp.StoreEdit();
  EXPECT_EQ(c.size(), 255);
}

TEST(InspFormTest, DoubleClickOnTheCaptionRollsUpAndBack) {
  TfrInspForm insp;
  QString a = "1";
  insp.AddProperty("A", &a);
  std::vector<QString> calls;
  insp.OnModify = [&](int, const QString &v) { calls.push_back(v); };
  insp.show();
  insp.resize(230, 170);  // the user's size, not the one at creation
  QCoreApplication::processEvents();
  auto captionDoubleClick = [&] {
    QMouseEvent e(QEvent::NonClientAreaMouseButtonDblClick, QPointF(20, -8),
                  QPointF(insp.mapToGlobal(QPoint(20, -8))), Qt::LeftButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&insp, &e);
  };
  // A value being typed is kept when the rows go.
  insp.SetCurItem(0);
  insp.Edit1->setText("7");
  insp.Edit1->setModified(true);
  captionDoubleClick();
  EXPECT_TRUE(insp.RolledUp());
  EXPECT_FALSE(insp.Panel1->isVisible());
  EXPECT_EQ(insp.width(), 115);
  EXPECT_LE(insp.height(), 1);
  EXPECT_EQ(calls, std::vector<QString>{"7"});
  captionDoubleClick();
  EXPECT_FALSE(insp.RolledUp());
  EXPECT_TRUE(insp.Panel1->isVisible());
  EXPECT_EQ(insp.size(), QSize(230, 170));
  EXPECT_EQ(insp.Panel1->size(), insp.size());
  // A double click inside the rows is no caption click.
  QMouseEvent inside(QEvent::MouseButtonDblClick, QPointF(10, 5), QPointF(), Qt::LeftButton, Qt::LeftButton,
                     {});
  QCoreApplication::sendEvent(&insp, &inside);
  EXPECT_FALSE(insp.RolledUp());
}

TEST_F(DesignerTest, RolledUpInspectorIsKeptAtItsRealSize) {
  Show();
  form->InspForm->show();
  form->InspForm->resize(210, 180);
  form->InspForm->RollUp();
  form->hide();
  form.reset();
  form = std::make_unique<TfrDesignerForm>();
  frReportDesigner = form.get();
  Show();
  EXPECT_FALSE(form->InspForm->RolledUp());
  EXPECT_EQ(form->InspForm->size(), QSize(210, 180));
}

TEST_F(FormatTest, DesignerWithToolbarsAndInspectorIsGrabbed) {
  Show(1200, 800);
  TfrMemoView *a = Memo(40, 40, 160, 36, "Memo1");
  a->FrameTyp = 15;
  SelectOnly({a});
  form->InspForm->resize(200, 170);
  form->InspForm->show();
  QCoreApplication::processEvents();
  const QString dir = QDir::temp().filePath("vorik-grabs");
  QDir().mkpath(dir);
  QImage shot = form->grab().toImage();
  const QImage insp = form->InspForm->grab().toImage();
  {
    QPainter p(&shot);
    p.drawImage(shot.width() - insp.width() - 40, 200, insp);
  }
  ASSERT_TRUE(shot.save(dir + "/designer-format.png"));
  EXPECT_TRUE(form->Panel1->isVisible());
  EXPECT_TRUE(form->Panel3->isVisible());
}

}  // namespace

namespace {

TEST_F(FormatTest, MultiSelectionResizeShowsItsRatioUnlessAnAxisHadNoExtent) {
  Show();
  form->SetGridAlign(false);
  TfrMemoView *a = Memo(100, 100, 50, 50, "A");
  TfrMemoView *b = Memo(150, 150, 50, 50, "B");
  SelectOnly({a, b});
  ASSERT_EQ(form->PageView->Frame(), QRect(QPoint(100, 100), QPoint(200, 200)));
  Mouse(QEvent::MouseMove, {200, 200}, Qt::NoButton);
  Mouse(QEvent::MouseButtonPress, {200, 200});
  Mouse(QEvent::MouseMove, {250, 225});
  EXPECT_EQ(form->StatusSize->text(), "% 150,125");
  Mouse(QEvent::MouseButtonRelease, {250, 225});
  EXPECT_EQ(form->StatusSize->text(), "");
  // Stacked vertical lines have no width: no ratio.
  for (TfrView *v : {static_cast<TfrView *>(a), static_cast<TfrView *>(b)}) v->x = 300, v->dx = 0;
  SelectOnly({a, b});
  const QRect f = form->PageView->Frame();
  const int height = b->y + b->dy;
  Mouse(QEvent::MouseMove, f.bottomRight(), Qt::NoButton);
  Mouse(QEvent::MouseButtonPress, f.bottomRight());
  Mouse(QEvent::MouseMove, f.bottomRight() + QPoint(20, 30));
  EXPECT_EQ(form->StatusSize->text(), "");
  Mouse(QEvent::MouseButtonRelease, f.bottomRight() + QPoint(20, 30));
  EXPECT_EQ(b->y + b->dy, height + 30);  // it was a resize
  EXPECT_EQ(b->dx, 0);
}

}  // namespace

namespace {

// With nothing stored the inspector stands on the screen, over the design area
// and clear of the menus and the first toolbar.
TEST_F(DesignerTest, WithoutStoredPlaceTheInspectorLeavesMenusAndToolbarsFree) {
  Show();
  QWidget *insp = form->InspForm;
  ASSERT_TRUE(insp->isVisible());
  const QRect at = insp->frameGeometry();
  const auto global = [](QWidget *w) { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); };
  EXPECT_FALSE(at.intersects(global(form->MainMenu1)));
  EXPECT_FALSE(at.intersects(global(form->Panel2)));
  EXPECT_FALSE(at.intersects(global(form->Panel1)));
  EXPECT_TRUE(global(form->ScrollBox1).contains(at))
      << at.x() << "," << at.y() << " " << at.width() << "x" << at.height() << " in "
      << global(form->ScrollBox1).x() << "," << global(form->ScrollBox1).y() << " "
      << global(form->ScrollBox1).width() << "x" << global(form->ScrollBox1).height();
  const QRect screen = form->screen()->availableGeometry();
  EXPECT_TRUE(screen.contains(at)) << at.x() << "," << at.y() << " " << at.width() << "x" << at.height()
                                   << " on " << screen.width() << "x" << screen.height();
}

}  // namespace

namespace {

// "Arial" is a font here when fontconfig puts its metric twin in its place: it
// is in the font list, shown for the objects that name it, and the font of new
// text objects. A font not installed shows its stored name all the same.
TEST_F(DesignerTest, FontBoxShowsStoredNamesAndNewTextsTakeArialWhenItsTwinStandsIn) {
  if (QFontInfo(QFont("Arial")).family() != report::frFontFamily("Arial"))
    GTEST_SKIP() << "fontconfig does not put the metric twin in Arial's place here";
  frLastAttributes.FontName = "Somewhere Else";
  ShowActive();
  EXPECT_EQ(frLastAttributes.FontName, "Arial");
  TfrMemoView *a = Memo(40, 40, 96, 20, "Memo1");
  a->Font.Name = "Arial";
  TfrMemoView *b = Memo(40, 100, 96, 20, "Memo2");
  b->Font.Name = "Nincs Ilyen Betu";
  RealClick({50, 50});
  EXPECT_EQ(form->C2->currentText(), "Arial");
  RealClick({50, 110});
  EXPECT_EQ(form->C2->currentIndex(), -1);
  EXPECT_EQ(form->C2->placeholderText(), "Nincs Ilyen Betu");
  RealClick({50, 50}, Qt::ShiftModifier);
  EXPECT_EQ(form->C2->placeholderText(), "");
  // The text tool: a click inserts a text object in the default font.
  form->SetTool(toolText);
  RealClick({300, 300});
  TfrView *added = P().FindObject("Memo3");
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(static_cast<TfrMemoView *>(added)->Font.Name, "Arial");
  EXPECT_EQ(form->C2->currentText(), "Arial");
  EXPECT_EQ(b->Font.Name, "Nincs Ilyen Betu");
}

}  // namespace
