#include "exchange/excel/WorkbookFile.h"

#include "platform/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-output.h>
#include <gsf/gsf-utils.h>

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
  sink_ = gsf_output_memory_new();
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
  if (!gsf_output_write(stream_, size, reinterpret_cast<const guint8 *>(data)))
    fail(QStringLiteral("a munkafüzet nem írható."));
}

void WorkbookFile::commit() {
  if (!stream_ || committed_) fail(QStringLiteral("írási hiba."));
  // The stream, then the container's directory and allocation tables.
  if (!gsf_output_close(stream_) || !gsf_output_close(GSF_OUTPUT(container_)))
    fail(QStringLiteral("a munkafüzet nem írható."));
  const gsf_off_t size = gsf_output_size(sink_);
  const QByteArray bytes(reinterpret_cast<const char *>(gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink_))),
                         static_cast<qsizetype>(size));
  platform::Done done = file_.write(bytes);
  if (done) done = file_.commit();
  if (!done) fail(done.reason() + QLatin1Char('.'));
  committed_ = true;
  release();
}

}  // namespace excel
