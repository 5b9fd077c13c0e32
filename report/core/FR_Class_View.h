#pragma once
// Report objects, data side: the class tree, fields, defaults, the class
// factory, Assign and each class's stream record. Drawing lives elsewhere.
#include "report/core/FR_Utils.h"

#include <QByteArray>
#include <QImage>
#include <QRegion>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace report {

class TfrBand;  // run-time band of a build
class TfrPage;
class TfrCanvas;            // drawing side: FR_Canvas.h
struct TfrDrawGeometry;     // FR_TextLayout.h

// Object type codes.
enum : int { gtMemo = 0, gtPicture = 1, gtBand = 2, gtSubReport = 3, gtLine = 4, gtAddIn = 10 };

// Band types 0..21.
enum TfrBandType : int {
  btReportTitle, btReportSummary, btPageHeader, btPageFooter, btMasterHeader, btMasterData,
  btMasterFooter, btDetailHeader, btDetailData, btDetailFooter, btSubDetailHeader, btSubDetailData,
  btSubDetailFooter, btOverlay, btColumnHeader, btColumnFooter, btGroupHeader, btGroupFooter,
  btCrossHeader, btCrossData, btCrossFooter, btNone
};

// Flag bits of the common record.
enum : quint16 {
  flStretched = 0x0001,
  flWordWrap = 0x0002,
  flWordBreak = 0x0004,  // hyphenation
  flAutoSize = 0x0008,
  flPictCenter = 0x0002,
  flPictRatio = 0x0004,
  flBandNewPageAfter = 0x0002,
  flBandPrintIfSubsetEmpty = 0x0004,
  flBandBreaked = 0x0008,
  flBandOnFirstPage = 0x0010,
  flBandOnLastPage = 0x0020,
  flBandRepeatHeader = 0x0040,
  flWantHook = 0x8000,
};

// Frame line bits and styles.
enum : quint16 { frbRight = 1, frbBottom = 2, frbLeft = 4, frbTop = 8 };
enum : quint16 { frsSolid, frsDash, frsDot, frsDashDot, frsDashDotDot, frsDouble };

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clTransparent = 0x1FFFFFFF;  // no fill

// Format word: byte 3 category, byte 2 type, byte 1 decimals, byte 0 separator.
constexpr quint32 frMakeFormat(int category, int type, int decimals, char separator) {
  return (static_cast<quint32>(category) << 24) | (static_cast<quint32>(type) << 16) |
         (static_cast<quint32>(decimals) << 8) | static_cast<quint8>(separator);
}
quint32 frDefaultFormat();  // text, 2 decimals, the process decimal separator
// The frame width a layout file gives back for w: the stored integer keeps
// whole widths up to 10 and thousandths of any other width within its range.
double frKeptFrameWidth(double w);

struct TfrFont {
  QString Name = QStringLiteral("Arial");
  int Size = 10;  // points
  TFontStyles Style = 0;
  TColor Color = clBlack;
  int Charset = 1;  // the engine's default charset
  bool operator==(const TfrFont &) const = default;
};

struct TfrHighlight {
  TFontStyles FontStyle = fsBold;
  TColor FontColor = clBlack;
  TColor FillColor = clWhite;
  bool operator==(const TfrHighlight &) const = default;
};

// A picture as the layout stores it: its kind and its bytes in the stored
// form (a bitmap file, a metafile, an icon file). Metafiles stay opaque.
class TfrPicture {
 public:
  enum Kind : quint8 { pkNone = 0, pkBitmap = 1, pkMetafile = 2, pkIcon = 3 };
  Kind kind() const { return kind_; }
  const QByteArray &data() const { return data_; }
  bool isEmpty() const { return kind_ == pkNone || data_.isEmpty(); }
  void clear() { kind_ = pkNone, data_.clear(); }
  void setData(Kind kind, const QByteArray &bytes) { kind_ = kind, data_ = bytes; }
  // Bitmaps and icons as images; a null image for metafiles and bad data.
  QImage image() const;
  // Stores an image as a bitmap file; a null image clears the picture.
  void setImage(const QImage &img);
  bool operator==(const TfrPicture &) const = default;

 private:
  Kind kind_ = pkNone;
  QByteArray data_;
};

class TfrView {
 public:
  TfrView();
  virtual ~TfrView();
  TfrView(const TfrView &) = delete;
  TfrView &operator=(const TfrView &) = delete;

  // The registered class name ("TfrMemoView", ...).
  virtual QString ClassName() const { return QStringLiteral("TfrView"); }
  virtual void Assign(const TfrView &from);
  // A new object of the same class with the same contents.
  std::unique_ptr<TfrView> Clone() const;

  // The object record after its type byte and page index. A printed object
  // (IsPrinting) reads and writes the prepared-page form.
  virtual void LoadFromStream(TfrStream &stream);
  virtual void SaveToStream(TfrStream &stream);

  // Drawing (FR_Class_Draw.cpp): the object scaled by ScaleX/ScaleY and moved
  // by OffsX/OffsY, on any canvas.
  virtual void Draw(TfrCanvas &canvas);
  virtual void DrawBackground(TfrCanvas &canvas);
  virtual void DrawFrame(TfrCanvas &canvas);
  // The area the object covers (designer hit testing with hitTest).
  virtual QRegion GetClipRgn(bool hitTest) const;
  TfrDrawGeometry DrawGeometry() const;
  // Called during a build, for an object with flWantHook, after a text object
  // printed. The object classes here do nothing.
  virtual void NotifyPrinted(TfrView *printed) { (void)printed; }

  QString BaseName = QStringLiteral("View");
  QString Name;
  int ID = 0;
  int Typ = gtAddIn;
  bool Selected = false;
  TfrBand *Parent = nullptr;
  bool IsPrinting = false;
  double ScaleX = 1, ScaleY = 1;
  int OffsX = 0, OffsY = 0;
  qint32 x = 0, y = 0, dx = 0, dy = 0;
  quint16 Flags = flStretched;
  quint16 FrameTyp = 0;
  double FrameWidth = 1;
  TColor FrameColor = clBlack;
  quint16 FrameStyle = frsSolid;
  TColor FillColor = clTransparent;
  quint32 Format = 0;
  QString FormatStr;
  QStringList Memo;   // source text
  QStringList Memo1;  // printed text
  QStringList Script;
  bool Visible = true;

 protected:
  // The text field of the record (source text, or printed text when printing).
  virtual void ReadText(TfrStream &s);
  virtual void WriteText(TfrStream &s);
  virtual void ReadTail(TfrStream &) {}
  virtual void WriteTail(TfrStream &) {}
};

class TfrStretcheable : public TfrView {
 public:
  QString ClassName() const override { return QStringLiteral("TfrStretcheable"); }
  // Heights for a band that stretches (FR_Class_Draw.cpp).
  virtual int MeasureHeight() { return 0; }
  virtual int MinimumHeight() { return 0; }
  virtual int RemainingHeight() { return 0; }
};

class TfrMemoView : public TfrStretcheable {
 public:
  TfrMemoView();
  QString ClassName() const override { return QStringLiteral("TfrMemoView"); }
  void Assign(const TfrView &from) override;
  void LoadFromStream(TfrStream &stream) override;

  TfrFont Font;
  int Adjust = 0;
  int LineSpacing = 2;  // not stored
  TfrHighlight Highlight;
  QString HighlightStr;

  // Drawing and measuring (FR_Class_Draw.cpp). Draw takes its text from Memo
  // (in a prepared page, what was printed), copies it to Memo1, lays it out
  // unless it was laid out when it printed, and draws it; on the measuring
  // canvas with CutPrinting set it counts in DrawnLines the lines that fit.
  void Draw(TfrCanvas &canvas) override;
  int MeasureHeight() override;
  int MinimumHeight() override;
  int RemainingHeight() override;
  // The printed text laid out: lines with paragraph marks and widths.
  QStringList LaidOutText();
  int LastLineHeight = 0;    // line height of the last measurement
  int DrawnLines = 0;        // lines the last drawing put out
  bool CutPrinting = false;  // set while a part of a text cut by a page break prints

 protected:
  void ReadTail(TfrStream &s) override;
  void WriteTail(TfrStream &s) override;
};

class TfrBandView : public TfrView {
 public:
  TfrBandView();
  QString ClassName() const override { return QStringLiteral("TfrBandView"); }
  int BandType() const { return FrameTyp & 0x7F; }
  void SetBandType(int t) { FrameTyp = static_cast<quint16>(t & 0x7F); }
  void Draw(TfrCanvas &canvas) override;  // designer only
  QRegion GetClipRgn(bool hitTest) const override;
};

class TfrSubReportView : public TfrView {
 public:
  TfrSubReportView();
  QString ClassName() const override { return QStringLiteral("TfrSubReportView"); }
  void Assign(const TfrView &from) override;
  qint32 SubPage = 0;
  void Draw(TfrCanvas &canvas) override;  // designer only

 protected:
  void ReadTail(TfrStream &s) override;
  void WriteTail(TfrStream &s) override;
};

class TfrPictureView : public TfrView {
 public:
  TfrPictureView();
  QString ClassName() const override { return QStringLiteral("TfrPictureView"); }
  void Assign(const TfrView &from) override;
  TfrPicture Picture;
  TfrFont Font;  // caption in the designer
  void Draw(TfrCanvas &canvas) override;

 protected:
  void ReadTail(TfrStream &s) override;
  void WriteTail(TfrStream &s) override;
};

class TfrLineView : public TfrView {
 public:
  TfrLineView();
  QString ClassName() const override { return QStringLiteral("TfrLineView"); }
  void Draw(TfrCanvas &canvas) override;
  QRegion GetClipRgn(bool hitTest) const override;
};

// Add-in classes, looked up by class name without regard to case. An add-in
// object reads and writes its own tail after the common record.
using TfrAddInFactory = std::function<std::unique_ptr<TfrView>()>;
void frRegisterAddIn(const QString &className, TfrAddInFactory factory);

// Raised for an add-in class name that no class is registered for.
class EClassNotFound : public Exception {
 public:
  using Exception::Exception;
};

// Creates an object by type code (0..4; 10 with a class name), with the next
// object number; other codes give nullptr.
std::unique_ptr<TfrView> CreateReportObject(int typ, const QString &className = QString());

// The shared show-band-titles switch (designer).
extern bool frShowBandTitles;
// Set while the designer draws (corner marks, band objects, no auto size).
extern bool frDesignMode;
// The band type names ("Report title" .. "None").
QString frBandName(int bandType);

}  // namespace report
