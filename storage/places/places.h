// The register of places: places by name or code, on a date.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/calendar_date.h"
#include "storage/places/place_lookup.h"
#include "storage/table/tlb_csv_observer.h"

class TableFileScan;
class TLbCsv;

// The columns of the municipality table the program reads. "Dal" and "Al"
// are the first and the last day a place had its code (ISO dates, both
// included; "Al" empty while it still has it). A table without them knows no
// dates: each of its places is taken as valid on every day.
namespace place_column {
inline constexpr const char* kName = "comuni";
inline constexpr const char* kCode = "Code";
inline constexpr const char* kProvince = "Prov";
inline constexpr const char* kFrom = "Dal";
inline constexpr const char* kTo = "Al";
// Empty for the official name of the period; "altra" for the name in the
// other official language of the place (BOZEN for BOLZANO), which reading a
// code never gives when the official name is there.
inline constexpr const char* kLanguage = "Lingua";
}  // namespace place_column

// The municipality table as a register of places: every Italian municipality
// and foreign state or territory that ever had a cadastral code, with its
// province and the days it had that code. The one way a place is found, by
// the window, the command line and the rest of storage: lookups answer by
// value and never move the table's cursor (the window shows what they give
// with ShowPlace). They go through indexes made once per opening.
class Places : public TLbCsvObserver {
 public:
  explicit Places(TLbCsv& table);
  ~Places() override;
  Places(const Places&) = delete;
  Places& operator=(const Places&) = delete;

  TLbCsv& Table() const { return table_; }

  // For a caller that looks a code or two up (vivezecf decodifica): the
  // table, closed, stays closed and its file is read up to the header,
  // which is refused as opening the table would refuse it. The first code
  // looked up is then read from the rest of the file, only the lines
  // holding it kept; any other lookup, or a second code, opens the table
  // first. An open table is left as it is.
  void OpenForOneCode();

  // Every name once, in file order.
  std::vector<std::string> Names();

  // The place typed (UTF-8) as it was on `date`, found in steps, the first
  // that finds any name deciding: the text folded (so "forlì" finds FORLI')
  // with its spaces tidied, or a cadastral code; then read without spaces,
  // hyphens and apostrophes; "S." read as SAN, SANTA...; either part of
  // "A/B" or "A - B"; the common forms built in. A name also stands for its
  // homonyms suffixed by province ("CASTRO" for "CASTRO (BG)"), and "NAME
  // (PROV)" or "NAME (CODE)" picks one. Places are counted by code: two in
  // use on the date (or one in another province begun after it) are
  // ambiguous; none is NotInUseOnDate.
  PlaceLookup Find(std::string_view typed, const CalendarDate& date);
  // The names offered for a text being typed: those whose reading by the
  // same steps begins with it, and those its common forms stand for, each
  // once, in byte order, at most `most`.
  std::vector<std::string> Suggest(std::string_view typed, std::size_t most);
  // A cadastral code, compared exactly, as it was on `date`.
  PlaceLookup FindCode(std::string_view code, const CalendarDate& date);
  // A cadastral code whatever the date: its record still open, or else the
  // one that ended last.
  PlaceLookup FindCode(std::string_view code);

  void DataEvent(TLbCsv& table, TDataEvent event) override;

 private:
  // A record: its days as yyyymmdd numbers (kNoDay for no bound), where its
  // name, code and province stand in keys_, and whether it holds the
  // official name. Small, since thousands are made at start.
  struct Entry {
    std::int32_t record;  // 1-based
    std::int32_t from;
    std::int32_t to;
    std::uint32_t nameAt;
    std::uint32_t nameSize;
    std::uint32_t codeSize;
    std::uint32_t provinceSize;
    bool official;

    bool Contains(std::int32_t day) const {
      return (from == kNoDay || from <= day) && (to == kNoDay || day <= to);
    }
    PlacePeriod Period() const;
  };
  static constexpr std::int32_t kNoDay = -1;
  static std::int32_t DayOf(const CalendarDate& date) {
    return date.year * 10000 + date.month * 100 + date.day;
  }
  static CalendarDate DateOf(std::int32_t day) { return {day / 10000, day / 100 % 100, day % 100}; }
  // A name or a code, as a stretch of keys_, and the entry of its record.
  struct Slot {
    std::uint32_t at;
    std::uint32_t size;
    std::uint32_t entry;
  };
  // Sorted by key, the slots of one key in file order.
  using Index = std::vector<Slot>;

  // What the steps gathered: entries, in file order, each once.
  using Found = std::vector<std::uint32_t>;

  // Where the values the index keeps stand in a line.
  struct Columns {
    int name = -1, code = -1, province = -1, from = -1, to = -1, language = -1, last = -1;
  };
  // Of `table`: the table, or the header read by OpenForOneCode.
  Columns TableColumns(TLbCsv& table);
  void ClearIndex();
  void AddEntry(int record, std::string_view line, const Columns& columns,
                std::vector<std::string>& values);
  // The entries of a code, from the lines holding it or the index.
  Found WithCode(std::string_view code);
  // The entries of `code` read from the lines holding it, the index left
  // unbuilt; false when the index is (or should now be) built instead.
  bool ScanForCode(std::string_view code, Found& found);
  void BuildIndex();
  void IndexCodes();
  void SortCodes();
  void IndexLoosely();
  std::string_view NameOf(const Entry& entry) const;
  std::string_view CodeOf(const Entry& entry) const;
  std::string_view ProvinceOf(const Entry& entry) const;
  void Add(std::span<const Slot> slots, Found& found) const;
  // The steps (places_steps.cpp).
  Found Named(std::string_view tidy);
  Found NamedPlainly(std::string_view tidy);
  Found Exactly(std::string_view name) const;
  Found Loosely(std::string_view tidy);
  Found ByCommonForm(std::string_view tidy);
  // The place the entries found stand for on the date.
  PlaceLookup Decide(Found found, const CalendarDate& date) const;
  std::string_view KeyOf(const Slot& slot) const;
  std::span<const Slot> SlotsOf(const Index& index, std::string_view key) const;
  PlaceRecord RecordOf(const Entry& entry) const;
  void RequireOpen();

  TLbCsv& table_;
  // After OpenForOneCode, until the table opens: its file read up to the
  // header, and the header as a table of no records, which checks it and
  // names the columns as the whole table would.
  std::unique_ptr<TableFileScan> unread_;
  std::unique_ptr<TLbCsv> header_;
  bool indexed_ = false;
  bool codesIndexed_ = false;
  int scans_ = 0;            // codes read by ScanForCode since the table opened
  std::string scannedCode_;  // the last, and the entries it found
  Found scannedFound_;
  bool namesInFileOrder_ = false;
  int codeColumn_ = -1;
  // Every name and code read, one after another: one block, not a string each.
  std::string keys_;
  std::vector<Entry> entries_;  // one a record, in file order
  Index byName_;
  Index byBase_;  // names suffixed by province, by the name before the suffix
  Index byCode_;
  bool looselyIndexed_ = false;
  Index byLoose_;  // names and the bases of byBase_, as LoosePlaceText reads them
};
