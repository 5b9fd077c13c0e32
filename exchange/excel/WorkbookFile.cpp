#include "exchange/excel/WorkbookFile.h"

#include "platform/error_text.h"
#include "platform/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-output.h>
#include <gsf/gsf-utils.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace excel {

namespace {

QString ErrorText(int error) { return platform::systemErrorText(error) + QLatin1Char('.'); }

QString Named(const QString &path, const QString &reason) {
  return QDir::toNativeSeparators(QFileInfo(path).fileName()) + QStringLiteral(": ") + reason;
}

}  // namespace

QString ReplaceRefusal(const QString &path) {
  const QString refusal = platform::replaceRefusal(path);
  return refusal.isEmpty() ? refusal : Named(path, refusal + QLatin1Char('.'));
}

WorkbookFile::WorkbookFile(const QString &target) : target_(target) {
  static const bool gsfReady = (gsf_init(), true);
  (void)gsfReady;
  // A temporary that a killed export left beside the target goes first.
  QString temp;
  fd_ = platform::createTemporaryBeside(target, &temp);
  if (fd_ < 0) fail(errno, QString());
  temp_ = temp;
  const QByteArray name = QFile::encodeName(temp);
  // The permissions a new file gets (or the replaced file had).
  ::fchmod(fd_, static_cast<mode_t>(platform::targetMode(target)));
  FILE *f = ::fdopen(fd_, "wb");
  if (!f) fail(errno, QString());
  file_ = f;
  sink_ = gsf_output_stdio_new_FILE(name.constData(), f, TRUE);
  container_ = sink_ ? gsf_outfile_msole_new(sink_) : nullptr;
  stream_ = container_ ? gsf_outfile_new_child(container_, "Book", FALSE) : nullptr;
  if (!stream_) fail(0, QStringLiteral("a munkafüzet nem hozható létre."));
}

WorkbookFile::~WorkbookFile() {
  release();
  if (!committed_ && !temp_.isEmpty()) ::unlink(QFile::encodeName(temp_).constData());
}

void WorkbookFile::release() {
  // Unreferencing closes what is still open; the temporary file is removed
  // afterwards anyway when the save did not complete.
  if (stream_) g_object_unref(stream_);
  if (container_) g_object_unref(container_);
  if (sink_) g_object_unref(sink_);
  stream_ = nullptr;
  container_ = nullptr;
  sink_ = nullptr;
  if (file_) {
    std::fclose(static_cast<FILE *>(file_));
    file_ = nullptr;
    fd_ = -1;
  } else if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

void WorkbookFile::fail(int error, const QString &fallback) {
  QString reason = error ? ErrorText(error) : fallback;
  if (reason.isEmpty()) {
    const GError *e = stream_ ? gsf_output_error(stream_) : nullptr;
    if (!e && sink_) e = gsf_output_error(sink_);
    reason = e && e->message ? QString::fromUtf8(e->message) : QStringLiteral("írási hiba.");
  }
  throw SaveError(Named(target_, reason));
}

void WorkbookFile::write(const char *data, std::size_t size) {
  if (!stream_ || committed_) throw SaveError(Named(target_, QStringLiteral("írási hiba.")));
  errno = 0;
  if (!gsf_output_write(stream_, size, reinterpret_cast<const guint8 *>(data))) fail(errno, QString());
}

void WorkbookFile::commit() {
  if (!stream_ || committed_) throw SaveError(Named(target_, QStringLiteral("írási hiba.")));
  // The stream, then the container's directory and allocation tables (closing
  // the container closes the file's output too).
  errno = 0;
  if (!gsf_output_close(stream_)) fail(errno, QString());
  errno = 0;
  if (!gsf_output_close(GSF_OUTPUT(container_))) fail(errno, QString());
  errno = 0;
  if (!gsf_output_is_closed(sink_) && !gsf_output_close(sink_)) fail(errno, QString());
  FILE *f = static_cast<FILE *>(file_);
  if (std::fflush(f) != 0 || ::fsync(fd_) != 0) fail(errno, QString());
  file_ = nullptr;
  fd_ = -1;
  if (std::fclose(f) != 0) fail(errno, QString());
  if (::rename(QFile::encodeName(temp_).constData(), QFile::encodeName(target_).constData()) != 0)
    fail(errno, QString());
  committed_ = true;
  release();
}

}  // namespace excel
