#include "engine/short_date.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "engine/date_reading.h"
#include "engine/today.h"

namespace {

class ShortDateTest : public ::testing::Test {
 protected:
  void TearDown() override {
    SetShortDateFormat("dd/MM/yyyy");
    ClearTodayForTesting();
  }
};

TEST_F(ShortDateTest, WritesAndReadsBackInEachPattern) {
  struct Case {
    const char* pattern;
    CalendarDate date;
    const char* text;
  };
  const Case cases[] = {
      {"dd/MM/yyyy", {1980, 1, 5}, "05/01/1980"},  {"M/d/yyyy", {1975, 10, 31}, "10/31/1975"},
      {"yyyy-MM-dd", {2001, 12, 9}, "2001-12-09"}, {"d.M.yyyy", {1959, 6, 1}, "1.6.1959"},
      {"dd.MM.yyyy", {2000, 2, 29}, "29.02.2000"}, {"d/M/yy", {1999, 3, 7}, "7/3/99"},
  };
  for (const Case& c : cases) {
    SetShortDateFormat(c.pattern);
    EXPECT_EQ(ShortDateFormat(), c.pattern);
    EXPECT_EQ(DateToText(c.date), c.text) << c.pattern;
    EXPECT_EQ(TextToDate(c.text), c.date) << c.pattern;
  }
}

TEST_F(ShortDateTest, ReadsShortAndLongFields) {
  SetShortDateFormat("dd/MM/yyyy");
  EXPECT_EQ(TextToDate("5/1/1980"), (CalendarDate{1980, 1, 5}));
  EXPECT_EQ(TextToDate("05/01/1980"), (CalendarDate{1980, 1, 5}));
  SetShortDateFormat("M/d/yyyy");
  EXPECT_EQ(TextToDate("01/05/1980"), (CalendarDate{1980, 1, 5}));
}

TEST_F(ShortDateTest, TwoDigitYearsAreTheLatestNotAfterToday) {
  SetTodayForTesting({2026, 12, 8});
  struct Case {
    const char* pattern;
    const char* text;
    CalendarDate date;
  };
  const Case cases[] = {
      {"dd/MM/yy", "15/03/70", {1970, 3, 15}},     {"dd/MM/yy", "08/12/26", {2026, 12, 8}},
      {"dd/MM/yy", "09/12/26", {1926, 12, 9}},     {"dd/MM/yy", "01/01/26", {2026, 1, 1}},
      {"dd/MM/yy", "31/12/27", {1927, 12, 31}},    {"dd/MM/yy", "01/01/00", {2000, 1, 1}},
      {"dd/MM/yy", "29/02/00", {2000, 2, 29}},     {"dd/MM/yyyy", "15/03/70", {1970, 3, 15}},
      {"yy-MM-dd", "99-12-31", {1999, 12, 31}},    {"M/d/yy", "12/9/26", {1926, 12, 9}},
      {"dd/MM/yyyy", "15/03/2070", {2070, 3, 15}},  // four digits are taken as written
  };
  for (const Case& c : cases) {
    SetShortDateFormat(c.pattern);
    EXPECT_EQ(TextToDate(c.text), c.date) << c.pattern << " " << c.text;
  }
  // The century follows today: on 1 March 2000, 29/02/00 is the day before.
  SetShortDateFormat("dd/MM/yy");
  SetTodayForTesting({2000, 3, 1});
  EXPECT_EQ(TextToDate("29/02/00"), (CalendarDate{2000, 2, 29}));
  SetTodayForTesting({2000, 2, 28});
  EXPECT_THROW(TextToDate("29/02/00"), DateConversionError);  // 1900 was not a leap year
  SetTodayForTesting({2026, 12, 8});
  EXPECT_THROW(TextToDate("29/02/26"), DateConversionError);
  EXPECT_EQ(TextToDate("29/02/24"), (CalendarDate{2024, 2, 29}));
  ClearTodayForTesting();
}

TEST(DateReadingTest, EachRuleSetReadsItsOwnForms) {
  SetTodayForTesting({2026, 12, 8});
  const DateRules slashes = DateRules::Pattern("dd/MM/yyyy");
  const DateRules dashes = DateRules::Pattern("yyyy-MM-dd");
  struct Case {
    const char* text;
    std::optional<CalendarDate> slashes, dashes, iso, commandLine;
  };
  const std::optional<CalendarDate> none;
  const CalendarDate march15{1975, 3, 15};
  const Case cases[] = {
      {"15/03/1975", march15, none, none, march15},
      {"5/3/75", CalendarDate{1975, 3, 5}, none, none, CalendarDate{1975, 3, 5}},
      {"1975-03-15", none, march15, march15, march15},
      {"1975-3-15", none, march15, none, none},
      {"01/01/0000", CalendarDate{0, 1, 1}, none, none, none},
      {"0000-01-01", none, CalendarDate{0, 1, 1}, CalendarDate{0, 1, 1}, none},
      {"-001-01-01", none, none, none, none},
      {"1975-02-29", none, none, none, none},
      // The command line reads "-" and "." as offices write them, both alike.
      {"15-03-1975", none, none, none, march15},
      {"15.3.1975", none, none, none, march15},
      {"15.03.75", none, none, none, march15},
      {"5-3-75", none, none, none, CalendarDate{1975, 3, 5}},
      {"15-03.1975", none, none, none, none},
      {"15.03/1975", none, none, none, none},
      {"15-03-197", none, none, none, none},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadDate(c.text, slashes), c.slashes) << c.text;
    EXPECT_EQ(ReadDate(c.text, dashes), c.dashes) << c.text;
    EXPECT_EQ(ReadDate(c.text, kIsoDates), c.iso) << c.text;
    EXPECT_EQ(ReadDate(c.text, kCommandLineDates), c.commandLine) << c.text;
  }
  ClearTodayForTesting();
}

TEST(TodayTest, SetForTestingUntilCleared) {
  SetTodayForTesting({1999, 7, 4});
  EXPECT_EQ(Today(), (CalendarDate{1999, 7, 4}));
  ClearTodayForTesting();
  const CalendarDate today = Today();
  EXPECT_GE(today.year, 2024);
  EXPECT_TRUE(today.month >= 1 && today.month <= 12 && today.day >= 1 &&
              today.day <= DaysInMonth(today.year, today.month));
}

TEST_F(ShortDateTest, BadTextsFailInEveryPattern) {
  struct Case {
    const char* pattern;
    const char* texts[11];
  };
  const Case cases[] = {
      {"dd/MM/yyyy",
       {"", "31/04/2001", "29/02/1900", "01-01-2001", "01/01/2001x", " 01/01/2001", "1/1/123",
        "001/1/2001",
        // Full width with a byte just below or above the digits in a digit's place.
        "26/03/1.06", "2-/03/1990", "26/03/199:"}},
      {"M/d/yyyy",
       {"13/1/2001", "0/1/2001", "2/30/2001", "1/0/2001", "1/1", "1/1/2001/", "a/1/2001",
        "1.1.2001"}},
      {"yyyy-MM-dd",
       {"01-01-2001", "2001-1-1-", "2001/01/01", "2001-00-10", "2001-01-32", "-2001-01-01",
        "20011-01-01", "2001--01"}},
      {"d.M.yyyy",
       {"1.13.2001", "32.1.2001", "1.1.", "..", "1. 1.2001", "1.1.2001.", "+1.1.2001", "1.1.20O1"}},
  };
  for (const Case& c : cases) {
    SetShortDateFormat(c.pattern);
    for (const char* text : c.texts) {
      if (text == nullptr) break;
      try {
        TextToDate(text);
        ADD_FAILURE() << c.pattern << " read '" << text << "'";
      } catch (const DateConversionError& e) {
        EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + "' is not a valid date");
      }
    }
  }
}

TEST_F(ShortDateTest, RefusesPatternsItCannotReadBack) {
  for (const char* pattern : {"", "dd/MM", "ddd/MM/yyyy", "dd/MMM/yyyy", "dd/MM/y", "dd/MM-yyyy",
                              "dd/dd/yyyy", "dd1MM1yyyy", "dd/MM/yyyy "}) {
    EXPECT_THROW(SetShortDateFormat(pattern), std::invalid_argument) << pattern;
  }
  EXPECT_EQ(ShortDateFormat(), "dd/MM/yyyy");  // a refused pattern changes nothing
}

TEST_F(ShortDateTest, NormalisesLocalePatterns) {
  struct Case {
    const char* locale;
    const char* normalised;
  };
  const Case cases[] = {
      {"dd/MM/yy", "dd/MM/yyyy"},          // it_IT
      {"M/d/yy", "M/d/yyyy"},              // en_US
      {"dd.MM.yy", "dd.MM.yyyy"},          // de_DE
      {"d MMM yyyy", "d/MM/yyyy"},         // C
      {"yy-MM-dd", "yyyy-MM-dd"},          // two-digit year first
      {"dd/MM/yyyy", "dd/MM/yyyy"},        // already numeric
      {"dddd, d MMMM yyyy", "d/MM/yyyy"},  // weekday dropped
      {"d. M. yy", "d.M.yyyy"},            // separator followed by a blank
      {"y/M/d", "yyyy/M/d"},
      {"", "dd/MM/yyyy"},
      {"HH:mm", "dd/MM/yyyy"},
  };
  for (const Case& c : cases) {
    const std::string pattern = NormaliseShortDatePattern(c.locale);
    EXPECT_EQ(pattern, c.normalised) << c.locale;
    EXPECT_NO_THROW(SetShortDateFormat(pattern)) << pattern;
  }
}

}  // namespace
