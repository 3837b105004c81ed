#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/fiscal_code.h"
#include "engine/short_date.h"
#include "engine/today.h"
#include "tests/engine/previous_fiscal_code.h"
#include "tests/engine/reference_fiscal_code.h"

namespace {

// A random person, often with something wrong in the inputs.
class RandomPerson {
 public:
  explicit RandomPerson(unsigned seed) : random_(seed) {}

  std::string Name() {
    static constexpr std::string_view kChars =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZAEIOUabcdefghijklmnopqrstuvwxyzaeiou '-.\xC8\xE0";
    std::string text(Below(Chance(10) ? 3 : 14), ' ');
    // Now and then any byte at all: UTF-8 pieces, controls, 0x80-0xFF.
    const bool anyByte = Chance(10);
    for (char& c : text) c = anyByte ? static_cast<char>(Below(256)) : kChars[Below(kChars.size())];
    return text;
  }

  std::string Sex() {
    static constexpr const char* kOdd[] = {"f", "m", "", "X", "FF", " M", "MF"};
    if (!Chance(10)) return Chance(2) ? "M" : "F";
    return kOdd[Below(std::size(kOdd))];
  }

  std::string Municipality() {
    static constexpr std::string_view kChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    // Now and then far longer than any real one.
    std::string code(Chance(50) ? 20 + Below(20) : 3 + Below(3), ' ');
    for (char& c : code) c = kChars[Below(kChars.size())];
    if (Chance(30)) code[Below(code.size())] = "a -\xC8"[Below(4)];
    return code;
  }

  std::string DateText() {
    const int year =
        Chance(50) ? static_cast<int>(Below(10000)) : 1900 + static_cast<int>(Below(200));
    int month = 1 + static_cast<int>(Below(12));
    int day = 1 + static_cast<int>(Below(Chance(20) ? 31 : DaysInMonth(year, month)));
    // 29 February of any year, leap or not.
    if (Chance(20)) month = 2, day = 29;
    std::string text = DateToText({year, month, day});
    if (Chance(8)) {
      static constexpr std::string_view kChars = "0123456789/-. a";
      const std::size_t at = Below(text.size() + 1);
      switch (Below(3)) {
        case 0:
          if (at < text.size()) text[at] = kChars[Below(kChars.size())];
          break;
        case 1:
          if (at < text.size()) text.erase(at, 1);
          break;
        default:
          text.insert(at, 1, kChars[Below(kChars.size())]);
      }
    }
    return text;
  }

 private:
  std::size_t Below(std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_);
  }
  bool Chance(std::size_t oneIn) { return Below(oneIn) == 0; }

  std::mt19937 random_;
};

// The result, or the exception's message.
template <typename Compute>
std::string Outcome(Compute compute) {
  try {
    return compute();
  } catch (const DateConversionError& e) {
    return std::string("DateConversionError: ") + e.what();
  }
}

std::string DateOutcome(CalendarDate (*read)(const std::string&), const std::string& text) {
  return Outcome([&] {
    const CalendarDate d = read(text);
    return std::to_string(d.year) + "-" + std::to_string(d.month) + "-" + std::to_string(d.day);
  });
}

TEST(FiscalCodeReferenceTest, SameResultsAndErrorsAsTheEarlierImplementations) {
  SetTodayForTesting({2026, 6, 15});
  RandomPerson person(20261208);
  for (const char* pattern : {"dd/MM/yyyy", "d/M/yyyy", "yyyy-MM-dd", "M.d.yy", "yy MM dd"}) {
    SetShortDateFormat(pattern);
    const int count = std::string(pattern) == "dd/MM/yyyy" ? 100000 : 20000;
    for (int k = 0; k < count; ++k) {
      const std::string surname = person.Name(), name = person.Name();
      const std::string date = person.DateText(), sex = person.Sex();
      const std::string place = person.Municipality();
      // The plain version lets a long municipality code make up for an empty
      // surname or name part; a code without one is no code, so only the
      // usual lengths are compared with it.
      if (place.size() <= 5) {
        ASSERT_EQ(Outcome([&] { return ComputeFiscalCode(surname, name, date, sex, place); }),
                  Outcome([&] { return ReferenceFiscalCode(surname, name, date, sex, place); }))
            << pattern << " [" << surname << "] [" << name << "] [" << date << "] [" << sex << "] ["
            << place << "]";
      }
      ASSERT_EQ(Outcome([&] { return ComputeFiscalCode(surname, name, date, sex, place); }),
                Outcome([&] { return PreviousFiscalCode(surname, name, date, sex, place); }))
          << pattern << " [" << surname << "] [" << name << "] [" << date << "] [" << sex << "] ["
          << place << "]";
      ASSERT_EQ(DateOutcome(TextToDate, date), DateOutcome(ReferenceTextToDate, date))
          << pattern << " " << date;
      // With the date already read: the same code, also when appended.
      CalendarDate born;
      try {
        born = TextToDate(date);
      } catch (const DateConversionError&) {
        continue;
      }
      const std::string code = ComputeFiscalCode(surname, name, date, sex, place);
      ASSERT_EQ(ComputeFiscalCode(std::string_view(surname), name, born, sex, place), code)
          << pattern << " [" << surname << "] [" << name << "] [" << date << "]";
      std::string appended = "x,";
      ASSERT_EQ(AppendFiscalCode(surname, name, born, sex, place, appended), code != kErrorCode);
      ASSERT_EQ(appended, std::string("x,").append(code));
    }
  }
  SetShortDateFormat("dd/MM/yyyy");
  ClearTodayForTesting();
}

}  // namespace
