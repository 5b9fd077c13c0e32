#include "workbook_reader.h"

#include "support/temp_dir.h"

#include <QFile>
#include <QJsonDocument>
#include <QProcess>

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-utils.h>

#include <gtest/gtest.h>

#include <cstring>

namespace vorik::test {

unsigned BiffRecord::u16(int at) const {
  return static_cast<unsigned char>(body.at(at)) | static_cast<unsigned char>(body.at(at + 1)) << 8;
}

double BiffRecord::f64(int at) const {
  double v = 0;
  std::memcpy(&v, body.constData() + at, sizeof v);
  return v;
}

QByteArray ReadBookStream(const QString &path) {
  gsf_init();
  GError *err = nullptr;
  GsfInput *input = gsf_input_stdio_new(QFile::encodeName(path).constData(), &err);
  if (!input) {
    ADD_FAILURE() << "cannot open " << path.toStdString() << ": " << (err ? err->message : "");
    if (err) g_error_free(err);
    return {};
  }
  GsfInfile *ole = gsf_infile_msole_new(input, &err);
  g_object_unref(input);
  if (!ole) {
    ADD_FAILURE() << "no compound file: " << (err ? err->message : "");
    if (err) g_error_free(err);
    return {};
  }
  QByteArray bytes;
  GsfInput *book = gsf_infile_child_by_name(ole, "Book");
  if (!book) {
    ADD_FAILURE() << "no Book stream";
  } else {
    const auto size = gsf_input_size(book);
    bytes.resize(static_cast<qsizetype>(size));
    if (size > 0 && !gsf_input_read(book, static_cast<size_t>(size), reinterpret_cast<guint8 *>(bytes.data())))
      ADD_FAILURE() << "Book stream unreadable";
    g_object_unref(book);
  }
  g_object_unref(ole);
  return bytes;
}

std::vector<BiffRecord> SplitRecords(const QByteArray &stream) {
  std::vector<BiffRecord> out;
  qsizetype at = 0;
  while (at + 4 <= stream.size()) {
    const auto u = [&](qsizetype i) { return static_cast<unsigned>(static_cast<unsigned char>(stream.at(i))); };
    const unsigned id = u(at) | u(at + 1) << 8;
    const qsizetype size = u(at + 2) | u(at + 3) << 8;
    if (at + 4 + size > stream.size()) {
      ADD_FAILURE() << "record 0x" << std::hex << id << " runs past the stream";
      break;
    }
    out.push_back({id, stream.mid(at + 4, size)});
    at += 4 + size;
  }
  EXPECT_EQ(at, stream.size()) << "bytes after the last record";
  return out;
}

QJsonObject ReadWithXlrd(const QString &path, bool cells) {
  QProcess p;
  QStringList args = {sourcePath(QStringLiteral("tests/exchange/excel/xls_dump.py")), path};
  if (!cells) args << QStringLiteral("--shape");
  p.start(QStringLiteral("/usr/bin/python3"), args);
  if (!p.waitForFinished(60000)) {
    ADD_FAILURE() << "xlrd did not finish";
    return {};
  }
  const QByteArray out = p.readAllStandardOutput();
  if (p.exitCode() != 0) {
    ADD_FAILURE() << "xlrd cannot read " << path.toStdString() << ": " << p.readAllStandardError().toStdString();
    return {};
  }
  QJsonParseError error;
  const QJsonDocument doc = QJsonDocument::fromJson(out, &error);
  if (!doc.isObject()) ADD_FAILURE() << "xlrd dump is no JSON: " << error.errorString().toStdString();
  return doc.object();
}

}  // namespace vorik::test
