#include "designer/FR_Desgn.h"

#include "designer/FR_BTyp.h"
#include "designer/FR_BndEd.h"
#include "designer/FR_DesignerPage.h"
#include "designer/FR_Dock.h"
#include "designer/FR_Edit.h"
#include "designer/FR_Ev_ed.h"
#include "designer/FR_Flds.h"
#include "designer/FR_fmted.h"
#include "designer/FR_Insp.h"
#include "designer/FR_Newrp.h"
#include "designer/FR_Var.h"
#include "designer/template_dialogs.h"
#include "platform/cp1250.h"
#include "platform/dialogs.h"
#include "platform/error_text.h"
#include "platform/settings_store.h"
#include "report/core/FR_Class_Build.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Ctrls.h"
#include "report/ui/FR_Utils_Gui.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWhatsThis>

#include <algorithm>
#include <tuple>

namespace designer {

using namespace report;

TfrLastAttributes frLastAttributes;

namespace {

// The start-up instance, made by the engine through this factory.
const bool registered = frRegisterDesignerClass([] { return new TfrDesignerForm(); });

bool isBand(const TfrView *v) { return v->Typ == gtBand; }
int bandType(const TfrView *v) { return static_cast<const TfrBandView *>(v)->BandType(); }
}  // namespace

std::vector<std::unique_ptr<TfrView>> &DesignerClipboard() {
  static std::vector<std::unique_ptr<TfrView>> clipboard;
  return clipboard;
}

void ClearClipboard() { DesignerClipboard().clear(); }

QString frDesignerKey(const QString &formName) { return QStringLiteral("Form\\") + formName; }

// ---------------------------------------------------------------- window

TfrDesignerForm::TfrDesignerForm(QWidget *parent) : TfrReportDesigner(parent) {
  setObjectName(QStringLiteral("frDesignerForm"));
  // The instance made while none exists is the first; EditPreparedReport
  // makes its own while the first one is kept aside.
  FirstInstance = frReportDesigner == nullptr;
  CurDocName = frLoadStr(55209);
  buildControls();
  PageOptions = [](TfrPage &) { return true; };
  ShowEditor = [this](TfrView &) { ShowObjectEditor(); };
  installTemplateDialogs(*this);
  installTextEditors(*this);
  installFormatDialogs(*this);
  // The text editor's Format button and "Variable format..." open the display format dialog.
  EditFormat = [this](quint32 &format, QString &text) { return EditDisplayFormat(this, format, text); };
  if (auto *editor = findChild<TfrEditorForm *>(QStringLiteral("frEditorForm")))
    editor->EditFormat = [this](quint32 &format, QString &text) { return EditFormat && EditFormat(format, text); };
  installBandEditors(*this);

  if (FirstInstance) {
    for (const TfrToolInfo &t : frTools()) RegisterTool(t.Caption, t.Glyph, t.OnClick);
  } else {
    for (QWidget *w : std::initializer_list<QWidget *>{PgB1, PgB2}) w->setEnabled(false);
    for (QAction *a : {N29, N30, N41, N43}) a->setEnabled(false);
  }
  setWindowState(Qt::WindowMaximized);
}

TfrDesignerForm::~TfrDesignerForm() = default;

TfrTBButton *TfrDesignerForm::button(TfrToolBar *bar, const QString &name, const QString &glyph, int hintId, int tag) {
  auto *b = new TfrTBButton(bar);
  b->setObjectName(name);
  b->SetGlyph(frGlyph(glyph));
  b->setToolTip(frLoadStr(hintId));
  b->setProperty("tag", tag);
  b->setFixedSize(23, 22);
  bar->addWidget(b);
  return b;
}

void TfrDesignerForm::buildControls() {
  BaseCaption = frLoadStr(53080);
  setWindowTitle(BaseCaption);
  auto *root = new QVBoxLayout(this);
  root->setContentsMargins(0, 0, 0, 0);
  root->setSpacing(0);

  // Menus.
  MainMenu1 = new QMenuBar(this);
  MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
  root->setMenuBar(MainMenu1);
  auto action = [this](QMenu *menu, const char *name, int textId, QKeySequence key = {}) {
    QAction *a = menu->addAction(frLoadStr(textId));
    a->setObjectName(QLatin1String(name));
    if (!key.isEmpty()) a->setShortcut(key);
    addAction(a);
    return a;
  };
  FileMenu = MainMenu1->addMenu(frLoadStr(53148));
  FileMenu->setObjectName(QStringLiteral("FileMenu"));
  N23 = action(FileMenu, "N23", 53149, QKeySequence(Qt::CTRL | Qt::Key_N));
  N19 = action(FileMenu, "N19", 53150, QKeySequence(Qt::CTRL | Qt::Key_O));
  N20 = action(FileMenu, "N20", 53151, QKeySequence(Qt::CTRL | Qt::Key_S));
  N17 = action(FileMenu, "N17", 53152);
  FileMenu->addSeparator();
  N42 = action(FileMenu, "N42", 53153);
  N8 = action(FileMenu, "N8", 53154);
  N25 = action(FileMenu, "N25", 53155);
  FileMenu->addSeparator();
  N39 = action(FileMenu, "N39", 53156, QKeySequence(Qt::CTRL | Qt::Key_P));
  FileMenu->addSeparator();
  N10 = action(FileMenu, "N10", 53157);
  EditMenu = MainMenu1->addMenu(frLoadStr(53158));
  EditMenu->setObjectName(QStringLiteral("EditMenu"));
  N46 = action(EditMenu, "N46", 53159, QKeySequence(Qt::CTRL | Qt::Key_Z));
  N48 = action(EditMenu, "N48", 53160, QKeySequence(Qt::CTRL | Qt::Key_Y));
  EditMenu->addSeparator();
  N11 = action(EditMenu, "N11", 53161, QKeySequence(Qt::CTRL | Qt::Key_X));
  N12 = action(EditMenu, "N12", 53162, QKeySequence(Qt::CTRL | Qt::Key_C));
  N13 = action(EditMenu, "N13", 53163, QKeySequence(Qt::CTRL | Qt::Key_V));
  N27 = action(EditMenu, "N27", 53164, QKeySequence(Qt::Key_Delete));
  N28 = action(EditMenu, "N28", 53165, QKeySequence(Qt::CTRL | Qt::Key_A));
  N36 = action(EditMenu, "N36", 53166);
  EditMenu->addSeparator();
  N29 = action(EditMenu, "N29", 53167);
  N30 = action(EditMenu, "N30", 53168);
  EditMenu->addSeparator();
  N32 = action(EditMenu, "N32", 53169);
  N33 = action(EditMenu, "N33", 53170);
  ToolMenu = MainMenu1->addMenu(frLoadStr(53171));
  ToolMenu->setObjectName(QStringLiteral("ToolMenu"));
  N37 = ToolMenu->addMenu(frLoadStr(53172));
  N37->setObjectName(QStringLiteral("N37"));
  {
    // Tags index ToolWindows().
    const std::tuple<QAction **, const char *, int, int> items[] = {
        {&Pan1, "Pan1", 53173, 0}, {&Pan2, "Pan2", 53174, 1}, {&Pan3, "Pan3", 53175, 2}, {&Pan4, "Pan4", 53176, 3},
        {&Pan6, "Pan6", 53177, 4}, {&Pan5, "Pan5", 53178, 5}, {&Pan7, "Pan7", 53179, 6}};
    for (auto [slot, name, text, tag] : items) {
      QAction *a = N37->addAction(frLoadStr(text));
      a->setObjectName(QLatin1String(name));
      a->setCheckable(true);
      a->setData(tag);
      const int window = tag;  // clang before 16 cannot capture a structured binding
      connect(a, &QAction::triggered, this, [this, window](bool on) { ShowToolWindow(window, on); });
      *slot = a;
    }
    connect(N37, &QMenu::aboutToShow, this, [this] {
      const std::vector<QWidget *> w = ToolWindows();
      for (QAction *a : N37->actions()) {
        QWidget *t = w[static_cast<size_t>(a->data().toInt())];
        auto *bar = qobject_cast<TfrToolBar *>(t);
        a->setChecked(t && (bar ? bar->IsVisible() : t->isVisible()));
      }
    });
  }
  MastMenu = ToolMenu->addMenu(frLoadStr(53180));
  MastMenu->setObjectName(QStringLiteral("MastMenu"));
  MastMenu->setEnabled(false);
  N14 = action(ToolMenu, "N14", 53181);

  HelpMenu = MainMenu1->addMenu(frLoadStr(53182));
  HelpMenu->setObjectName(QStringLiteral("HelpMenu"));
  N22 = action(HelpMenu, "N22", 53183, QKeySequence(Qt::Key_F1));
  N35 = action(HelpMenu, "N35", 53184, QKeySequence(Qt::SHIFT | Qt::Key_F1));
  HelpMenu->addSeparator();
  N34 = action(HelpMenu, "N34", 53185);

  Popup1 = new QMenu(this);
  Popup1->setObjectName(QStringLiteral("Popup1"));
  N2 = Popup1->addAction(frLoadStr(53186));
  N1 = Popup1->addAction(frLoadStr(53187));
  N3 = Popup1->addAction(frLoadStr(53188));
  N5 = Popup1->addAction(frLoadStr(53189));
  N16 = Popup1->addAction(frLoadStr(53190));
  Popup1->addSeparator();
  N6 = Popup1->addAction(frLoadStr(53166));
  for (auto [a, n] : {std::pair{N2, "N2"}, {N1, "N1"}, {N3, "N3"}, {N5, "N5"}, {N16, "N16"}, {N6, "N6"}})
    a->setObjectName(QLatin1String(n));
  // The keys of the Edit menu's items, shown in the popup's shortcut column; the Edit
  // menu's items are the ones that take them.
  N2->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
  N1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  N3->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
  N5->setShortcut(QKeySequence(Qt::Key_Delete));
  N16->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
  Popup2 = new QMenu(this);
  Popup2->setObjectName(QStringLiteral("Popup2"));
  N41 = Popup2->addAction(N29->text());
  N41->setObjectName(QStringLiteral("N41"));
  N43 = Popup2->addAction(N30->text());
  N43->setObjectName(QStringLiteral("N43"));
  N44 = Popup2->addAction(N25->text());
  N44->setObjectName(QStringLiteral("N44"));

  // Toolbars: the standard and tools toolbars on the top dock, objects on the left.
  frDock1 = frNamed(new TfrDock(this, alTop), "frDock1");
  frDock2 = frNamed(new TfrDock(this, alLeft), "frDock2");
  frDock3 = frNamed(new TfrDock(this, alBottom), "frDock3");
  frDock4 = frNamed(new TfrDock(this, alRight), "frDock4");
  Panel2 = frNamed(new TfrToolBar(frLoadStr(53082), this), "Panel2");
  FileBtn1 = button(Panel2, "FileBtn1", "new", 53087, 40);
  FileBtn2 = button(Panel2, "FileBtn2", "open", 53088, 41);
  FileBtn3 = button(Panel2, "FileBtn3", "save", 53089, 42);
  FileBtn4 = button(Panel2, "FileBtn4", "zoom", 53090, 43);
  Panel2->addWidget(new TfrTBSeparator(Panel2));
  CutB = button(Panel2, "CutB", "cut", 53091, 44);
  CopyB = button(Panel2, "CopyB", "copy", 53092, 45);
  PstB = button(Panel2, "PstB", "paste", 53093, 46);
  Panel2->addWidget(new TfrTBSeparator(Panel2));
  UndoB = button(Panel2, "UndoB", "undo", 53094, 47);
  RedoB = button(Panel2, "RedoB", "redo", 53095, 48);
  Panel2->addWidget(new TfrTBSeparator(Panel2));
  ZB1 = button(Panel2, "ZB1", "front", 53096, 49);
  ZB2 = button(Panel2, "ZB2", "back", 53097, 50);
  SelAllB = button(Panel2, "SelAllB", "selectall", 53098, 51);
  Panel2->addWidget(new TfrTBSeparator(Panel2));
  PgB1 = button(Panel2, "PgB1", "addpage", 53099, 52);
  PgB2 = button(Panel2, "PgB2", "delpage", 53100, 53);
  PgB3 = button(Panel2, "PgB3", "pageoptions", 53101, 54);
  Panel2->addWidget(new TfrTBSeparator(Panel2));
  GB1 = button(Panel2, "GB1", "grid", 53102, 55);
  GB2 = button(Panel2, "GB2", "gridalign", 53103, 56);
  GB1->SetAllowAllUp(true);
  GB1->SetGroupIndex(100);
  GB2->SetAllowAllUp(true);
  GB2->SetGroupIndex(101);
  GB3 = button(Panel2, "GB3", "fitgrid", 53104, 57);
  Panel2->addWidget(new TfrTBSeparator(Panel2));
  HelpBtn = button(Panel2, "HelpBtn", "help", 53032, 0);
  ExitB = button(Panel2, "ExitB", "exit", 53106, 58);
  ExitB->setText(frLoadStr(53105));
  ExitB->setFixedWidth(60);
  buildFormatBars();
  Panel6 = frNamed(new TfrToolBar(frLoadStr(53086), this), "Panel6");
  // Standard and tools on the first row of the top dock, frame and text on the second.
  Panel2->DockTo(frDock1, 0, 0);
  Panel6->DockTo(frDock1, Panel2->width(), 0);
  Panel6->hide();
  Panel1->DockTo(frDock1, 0, 26);
  Panel3->DockTo(frDock1, Panel1->width(), 26);
  root->addWidget(frDock1);

  auto *middle = new QHBoxLayout;
  middle->setSpacing(0);
  Panel4 = frNamed(new TfrToolBar(frLoadStr(53084), this), "Panel4");
  OB1 = button(Panel4, "OB1", "select", 53132, toolSelect);
  OB2 = button(Panel4, "OB2", "text", 53133, toolText);
  OB4 = button(Panel4, "OB4", "picture", 53134, toolPicture);
  OB3 = button(Panel4, "OB3", "band", 53135, toolBand);
  OB5 = button(Panel4, "OB5", "subreport", 53136, toolSubReport);
  OB6 = button(Panel4, "OB6", "line", 53137, toolLine);
  for (TfrTBButton *b : {OB1, OB2, OB4, OB3, OB5, OB6}) b->SetGroupIndex(1);
  Panel4->DockTo(frDock2, 0, 0);
  // The alignment palette on the right.
  Panel5 = frNamed(new TfrToolBar(frLoadStr(53177), this), "Panel5");
  for (int i = 0; i < 10; ++i) {
    AlignB[i] = button(Panel5, QStringLiteral("Align%1").arg(i + 1), QStringLiteral("align%1").arg(i + 1), 53138 + i, 60);
    connect(AlignB[i], &QAbstractButton::clicked, this, [this, i] { AlignSelection(i + 1); });
  }
  Panel5->DockTo(frDock4, 0, 0);
  middle->addWidget(frDock2);

  auto *centre = new QVBoxLayout;
  centre->setSpacing(0);
  Tab1 = new QTabBar(this);
  Tab1->setObjectName(QStringLiteral("Tab1"));
  Tab1->setContextMenuPolicy(Qt::CustomContextMenu);
  Tab1->setExpanding(false);
  centre->addWidget(Tab1);
  ScrollBox1 = new QScrollArea(this);
  ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
  ScrollBox1->setBackgroundRole(QPalette::Dark);
  ScrollBox1->setWidgetResizable(false);
  auto *canvas = new QWidget;
  canvas->setObjectName(QStringLiteral("ScrollCanvas"));
  canvas->setAutoFillBackground(true);
  QPalette pal = canvas->palette();
  pal.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
  canvas->setPalette(pal);
  ScrollBox1->setWidget(canvas);
  PageView = new TfrDesignerPage(this);
  PageView->setParent(canvas);
  centre->addWidget(ScrollBox1, 1);
  middle->addLayout(centre, 1);
  middle->addWidget(frDock4);
  root->addLayout(middle, 1);
  root->addWidget(frDock3);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusBar1->setSizeGripEnabled(false);
  StatusUnits = new QLabel(StatusBar1);
  StatusUnits->setObjectName(QStringLiteral("StatusUnits"));
  StatusUnits->setFixedWidth(75);
  StatusPos = new QLabel(StatusBar1);
  StatusPos->setObjectName(QStringLiteral("StatusPos"));
  StatusSize = new QLabel(StatusBar1);
  StatusSize->setObjectName(QStringLiteral("StatusSize"));
  StatusPos->setFixedWidth(110);
  StatusSize->setFixedWidth(190);  // size and a picture's scale
  StatusText = new QLabel(StatusBar1);
  StatusText->setObjectName(QStringLiteral("StatusText"));
  StatusBar1->addWidget(StatusUnits);
  StatusBar1->addWidget(StatusPos);
  StatusBar1->addWidget(StatusSize);
  StatusBar1->addWidget(StatusText, 1);
  root->addWidget(StatusBar1);

  // The object inspector with its seven rows.
  InspForm = new TfrInspForm(this);
  const char *rows[] = {"Name", "Left", "Top", "Width", "Height", "Visible"};
  for (int i = 0; i < 6; ++i) InspForm->AddProperty(QLatin1String(rows[i]), &InspValues[i]);
  InspForm->AddProperty(QStringLiteral("Memo"), &InspValues[6], true, nullptr);
  InspForm->OnModify = [this](int row, const QString &text) { InspectorModify(row, text); };

  // Commands.
  auto on = [this](QObject *sender, auto slot) {
    if (auto *a = qobject_cast<QAction *>(sender)) connect(a, &QAction::triggered, this, slot);
    else connect(static_cast<QAbstractButton *>(sender), &QAbstractButton::clicked, this, slot);
  };
  on(FileBtn1, [this] { New(); });
  on(FileBtn2, [this] { Open(); });
  on(N19, [this] { Open(); });
  on(N23, [this] {
    const QString name = ChooseTemplate ? ChooseTemplate() : QString();
    if (!name.isEmpty()) NewFromTemplate(name);
  });
  on(FileBtn3, [this] { Save(); });
  on(N20, [this] { Save(); });
  on(N17, [this] { SaveAs(); });
  on(FileBtn4, [this] { Preview(); });
  on(N39, [this] { Preview(); });
  on(ExitB, [this] { accept(); });
  // The help tool: the next click shows the help of the control clicked.
  on(HelpBtn, [] { QWhatsThis::enterWhatsThisMode(); });
  on(N35, [] { QWhatsThis::enterWhatsThisMode(); });
  on(N10, [this] { accept(); });
  for (QObject *o : std::initializer_list<QObject *>{UndoB, N46}) on(o, [this] { Undo(); });
  for (QObject *o : std::initializer_list<QObject *>{RedoB, N48}) on(o, [this] { Redo(); });
  for (QObject *o : std::initializer_list<QObject *>{CutB, N11, N2}) on(o, [this] { Cut(); });
  for (QObject *o : std::initializer_list<QObject *>{CopyB, N12, N1}) on(o, [this] { Copy(); });
  for (QObject *o : std::initializer_list<QObject *>{PstB, N13, N3}) on(o, [this] { Paste(); });
  for (QObject *o : std::initializer_list<QObject *>{N27, N5}) on(o, [this] { DeleteSelection(); });
  for (QObject *o : std::initializer_list<QObject *>{SelAllB, N28, N16}) on(o, [this] { SelectAll(); });
  for (QObject *o : std::initializer_list<QObject *>{ZB1, N32}) on(o, [this] { BringToFront(); });
  for (QObject *o : std::initializer_list<QObject *>{ZB2, N33}) on(o, [this] { SendToBack(); });
  for (QObject *o : std::initializer_list<QObject *>{PgB1, N29, N41}) on(o, [this] { AddPage(); });
  for (QObject *o : std::initializer_list<QObject *>{PgB2, N30, N43}) on(o, [this] { RemovePage(); });
  on(GB1, [this] { SetShowGrid(GB1->Down()); });
  on(GB3, [this] { FitToGrid(); });
  for (QObject *o : std::initializer_list<QObject *>{PgB3, N25, N44}) on(o, [this] { PageOptionsClick(); });
  on(N42, [this] {
    if (EditVariables) EditVariables();
  });
  on(N8, [this] {
    if (!ReportOptions || !ReportOptions()) return;
    MarkChanged();
    PageView->SetPage();  // another printer may give the paper another size
    PageView->update();
  });
  on(N14, [this] { DesignerOptionsClick(); });
  on(N22, [this] {
    if (HelpContents) HelpContents();
  });
  on(N34, [this] {
    if (About) About();
  });
  for (QObject *o : std::initializer_list<QObject *>{N36, N6}) on(o, [this] { ShowObjectEditor(); });
  on(GB2, [this] { SetGridAlign(GB2->Down()); });
  for (TfrTBButton *b : {OB1, OB2, OB4, OB3, OB5, OB6})
    connect(b, &QAbstractButton::pressed, this, [this, b] {
      SetTool(b->property("tag").toInt(), QApplication::keyboardModifiers() & Qt::ShiftModifier);
    });
  ownerDrawMenus();
  connect(Tab1, &QTabBar::currentChanged, this, [this](int i) {
    if (i >= 0 && i != CurPage) SetCurPage(i);
  });
  connect(Tab1, &QWidget::customContextMenuRequested, this, [this](const QPoint &p) { Popup2->popup(Tab1->mapToGlobal(p)); });
}

// ---------------------------------------------------------------- interface

void TfrDesignerForm::RegisterObject(const QImage &glyph, const QString &hint, int tag) {
  auto *b = new TfrTBButton(Panel4);
  b->SetGlyph(glyph);
  b->setToolTip(hint);
  b->setProperty("tag", tag);
  b->SetGroupIndex(1);
  b->setFixedSize(22, 22);
  Panel4->addWidget(b);
  connect(b, &QAbstractButton::pressed, this,
          [this, tag] { SetTool(tag, QApplication::keyboardModifiers() & Qt::ShiftModifier); });
}

void TfrDesignerForm::RegisterTool(const QString &caption, const QImage &glyph, const std::function<void()> &onClick) {
  QAction *a = MastMenu->addAction(caption);
  connect(a, &QAction::triggered, this, [onClick] {
    if (onClick) onClick();
  });
  MastMenu->setEnabled(true);
  auto *b = new TfrTBButton(Panel6);
  b->SetGlyph(glyph);
  b->setToolTip(caption);
  b->setProperty("tag", 36);
  b->setFixedSize(22, 22);
  Panel6->addWidget(b);
  linkMenuItem(a, b);
  connect(b, &QAbstractButton::clicked, this, [onClick] {
    if (onClick) onClick();
  });
}

void TfrDesignerForm::BeforeChange() { AddUndoAction(acEdit); }

void TfrDesignerForm::AfterChange() {
  PageView->update();
  SelectionChanged();
}

void TfrDesignerForm::RedrawPage() { PageView->update(); }

// ---------------------------------------------------------------- state

TfrPage *TfrDesignerForm::PageOf(int n) const {
  TfrReport *r = Report();
  return r && n >= 0 && n < r->Pages.Count() ? r->Pages[n] : nullptr;
}

void TfrDesignerForm::SetCurPage(int n) {
  TfrReport *r = Report();
  if (r && r->Pages.Count() > 0) n = std::clamp(n, 0, r->Pages.Count() - 1);
  else n = 0;
  CurPage = n;
  Page = PageOf(n);
  ScrollBox1->horizontalScrollBar()->setValue(0);
  ScrollBox1->verticalScrollBar()->setValue(0);
  PageView->SetPage();
  refreshTabs();
  {
    QSignalBlocker block(Tab1);
    Tab1->setCurrentIndex(n);
  }
  ClearSelection();
  SelectionChanged();
  // The list itself is arranged only by edits (paste, band insertion,
  // z-order): a page looked at and saved unchanged keeps its bytes. The
  // surface draws and hit-tests in the arranged order all the same.
  PageView->update();
  emit pageChanged();
}

void TfrDesignerForm::refreshTabs() {
  TfrReport *r = Report();
  QStringList captions;
  const int n = r ? r->Pages.Count() : 0;
  for (int i = 0; i < n; ++i) captions << frLoadStr(55004) + QString::number(i + 1);
  for (int p = 0; p < n; ++p)
    for (const auto &v : r->Pages[p]->Objects)
      if (v->Typ == gtSubReport) {
        const int sub = static_cast<const TfrSubReportView *>(v.get())->SubPage;
        if (sub >= 0 && sub < n) captions[sub] = v->Name;
      }
  QSignalBlocker block(Tab1);
  if (Tab1->count() != n) {
    while (Tab1->count() > 0) Tab1->removeTab(0);
    for (const QString &c : captions) Tab1->addTab(c);
    Tab1->setMinimumHeight(Tab1->sizeHint().height());
  } else {
    for (int i = 0; i < n; ++i)
      if (Tab1->tabText(i) != captions[i]) Tab1->setTabText(i, captions[i]);
  }
}

void TfrDesignerForm::SetFileName(const QString &name) {
  CurDocName = name;
  setWindowTitle(FirstInstance ? BaseCaption + QStringLiteral(" - ") + QFileInfo(name).fileName() : BaseCaption);
}

void TfrDesignerForm::SetGridSize(int size) {
  if (size != 4 && size != 8 && size != 18) size = 4;
  const bool changedValue = size != GridSize;
  GridSize = size;
  if (changedValue) PageView->update();
}

void TfrDesignerForm::SetShowGrid(bool on) {
  const bool changedValue = on != ShowGrid;
  ShowGrid = on;
  GB1->SetDown(on);
  if (changedValue) PageView->update();
}

void TfrDesignerForm::SetGridAlign(bool on) {
  GridAlign = on;
  GB2->SetDown(on);
}

void TfrDesignerForm::SetUnits(int units) {
  Units = std::clamp(units, 0, 2);
  StatusUnits->setText(frLoadStr(55330 + Units));
}

void TfrDesignerForm::SetGrayButtons(bool on) {
  GrayButtons = on;
  for (TfrToolBar *bar : {Panel1, Panel2, Panel3, Panel4, Panel5, Panel6})
    for (TfrTBButton *b : bar->findChildren<TfrTBButton *>()) b->SetGrayedInactive(on);
}

void TfrDesignerForm::RestoreState() {
  const QString key = frDesignerKey(objectName());
  SetGridSize(frReadInt(key, "GridSize", 4));
  SetGridAlign(frReadBool(key, "GridAlign", true));
  SetShowGrid(frReadBool(key, "GridShow", true));
  SetUnits(frReadInt(key, "Units", 0));
  SetGrayButtons(frReadBool(key, "GrayButtons", false));
  EditAfterInsert = frReadBool(key, "EditAfterInsert", true);
  ObjectMoving = std::clamp(frReadInt(key, "Selection", 1), 0, 1);
  // The places of one dock's toolbars belong together: arranged once all are read.
  for (TfrDock *d : {frDock1, frDock2, frDock3, frDock4}) d->BeginUpdate();
  for (TfrToolBar *t : {Panel1, Panel2, Panel3, Panel4, Panel5, Panel6}) t->RestoreState();
  for (TfrDock *d : {frDock1, frDock2, frDock3, frDock4}) d->EndUpdate();
  // Without a stored place the inspector stands at the top right of the design area, on the
  // screen, leaving the menus and the toolbars free.
  const QRect area(ScrollBox1->mapToGlobal(QPoint(0, 0)), ScrollBox1->size());
  const QRect screen =
      (this->screen() ? this->screen() : QGuiApplication::primaryScreen())->availableGeometry();
  // With room for a window frame, not known before the first showing.
  const QSize insp = InspForm->frameGeometry().size().expandedTo(InspForm->size() + QSize(8, 32));
  InspForm->move(
      std::clamp(area.right() - insp.width() - 16, screen.left(),
                 std::max(screen.left(), screen.right() - insp.width())),
      std::clamp(area.top() + 16, screen.top(), std::max(screen.top(), screen.bottom() - insp.height())));
  frRestoreFormPosition(InspForm);
  // The tools toolbar shows only when it holds tools.
  if (!FirstInstance || Panel6->findChildren<TfrTBButton *>().empty()) Panel6->SetVisible(false);
}

void TfrDesignerForm::SaveState() {
  const QString key = frDesignerKey(objectName());
  auto b = [](bool v) { return v ? QStringLiteral("1") : QStringLiteral("0"); };
  platform::writeRegistry(key, "GridShow", b(ShowGrid));
  platform::writeRegistry(key, "GridAlign", b(GridAlign));
  platform::writeRegistry(key, "GridSize", QString::number(GridSize));
  platform::writeRegistry(key, "Units", QString::number(Units));
  platform::writeRegistry(key, "GrayButtons", b(GrayButtons));
  platform::writeRegistry(key, "EditAfterInsert", b(EditAfterInsert));
  platform::writeRegistry(key, "Selection", QString::number(ObjectMoving));
  // The tools toolbar only from the first instance: a later one has none.
  // Floating toolbars and the inspector are windows of their own: they go with the designer.
  for (TfrToolBar *t : {Panel1, Panel2, Panel3, Panel4, Panel5, Panel6}) {
    if (t != Panel6 || FirstInstance) t->SaveState();
    if (t->FloatWindow) t->FloatWindow->hide();
  }
  if (InspForm->RolledUp()) InspForm->RollUp();  // its size, not the rolled-up caption
  frSaveFormPosition(InspForm);
  InspForm->hide();
}

std::vector<QWidget *> TfrDesignerForm::ToolWindows() const {
  return {Panel1, Panel2, Panel3, Panel4, Panel5, InspForm, Panel6};
}

void TfrDesignerForm::ShowToolWindow(int tag, bool on) {
  const std::vector<QWidget *> w = ToolWindows();
  if (tag < 0 || tag >= static_cast<int>(w.size()) || !w[static_cast<size_t>(tag)]) return;
  if (auto *t = qobject_cast<TfrToolBar *>(w[static_cast<size_t>(tag)])) {
    // A docked toolbar shown again goes back on its dock in a row of its own.
    if (on && t->Dock()) t->AddToDock(t->Dock());
    t->SetVisible(on);
  } else {
    w[static_cast<size_t>(tag)]->setVisible(on);
  }
}

void TfrDesignerForm::showEvent(QShowEvent *e) {
  TfrReportDesigner::showEvent(e);
  if (e->spontaneous()) return;
  FileBtn1->setEnabled(FirstInstance);
  N23->setEnabled(FirstInstance);
  const bool preview = FirstInstance && Report() && !dynamic_cast<TfrCompositeReport *>(Report());
  FileBtn4->setEnabled(preview);
  N39->setEnabled(preview);
  OB3->setEnabled(FirstInstance);
  OB5->setEnabled(FirstInstance);
  ClearUndoBuffer();
  ClearRedoBuffer();
  Modified = false;
  markSaved();
  SetCurPage(0);
  SetFileName(Report() ? Report()->FileName : frLoadStr(55209));
  ClearSelection();
  PageView->ResetDrag();
  SetTool(toolSelect);
  FillFontList();
  RestoreState();
  SelectionChanged();
  PageView->setFocus();
}

void TfrDesignerForm::hideEvent(QHideEvent *e) {
  TfrReportDesigner::hideEvent(e);
  if (e->spontaneous()) return;
  ClearUndoBuffer();
  ClearRedoBuffer();
  SaveState();
  if (Report()) Report()->FileName = CurDocName;
}

void TfrDesignerForm::resizeEvent(QResizeEvent *e) {
  TfrReportDesigner::resizeEvent(e);
  PageView->SetPage();
}

void TfrDesignerForm::SetTool(int tag, bool sticky) {
  tool_ = tag;
  stickyInsert_ = sticky && tag != toolSelect;
  for (TfrTBButton *b : Panel4->findChildren<TfrTBButton *>())
    if (b->property("tag").toInt() == tag) b->SetDown(true);
  PageView->setCursor(tag == toolSelect ? Qt::ArrowCursor : tag == toolLine ? Qt::CrossCursor : Qt::CrossCursor);
  PageView->update();
}

// ---------------------------------------------------------------- file commands

bool TfrDesignerForm::SaveChangesPrompt() {
  if (!FileModified) return true;
  const QString text = frLoadStr(55306) + QLatin1Char(' ') + frLoadStr(55336) + QLatin1Char(' ') +
                       QFileInfo(CurDocName).fileName() + QLatin1Char('?');
  switch (platform::messageBox(platform::MessageKind::Confirmation, text,
                               QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, frLoadStr(53025), this)) {
    case QMessageBox::Yes: return Save();
    case QMessageBox::No: return true;
    default: return false;
  }
}

bool TfrDesignerForm::New() {
  TfrReport *r = Report();
  if (!r || !FirstInstance || !SaveChangesPrompt()) return false;
  ClearUndoBuffer();
  ClearRedoBuffer();
  r->Pages.Clear();
  r->Pages.Add();
  SetCurPage(0);
  SetFileName(frLoadStr(55209));
  markSaved();
  return true;
}

bool TfrDesignerForm::NewFromTemplate(const QString &fileName) {
  TfrReport *r = Report();
  if (!r || !FirstInstance) return false;
  try {
    r->LoadTemplate(fileName, nullptr, nullptr, true);
  } catch (const std::exception &e) {
    if (frErrorBox) frErrorBox(platform::exceptionText(e));
    SetCurPage(CurPage);
    return false;
  }
  Page = PageOf(0);
  ClearUndoBuffer();
  ClearRedoBuffer();
  SetFileName(frLoadStr(55209));
  SetCurPage(0);
  return true;
}

QString TfrDesignerForm::chooseFile(bool save, int *filterIndex) {
  QFileDialog dlg(this);
  dlg.setObjectName(save ? QStringLiteral("SaveDialog1") : QStringLiteral("OpenDialog1"));
  dlg.setOption(QFileDialog::DontUseNativeDialog);
  const QString form = frLoadStr(55213) + QStringLiteral(" (*.frf)");
  const QString templ = frLoadStr(55214) + QStringLiteral(" (*.frt)");
  dlg.setNameFilters(save ? QStringList{form, templ} : QStringList{form});
  dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (save && CurDocName != frLoadStr(55209)) dlg.selectFile(CurDocName);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
  if (filterIndex) *filterIndex = dlg.selectedNameFilter() == templ ? 2 : 1;
  return dlg.selectedFiles().constFirst();
}

bool TfrDesignerForm::Open() {
  if (!Report() || !SaveChangesPrompt()) return false;
  const QString name = chooseFile(false, nullptr);
  return !name.isEmpty() && OpenFile(name);
}

bool TfrDesignerForm::OpenFile(const QString &fileName) {
  TfrReport *r = Report();
  if (!r) return false;
  // The report in memory stays as it is when the file cannot be read; the
  // engine reads the whole file aside before taking it over.
  const QString oldName = r->FileName;
  bool loaded = false;
  try {
    loaded = r->LoadFromFile(fileName);  // a version it does not know has shown its message
  } catch (const std::exception &e) {
    if (frErrorBox) frErrorBox(platform::exceptionText(e));
  }
  if (!loaded) {
    r->FileName = oldName;
    SetCurPage(CurPage);
    return false;
  }
  // The old pages are gone.
  Page = PageOf(0);
  ClearUndoBuffer();
  ClearRedoBuffer();
  SetFileName(fileName);
  markSaved();
  SetCurPage(0);
  return true;
}

bool frStorableText(const QString &text) {
  bool unmapped = false;
  platform::toCp1250(text, &unmapped);
  return !unmapped;
}

bool TfrDesignerForm::StorableTexts() const {
  const TfrReport *r = Report();
  if (!r) return true;
  auto lost = [](const QString &text) { return !frStorableText(text); };
  auto anyLost = [&](const QStringList &lines) { return std::any_of(lines.begin(), lines.end(), lost); };
  QStringList names;
  for (int i = 0; i < r->Pages.Count(); ++i)
    for (const auto &v : r->Pages[i]->Objects) {
      bool bad = lost(v->Name) || lost(v->FormatStr) || anyLost(v->Memo) || anyLost(v->Script);
      if (v->Typ == gtMemo) {
        const auto *m = static_cast<const TfrMemoView *>(v.get());
        bad = bad || lost(m->Font.Name) || lost(m->HighlightStr);
      }
      if (bad) names << v->Name;
    }
  if (anyLost(r->Variables)) names << QStringLiteral("the variables list");
  for (int i = 0; i < r->Values.Count(); ++i) {
    const TfrValue *v = r->Values.GetValue(i);
    if (lost(r->Values.Name(i)) || lost(v->DataSet) || lost(v->Field))
      names << QStringLiteral("the value of variable '%1'").arg(r->Values.Name(i));
  }
  if (names.isEmpty()) return true;
  if (frErrorBox)
    frErrorBox(QStringLiteral("A layout file keeps Windows-1250 characters only, and these hold others: %1. "
                              "Change them and save again.")
                   .arg(names.join(QStringLiteral(", "))));
  return false;
}

bool TfrDesignerForm::Save() {
  TfrReport *r = Report();
  if (!r || !StorableTexts()) return false;
  if (CurDocName == frLoadStr(55209)) return SaveAs();
  try {
    r->SaveToFile(CurDocName);  // a temporary file renamed over the target
  } catch (const std::exception &e) {
    if (frErrorBox) frErrorBox(platform::exceptionText(e));
    return false;
  }
  markSaved();
  return true;
}

bool TfrDesignerForm::SaveAs() {
  int filter = 1;
  const QString name = chooseFile(true, &filter);
  return !name.isEmpty() && SaveAsFile(name, filter);
}

bool TfrDesignerForm::SaveAsFile(const QString &fileName, int filterIndex) {
  TfrReport *r = Report();
  if (!r || !StorableTexts()) return false;
  const QFileInfo fi(fileName);
  const QString base = fi.path() + QLatin1Char('/') + fi.completeBaseName();
  try {
    if (filterIndex == 2) {
      QStringList description;
      TfrPicture picture;
      if (!AskTemplateInfo || !AskTemplateInfo(description, picture)) return false;
      // Templates live in the template folder, where New from template looks.
      r->SaveTemplate(frTemplateFolder() + QLatin1Char('/') + fi.completeBaseName() + QStringLiteral(".frt"),
                      description, picture);
      return true;
    }
    const QString name = fi.suffix().compare(QLatin1String("frf"), Qt::CaseInsensitive) == 0
                             ? fileName
                             : base + QStringLiteral(".frf");
    r->SaveToFile(name);
    SetFileName(name);
    markSaved();  // the report is saved under its new name
    return true;
  } catch (const std::exception &e) {
    if (frErrorBox) frErrorBox(platform::exceptionText(e));
    return false;
  }
}

void TfrDesignerForm::Preview() {
  TfrReport *r = Report();
  if (!r || !FirstInstance || dynamic_cast<TfrCompositeReport *>(r)) return;
  // The inspector would stand above the preview.
  const bool inspector = InspForm->isVisible();
  InspForm->hide();
  QCoreApplication::processEvents();
  // An error of the build names the report by its file while it has no name.
  if (CurDocName != frLoadStr(55209)) r->FileName = CurDocName;
  const bool modal = r->ModalPreview;
  r->ModalPreview = true;
  r->ShowReport();
  r->ModalPreview = modal;
  InspForm->setVisible(inspector);
  activateWindow();
  SetCurPage(0);
}

bool TfrDesignerForm::AddPage() {
  TfrReport *r = Report();
  if (!r || !FirstInstance) return false;
  ClearSelection();
  TfrPage *p = r->Pages.Add();
  Page = p;
  if (!PageOptions || !PageOptions(*p)) {
    r->Pages.Delete(r->Pages.Count() - 1);
    SetCurPage(CurPage);
    return false;
  }
  MarkChanged();
  SetCurPage(r->Pages.Count() - 1);
  return true;
}

void TfrDesignerForm::DesignerOptionsClick() {
  TfrDesignerOptions o;
  o.ShowGrid = ShowGrid;
  o.GridAlign = GridAlign;
  o.GridSize = GridSize;
  o.ObjectMoving = ObjectMoving;
  o.Units = Units;
  o.ColoredButtons = !GrayButtons;
  o.EditAfterInsert = EditAfterInsert;
  o.ShowBandTitles = frShowBandTitles;
  if (!DesignerOptions || !DesignerOptions(o)) return;
  SetShowGrid(o.ShowGrid);
  SetGridAlign(o.GridAlign);
  SetGridSize(o.GridSize == 4 || o.GridSize == 8 ? o.GridSize : 18);
  ObjectMoving = o.ObjectMoving == 0 ? 0 : 1;
  SetUnits(o.Units);
  SetGrayButtons(!o.ColoredButtons);
  EditAfterInsert = o.EditAfterInsert;
  frShowBandTitles = o.ShowBandTitles;
  SelectionChanged();  // the inspector and the status bar in the new units
  PageView->update();
}

void TfrDesignerForm::PageOptionsClick() {
  if (!Page || !PageOptions || !PageOptions(*Page)) return;
  MarkChanged();
  SetCurPage(CurPage);
}

bool TfrDesignerForm::RemovePage() {
  TfrReport *r = Report();
  if (!r || !FirstInstance || !Page) return false;
  if (platform::messageBox(platform::MessageKind::Confirmation, frLoadStr(55005), QMessageBox::Yes | QMessageBox::No,
                           frLoadStr(53025), this) != QMessageBox::Yes)
    return false;
  MarkChanged();
  if (r->Pages.Count() > 1) {
    const int removed = CurPage;
    r->Pages.Delete(removed);
    for (int p = 0; p < r->Pages.Count(); ++p) {
      TfrPage *page = r->Pages[p];
      for (int i = page->Count() - 1; i >= 0; --i) {
        TfrView *v = page->Object(i);
        if (v->Typ != gtSubReport) continue;
        auto *s = static_cast<TfrSubReportView *>(v);
        if (s->SubPage == removed) page->Delete(i);
        else if (s->SubPage > removed) --s->SubPage;
      }
    }
    SetCurPage(0);
  } else {
    Page->Clear();
    SetCurPage(0);
  }
  ClearUndoBuffer();
  ClearRedoBuffer();
  return true;
}

// ---------------------------------------------------------------- selection

std::vector<TfrView *> TfrDesignerForm::Selection() const {
  std::vector<TfrView *> s;
  if (Page)
    for (const auto &v : Page->Objects)
      if (v->Selected) s.push_back(v.get());
  return s;
}

void TfrDesignerForm::ClearSelection() {
  if (Page)
    for (const auto &v : Page->Objects) v->Selected = false;
  SelNum = 0;
  AnchorObject = nullptr;
}

void TfrDesignerForm::Select(TfrView *v) {
  if (v && !v->Selected) {
    v->Selected = true;
    ++SelNum;
  }
}

void TfrDesignerForm::SelectAll() {
  if (!Page) return;
  SelNum = 0;
  for (const auto &v : Page->Objects) {
    v->Selected = true;
    ++SelNum;
  }
  PageView->ComputeMultiFrame();
  SelectionChanged();
  PageView->update();
}

QPoint TfrDesignerForm::SurfaceOrigin() const {
  return PageView->mapTo(ScrollBox1->viewport(), QPoint(0, 0));
}

// ---------------------------------------------------------------- undo and redo

void TfrDesignerForm::MarkChanged() {
  Modified = true;
  FileModified = true;
  savedStep_ = -1;  // no undo takes this change back
}

void TfrDesignerForm::markSaved() {
  FileModified = false;
  savedStep_ = undo_.Count();
}

void TfrDesignerForm::AddUndoAction(TfrUndoKind kind) { AddUndoAction(kind, Selection()); }

void TfrDesignerForm::AddUndoAction(TfrUndoKind kind, const std::vector<TfrView *> &objects,
                                    std::vector<int> order) {
  if (!Page) return;
  // The saved state stays reachable by undo unless it lay among the redo steps or
  // the step it needs drops out of the full history.
  if (savedStep_ > undo_.Count() || (undo_.Count() == TfrUndoBuffer::Capacity && savedStep_ == 0))
    savedStep_ = -1;
  else if (undo_.Count() == TfrUndoBuffer::Capacity) --savedStep_;
  ClearRedoBuffer();
  undo_.Add(frMakeUndoAction(kind, CurPage, *Page,
                             std::vector<const TfrView *>(objects.begin(), objects.end()), std::move(order)));
  Modified = true;
  FileModified = true;
  EnableControls();
}

void TfrDesignerForm::undoFrom(TfrUndoBuffer &from, TfrUndoBuffer &to) {
  const TfrUndoAction *last = from.Last();
  if (!last || !Page || last->Page != CurPage) return;
  std::unique_ptr<TfrUndoAction> step = from.TakeLast();
  to.Add(step->Opposite(*Page));
  step->Apply(*Page);
  Modified = true;
  FileModified = undo_.Count() != savedStep_;  // back at the saved state or not
  ClearSelection();
  PageView->ComputeMultiFrame();
  SelectionChanged();
  refreshTabs();
  PageView->update();
}

void TfrDesignerForm::Undo() { undoFrom(undo_, redo_); }
void TfrDesignerForm::Redo() { undoFrom(redo_, undo_); }

void TfrDesignerForm::ClearUndoBuffer() {
  undo_.Clear();
  savedStep_ = FileModified ? -1 : 0;
  if (UndoB) EnableControls();
}

void TfrDesignerForm::ClearRedoBuffer() {
  redo_.Clear();
  if (RedoB) EnableControls();
}

// ---------------------------------------------------------------- clipboard

void TfrDesignerForm::Copy() {
  if (!Page || SelNum == 0) return;
  ClearClipboard();
  for (TfrView *v : Selection())
    if (auto c = v->Clone()) DesignerClipboard().push_back(std::move(c));
  EnableControls();
}

void TfrDesignerForm::Cut() {
  if (!Page || SelNum == 0) return;
  AddUndoAction(acDelete);
  Copy();
  for (int i = Page->Count() - 1; i >= 0; --i)
    if (Page->Object(i)->Selected) Page->Delete(i);
  ClearSelection();
  refreshTabs();
  SelectionChanged();
  PageView->update();
}

void TfrDesignerForm::DeleteSelection() {
  if (!Page || SelNum == 0) return;
  AddUndoAction(acDelete);
  for (int i = Page->Count() - 1; i >= 0; --i)
    if (Page->Object(i)->Selected) Page->Delete(i);
  refreshTabs();
  ClearSelection();
  SelectionChanged();
  PageView->update();
}

void TfrDesignerForm::Paste() {
  TfrReport *r = Report();
  auto &clip = DesignerClipboard();
  if (!r || !Page || clip.empty()) return;
  const std::vector<int> order = frObjectOrder(*Page);
  ClearSelection();
  int minX = 32767, minY = 32767;
  for (const auto &c : clip) {
    minX = std::min(minX, c->x);
    minY = std::min(minY, c->y);
  }
  // The objects land at the top-left of the visible part, on the grid.
  const QPoint origin = SurfaceOrigin();
  const int offX = origin.x() < 0 ? (-origin.x()) / GridSize * GridSize : 0;
  const int offY = origin.y() < 0 ? (-origin.y()) / GridSize * GridSize : 0;
  for (const auto &c : clip) {
    c->x = c->x - minX + offX;
    c->y = c->y - minY + offY;
    if (c->Typ == gtBand && !frRepeatableBand(bandType(c.get())) && BandTypeExists(bandType(c.get()))) continue;
    // A subreport copied from a report that no longer holds its page.
    if (c->Typ == gtSubReport) {
      const int sub = static_cast<const TfrSubReportView *>(c.get())->SubPage;
      if (sub < 0 || sub >= r->Pages.Count()) continue;
    }
    std::unique_ptr<TfrView> v = c->Clone();
    if (!v) continue;
    if (r->FindObject(v->Name)) v->Name = CreateUniqueName(*v, r->Pages);
    v->Selected = false;
    Select(Page->Add(std::move(v)));
  }
  SelectionChanged();
  ArrangeBands();
  PageView->ComputeMultiFrame();
  PageView->update();
  if (SelNum > 0) AddUndoAction(acInsert, Selection(), order);
}

// ---------------------------------------------------------------- order

void TfrDesignerForm::BringToFront() {
  if (!Page || SelNum == 0) return;
  AddUndoAction(acZOrder);
  std::stable_partition(Page->Objects.begin(), Page->Objects.end(), [](const auto &v) { return !v->Selected; });
  ArrangeBands();
  PageView->update();
}

void TfrDesignerForm::SendToBack() {
  if (!Page || SelNum == 0) return;
  AddUndoAction(acZOrder);
  std::stable_partition(Page->Objects.begin(), Page->Objects.end(), [](const auto &v) { return v->Selected; });
  ArrangeBands();
  PageView->update();
}

namespace {

TfrView *viewOf(TfrView *v) { return v; }
TfrView *viewOf(const std::unique_ptr<TfrView> &v) { return v.get(); }

// Bands first, in their order; the first overlay under everything; cross
// bands last in the band block. Stable, so doing it again changes nothing.
template <class V>
void arrange(std::vector<V> &o) {
  const auto bandsEnd = std::stable_partition(o.begin(), o.end(), [](const V &v) { return isBand(viewOf(v)); });
  const auto overlay = std::find_if(o.begin(), bandsEnd, [](const V &v) { return bandType(viewOf(v)) == btOverlay; });
  if (overlay != bandsEnd) std::rotate(o.begin(), overlay, overlay + 1);
  std::stable_partition(o.begin(), bandsEnd, [](const V &v) {
    const int t = bandType(viewOf(v));
    return t != btCrossHeader && t != btCrossData && t != btCrossFooter;
  });
}

}  // namespace

std::vector<TfrView *> frDrawingOrder(const TfrPage &page) {
  std::vector<TfrView *> order;
  order.reserve(page.Objects.size());
  for (const auto &v : page.Objects) order.push_back(v.get());
  arrange(order);
  return order;
}

void TfrDesignerForm::ArrangeBands() {
  if (Page) arrange(Page->Objects);
}

bool TfrDesignerForm::BandTypeExists(int type) const {
  if (!Page) return false;
  return std::any_of(Page->Objects.begin(), Page->Objects.end(),
                     [type](const auto &v) { return isBand(v.get()) && bandType(v.get()) == type; });
}

// ---------------------------------------------------------------- keys

void TfrDesignerForm::keyPressEvent(QKeyEvent *e) {
  if (FormKeyDown(e->key(), e->modifiers())) return;
  if (e->key() == Qt::Key_Escape) return;  // the window is closed by its commands only
  TfrReportDesigner::keyPressEvent(e);
}

void TfrDesignerForm::keyMoveOrResize(int key, bool resize) {
  AddUndoAction(acEdit);
  const int dx = key == Qt::Key_Right ? 1 : key == Qt::Key_Left ? -1 : 0;
  const int dy = key == Qt::Key_Down ? 1 : key == Qt::Key_Up ? -1 : 0;
  for (TfrView *v : Selection()) {
    if (resize) {
      // Sizes stop at 0.
      v->dx = std::max(0, v->dx + dx);
      v->dy = std::max(0, v->dy + dy);
    } else {
      v->x += dx;
      v->y += dy;
    }
  }
  PageView->ComputeMultiFrame();
  PageView->update();
  UpdateInspector();
  UpdateStatus();
}

void TfrDesignerForm::selectNearest(int key, bool alt) {
  std::vector<TfrView *> sel = Selection();
  if (sel.size() != 1) return;
  TfrView *s = sel[0];
  const qint64 L = s->x, T = s->y, R = L + s->dx, B = T + s->dy;
  TfrView *best = nullptr;
  qint64 bestScore = 10000;
  for (const auto &o : Page->Objects) {
    if (o->Selected || isBand(o.get())) continue;
    const qint64 oL = o->x, oT = o->y, oR = oL + o->dx, oB = oT + o->dy;
    qint64 score = -1;
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
      const qint64 g = oB <= T ? T - oB : oT >= B ? oT - B : (oT <= T && oB >= B) ? 0 : oT - T;
      if (key == Qt::Key_Right && oL > L) score = g + (oL >= R ? oL - R : oL - L);
      if (key == Qt::Key_Left && oR < R) score = g + (oR <= L ? L - oR : R - oR);
    } else {
      const qint64 g = oR <= L ? L - oR : oL >= R ? oL - R : (oL <= L && oR >= R) ? 0 : oL - L;
      if (key == Qt::Key_Down && oT > T) score = g + (oT >= B ? oT - B : oT - T);
      if (key == Qt::Key_Up && oB < B) score = g + (oB <= T ? T - oB : B - oB);
    }
    if (score >= 0 && score < bestScore) {
      bestScore = score;
      best = o.get();
    }
  }
  if (!best) return;
  if (!alt) {
    ClearSelection();
    Select(best);
    AnchorObject = best;
  } else {
    // A step first, so that Undo takes back this move and not an older change.
    const qint32 oldX = s->x, oldY = s->y;
    qint32 nx = oldX, ny = oldY;
    if (key == Qt::Key_Right && R <= best->x) nx = best->x - s->dx;
    if (key == Qt::Key_Down && B < best->y) ny = best->y - s->dy;
    if (key == Qt::Key_Left && best->x + best->dx <= L) nx = best->x + best->dx;
    if (key == Qt::Key_Up && best->y + best->dy <= T) ny = best->y + best->dy;
    if (nx != oldX || ny != oldY) {
      AddUndoAction(acEdit);
      s->x = nx;
      s->y = ny;
    }
  }
  SelectionChanged();
  PageView->update();
}

bool TfrDesignerForm::FormKeyDown(int key, Qt::KeyboardModifiers mods) {
  const bool ctrl = mods & Qt::ControlModifier, shift = mods & Qt::ShiftModifier, alt = mods & Qt::AltModifier;
  const bool editable = SelNum > 0;
  const bool arrow = key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
  if (key == Qt::Key_Delete && !shift && editable) {
    DeleteSelection();
    return true;
  }
  if (key == Qt::Key_Delete && shift && editable) {
    Cut();
    return true;
  }
  if (key == Qt::Key_Insert && ctrl && editable) {
    Copy();
    return true;
  }
  if (key == Qt::Key_Insert && shift && !DesignerClipboard().empty()) {
    Paste();
    return true;
  }
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && SelNum == 1) {
    // Ctrl+Enter: the text editor, whatever the object; Enter: its own editor.
    if (!ctrl) {
      if (ShowEditor) ShowEditor(*Selection().front());
    } else if (EditMemo && EditMemo(*Selection().front())) {
      PageView->update();
    }
    return true;
  }
  // Ctrl+1 ... Ctrl+9: that frame width, as typed into its box; Ctrl+F and
  // Ctrl+D: all frame lines and none, as their buttons.
  if (ctrl && !shift && !alt && editable && key >= Qt::Key_1 && key <= Qt::Key_9) {
    E1->setText(QString::number(key - Qt::Key_0));
    DoClick(E1);
    return true;
  }
  if (ctrl && !shift && !alt && editable && (key == Qt::Key_F || key == Qt::Key_D)) {
    DoClick(key == Qt::Key_F ? FrB5 : FrB6);
    return true;
  }
  if (ctrl && key == Qt::Key_G) {
    SetShowGrid(!ShowGrid);
    return true;
  }
  if (ctrl && key == Qt::Key_B) {
    SetGridAlign(!GridAlign);
    return true;
  }
  if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
    QScrollBar *s = ScrollBox1->verticalScrollBar();
    s->setValue(s->value() + (key == Qt::Key_PageUp ? -200 : 200));
    return true;
  }
  if (!arrow || !Page) return false;
  if (ctrl && editable) keyMoveOrResize(key, false);
  else if (shift && editable) keyMoveOrResize(key, true);
  else if (SelNum == 1 && !ctrl && !shift) selectNearest(key, alt);
  else return false;
  return true;
}

void frResetDesignerGlobals() {
  ClearClipboard();
  frLastAttributes = TfrLastAttributes{};
  frForgetPickedDataSet();
  frForgetPickedCategory();
  frClearValuesClipboard();
  frTemplateDir.clear();
}

}  // namespace designer
