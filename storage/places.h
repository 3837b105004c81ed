#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/calendar_date.h"
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
}  // namespace place_column

// The days a record of the table stands for; an empty end is no end.
struct PlacePeriod {
  std::optional<CalendarDate> from;
  std::optional<CalendarDate> to;

  bool Contains(const CalendarDate& date) const {
    return (!from || *from <= date) && (!to || date <= *to);
  }
};

// One record of the table, read without moving the cursor.
struct PlaceRecord {
  int record = 0;  // 1-based
  std::string name;
  std::string code;
  std::string province;
  PlacePeriod period;
};

enum class PlaceMatch {
  Found,           // the record valid on the date is current
  UnknownName,     // no record of that name (or code): the last record is current
  NotInUseOnDate,  // records of that name, none valid then: the latest of them is current
};

// The municipality table as a register of places: every Italian municipality
// and foreign state or territory that ever had a cadastral code, with its
// province and the days it had that code. Lookups move the table's cursor,
// since the current record is what the window shows and computes with; they
// go through an index made once per opening, so a lookup is one move.
class Places : public TLbCsvObserver {
 public:
  explicit Places(TLbCsv& table);
  ~Places() override;
  Places(const Places&) = delete;
  Places& operator=(const Places&) = delete;

  TLbCsv& Table() const { return table_; }

  // Every name once, in file order. The last record is current afterwards.
  std::vector<std::string> Names();

  // Makes the record of the place typed (UTF-8; letters folded as a typed
  // municipality is, so "forlì" finds FORLI') that was valid on `date`
  // current. Names are compared whole.
  PlaceMatch FindOn(std::string_view typed, const CalendarDate& date);
  // The same for a cadastral code, compared exactly.
  PlaceMatch FindCodeOn(std::string_view code, const CalendarDate& date);

  // The same lookups without moving the cursor, for callers that show no
  // current record (the command line, the code check): the record found, or
  // none, with the match as `FindOn` gives it.
  PlaceMatch LookUp(std::string_view typed, const CalendarDate& date, PlaceRecord* found);
  PlaceMatch LookUpCode(std::string_view code, const CalendarDate& date, PlaceRecord* found);

  // The current record.
  std::string Name() const;
  std::string Code() const;
  std::string Province() const;
  PlacePeriod Period() const;

  // The periods of the records of a stored name, in file order.
  std::vector<PlacePeriod> PeriodsOf(const std::string& name);
  // What the user is told when a place did not exist on the birth date:
  // "<NAME>: nessun codice in uso alla data di nascita (in uso dal <Dal> al
  // <Al>; dal <Dal>)", dates in the short date format.
  std::string NotInUseMessage(const std::string& name);

  void DataEvent(TLbCsv& table, TDataEvent event) override;

 private:
  // A record and its days as yyyymmdd numbers, kNoDay for no bound: twelve
  // bytes, since ten thousand of them are made at every start.
  struct Entry {
    std::int32_t record;  // 1-based
    std::int32_t from;
    std::int32_t to;

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
  Slot Keep(std::string_view key, std::uint32_t entry);
  std::string_view KeyOf(const Slot& slot) const;
  std::span<const Slot> SlotsOf(const Index& index, std::string_view key) const;
  // The entry of `key` valid on `date`, or its latest one; none when unknown.
  PlaceMatch Match(const Index& index, const std::string& key, const CalendarDate& date,
                   const Entry** entry) const;
  PlaceMatch MoveTo(const Index& index, const std::string& key, const CalendarDate& date);
  PlaceMatch Read(const Index& index, const std::string& key, const CalendarDate& date,
                  PlaceRecord* found);
  void RequireOpen();
  void MoveToRecord(int record);

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
