#pragma once
// The preview window over a report's prepared pages: zoom, page navigation,
// scrolling, the toolbar buttons the report chooses, keyboard commands, text
// search through the recording canvas, printing through the print dialog,
// prepared-report files, and adding, deleting and editing pages.
#include "report/core/FR_Class_Build.h"

#include <QDialog>
#include <QFrame>
#include <QRect>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QScrollBar;
class QWidget;

namespace report {

class TfrTBButton;
class TfrTBSeparator;
class TfrSpeedButton;
class TfrPreviewForm;

// The zoom a new preview starts from under pzDefault: the last one chosen.
extern double frLastScale;  // initially 1.0
extern int frLastZoomMode;  // 0 percent, 1 page width, 2 whole page, 3 two pages


// The page area: draws the pages that are in view.
class TfrPBox : public QWidget {
  Q_OBJECT
 public:
  explicit TfrPBox(TfrPreviewForm *form);

 protected:
  void paintEvent(QPaintEvent *) override;
  void resizeEvent(QResizeEvent *) override;
  void wheelEvent(QWheelEvent *) override;

 private:
  TfrPreviewForm *form_;
};

class TfrPreviewForm : public QDialog {
  Q_OBJECT
 public:
  explicit TfrPreviewForm(QWidget *parent = nullptr);
  ~TfrPreviewForm() override;

  // Takes the pages over and sets the window up for the report: buttons,
  // zoom, grey buttons. The caller shows the window.
  void ShowForReport(TfrReport &report, std::unique_ptr<TfrEMFPages> pages);

  TfrReport *Report() const { return report_; }
  TfrEMFPages *Pages() const { return pages_.get(); }
  int PageCount() const;
  int CurPage() const { return curPage_; }
  double Scale() const { return scale_; }
  int ZoomMode() const { return zoomMode_; }
  // Where a page (0-based) stands in the page area, before scrolling.
  QRect PageRect(int index) const;

  // Commands.
  void SetZoom(int tag);             // 1, 2, 3 modes; any other: percent
  void GotoPage(int page);           // 1-based, kept within the pages
  void Find();                       // the search dialog, then the search
  bool FindNext();                   // F3
  // Searches for text from a page (0-based) and text record on; true when found.
  bool FindText(const QString &text, bool caseSensitive, int startPage, int startRecord = 0);
  void Print();
  void Open();
  void Save();
  bool OpenFile(const QString &fileName);  // false, with a message, when unreadable
  bool SaveFile(const QString &fileName);
  void AddPage();
  void DeletePage();
  void EditPage();

  // Lays the pages out for the page area's size and the zoom.
  void LayoutPages();

  // Controls (objectName as named here).
  QWidget *Panel1;
  TfrTBButton *ZoomBtn, *LoadBtn, *SaveBtn, *PrintBtn, *FindBtn, *HelpBtn, *ExitBtn;
  TfrTBSeparator *frTBSeparator1, *frTBSeparator2;  // after Zoom; before Help and Close
  QWidget *PreviewPanel;
  TfrPBox *PBox;
  QScrollBar *VScrollBar, *HScrollBar;
  TfrSpeedButton *PgUp, *PgDown;
  QMenu *ProcMenu;
  QAction *N5, *N6, *N7, *N8;  // edit, add, delete page and their separator

 protected:
  void keyPressEvent(QKeyEvent *e) override;
  void closeEvent(QCloseEvent *e) override;

 private:
  friend class TfrPBox;
  void paintPages(QPainter &p, const QRect &area);
  void popupZoomMenu();
  void scrolled();
  void close1();
  bool hasPrinter() const;
  bool editItemsVisible() const;
  // Hands the pages to the report for f and takes them back on every path,
  // then lays them out again.
  void withPagesInReport(const std::function<void()> &f);

  TfrReport *report_ = nullptr;
  std::unique_ptr<TfrEMFPages> pages_;
  std::vector<QRect> rects_;
  int tallest_ = 0;  // the tallest page's height in the layout
  std::vector<int> shown_;  // pages drawn on screen, whose objects are kept
  int curPage_ = 1;
  int zoomMode_ = 0;
  double scale_ = 1.0;
  QString findText_;
  bool findCase_ = false;
  int findPage_ = 0, findRecord_ = 0;  // where the next search starts
  int foundPage_ = 0;                  // the current page after the last search
  bool settingScroll_ = false;
  // The pages are with the report (printing, editing a page). Events that run
  // meanwhile (the progress window, the designer) find blank pages here and
  // no command: nothing may touch the pages until they are back.
  bool lent_ = false;
};

// The preview's page area inside another form: a raised panel that owns a
// hidden preview window and shows its pages, page buttons and scroll bars.
class TfrPreviewPanel : public QFrame, public TfrPreview {
  Q_OBJECT
 public:
  enum TScrollBars { ssNone, ssHorizontal, ssVertical, ssBoth };
  explicit TfrPreviewPanel(QWidget *parent = nullptr);
  ~TfrPreviewPanel() override;

  // Takes the report's prepared pages and shows page 1.
  void Connect(TfrReport *report) override;
  void SetScrollBars(TScrollBars bars);
  TScrollBars ScrollBars() const { return scrollBars_; }
  TfrPreviewForm *Form() const { return form_.get(); }

 private:
  std::unique_ptr<TfrPreviewForm> form_;
  TScrollBars scrollBars_ = ssBoth;
};

// Shows prepared pages in a new preview window, modally or not; installed as
// frShowPreview. Nothing opens outside a widget application.
void frShowPreviewWindow(TfrReport &report, std::unique_ptr<TfrEMFPages> pages, const QString &caption, bool modal);

}  // namespace report
