#include "designer/FR_GEdit.h"

#include "platform/file_dialog.h"
#include "platform/whole_file.h"
#include "report/core/FR_Class_Report.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Utils_Gui.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

namespace designer {

using report::TfrPicture;

// ---------------------------------------------------------------- picture box

TfrPictureBox::TfrPictureBox(QWidget *parent, Mode mode) : QFrame(parent), mode_(mode) {
  setFrameShape(QFrame::StyledPanel);
  setFrameShadow(QFrame::Sunken);
}

void TfrPictureBox::SetPicture(const TfrPicture &picture) {
  picture_ = picture;
  image_ = picture_.image();
  update();
}

void TfrPictureBox::SetMode(Mode mode) {
  mode_ = mode;
  update();
}

void TfrPictureBox::LoadFromFileDialog(const QString &filter, bool bitmapOnly) {
  std::unique_ptr<QFileDialog> dlg(platform::makeFileDialog(
      window(), "OpenDialog1", platform::FileDialogKind::Open, QString(), filter, QString()));
  const QString name = platform::execFileDialog(dlg.get());
  if (name.isEmpty()) return;
  TfrPicture picture;
  QString error;
  if (frLoadPictureFile(name, picture, error) && bitmapOnly && picture.kind() != TfrPicture::pkBitmap)
    error = QStringLiteral("The file \"%1\" does not hold a valid bitmap").arg(name);
  if (!error.isEmpty()) {
    if (report::frErrorBox) report::frErrorBox(error);
    return;
  }
  SetPicture(picture);
}

void TfrPictureBox::paintEvent(QPaintEvent *e) {
  QFrame::paintEvent(e);
  const QRect area = contentsRect();
  QPainter p(this);
  p.setClipRect(area);
  if (picture_.kind() == TfrPicture::pkMetafile && !picture_.isEmpty()) {
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawRect(area.adjusted(2, 2, -3, -3));
    return;
  }
  if (image_.isNull()) return;
  switch (mode_) {
    case Stretched: p.drawImage(area, image_); break;
    case Fitted: {
      QSize s = image_.size();
      if (s.width() > area.width() || s.height() > area.height()) s.scale(area.size(), Qt::KeepAspectRatio);
      QRect target(QPoint(0, 0), s);
      target.moveCenter(area.center());
      p.drawImage(target, image_);
      break;
    }
    case Plain: p.drawImage(area.topLeft(), image_); break;
  }
}

// ---------------------------------------------------------------- picture files

namespace {

// Little-endian numbers of a file's header; 0 past its end.
quint32 uintAt(const QByteArray &b, qsizetype at, int size) {
  if (at + size > b.size()) return 0;
  quint32 v = 0;
  for (int i = size - 1; i >= 0; --i) v = (v << 8) | static_cast<quint8>(b[at + i]);
  return v;
}
quint32 u32At(const QByteArray &b, qsizetype at) { return uintAt(b, at, 4); }
quint16 u16At(const QByteArray &b, qsizetype at) { return static_cast<quint16>(uintAt(b, at, 2)); }

// A Windows metafile: the placeable header, or the plain header (memory or
// disk metafile, nine words, version 1 or 3).
bool isWmf(const QByteArray &b) {
  if (u32At(b, 0) == 0x9AC6CDD7u) return b.size() >= 22 + 18;
  const quint16 type = u16At(b, 0);
  const quint16 version = u16At(b, 4);
  return b.size() >= 18 && (type == 1 || type == 2) && u16At(b, 2) == 9 &&
         (version == 0x100 || version == 0x300);
}

// An enhanced metafile: the header record (type 1) with the " EMF" signature.
bool isEmf(const QByteArray &b) { return b.size() >= 88 && u32At(b, 0) == 1 && u32At(b, 40) == 0x464D4520u; }

}  // namespace

bool frLoadPictureFile(const QString &fileName, TfrPicture &picture, QString &error) {
  const QString ext = QFileInfo(fileName).suffix().toLower();
  if (ext != QLatin1String("bmp") && ext != QLatin1String("ico") && ext != QLatin1String("wmf") &&
      ext != QLatin1String("emf")) {
    error = QStringLiteral("\"%1\" is not a picture file: the name must end in .bmp, .ico, .wmf or .emf")
                .arg(fileName);
    return false;
  }
  const platform::Result<QByteArray> content = platform::readFileWhole(fileName);
  if (!content) {
    error = QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, content.reason());
    return false;
  }
  const QByteArray &bytes = *content;
  TfrPicture read;
  QString kind;
  if (ext == QLatin1String("bmp")) {
    kind = QStringLiteral("bitmap");
    QImage img;
    if (img.loadFromData(bytes, "BMP")) {
      // Readers delimit a stored bitmap by the length in its header.
      if (u32At(bytes, 2) == static_cast<quint32>(bytes.size())) read.setData(TfrPicture::pkBitmap, bytes);
      else read.setImage(img);
    }
  } else if (ext == QLatin1String("ico")) {
    kind = QStringLiteral("icon");
    QImage img;
    if (img.loadFromData(bytes, "ICO")) read.setData(TfrPicture::pkIcon, bytes);
  } else {
    kind = QStringLiteral("metafile");
    if (ext == QLatin1String("wmf") ? isWmf(bytes) : isEmf(bytes))
      read.setData(TfrPicture::pkMetafile, bytes);
  }
  if (read.isEmpty()) {
    error = QStringLiteral("The file \"%1\" does not hold a valid %2").arg(fileName, kind);
    return false;
  }
  picture = read;
  return true;
}

// ---------------------------------------------------------------- picture editor

TfrGEditorForm::TfrGEditorForm(QWidget *parent) : QDialog(parent) {
  using report::frLoadStr;
  using report::frNamed;
  setObjectName(QStringLiteral("frGEditorForm"));
  setWindowTitle(frLoadStr(53460));
  Image1 = frNamed(new TfrPictureBox(this), "Image1");
  Image1->setMinimumSize(320, 240);
  CB1 = frNamed(new QCheckBox(frLoadStr(53461), this), "CB1");
  BitBtn1 = frNamed(new QPushButton(frLoadStr(53462), this), "BitBtn1");
  Button4 = frNamed(new QPushButton(frLoadStr(53463), this), "Button4");
  Button5 = frNamed(new QPushButton(frLoadStr(53464), this), "Button5");
  Button1 = frNamed(new QPushButton(frLoadStr(55000), this), "Button1");
  Button2 = frNamed(new QPushButton(frLoadStr(55001), this), "Button2");
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
  connect(BitBtn1, &QPushButton::clicked, this, [this] {
    Image1->LoadFromFileDialog(frLoadStr(55215) +
                                   QStringLiteral(" (*.bmp *.ico *.wmf *.emf)|*.bmp;*.ico;*.wmf;*.emf|") +
                                   frLoadStr(55220) + QStringLiteral("|*.*"),
                               false);
  });
  connect(Button4, &QPushButton::clicked, this, [this] { Image1->Clear(); });
  connect(Button5, &QPushButton::clicked, this, [this] {
    if (OnMemo) OnMemo();
  });
  connect(CB1, &QCheckBox::toggled, this,
          [this](bool on) { Image1->SetMode(on ? TfrPictureBox::Stretched : TfrPictureBox::Plain); });

  auto *tools = new QVBoxLayout;
  tools->addWidget(BitBtn1);
  tools->addWidget(Button4);
  tools->addWidget(Button5);
  tools->addStretch();
  auto *top = new QHBoxLayout;
  top->addWidget(Image1, 1);
  top->addLayout(tools);
  auto *bottom = new QHBoxLayout;
  bottom->addWidget(CB1);
  bottom->addStretch();
  bottom->addWidget(Button1);
  bottom->addWidget(Button2);
  auto *lay = new QVBoxLayout(this);
  lay->addLayout(top, 1);
  lay->addLayout(bottom);
}

void TfrGEditorForm::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  Button5->setEnabled(static_cast<bool>(OnMemo));
  Image1->SetMode(CB1->isChecked() ? TfrPictureBox::Stretched : TfrPictureBox::Plain);
}

}  // namespace designer
