#include "storage/archive/archive_find.h"

#include <cctype>
#include <vector>

#include "engine/ascii_case.h"
#include "engine/date_reading.h"
#include "engine/short_date.h"
#include "engine/typed_code.h"
#include "storage/archive/archive.h"
#include "storage/table/tlb_csv.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t start = text.find_first_not_of(" \t\r\n", at);
    if (start == std::string_view::npos) break;
    const std::size_t end = std::min(text.find_first_of(" \t\r\n", start), text.size());
    words.emplace_back(text.substr(start, end - start));
    at = end;
  }
  return words;
}

// A code being typed, as far as it goes: six letters, then the year's two
// digits, the month's letter, the day's two digits, the place's letter and
// three digits and the check letter, any digit written as its homocode
// letter; some digit (or homocode letter) typed, so that "ROSSI 1975" and
// "ROSSINI 1976" stay a name and a year.
bool IsCodeStart(std::string_view code) {
  constexpr std::string_view kForm = "LLLLLLDDMDDLDDDL";
  constexpr std::string_view kMonths = "ABCDEHLMPRST";
  constexpr std::string_view kHomocodes = "LMNPQRSTUV";
  if (code.size() <= 6 || code.size() > kForm.size()) return false;
  for (std::size_t i = 0; i < code.size(); ++i) {
    const char c = code[i];
    const bool fits = kForm[i] == 'L' ? c >= 'A' && c <= 'Z'
                      : kForm[i] == 'M'
                          ? kMonths.find(c) != std::string_view::npos
                          : IsDigit(c) || kHomocodes.find(c) != std::string_view::npos;
    if (!fits) return false;
  }
  return true;
}

// A word of digits and date separators.
bool IsDateWord(std::string_view word) {
  return !word.empty() && IsDigit(word.front()) &&
         word.find_first_not_of("0123456789/-.") == std::string_view::npos;
}

// The date key the word stands for, yyyymmdd or yyyy; empty while it is
// still being typed.
std::string DateKey(const std::string& word) {
  std::size_t run = 0, longest = 0;
  for (const char c : word) {
    run = IsDigit(c) ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  if (word.size() == 4 && longest == 4) return word;
  CalendarDate date;
  if (longest != 4 || !(ReadDate(word, DateRules::Pattern(ShortDateFormat()), date) ||
                        ReadDate(word, DateRules::Iso(), date))) {
    return {};
  }
  return DayKey(date);
}

std::string Joined(const std::vector<std::string>& folded, std::size_t from, std::size_t to) {
  std::string joined;
  for (std::size_t i = from; i < to; ++i) joined += folded[i];
  return joined;
}

}  // namespace

ArchiveFind::ArchiveFind(const TLbCsv& table, ArchiveTextToUtf8 toUtf8)
    : table_(table), toUtf8_(std::move(toUtf8)) {}

ArchiveFind::~ArchiveFind() = default;

RecordOrder& ArchiveFind::Order(std::unique_ptr<RecordOrder>& order, RecordOrder::Key key) {
  if (!order) order = std::make_unique<RecordOrder>(table_, std::move(key));
  return *order;
}

RecordOrder& ArchiveFind::ByCode() {
  return code_ ? *code_
               : Order(code_, ArchiveColumnKey(table_, archive_column::kCodiceFiscale, toUtf8_));
}

void ArchiveFind::AddRange(RecordOrder& order, std::pair<int, int> range, RecordSet& into) {
  for (int position = range.first; position < range.second; ++position) {
    into.Add(order.RecordAt(position));
  }
}

void ArchiveFind::AddNames(const std::vector<std::string>& words, RecordSet& into) {
  std::vector<std::string> folded;
  for (const std::string& word : words) folded.push_back(FoldedNameKey(word));
  RecordOrder& bySurname = BySurname();
  RecordOrder& byName = ByName();
  const std::size_t count = folded.size();
  // All the words the start of a surname, or of a name; then every way of
  // cutting them into a first part, whole, and a second, begun: the
  // surname then the name, or the name then the surname.
  const std::string all = Joined(folded, 0, count);
  AddRange(bySurname, bySurname.PrefixRange(all), into);
  AddRange(byName, byName.PrefixRange(all), into);
  for (std::size_t cut = 1; cut < count; ++cut) {
    const std::string key = Joined(folded, 0, cut) + kKeyJoint + Joined(folded, cut, count);
    AddRange(bySurname, bySurname.PrefixRange(key), into);
    AddRange(byName, byName.PrefixRange(key), into);
  }
}

RecordOrder& ArchiveFind::BySurname() {
  return surnameFirst_ ? *surnameFirst_
                       : Order(surnameFirst_, ArchivePersonKey(table_, false, toUtf8_));
}

RecordOrder& ArchiveFind::ByName() {
  return nameFirst_ ? *nameFirst_ : Order(nameFirst_, ArchivePersonKey(table_, true, toUtf8_));
}

RecordOrder& ArchiveFind::ByDate() {
  return date_ ? *date_ : Order(date_, ArchiveColumnKey(table_, archive_column::kData, toUtf8_));
}

void ArchiveFind::Prepare() {
  for (RecordOrder* order : {&BySurname(), &ByName(), &ByCode(), &ByDate()}) order->Size();
}

RecordSet ArchiveFind::Search(std::string_view typed) {
  const int records = table_.Active() ? table_.RecordCount() : 0;
  RecordSet found(records);
  const std::string code = NormalizeTypedCode(typed);
  if (records == 0 || code.empty()) return found;
  if (IsCodeStart(code)) {
    AddRange(ByCode(), ByCode().PrefixRange(code), found);
    return found;
  }
  std::vector<std::string> names;
  std::string born;
  bool said = false;
  for (const std::string& word : Words(typed)) {
    if (IsDateWord(word)) {
      const std::string key = DateKey(word);
      if (!key.empty()) born = key, said = true;
    } else if (!FoldedNameKey(word).empty()) {
      names.push_back(word);
      said = true;
    }
  }
  if (!said) return found;
  if (!names.empty()) {
    AddNames(names, found);
    if (names.size() == 1) {
      AddRange(ByCode(), ByCode().PrefixRange(UpperAscii(names[0])), found);
    }
  }
  if (!born.empty()) {
    RecordOrder& byDate = ByDate();
    RecordSet thatDay(records);
    AddRange(byDate, byDate.PrefixRange(born), thatDay);
    if (names.empty()) return thatDay;
    found.KeepCommon(thatDay);
  }
  return found;
}
