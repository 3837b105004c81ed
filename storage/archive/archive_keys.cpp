#include "storage/archive/archive_keys.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "engine/ascii_case.h"
#include "engine/date_reading.h"
#include "engine/letter_folding.h"
#include "engine/short_date.h"
#include "storage/archive/archive.h"
#include "storage/table/record_format.h"
#include "storage/table/table_file.h"
#include "storage/table/tlb_csv.h"

namespace {

// The columns of the header last seen, found again when the header changes
// (an archive opened anew may order them otherwise).
class HeaderColumns {
 public:
  HeaderColumns(const TLbCsv& table, std::vector<std::string> names)
      : table_(table), names_(std::move(names)), at_(names_.size(), -1) {}

  int At(std::size_t i) {
    const std::string_view header = table_.Lines().LineCount() > 0 ? table_.Lines().Line(0) : "";
    if (header != header_) {
      header_ = header;
      const std::vector<std::string> names = SplitHeader(header);
      for (std::size_t n = 0; n < names_.size(); ++n) at_[n] = FindColumn(names, names_[n]);
    }
    return at_[i];
  }

 private:
  const TLbCsv& table_;
  std::vector<std::string> names_;
  std::vector<int> at_;
  std::string header_;
};

void AppendFoldedName(std::string_view stored, const ArchiveTextToUtf8& toUtf8, std::string& key) {
  key += toUtf8 ? FoldedNameKey(toUtf8(stored)) : FoldedNameKey(stored);
}

}  // namespace

std::string DayKey(const CalendarDate& date) {
  std::string key(8, '0');
  int number = date.year * 10000 + date.month * 100 + date.day;
  for (std::size_t i = 8; i-- > 0 && number > 0; number /= 10)
    key[i] = static_cast<char>('0' + number % 10);
  return key;
}

std::string FoldedNameKey(std::string_view utf8) {
  std::string folded;
  // Most names are plain letters: folded here, a million of them in a blink.
  if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return (c & 0x80) == 0; })) {
    folded.reserve(utf8.size());
    for (const char c : utf8) {
      if (c >= 'A' && c <= 'Z') folded += c;
      if (c >= 'a' && c <= 'z') folded += static_cast<char>(c - 'a' + 'A');
    }
    return folded;
  }
  folded = FoldNameLetters(utf8);
  std::erase_if(folded, [](char c) { return c < 'A' || c > 'Z'; });
  return folded;
}

RecordOrder::Key ArchiveColumnKey(const TLbCsv& table, std::string_view column,
                                  ArchiveTextToUtf8 toUtf8) {
  using namespace archive_column;
  const std::string name(column);
  auto columns = std::make_shared<HeaderColumns>(table, std::vector<std::string>{name});
  auto value = std::make_shared<std::string>();
  const bool folded = EqualIgnoringCase(name, kCognome) || EqualIgnoringCase(name, kNome) ||
                      EqualIgnoringCase(name, kComune);
  if (EqualIgnoringCase(name, kData)) {
    return [columns, value](std::string_view line, std::string& key) {
      key.clear();
      CalendarDate date;
      if (!ReadDate(ValueAt(line, columns->At(0), *value), DateRules::Pattern(ShortDateFormat()),
                    date)) {
        return;
      }
      key = DayKey(date);
    };
  }
  return [columns, value, folded, toUtf8](std::string_view line, std::string& key) {
    key.clear();
    const std::string& text = ValueAt(line, columns->At(0), *value);
    if (folded) {
      AppendFoldedName(text, toUtf8, key);
    } else {
      key = text;
    }
  };
}

RecordOrder::Key ArchivePersonKey(const TLbCsv& table, bool nameFirst, ArchiveTextToUtf8 toUtf8) {
  using namespace archive_column;
  std::vector<std::string> names{kCognome, kNome};
  if (nameFirst) std::swap(names[0], names[1]);
  auto columns = std::make_shared<HeaderColumns>(table, std::move(names));
  auto value = std::make_shared<std::string>();
  return [columns, value, toUtf8](std::string_view line, std::string& key) {
    key.clear();
    AppendFoldedName(ValueAt(line, columns->At(0), *value), toUtf8, key);
    key += kKeyJoint;
    AppendFoldedName(ValueAt(line, columns->At(1), *value), toUtf8, key);
  };
}
