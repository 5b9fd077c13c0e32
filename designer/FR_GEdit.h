#pragma once
// The picture editor of a picture object, and the picture box and picture
// file reader that the template dialogs share with it.
#include "report/core/FR_Class_View.h"

#include <QDialog>
#include <QFrame>

#include <functional>

class QCheckBox;
class QPushButton;

namespace designer {

// Shows a picture: stretched over the box, fitted into it (scaled down
// keeping its proportions, never up) or at its own size from the top left.
// A metafile, which is kept but not drawn, shows as a grey outline.
class TfrPictureBox : public QFrame {
  Q_OBJECT
 public:
  enum Mode { Plain, Stretched, Fitted };
  explicit TfrPictureBox(QWidget *parent = nullptr, Mode mode = Plain);

  const report::TfrPicture &Picture() const { return picture_; }
  void SetPicture(const report::TfrPicture &picture);
  void Clear() { SetPicture(report::TfrPicture()); }
  Mode DisplayMode() const { return mode_; }
  void SetMode(Mode mode);
  // Asks for a file (the open dialog "OpenDialog1" with a filter of the form
  // "text|pattern|...") and shows the picture it holds. A file that does not
  // read as a picture, or with bitmapOnly as a bitmap, shows its error and
  // the box keeps its picture; so does Cancel.
  void LoadFromFileDialog(const QString &filter, bool bitmapOnly);

 protected:
  void paintEvent(QPaintEvent *e) override;

 private:
  report::TfrPicture picture_;
  QImage image_;  // the picture decoded once; null for a metafile
  Mode mode_;
};

// Reads a picture file by its extension: ".bmp" a bitmap, ".ico" an icon,
// ".wmf" and ".emf" a metafile (checked by its header only, since metafiles
// are not drawn). A bitmap whose header does not give its own length is
// stored again so that stream readers can delimit it. On any failure
// (unreadable file, other extension, contents not of the kind) picture is
// left as it was and error holds a message naming the file.
bool frLoadPictureFile(const QString &fileName, report::TfrPicture &picture, QString &error);

// The picture editor: the picture, its stretching, Load, Clear and the text
// editor of the object. The caller fills Image1 and CB1 and reads them back
// after OK; the dialog changes no object itself.
class TfrGEditorForm : public QDialog {
  Q_OBJECT
 public:
  explicit TfrGEditorForm(QWidget *parent = nullptr);

  // Opens the text editor of the object being edited ("&Memo"); the button is
  // disabled while none is set when the dialog is shown.
  std::function<void()> OnMemo;

  TfrPictureBox *Image1;
  QCheckBox *CB1;                            // stretch
  QPushButton *BitBtn1, *Button4, *Button5;  // load, clear, memo
  QPushButton *Button1, *Button2;            // OK, Cancel

 protected:
  void showEvent(QShowEvent *e) override;
};

}  // namespace designer
