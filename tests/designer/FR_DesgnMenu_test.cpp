// The designer's menus: the flag items the selection adds to the surface's
// popup menu (by kind, toggled on every selected object as one step), the
// owner-drawn look (item and separator heights, columns, glyphs, check marks,
// etched separators) and the status bar while a new object's frame is drawn.
#include "designer_fixture.h"

#include <QAction>
#include <QDir>
#include <QPainter>
#include <QStyle>

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

namespace {

class MenuTest : public DesignerTest {
 protected:
  // Right-clicks the object's middle and returns the items after the seven fixed ones.
  QStringList PopupAt(const TfrView *v) {
    Mouse(QEvent::MouseButtonPress, {v->x + v->dx / 2, v->y + v->dy / 2}, Qt::RightButton);
    Mouse(QEvent::MouseButtonRelease, {v->x + v->dx / 2, v->y + v->dy / 2}, Qt::RightButton);
    return Extra();
  }
  QStringList Extra() {
    QStringList t;
    const QList<QAction *> items = form->Popup1->actions();
    for (qsizetype i = 7; i < items.size(); ++i)
      t << (items[i]->isSeparator() ? QString("-") : items[i]->text());
    return t;
  }
  QAction *Item(const QString &text) {
    for (QAction *a : form->Popup1->actions())
      if (a->text() == text) return a;
    return nullptr;
  }
  TfrPictureView *Picture(int x, int y, const QString &name) {
    auto v = std::make_unique<TfrPictureView>();
    v->x = x, v->y = y, v->dx = 60, v->dy = 60;
    v->Name = name;
    return static_cast<TfrPictureView *>(P().Add(std::move(v)));
  }
};

TEST_F(MenuTest, PopupAddsTheFlagsOfTheSelectionsKindAndTogglesThemAsOneStep) {
  Show();
  TfrBandView *data = Band(btMasterData, 300, 40, "MasterData1");
  TfrBandView *footer = Band(btPageFooter, 500, 40, "PageFooter1");
  TfrBandView *header = Band(btMasterHeader, 200, 40, "MasterHeader1");
  TfrMemoView *a = Memo(40, 40, 100, 20, "A");
  TfrMemoView *b = Memo(200, 40, 100, 20, "B");
  TfrPictureView *pic = Picture(400, 40, "Picture1");
  form->ArrangeBands();

  const QStringList text = {"-", "Stretched", "Variable format...", "Word wrap", "Hyphenation", "Auto size"};
  EXPECT_EQ(PopupAt(a), text);
  EXPECT_EQ(form->SelNum, 1);
  EXPECT_TRUE(Item("Stretched")->isChecked());
  EXPECT_TRUE(Item("Word wrap")->isChecked());
  EXPECT_FALSE(Item("Hyphenation")->isChecked());
  EXPECT_TRUE(Item("Variable format...")->isEnabled());  // the window's format dialog
  form->Popup1->hide();
  // Opening again replaces the items instead of adding more.
  EXPECT_EQ(PopupAt(a), text);
  form->Popup1->hide();

  EXPECT_EQ(PopupAt(pic), (QStringList{"-", "Stretched", "Center picture", "Keep aspect ratio"}));
  form->Popup1->hide();
  EXPECT_EQ(PopupAt(data),
            (QStringList{"-", "Stretched", "Force new page", "Print if detail empty", "Breaked"}));
  form->Popup1->hide();
  EXPECT_EQ(PopupAt(footer), (QStringList{"-", "Stretched", "On first page", "On last page"}));
  form->Popup1->hide();
  EXPECT_EQ(PopupAt(header),
            (QStringList{"-", "Stretched", "Force new page", "Breaked", "Show on all pages"}));
  form->Popup1->hide();

  // Two text objects: the items act on both, as one undo step.
  SelectOnly({a, b});
  b->Flags = flStretched;  // the topmost one decides the check marks
  const int steps = form->UndoCount();
  EXPECT_EQ(PopupAt(b), text);
  EXPECT_EQ(form->SelNum, 2);
  EXPECT_FALSE(Item("Word wrap")->isChecked());
  Item("Word wrap")->trigger();
  EXPECT_TRUE(a->Flags & flWordWrap);
  EXPECT_TRUE(b->Flags & flWordWrap);
  Item("Stretched")->trigger();
  EXPECT_FALSE(a->Flags & flStretched);
  EXPECT_FALSE(b->Flags & flStretched);
  EXPECT_EQ(form->UndoCount(), steps + 2);
  form->Popup1->hide();
  form->Undo();
  form->Undo();
  EXPECT_EQ(a->Flags, flStretched | flWordWrap);
  EXPECT_EQ(b->Flags, flStretched);

  // Mixed kinds, or a band on top of a multi-selection: the fixed items only.
  SelectOnly({a, pic});
  EXPECT_EQ(PopupAt(a), QStringList());
  form->Popup1->hide();
  SelectOnly({data, footer});
  EXPECT_EQ(PopupAt(data), QStringList());
  form->Popup1->hide();
  // The fixed items follow the selection and keep their glyphs.
  EXPECT_TRUE(form->N2->isEnabled());
  EXPECT_FALSE(form->N6->isEnabled());
  EXPECT_FALSE(form->N2->icon().isNull());
}

TEST_F(MenuTest, VariableFormatGivesTheChosenFormatToEverySelectedTextObject) {
  Show();
  TfrMemoView *a = Memo(40, 40, 100, 20, "A");
  TfrMemoView *b = Memo(200, 40, 100, 20, "B");
  b->Format = 0x0103022C;
  const quint32 before = a->Format;
  quint32 offered = 0;
  bool confirm = false;
  form->EditFormat = [&](quint32 &format, QString &text) {
    offered = format;
    format = 0x02000000;
    text = "yyyy.mm.dd";
    return confirm;
  };
  SelectOnly({a, b});
  PopupAt(b);
  QAction *fmt = Item("Variable format...");
  ASSERT_NE(fmt, nullptr);
  ASSERT_TRUE(fmt->isEnabled());
  const int steps = form->UndoCount();
  fmt->trigger();  // cancelled: nothing changes, no step
  EXPECT_EQ(offered, 0x0103022Cu);
  EXPECT_EQ(a->Format, before);
  EXPECT_EQ(form->UndoCount(), steps);
  confirm = true;
  fmt->trigger();
  EXPECT_EQ(a->Format, 0x02000000u);
  EXPECT_EQ(b->FormatStr, "yyyy.mm.dd");
  EXPECT_EQ(form->UndoCount(), steps + 1);
  form->Popup1->hide();
}

// The colour of a grabbed menu at a point.
QRgb at(const QImage &img, QPoint p) { return img.pixel(p) & 0xFFFFFF; }

TEST_F(MenuTest, MenusAreOwnerDrawnWithGlyphsMarksAndEtchedSeparators) {
  Show();
  SelectOnly({Memo(300, 300, 80, 20, "Memo9")});  // Copy enabled, Undo not
  QMenu *edit = form->EditMenu;
  edit->popup(form->mapToGlobal(QPoint(40, 40)));
  QCoreApplication::processEvents();
  const QFontMetrics fm(edit->font());
  const int itemHeight = std::max(19, fm.height() + 4);
  QRect undo = edit->actionGeometry(form->N46);
  EXPECT_EQ(undo.height(), itemHeight);
  // The separator after Redo.
  const QList<QAction *> items = edit->actions();
  const qsizetype sep = items.indexOf(form->N48) + 1;
  ASSERT_TRUE(items[sep]->isSeparator());
  const QRect sepRect = edit->actionGeometry(items[sep]);
  EXPECT_EQ(sepRect.height(), 10);
  // The width: the widest caption + 31 and the widest shortcut + 15.
  int caption = 0, shortcut = 0;
  for (QAction *a : items) {
    if (a->isSeparator()) continue;
    caption = std::max(
        caption, fm.boundingRect(QRect(), Qt::TextSingleLine | Qt::TextShowMnemonic, a->text()).width());
    shortcut = std::max(shortcut, fm.horizontalAdvance(a->shortcut().toString(QKeySequence::NativeText)));
  }
  EXPECT_EQ(undo.width(), caption + 31 + shortcut + 15);

  // Nothing to undo: the disabled glyph; Copy (highlighted) on the highlight colour.
  ASSERT_TRUE(form->N12->isEnabled());
  ASSERT_FALSE(form->N46->isEnabled());
  edit->setActiveAction(form->N12);
  QCoreApplication::processEvents();
  const QImage img = edit->grab().toImage();
  const QPalette pal = edit->palette();
  const QRect copy = edit->actionGeometry(form->N12);
  EXPECT_EQ(at(img, copy.topLeft() + QPoint(copy.width() - 3, 1)),
            pal.color(QPalette::Highlight).rgb() & 0xFFFFFF);
  EXPECT_EQ(at(img, undo.topLeft() + QPoint(undo.width() - 3, 1)),
            pal.color(QPalette::Window).rgb() & 0xFFFFFF);
  auto glyphMatches = [&](const QRect &r, const QImage &glyph) {
    const QPoint o(r.left() + 2, r.top() + (r.height() - 16) / 2);
    int opaque = 0, same = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        const QRgb g = glyph.pixel(x, y);
        if (qAlpha(g) != 255) continue;
        ++opaque;
        same += at(img, o + QPoint(x, y)) == (g & 0xFFFFFF);
      }
    return opaque > 20 && same == opaque;
  };
  EXPECT_TRUE(glyphMatches(
      undo, form->UndoB->StateImage(TfrSpeedButton::bsDisabled).convertToFormat(QImage::Format_ARGB32)));
  EXPECT_TRUE(glyphMatches(
      copy, form->CopyB->StateImage(TfrSpeedButton::bsUp).convertToFormat(QImage::Format_ARGB32)));
  // The etched separator: a shadow line over a light one.
  const int sy = sepRect.top() + sepRect.height() / 2 - 1;
  EXPECT_EQ(at(img, {sepRect.left() + 10, sy}), pal.color(QPalette::Dark).rgb() & 0xFFFFFF);
  EXPECT_EQ(at(img, {sepRect.left() + 10, sy + 1}), pal.color(QPalette::Light).rgb() & 0xFFFFFF);
  // The caption starts after the glyph column.
  bool inkBefore = false, inkAfter = false;
  for (int y = undo.top(); y <= undo.bottom(); ++y) {
    for (int x = undo.left() + 19; x < undo.left() + 22; ++x)
      inkBefore = inkBefore || at(img, {x, y}) != (pal.color(QPalette::Window).rgb() & 0xFFFFFF);
    for (int x = undo.left() + 22; x < undo.left() + 40; ++x)
      inkAfter = inkAfter || at(img, {x, y}) != (pal.color(QPalette::Window).rgb() & 0xFFFFFF);
  }
  EXPECT_FALSE(inkBefore);
  EXPECT_TRUE(inkAfter);

  // The Toolbars submenu: a check mark where its window shows, nothing where it does not.
  form->ShowToolWindow(0, false);
  QMetaObject::invokeMethod(form->N37, "aboutToShow");
  form->N37->popup(form->mapToGlobal(QPoint(300, 40)));
  QCoreApplication::processEvents();
  const QImage tools = form->N37->grab().toImage();
  auto marked = [&](QAction *a) {
    const QRect r = form->N37->actionGeometry(a);
    const QRgb bg = at(tools, r.topLeft() + QPoint(r.width() - 3, 1));
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        if (at(tools, QPoint(r.left() + 2 + x, r.top() + (r.height() - 16) / 2 + y)) != bg) return true;
    return false;
  };
  EXPECT_TRUE(marked(form->Pan2));
  EXPECT_FALSE(marked(form->Pan1));

  // Looked at by eye: the window with its Edit menu, the Toolbars submenu and a popup.
  TfrMemoView *m = Memo(60, 60, 120, 20, "Memo1");
  PopupAt(m);
  QCoreApplication::processEvents();
  const QString dir = QDir::temp().filePath("vorik-grabs");
  QDir().mkpath(dir);
  QImage shot = form->grab().toImage();
  {
    QPainter p(&shot);
    p.drawImage(40, 40, img);
    p.drawImage(60 + img.width(), 40, tools);
    p.drawImage(80 + img.width() + tools.width(), 40, form->Popup1->grab().toImage());
  }
  form->Popup1->hide();
  form->N37->hide();
  edit->hide();
  EXPECT_TRUE(shot.save(dir + "/designer-menus.png"));
}

TEST_F(MenuTest, StatusBarShowsTheNewObjectsFrameWhileItIsDrawn) {
  Show();
  form->EditAfterInsert = false;
  form->SetGridSize(4);
  form->SetGridAlign(true);
  form->SetTool(toolText);
  // The frame that follows the pointer: snapped, of the default size.
  Mouse(QEvent::MouseMove, {101, 53}, Qt::NoButton);
  EXPECT_EQ(form->StatusPos->text(), "100;52");
  EXPECT_EQ(form->StatusSize->text(), "96;18");
  // Drawn with the button down, live, in either direction.
  Mouse(QEvent::MouseButtonPress, {101, 53});
  EXPECT_EQ(form->StatusPos->text(), "100;52");
  EXPECT_EQ(form->StatusSize->text(), "0;0");
  Mouse(QEvent::MouseMove, {203, 91});
  EXPECT_EQ(form->StatusPos->text(), "100;52");
  EXPECT_EQ(form->StatusSize->text(), "100;36");
  Mouse(QEvent::MouseMove, {50, 21});
  EXPECT_EQ(form->StatusPos->text(), "48;20");
  EXPECT_EQ(form->StatusSize->text(), "52;32");
  form->SetUnits(1);
  Mouse(QEvent::MouseMove, {208, 124});
  EXPECT_EQ(form->StatusPos->text(), "27,78; 14,44");
  EXPECT_EQ(form->StatusSize->text(), "30,00; 20,00");
  Mouse(QEvent::MouseButtonRelease, {208, 124});
  // The new object is selected: its own place from now on.
  ASSERT_EQ(form->SelNum, 1);
  EXPECT_EQ(form->Selection().front()->dx, 108);
  EXPECT_EQ(form->StatusSize->text(), "30,00; 20,00");
  // With the select tool again, moving over the page shows the selection only.
  form->SetUnits(0);
  form->ClearSelection();
  form->SelectionChanged();
  Mouse(QEvent::MouseMove, {300, 300}, Qt::NoButton);
  EXPECT_EQ(form->StatusPos->text(), "");
  // A sticky insert tool's frame leaves the status bar with the pointer.
  form->SetTool(toolText, true);
  Mouse(QEvent::MouseMove, {300, 300}, Qt::NoButton);
  EXPECT_EQ(form->StatusPos->text(), "300;300");
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(form->PageView, &leave);
  EXPECT_EQ(form->StatusPos->text(), "");
  EXPECT_EQ(form->StatusSize->text(), "");
}

}  // namespace
