#pragma once
// The engine's side of the report designer: the abstract designer window that
// the designer module derives from, the engine-wide instance, the tool table
// and the edit of a prepared page. The engine never names the concrete window;
// the designer module registers a factory for it at start-up.
#include <QDialog>
#include <QImage>
#include <QString>

#include <functional>
#include <vector>

namespace report {

class TfrPage;

class TfrReportDesigner : public QDialog {
  Q_OBJECT
 public:
  using QDialog::QDialog;

  TfrPage *Page = nullptr;  // the page being edited
  bool Modified = false;    // set when the user changed something

  // An add-in object's insert button: glyph, hint and button tag.
  virtual void RegisterObject(const QImage &glyph, const QString &hint, int tag) = 0;
  // A tool: menu caption, button glyph and what a click does.
  virtual void RegisterTool(const QString &caption, const QImage &glyph, const std::function<void()> &onClick) = 0;
  // Before and after the engine changes the selected objects.
  virtual void BeforeChange() = 0;
  virtual void AfterChange() = 0;
  // Redraws every object of the page.
  virtual void RedrawPage() = 0;
};

// The one designer instance, or nullptr while none exists.
extern TfrReportDesigner *frReportDesigner;

// Makes a new designer window; the designer module registers it.
using TfrDesignerFactory = std::function<TfrReportDesigner *()>;
bool frRegisterDesignerClass(TfrDesignerFactory factory);
bool frDesignerClassRegistered();
// Creates the start-up instance (when a designer class is registered and none
// exists) and frees it at the end.
void frCreateDesigner();
void frFreeDesigner();

// The tool table: up to 32 entries in registration order.
struct TfrToolInfo {
  QString Caption;
  QImage Glyph;
  std::function<void()> OnClick;
};
constexpr int frMaxTools = 32;
const std::vector<TfrToolInfo> &frTools();
// Appends a tool and hands it to the designer when one exists. Entries beyond
// the 32nd are ignored (false).
bool RegisterDesignerTool(const QString &caption, const QImage &glyph, const std::function<void()> &onClick);
void frClearTools();  // tests

}  // namespace report
