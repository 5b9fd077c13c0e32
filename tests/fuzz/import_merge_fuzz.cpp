// Import files of the return merge: any two files (the input split at its
// first NUL byte into A's and B's bytes) merge or raise ReturnError; a merged
// file has A's lines, each ended by CR LF, and keeps the pair's row-455 total.
#include "exchange/returns/ImportMerge.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  const qsizetype cut = bytes.indexOf('\0');
  const QByteArray a = cut < 0 ? bytes : bytes.left(cut);
  const QByteArray b = cut < 0 ? QByteArray() : bytes.mid(cut + 1);
  const QList<QByteArray> linesA = returns::SplitLines(a);
  for (const QByteArray &l : linesA)
    if (l.contains('\r') || l.contains('\n')) std::abort();
  QByteArray merged;
  try {
    merged = returns::MergedFile(QStringLiteral("A"), a, QStringLiteral("B"), b);
  } catch (const returns::ReturnError &) {
    return 0;
  }
  if (merged.count("\r\n") != linesA.size() || (!merged.isEmpty() && !merged.endsWith("\r\n"))) std::abort();
  const QList<QByteArray> out = returns::SplitLines(merged);
  if (out.size() != linesA.size()) std::abort();
  for (qsizetype i = 0; i < out.size(); ++i) {
    const bool field = linesA[i].startsWith("12456=") || linesA[i].startsWith("23790=") || linesA[i].startsWith("24804=");
    if (!field && out[i] != linesA[i]) std::abort();
  }
  return 0;
}
