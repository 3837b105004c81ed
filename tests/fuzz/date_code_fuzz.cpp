// The date reader under several short date formats, and the computation on
// any inputs: a date read writes and reads back as itself, and a code is
// either "ERRORE" or ends with the check letter its first 15 characters give.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/date_conversion_error.h"
#include "engine/fiscal_code.h"
#include "engine/short_date.h"

namespace {

constexpr std::array<const char*, 6> kFormats = {"dd/MM/yyyy", "M/d/yyyy", "yyyy-MM-dd",
                                                 "d.M.yyyy",   "dd/MM/yy", "yy.M.d"};

// The check letter by the published tables, kept apart from the engine's own
// so that the two can disagree.
char CheckLetter(std::string_view first15) {
  // Worth of A-Z in the odd places (first, third, ...); a digit is worth what
  // the letter of its rank is (0 as A).
  static constexpr int kOdd[26] = {1,  0,  5, 7, 9, 13, 15, 17, 19, 21, 2,  4,  18,
                                   20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};
  int sum = 0;
  for (std::size_t i = 0; i < first15.size(); ++i) {
    const char c = first15[i];
    int index = 0;
    if (c >= '0' && c <= '9') {
      index = c - '0';
    } else if (c >= 'A' && c <= 'Z') {
      index = c - 'A';
    } else {
      return '\0';
    }
    sum += i % 2 == 0 ? kOdd[index] : index;
  }
  return static_cast<char>('A' + sum % 26);
}

void CheckDate(const std::string& text, bool fourDigitYear) {
  CalendarDate date;
  try {
    date = TextToDate(text);
  } catch (const DateConversionError&) {
    return;
  }
  const std::chrono::year_month_day calendar{std::chrono::year(date.year),
                                             std::chrono::month(static_cast<unsigned>(date.month)),
                                             std::chrono::day(static_cast<unsigned>(date.day))};
  if (!calendar.ok()) std::abort();
  // A four-digit year read through a two-digit format is written back short
  // and so may land in another century; every other date reads back as itself.
  if (fourDigitYear && date.year <= 9999 && TextToDate(DateToText(date)) != date) std::abort();
}

void CheckCode(const std::string& surname, const std::string& name, const std::string& birth,
               const std::string& sex, const std::string& place) {
  std::string code;
  try {
    code = ComputeFiscalCode(surname, name, birth, sex, place);
  } catch (const DateConversionError&) {
    return;
  }
  if (code == "ERRORE") return;
  if (code.size() < 16 || CheckLetter(std::string_view(code).substr(0, 15)) == '\0' ||
      code.back() != CheckLetter(std::string_view(code).substr(0, 15))) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider provider(data, size);
  const std::string format =
      kFormats[provider.ConsumeIntegralInRange<std::size_t>(0, kFormats.size() - 1)];
  SetShortDateFormat(format);
  const bool fourDigitYear = format.find("yyyy") != std::string::npos;

  CheckDate(provider.ConsumeRandomLengthString(16), fourDigitYear);

  std::string surname = provider.ConsumeRandomLengthString(40);
  std::string name = provider.ConsumeRandomLengthString(40);
  std::string sex = provider.ConsumeBool() ? (provider.ConsumeBool() ? "M" : "F")
                                           : provider.ConsumeRandomLengthString(2);
  std::string place = provider.ConsumeRandomLengthString(8);
  // Mostly a date that reads, so the computation is reached past the date.
  std::string birth;
  if (provider.ConsumeBool()) {
    birth = provider.ConsumeRandomLengthString(16);
  } else {
    CalendarDate date{provider.ConsumeIntegralInRange(1000, 9999),
                      provider.ConsumeIntegralInRange(1, 12),
                      provider.ConsumeIntegralInRange(1, 28)};
    birth = DateToText(date);
  }
  CheckCode(surname, name, birth, sex, place);
  return 0;
}
