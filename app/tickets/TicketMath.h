#pragma once
// The ticket arithmetic: totals of the lines, tax, member contribution,
// deduction, payable with its cash rounding, payment date and the next serial.
// One UI-free unit that ticket entry, printing and cancelling all call, so the
// stored and the printed amounts come from the same code.
//
// Amounts are computed in 80-bit extended precision (long double) and rounded
// to whole forints half to even.
#include <QDate>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace TicketMath {

// Sums of a ticket's lines: purchase price (S_FELVAR), compensation surcharge
// (S_KOMPFELAR) and price (S_VETELAR). A ticket without lines sums to 0.
struct LineSums {
  long double far = 0;     // purchase prices
  long double kfelar = 0;  // compensation surcharges
  long double var = 0;     // prices

  void add(long double felvar, long double kompfelar, long double vetelar) {
    far += felvar;
    kfelar += kompfelar;
    var += vetelar;
  }
};

enum class PaymentMode { Transfer, Cash };

// Base of the member contribution, chosen by the receiver's layout letter (the
// first character of V_VERZIO), for the stored and the printed ticket alike.
enum class ContributionBase {
  PriceLessTax,   // rate * (price - tax) / 100
  PurchasePrice,  // layout letter "L": rate * sum of purchase prices / 100
  Price,          // layout letter "O": rate * price / 100
};

// The base that a layout letter asks for ("L", "O", anything else).
ContributionBase contributionBaseForLayout(const QString &layoutLetter);

// The rates and the deduction of a ticket header.
struct Rates {
  long double taxRate = 0;           // F_SZJA, percent
  long double contributionRate = 0;  // F_JARULSZAZ, percent
  long double deduction = 0;         // F_LEVONAS, forints
};

struct Amounts {
  long double price = 0;         // var, not rounded (stored in F_SUMVAR)
  long double tax = 0;           // taxRate * price / 100
  long double contribution = 0;  // by the contribution base
  long double deduction = 0;
  long double beforeRounding = 0;  // price - tax - contribution - deduction
  std::int64_t payable = 0;        // rounded; cash also to a multiple of 5
};

// Largest whole amount a NUMERIC(18,4) column holds: the payable must fit F_MUVKTG.
constexpr std::int64_t kMaxStorableAmount = 922337203685477LL;

// Round to a whole number, halves to the even neighbour, on extended precision.
long double roundHalfEven(long double v);

// A whole forint amount rounded to the nearest multiple of 5
// (remainder 1 or 2 down, 3 or 4 up; the same half-to-even rounding).
std::int64_t cashRound(std::int64_t wholeForints);

// The amounts of a ticket of a receiver whose layout letter is given: the one
// computation behind the entry's stored payable, the totals written when an
// entry closes, the cancelling document's negated copy and the print, so paper,
// database, lists and return carry one payable. Empty when a value is not
// finite or the payable does not fit the stored column.
std::optional<Amounts> computeAmounts(const LineSums &sums, const Rates &rates, PaymentMode mode,
                                      const QString &layoutLetter);

// A sum shown in a whole-number field: rounded half to even; empty when it does
// not fit a 64-bit integer.
std::optional<std::int64_t> wholeForints(long double v);

// Payment date of a ticket: a transfer is due the producer's payment term in
// days after the purchase date, 8 days when the term is 0 or not given; cash is
// paid on the purchase date.
constexpr int kDefaultPaymentTermDays = 8;
QDate paymentDate(const QDate &purchaseDate, PaymentMode mode, std::optional<int> termDays);

// The next serial of a receiver from its stored last serial (A_QZBSZAM).
enum class SerialError {
  None,
  Missing,     // no SORSZAM row
  NotANumber,  // the stored text is not a whole decimal number
  Overflow,    // the next serial would not fit 8 digits
};
constexpr std::int64_t kMaxSerial = 99999999;

struct SerialResult {
  SerialError error = SerialError::None;
  QString serial;  // decimal digits without leading zeros, when no error
  bool ok() const { return error == SerialError::None; }
};

// stored: A_QZBSZAM of the receiver's row, or empty optional when it has none.
// hasHeader: tells whether a serial already has a ticket header; such serials
// are skipped so that a new ticket never takes (and never deletes the lines of)
// a saved one. May be empty.
SerialResult nextSerial(const std::optional<QString> &stored,
                        const std::function<bool(const QString &)> &hasHeader = {});

// The message shown when a new ticket cannot get a serial.
QString serialErrorMessage(SerialError error);

}  // namespace TicketMath
