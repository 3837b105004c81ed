#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/calendar_date.h"
#include "storage/place_lookup.h"
#include "storage/tlbcsv_observer.h"

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
// with ShowPlace). They go through an index made once per opening.
class Places : public TLbCsvObserver {
 public:
  explicit Places(TLbCsv& table);
  ~Places() override;
  Places(const Places&) = delete;
  Places& operator=(const Places&) = delete;

  TLbCsv& Table() const { return table_; }

  // Every name once, in file order.
  std::vector<std::string> Names();

  // The place typed (UTF-8; letters folded as a typed municipality is, so
  // "forlì" finds FORLI') as it was on `date`. Names are compared whole.
  PlaceLookup Find(std::string_view typed, const CalendarDate& date);
  // The same for a cadastral code, compared exactly.
  PlaceLookup FindCode(std::string_view code, const CalendarDate& date);
  // A cadastral code whatever the date: its record still open, or else the
  // one that ended last.
  PlaceLookup FindCode(std::string_view code);

  void DataEvent(TLbCsv& table, TDataEvent event) override;

 private:
  // A record, its days as yyyymmdd numbers (kNoDay for no bound) and whether
  // it holds the official name: small, since thousands are made at start.
  struct Entry {
    std::int32_t record;  // 1-based
    std::int32_t from;
    std::int32_t to;
    bool official;

    bool Contains(std::int32_t day) const {
      return (from == kNoDay || from <= day) && (to == kNoDay || day <= to);
    }
    PlacePeriod Period() const;
  };
  static constexpr std::int32_t kNoDay = -1;
  // A name or a code, as a stretch of keys_, and the entry of its record.
  struct Slot {
    std::uint32_t at;
    std::uint32_t size;
    std::uint32_t entry;
  };
  // Sorted by key, the slots of one key in file order.
  using Index = std::vector<Slot>;

  void BuildIndex();
  void IndexCodes();
  void SortCodes();
  Slot Keep(std::string_view key, std::uint32_t entry);
  std::string_view KeyOf(const Slot& slot) const;
  std::span<const Slot> SlotsOf(const Index& index, std::string_view key) const;
  // The lookup of `key` among the records the index gives for it.
  PlaceLookup Read(const Index& index, std::string_view key, const CalendarDate& date);
  PlaceRecord RecordOf(const Entry& entry) const;
  void RequireOpen();

  TLbCsv& table_;
  bool indexed_ = false;
  bool codesIndexed_ = false;
  bool namesInFileOrder_ = false;
  int nameColumn_ = -1;
  int codeColumn_ = -1;
  int provinceColumn_ = -1;
  // Every name and code read, one after another: one block, not a string each.
  std::string keys_;
  std::vector<Entry> entries_;  // one a record, in file order
  Index byName_;
  Index byCode_;
};
