#pragma once
// The designer window: edits the design pages of the engine's current report.
// File commands (new, open, save, save as layout or template, preview), page
// tabs and page commands, grid and unit options kept in the settings store,
// the selection, undo and redo, the internal clipboard, z-order and the fixed
// place of bands in the object list. The start-up instance is made through
// the engine's designer factory; the one EditPreparedReport makes is a later
// instance that cannot add or remove pages, make a new report, preview or
// insert bands and subreports, and has no tools.
#include "designer/FR_Undo.h"
#include "report/core/FR_Class_Report.h"
#include "report/ui/FR_Desgn_Intf.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QScrollArea;
class QStatusBar;
class QTabBar;
class QToolBar;
class QWidget;

namespace report {
class TfrSpeedButton;
class TfrTBButton;
}

namespace designer {

using report::TfrReport;

class TfrDesignerPage;
class TfrDock;
class TfrInspForm;
class TfrToolBar;
class TPropEditor;

// The designer's own list of object copies (cut, copy, paste); it outlives
// New, Open and page changes.
std::vector<std::unique_ptr<TfrView>> &DesignerClipboard();
void ClearClipboard();

// Attributes a new object takes: the last used ones.
struct TfrLastAttributes {
  QString FontName = QStringLiteral("Arial");
  int FontSize = 10;
  int FontStyle = 0;
  int Alignment = 0;
  report::TColor FontColor = 0;
  report::TColor FillColor = report::clTransparent;
  double FrameWidth = 1.0;
  double LineWidth = 2.0;
  report::TColor FrameColor = 0;
  int FrameLines = 0;
};
extern TfrLastAttributes frLastAttributes;

// Puts the designer's process-wide state back as a fresh process has it: the
// internal clipboard, the last used attributes, the pickers' remembered
// choices, the values clipboard and the template folder.
void frResetDesignerGlobals();

// What the insert-fields dialog returns: the dataset as the dialog lists it,
// the name of the report data source bound to it (may be empty), the chosen
// fields in list order, the placement and the two switches.
struct TfrInsertField {
  QString Name;
  int DisplayWidth = 0;  // characters; 0 or 256 and above count as 6
  QString Label;         // display label; the name when empty
  // The widest value the field can hold, as the engine reads it; its data object
  // is made wide enough to print it on one line. Null: DisplayWidth digits.
  report::Variant Longest;
};
struct TfrInsertFieldsChoice {
  QString DataSet;
  QString DataSource;
  std::vector<TfrInsertField> Fields;
  bool Horizontal = true;
  bool Headers = false;
  bool Bands = false;
};

// The designer options as the options dialog shows them.
struct TfrDesignerOptions {
  bool ShowGrid = true;
  bool GridAlign = true;
  int GridSize = 4;      // 4, 8; anything else means 18
  int ObjectMoving = 1;  // 0 shape, 1 contents
  int Units = 0;         // pixels, millimetres, inches
  bool ColoredButtons = true;
  bool EditAfterInsert = true;
  bool ShowBandTitles = true;
};

class TfrDesignerForm : public report::TfrReportDesigner {
  Q_OBJECT
 public:
  explicit TfrDesignerForm(QWidget *parent = nullptr);
  ~TfrDesignerForm() override;

  // The engine's interface.
  void RegisterObject(const QImage &glyph, const QString &hint, int tag) override;
  void RegisterTool(const QString &caption, const QImage &glyph, const std::function<void()> &onClick) override;
  void BeforeChange() override;
  void AfterChange() override;
  void RedrawPage() override;

  TfrReport *Report() const { return report::frCurrentReport; }
  report::TfrPage *PageOf(int n) const;

  void SetCurPage(int n);
  void SetFileName(const QString &name);
  void SetGridSize(int size);
  void SetShowGrid(bool on);
  void SetGridAlign(bool on);
  void SetUnits(int units);
  void SetGrayButtons(bool on);
  void RestoreState();
  void SaveState();

  // File commands. Each returns false when it did nothing (cancelled or failed).
  bool New();
  bool NewFromTemplate(const QString &fileName);
  bool Open();                             // asks for the file
  bool OpenFile(const QString &fileName);  // after the save prompt
  bool Save();
  bool SaveAs();                           // asks for the name and the kind
  bool SaveAsFile(const QString &fileName, int filterIndex);
  // The layout file keeps Windows-1250 text only: false, with a message naming
  // the objects, when a name, text or other field of the report holds a
  // character outside it. Saves check this first and write nothing then.
  bool StorableTexts() const;
  void Preview();
  bool AddPage();
  bool RemovePage();
  // The page options of the current page (PgB3, N25, N44).
  void PageOptionsClick();
  // The designer options dialog: filled from the window, applied on OK.
  void DesignerOptionsClick();
  // The save prompt before New and Open: false when the command must stop.
  bool SaveChangesPrompt();

  // Edits of the selection, or of the objects given.
  // Modified and FileModified for a change that no undo step takes back.
  void MarkChanged();
  void AddUndoAction(TfrUndoKind kind);
  // order: the page's object order before an insert (frObjectOrder), which
  // the insert's undo gives back.
  void AddUndoAction(TfrUndoKind kind, const std::vector<TfrView *> &objects, std::vector<int> order = {});
  void Undo();
  void Redo();
  void ClearUndoBuffer();
  void ClearRedoBuffer();
  int UndoCount() const { return undo_.Count(); }
  int RedoCount() const { return redo_.Count(); }
  void Cut();
  void Copy();
  void Paste();
  void DeleteSelection();
  void SelectAll();
  void BringToFront();
  void SendToBack();
  void ArrangeBands();
  bool BandTypeExists(int bandType) const;

  // The selection: each object's Selected flag, counted in SelNum.
  std::vector<TfrView *> Selection() const;
  void ClearSelection();
  void Select(TfrView *v);
  // The selection changed: refresh the enabling of the commands.
  void SelectionChanged();
  void EnableControls();
  // The alignment palette's tools 1 to 10 (Align1 ... Align10) on the selection.
  void AlignSelection(int tool);
  // Each selected object's place and size to the nearest grid multiple.
  void FitToGrid();
  // Lays out text objects for the chosen fields (and headers and bands) from
  // the page's top-left margin, kept within the printable width when in a row.
  void InsertDBFields(const TfrInsertFieldsChoice &choice);
  // Opens the editor of the topmost selected object's kind.
  void ShowObjectEditor();
  // The kind of selection as bits: 1 one band, 2 one text object, 4 one other
  // object, 8 two or more, 16 the internal clipboard holds objects.
  int SelectionKind() const;
  // Applies a formatting control (by its tag) to the selected objects.
  void DoClick(QWidget *control);
  // Refills the inspector's rows from the selection; a row's change.
  void UpdateInspector();
  void InspectorModify(int row, const QString &text);
  // The status bar: units, position and size of the one selected object (or of
  // the frame of a new object being drawn), its name.
  void UpdateStatus();
  // Prepares the surface's popup menu before it opens: the seven fixed items,
  // then the flag items of the selection's kind (one object, or several of one
  // kind that are not bands); each toggles its flag on every selected object.
  void Popup1Popup();
  // A menu item that shows a toolbar button's glyph (owner-drawn menus).
  struct TfrMenuItemInfo {
    QAction *MenuItem;
    report::TfrSpeedButton *Button;
  };
  const std::vector<TfrMenuItemInfo> &MenuItemLinks() const { return menuLinks_; }
  // Paints a colour button's bar: kind 0 font, 1 fill, 2 frame.
  void SetButtonColorGlyph(report::TColor color, report::TfrSpeedButton *button, int kind);
  // The colour a colour button's bar shows.
  report::TColor ButtonColor(const report::TfrSpeedButton *button) const;
  // Where the surface's left and top edges lie in the visible part (negative
  // when scrolled).
  QPoint SurfaceOrigin() const;
  // Tool of the objects toolbar (toolSelect, toolText, ...).
  int Tool() const { return tool_; }
  void SetTool(int tag, bool sticky = false);
  // Keyboard commands; true when the key was used.
  bool FormKeyDown(int key, Qt::KeyboardModifiers mods);

  // Hooks for the dialogs that other parts of the designer supply: the band
  // type to insert (-1: cancelled), the page options (true: confirmed), the
  // object editor, and the template description for Save as template.
  std::function<int()> ChooseBandType;
  std::function<bool(report::TfrPage &)> PageOptions;
  std::function<void(TfrView &)> ShowEditor;
  std::function<bool(QStringList &description, report::TfrPicture &picture)> AskTemplateInfo;
  // The template file for New from template (empty: cancelled).
  std::function<QString()> ChooseTemplate;
  // The object editors: text (and add-ins without their own), picture, and a
  // band's data source (kind 0), group condition (1) or cross data sources (2).
  // Each records its change through BeforeChange; true when confirmed.
  std::function<bool(TfrView &)> EditMemo;
  std::function<bool(TfrView &)> EditPicture;
  std::function<bool(report::TfrBandView &, int kind)> EditBand;
  // Dialogs of the File, Tools and help menus: variables, report options
  // (true: changed), designer options, help contents, about box.
  std::function<void()> EditVariables;
  std::function<bool()> ReportOptions;
  std::function<bool(TfrDesignerOptions &)> DesignerOptions;
  std::function<void()> HelpContents;
  std::function<void()> About;
  // The display format dialog of "Variable format..." in the popup menu: the
  // format word and text of the topmost selected object (true: confirmed).
  std::function<bool(quint32 &format, QString &formatStr)> EditFormat;
  // The colour selector: the colour picked for a colour button (false: none
  // picked); it opens under CurColorButton, the colour button clicked last.
  std::function<bool(report::TColor &color)> ChooseColor;
  report::TfrTBButton *CurColorButton = nullptr;
  // The highlight dialog for a text object (true: confirmed, object not yet changed).
  std::function<bool(report::TfrMemoView &view, report::TfrHighlight &hl, QString &condition)> EditHighlight;

  // State (names as the window's fields).
  report::TfrPage *CurPageObj() const { return Page; }
  int CurPage = 0;
  int GridSize = 4;
  bool ShowGrid = true;
  bool GridAlign = true;
  int Units = 0;
  bool GrayButtons = false;
  bool EditAfterInsert = true;
  int ObjectMoving = 1;
  bool FirstInstance = false;
  QString CurDocName;
  QString BaseCaption;
  bool FileModified = false;
  int SelNum = 0;
  TfrView *AnchorObject = nullptr;
  bool UpdatingControls = false;
  // The inspector's rows: Name, Left, Top, Width, Height, Visible, Memo.
  QString InspValues[7];

  // Controls, named as the window's components.
  QMenuBar *MainMenu1;
  TfrToolBar *Panel1, *Panel2, *Panel3, *Panel4, *Panel5, *Panel6;
  // The windows the Toolbars menu shows and hides, by the items' tags.
  std::vector<QWidget *> ToolWindows() const;
  void ShowToolWindow(int tag, bool on);
  TfrInspForm *InspForm;
  QFrame *LinePanel;
  QComboBox *C2, *C3;
  QLineEdit *E1;
  report::TfrTBButton *FrB1, *FrB2, *FrB3, *FrB4, *FrB5, *FrB6, *ClB1, *ClB2, *ClB3, *SB1, *SB2, *StB1, *FnB1, *FnB2,
      *FnB3, *AlB1, *AlB2, *AlB3, *AlB4, *AlB5, *AlB6, *AlB7, *AlB8, *HlB1, *GB3;
  report::TfrSpeedButton *frSpeedButton[6];
  report::TfrTBButton *AlignB[10];  // Align1 ... Align10
  TfrDock *frDock1, *frDock2, *frDock3, *frDock4;
  QTabBar *Tab1;
  QScrollArea *ScrollBox1;
  TfrDesignerPage *PageView;
  QStatusBar *StatusBar1;
  QLabel *StatusUnits, *StatusPos, *StatusSize, *StatusText;
  report::TfrTBButton *FileBtn1, *FileBtn2, *FileBtn3, *FileBtn4, *CutB, *CopyB, *PstB, *UndoB, *RedoB, *ZB1,
      *ZB2, *SelAllB, *PgB1, *PgB2, *PgB3, *GB1, *GB2, *HelpBtn, *ExitB, *OB1, *OB2, *OB3, *OB4, *OB5, *OB6;
  QMenu *FileMenu, *EditMenu, *ToolMenu, *MastMenu, *HelpMenu, *Popup1, *Popup2;
  QAction *N36, *N6, *N14, *N42, *N8, *N25, *N22, *N34, *N44;
  QMenu *N37;
  QAction *Pan1, *Pan2, *Pan3, *Pan4, *Pan5, *Pan6, *Pan7;
  QAction *N23, *N19, *N20, *N17, *N39, *N10, *N46, *N48, *N11, *N12, *N13, *N27, *N28, *N29, *N30, *N32, *N33,
      *N2, *N1, *N3, *N5, *N16, *N35, *N41, *N43;

 signals:
  void pageChanged();

 protected:
  void showEvent(QShowEvent *e) override;
  void hideEvent(QHideEvent *e) override;
  void keyPressEvent(QKeyEvent *e) override;
  void resizeEvent(QResizeEvent *e) override;
  // Enter in the frame width and font size boxes.
  bool eventFilter(QObject *o, QEvent *e) override;

 private:
  friend class TfrDesignerPage;
  void buildControls();
  void buildFormatBars();
  void colorButtonClick(report::TfrTBButton *b);
  // Owner-drawn menus: the menus' look, and the links of items to buttons.
  void ownerDrawMenus();
  void linkMenuItem(QAction *item, report::TfrSpeedButton *button);
  void unlinkMenu(const QMenu *menu);
  void setSelectionFlag(quint16 flag, bool on);
  void stepFrameWidth(int delta);
  // After a formatting change no control of the toolbars keeps the keys: they act on the objects.
  void releaseKeys();
  // The font list (the installed families and the Windows fonts that fontconfig replaces by
  // their metric twins) and the font of new text objects; a font name shown in the list.
  void FillFontList();
  void showFontName(const QString &name);
  void refreshTabs();
  void undoFrom(TfrUndoBuffer &from, TfrUndoBuffer &to);
  void markSaved();  // FileModified cleared: the state undo may come back to
  void selectNearest(int key, bool alt);
  void keyMoveOrResize(int key, bool resize);
  QString chooseFile(bool save, int *filterIndex);
  report::TfrTBButton *button(TfrToolBar *bar, const QString &name, const QString &glyph, int hintId, int tag);

  // The objects whose values the inspector's rows show, and their page: a
  // value typed there is stored into them even when the selection moved on first.
  std::vector<TfrView *> inspected_;
  const report::TfrPage *inspectedPage_ = nullptr;
  TfrUndoBuffer undo_, redo_;
  int savedStep_ = 0;  // undo steps at the saved state; -1 when undo cannot reach it
  std::vector<TfrMenuItemInfo> menuLinks_;
  int tool_ = -1;
  bool stickyInsert_ = false;
  bool shownOnce_ = false;
};

// A page's objects in the order the surface draws them: bands first (the
// first overlay at the bottom, cross bands last among the bands), then the
// other objects, each group in list order.
std::vector<TfrView *> frDrawingOrder(const report::TfrPage &page);

// The start-up designer's registry root below the settings store's root.
QString frDesignerKey(const QString &formName);

// Whether a layout or template file can keep a text: every character has a
// Windows-1250 code. Every text typed for a file passes this check.
bool frStorableText(const QString &text);

}  // namespace designer
