#include "engine/today.h"

#include <atomic>
#include <ctime>

namespace {

// The date set by a test as year * 10000 + month * 100 + day; 0 when none.
std::atomic<int> testToday{0};

}  // namespace

CalendarDate Today() {
  if (const int set = testToday.load(std::memory_order_relaxed)) {
    return {set / 10000, set / 100 % 100, set % 100};
  }
  // The local date, as the user's calendar shows it; worked out once a
  // second, since a list asks for every row.
  thread_local std::time_t known = -1;
  thread_local CalendarDate date;
  const std::time_t now = std::time(nullptr);
  if (now == known) return date;
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  known = now;
  date = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
  return date;
}

void SetTodayForTesting(const CalendarDate& date) {
  testToday.store(date.year * 10000 + date.month * 100 + date.day, std::memory_order_relaxed);
}

void ClearTodayForTesting() { testToday.store(0, std::memory_order_relaxed); }

int LatestYearNotAfterToday(int twoDigits, int month, int day) {
  const CalendarDate today = Today();
  int year = today.year - (today.year % 100 - twoDigits + 100) % 100;
  if (CalendarDate{year, month, day} > today) year -= 100;
  return year;
}
