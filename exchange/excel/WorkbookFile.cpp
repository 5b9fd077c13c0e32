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

#include <unistd.h>

namespace excel {

namespace {

QString Named(const QString &path, const QString &reason) {
  return QDir::toNativeSeparators(QFileInfo(path).fileName()) + QStringLiteral(": ") + reason;
}

}  // namespace

QString ReplaceRefusal(const QString &path) {
  const QString refusal = platform::replaceRefusal(path);
  return refusal.isEmpty() ? refusal : Named(path, refusal + QLatin1Char('.'));
}

WorkbookFile::WorkbookFile(const QString &target) : target_(target), file_(target) {
  static const bool gsfReady = (gsf_init(), true);
  (void)gsfReady;
  // The refusals and a folder that cannot be written show before any work.
  if (const platform::Done opened = file_.open(); !opened)
    throw SaveError(Named(target_, opened.reason() + QLatin1Char('.')));
  // The compound file streams into the temporary through a buffered copy of
  // its descriptor: the workbook is never held whole in memory, and nothing
  // is copied again at the end.
  const int fd = ::dup(file_.handle());
  FILE *f = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
  if (!f) {
    const int error = errno;
    if (fd >= 0) ::close(fd);
    fail(platform::systemErrorText(error) + QLatin1Char('.'));
  }
  sink_ = gsf_output_stdio_new_FILE(QFile::encodeName(target_).constData(), f, FALSE);
  container_ = sink_ ? gsf_outfile_msole_new(sink_) : nullptr;
  stream_ = container_ ? gsf_outfile_new_child(container_, "Book", FALSE) : nullptr;
  if (!stream_) fail(QStringLiteral("a munkafüzet nem hozható létre."));
}

WorkbookFile::~WorkbookFile() { release(); }

void WorkbookFile::release() {
  if (stream_) g_object_unref(stream_);
  if (container_) g_object_unref(container_);
  if (sink_) g_object_unref(sink_);
  stream_ = nullptr;
  container_ = nullptr;
  sink_ = nullptr;
}

void WorkbookFile::fail(const QString &reason) { throw SaveError(Named(target_, reason)); }

void WorkbookFile::write(const char *data, std::size_t size) {
  if (!stream_ || committed_) fail(QStringLiteral("írási hiba."));
  errno = 0;
  if (!gsf_output_write(stream_, size, reinterpret_cast<const guint8 *>(data))) failWriting();
}

// The system's reason of a failed write, when it left one.
void WorkbookFile::failWriting() {
  fail(errno != 0 ? platform::systemErrorText(errno) + QLatin1Char('.')
                  : QStringLiteral("a munkafüzet nem írható."));
}

void WorkbookFile::commit() {
  if (!stream_ || committed_) fail(QStringLiteral("írási hiba."));
  // The stream, then the container's directory and allocation tables; closing
  // the container flushes and closes the descriptor's copy.
  errno = 0;
  if (!gsf_output_close(stream_) || !gsf_output_close(GSF_OUTPUT(container_))) failWriting();
  errno = 0;
  if (!gsf_output_is_closed(sink_) && !gsf_output_close(sink_)) failWriting();
  if (const platform::Done done = file_.commit(); !done) fail(done.reason() + QLatin1Char('.'));
  committed_ = true;
  release();
}

}  // namespace excel
