#pragma once
// Page filling: the run-time bands of a build, the run-time side of a design
// page (its bands, objects, current position and columns) and the state that
// one build shares between pages and passes.
#include "report/core/FR_Class_Page.h"
#include "report/expr/FR_Variant.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <map>
#include <tuple>
#include <memory>
#include <vector>

namespace report {

class TfrDataset;
class TfrPageRun;
class TfrReport;
class TfrMemoView;

inline constexpr int frBandTypeCount = 22;

// An aggregate collected into a footer band: its value, whether the record
// being collected was counted already (the mark) and how many records were added.
struct TfrAggregate {
  bool counted = false;
  double value = 0;
  int n = 0;
};

class TfrBand {
 public:
  TfrBand(TfrPageRun *parent, TfrBandType typ) : Parent(parent), Typ(typ) {}
  TfrBand(const TfrBand &) = delete;
  TfrBand &operator=(const TfrBand &) = delete;

  TfrPageRun *Parent;
  TfrView *View = nullptr;  // the band object (run-time copy); nullptr when none
  TfrBand *Next = nullptr;  // next band of the same type, by top
  std::vector<TfrView *> Objects;
  TfrBandType Typ;
  int y = 0, dy = 0;  // design top and height
  int x = 0, dx = 0;  // design left and width (cross bands)
  int maxdy = 0;      // computed height
  int CellsHeight = 0;  // lowest bottom of its cross cells when measured
  bool Visible = true;
  bool Stretched = false, ForceNewPage = false, PrintIfSubsetEmpty = false, Breaked = false;
  bool OnFirstPage = false, OnLastPage = false, RepeatHeader = false;
  TfrDataset *DataSet = nullptr;
  bool IsVirtualDS = false;  // the band owns DataSet
  TfrBand *HeaderBand = nullptr, *FooterBand = nullptr;  // of a data band
  TfrBand *LastBand = nullptr;                            // group footer of a group header
  QString GroupCondition;
  Variant LastGroupValue;
  int Positions[2] = {0, 0};  // LINE#, LINETHROUGH#
  QHash<QString, TfrAggregate> Values;  // aggregates by key
  int Count = 0;                        // records aggregated
  QStringList Script;                   // compiled
  bool NewPageRequest = false, NewColumnRequest = false;
  bool Repeating = false;  // a header printed again on a new page or column
  bool HasSubReports = false;
  std::vector<TfrView *> AggregateObjects;  // objects whose text may call an aggregate
  std::vector<TfrView *> AggregateCells;    // the same among its cross cells

  // A band is present when it holds at least one object.
  bool Present() const { return !Objects.empty(); }
  QString Name() const;  // the band object's name
  bool IsDataBand() const { return Typ == btMasterData || Typ == btDetailData || Typ == btSubDetailData; }
  bool IsFooterKind() const;

  // Prints the band; false when it did not fit on a page printed as a subreport.
  bool Draw();
  int CalcHeight();
  void ResetAggregates() {
    Values.clear();
    Count = 0;
  }
};

// One recorded step of a page formed as a subreport.
struct TfrSubAction {
  enum Kind { Band, First, Next } kind;
  TfrBand *band = nullptr;
  TfrDataset *ds = nullptr;
  int line = 0, lineThrough = 0, current = 0;  // counters of a band printed
};

// The run-time side of a design page during a build.
class TfrPageRun {
 public:
  TfrPageRun(TfrReport *report, TfrPage *page, int pageIndex);
  ~TfrPageRun();
  TfrPageRun(const TfrPageRun &) = delete;
  TfrPageRun &operator=(const TfrPageRun &) = delete;

  // Run-time copies of the design objects (marks pages used as subreports).
  void CloneObjects(std::vector<std::unique_ptr<TfrPageRun>> &runs);
  void InitReport();      // the bands, their objects and sources
  void PrepareObjects();  // before each record of a multiple report: nothing to do
  void ExitSources();     // Exit on every band's source
  void DoneReport();      // frees bands, owned sources and run-time objects
  void FormPage();

  // Page filling steps, also used by the script commands.
  void NewPage();
  void NewColumn(TfrBand *b);
  void ShowBand(TfrBand *b);  // prints a band when present
  void PrintPageFooters();    // the page-end routine
  bool InRecordMode() const { return Mode == pmBuildList; }
  int FreeSpace() const { return CurBottomY - CurY; }
  TfrBand *BandOf(const TfrView *bandView) const;
  TfrView *FindRTObject(const QString &name) const;
  // The cross band an object lies in (its cell), nullptr for other objects.
  TfrBand *CrossBandOf(const TfrView *v) const;

  TfrReport *Report;
  TfrPage *Page;
  int PageIndex;
  std::vector<std::unique_ptr<TfrPageRun>> *Runs = nullptr;  // all pages of the build
  std::array<TfrBand *, frBandTypeCount> Bands{};
  std::vector<std::unique_ptr<TfrBand>> OwnedBands;
  std::vector<std::unique_ptr<TfrView>> RTObjects;

  int CurY = 0, CurBottomY = 0, CurX = 0;
  int CurColumn = 0, ColCount = 1, ColGap = 0, ColWidth = 0, LastStaticColumnY = 0;
  int XAdjust = 0;  // horizontal shift of everything drawn (columns, subreports)
  int CurrentNo = 1, ColumnNo = 1;
  enum { pmNormal, pmBuildList } Mode = pmNormal;
  bool Skip = false;  // printed only as a subreport
  std::vector<TfrSubAction> List;
  std::vector<TfrBand *> CrossBands;  // cross header, data and footer bands, left to right
  int Left = 0, Top = 0, Right = 0, Bottom = 0;  // page pixels
  TfrPageRun *Outer = nullptr;  // while replayed as a subreport: the page it prints on
  bool ForceDraw = false;       // a subreport band drawn even when it does not fit
  int PageBandsDrawn = 0;       // bands drawn since the page or column began

 private:
  friend class TfrBand;
  void computeGeometry();
  void addPage();
  void showChain(TfrBandType typ);
  void doLoop(int level);
  Variant groupValue(TfrBand *g);
  void sourceFirst(TfrDataset *ds);
  void sourceNext(TfrDataset *ds);
  bool sourceEof(TfrBand *b);
  void printPending();
  void prepareObject(TfrBand *b, TfrView *v);
  void printObject(TfrBand *b, TfrView *v, int top);
  void writeObject(TfrView *v, int top);
  // Where an object is written for the moment: shifted right by dx, at y
  // with the height dy within its band.
  struct Place {
    int dx, y, dy;
  };
  // Writes v at a place of its own and puts its geometry back afterwards,
  // whatever happens; a failure ends the build naming the object's lines.
  void writeAt(TfrBand *b, TfrView *v, int top, Place at);
  void collectAggregates(TfrBand *data);
  void drawObjects(TfrBand *b, int height);
  int printCut(TfrBand *b, TfrMemoView *m, int top, int height);
  void drawBreaked(TfrBand *b, int height);
  bool drawSubReports(TfrBand *b, size_t firstSub, int top);
  bool doesFit(TfrBand *b, int height) const;
  // Cross bands side by side from their band objects; the cross band an
  // object lies in across (nullptr for none).
  void setUpCrossBands(std::vector<TfrView *> views);
  TfrBand *crossBandAround(const TfrView *v) const;
  bool hasCells(const TfrBand *b) const;
  int crossPass(TfrBand *b, int top, bool measure);
  void printCell(TfrBand *b, TfrView *v, int top, int shift, const QStringList *ready);
  void writeRecord(TfrView *v, int top);
  void notifyWatchers(TfrView *printed);
  void collectCells(TfrBand *f);

  // A footer that does not fit takes the row it closes along to the next
  // page, so that a total never stands there alone under its titles.
  bool moveLastRow(TfrBand *footer);

  int maxLevel_ = 0;
  bool groups_ = false;
  TfrBand *groupedData_ = nullptr;  // the data band the groups run over
  TfrBand *lastDrawn_ = nullptr;    // the band drawn last on this page
  // The last data row drawn and the footers drawn after it: where its
  // records begin in the page's stream and where it stood.
  struct LastRow {
    TfrBand *band = nullptr;
    int page = -1;
    qsizetype offset = 0;
    int top = 0, xAdjust = 0;
  } lastRow_;
  bool inPageStart_ = false;
  bool inLoop_ = false;
  bool collectAll_ = false;
  std::vector<TfrBand *> pending_;
  std::vector<TfrView *> prepared_;
  int preparedPage_ = -1;
  QHash<const TfrView *, TfrBand *> crossOf_;  // cells and the cross band holding them
  // A cross column made while a stretched band was measured: its width and
  // the texts of its cells, by cross band and column number.
  struct CrossColumn {
    int width = 0;
    bool hidden = false;  // its cross band's script hid it
    QHash<const TfrView *, QStringList> texts;
  };
  // Keyed by the band measured, the cross band and the column (0 for cells
  // of cross headers and footers).
  std::map<std::tuple<const TfrBand *, const TfrBand *, int>, CrossColumn> crossColumns_;
  unsigned records_ = 0;
};

// The state one build shares between pages, passes and the reports of a
// composite.
struct TfrBuildState {
  TfrReport *OuterReport = nullptr;
  int PageNo = 0;      // prepared pages before the current one
  int TotalPages = 0;  // TOTALPAGES
  bool ErrorFlag = false;
  QString ErrorText;
  bool FirstPass = false;  // counting pages only
  bool FinalPass = true;
  bool Append = false;     // the next design page continues the current prepared page
  bool Composite = false;  // the next report of a composite continues on the current page
  bool FirstBuild = true;
  int SavedCurY = 0, SavedBottomY = 0;
  bool SavedColumns = false;
  TfrBand *CurBand = nullptr;
  TfrPageRun *CurPage = nullptr;
  TfrView *CurView = nullptr;
  TfrBand *EvalBand = nullptr;  // the band whose objects are evaluated (aggregate target)
  bool Building = false;
  bool InComposite = false;  // the reports of a composite write into its pages
  std::vector<TfrView *> HookList;  // objects that watch others being printed
  QString CrossKey;  // the cross column whose cells are printed or collected ("" outside one)
};
extern TfrBuildState frBuild;

// "An error occured during calculating", the object's lines, the report and the band.
QString frBuildErrorText(const QStringList &lines, const QString &reportName, int bandType);

// Whether a text calls SUM, AVG, COUNT, MIN or MAX: only such objects of a
// footer are evaluated when it collects a record.
bool frCallsAggregate(const QStringList &text);

// Installs the band-side handler of SUM, AVG, COUNT, MIN and MAX.
void frInstallAggregates();

// Text of an object with every bracket expression expanded.
QStringList frExpandText(const QStringList &source, quint32 format, const QString &formatStr);

}  // namespace report
