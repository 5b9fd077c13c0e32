#pragma once
// An amount written in Hungarian words for the printed ticket ("egyezer-
// kettöszázharmincnégy "): the words end in a blank or in "-", and the
// printed texts append their own suffixes directly.
#include <QString>

#include <cstdint>

// Three digit characters ("001" .. "999") in words; "000" gives an empty text.
QString SpellThreeDigits(const QString &s);

// Any whole amount in words: 0 is "nulla", a negative amount begins with
// "mínusz ". The absolute value is taken in 64 bits, so the smallest 32-bit
// value is written like any other; groups above the milliárds are written
// with billió, billiárd and trillió, so no 64-bit value is left without words.
QString AmountInWords(std::int64_t n);
