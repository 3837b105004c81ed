#include "storage/places/places.h"

#include <algorithm>
#include <limits>

#include "engine/date_reading.h"
#include "engine/letter_folding.h"
#include "engine/short_date.h"
#include "storage/places/place_text.h"
#include "storage/table/record_format.h"
#include "storage/table/table_file.h"
#include "storage/table/table_file_scan.h"
#include "storage/table/tlb_csv.h"

using namespace place_column;

namespace {

// An ISO date, yyyy-mm-dd, as the table writes it; none for an empty or
// unreadable text, which bounds nothing.
std::optional<CalendarDate> IsoDate(std::string_view text) { return ReadDate(text, kIsoDates); }

// The index of a column, or -1 when the table has none of that name.
int ColumnOf(TLbCsv& table, const char* name) {
  return FindColumn(SplitHeader(table.Lines().Line(0)), name);
}

}  // namespace

PlacePeriod Places::Entry::Period() const {
  PlacePeriod period;
  if (from != kNoDay) period.from = DateOf(from);
  if (to != kNoDay) period.to = DateOf(to);
  return period;
}

Places::Places(TLbCsv& table) : table_(table) { table_.Attach(this); }

Places::~Places() { table_.Detach(this); }

void Places::DataEvent(TLbCsv&, TDataEvent event) {
  // The table read-only never changes while open; a new opening may hold
  // another file.
  if (event == TDataEvent::ActiveChanged || event == TDataEvent::DataSetChanged) {
    indexed_ = false;
    scans_ = 0;
    scannedCode_.clear();
    unread_.reset();
    header_.reset();
  }
}

void Places::OpenForOneCode() {
  if (table_.Active()) return;
  auto scan = std::make_unique<TableFileScan>(table_.TableName());
  auto header = std::make_unique<TLbCsv>(table_.Name());
  header->SetReadOnly(true);
  header->Open(scan->Header() ? TableFile::FromText(*scan->Header()) : TableFile());
  unread_ = std::move(scan);
  header_ = std::move(header);
  scans_ = 0;
  scannedCode_.clear();
}

Places::Columns Places::TableColumns(TLbCsv& table) {
  Columns c;
  c.name = static_cast<int>(table.FieldNamed(kName).Index());
  c.code = ColumnOf(table, kCode);
  c.province = ColumnOf(table, kProvince);
  c.from = ColumnOf(table, kFrom);
  c.to = ColumnOf(table, kTo);
  c.language = ColumnOf(table, kLanguage);
  c.last = std::max({c.name, c.code, c.province, c.from, c.to, c.language});
  codeColumn_ = c.code;
  return c;
}

void Places::ClearIndex() {
  keys_.clear();
  entries_.clear();
  byName_.clear();
  byBase_.clear();
  byCode_.clear();
  byLoose_.clear();
  looselyIndexed_ = false;
  codesIndexed_ = false;
}

void Places::AddEntry(int record, std::string_view line, const Columns& c,
                      std::vector<std::string>& values) {
  // Each line is read once, up to the last column wanted; a line short of
  // values has them empty, as the table gives them.
  std::size_t at = 0;
  std::size_t read = 0;
  while (read < values.size() && ReadValue(line, at, values[read])) ++read;
  for (std::size_t i = read; i < values.size(); ++i) values[i].clear();
  const auto value = [&values](int column) -> std::string_view {
    return column >= 0 ? std::string_view(values[static_cast<std::size_t>(column)])
                       : std::string_view();
  };
  const auto entry = static_cast<std::uint32_t>(entries_.size());
  const auto day = [](std::optional<CalendarDate> date) { return date ? DayOf(*date) : kNoDay; };
  const auto size = [](std::string_view text) { return static_cast<std::uint32_t>(text.size()); };
  const std::string_view name = value(c.name);
  const auto at_name = static_cast<std::uint32_t>(keys_.size());
  entries_.push_back({record, day(IsoDate(value(c.from))), day(IsoDate(value(c.to))), at_name,
                      size(name), size(value(c.code)), size(value(c.province)),
                      value(c.language).empty()});
  byName_.push_back({at_name, size(name), entry});
  keys_.append(name);
  keys_.append(value(c.code));
  keys_.append(value(c.province));
  // "CASTRO (BG)" is found as CASTRO too; "PALAU (EE)" and "GEORGIA
  // (Z136)" only so.
  const SuffixedName suffixed = SplitPlaceSuffix(name);
  if (IsProvinceSuffix(suffixed.suffix)) byBase_.push_back({at_name, size(suffixed.base), entry});
}

bool Places::ScanForCode(std::string_view code, Found& found) {
  // A command that reads a code or two need not index every name first:
  // the lines that hold the code's text are read, and only they. Past a few
  // codes the whole index pays.
  constexpr int kScansBeforeIndexing = 4;
  if (indexed_) return false;
  // Reading a code asks for it more than once.
  if (scans_ > 0 && code == scannedCode_) {
    found = scannedFound_;
    return true;
  }
  // The file is read once: a second code is read from the whole table.
  if (unread_ && scans_ > 0) table_.Open();
  if (scans_ >= kScansBeforeIndexing) return false;
  ++scans_;
  scannedCode_ = code;
  const Columns c = TableColumns(unread_ ? *header_ : table_);
  ClearIndex();
  scannedFound_.clear();
  if (c.code < 0) return true;
  std::vector<std::string> values(static_cast<std::size_t>(c.last) + 1);
  const auto add = [&](std::size_t record, std::string_view line) {
    AddEntry(static_cast<int>(record), line, c, values);
    if (CodeOf(entries_.back()) == code) {
      found.push_back(static_cast<std::uint32_t>(entries_.size() - 1));
    }
  };
  if (unread_) {
    for (const TableFileScan::Line& line : unread_->LinesHolding(code)) add(line.index, line.text);
  } else {
    const TableFile& lines = table_.Lines();
    const auto count = static_cast<std::size_t>(table_.RecordCount());
    for (std::size_t record = 1; record <= count; ++record) {
      const std::string_view line = lines.Line(record);
      if (line.find(code) != std::string_view::npos) add(record, line);
    }
  }
  scannedFound_ = found;
  return true;
}

void Places::BuildIndex() {
  if (indexed_) return;
  const Columns c = TableColumns(table_);
  ClearIndex();
  const int count = table_.RecordCount();
  entries_.reserve(static_cast<std::size_t>(count));
  // Room for the usual names, codes and provinces: growing in steps would
  // copy the keys over and over into memory never touched before.
  keys_.reserve(static_cast<std::size_t>(count) * 32);
  byName_.reserve(static_cast<std::size_t>(count));
  std::vector<std::string> values(static_cast<std::size_t>(c.last) + 1);
  const TableFile& lines = table_.Lines();
  for (int record = 1; record <= count; ++record) {
    AddEntry(record, lines.Line(static_cast<std::size_t>(record)), c, values);
  }
  // By key, and the records of one key in file order.
  const auto before = [this](const Slot& a, const Slot& b) { return KeyOf(a) < KeyOf(b); };
  // The table comes sorted by name: checking is cheaper than sorting again.
  namesInFileOrder_ = std::is_sorted(byName_.begin(), byName_.end(), before);
  if (!namesInFileOrder_) std::stable_sort(byName_.begin(), byName_.end(), before);
  std::stable_sort(byBase_.begin(), byBase_.end(), before);
  // The window starts with names only; codes and loose readings are sorted
  // when first asked for.
  codesIndexed_ = false;
  indexed_ = true;
}

void Places::IndexCodes() {
  if (codesIndexed_) return;
  byCode_.clear();
  if (codeColumn_ >= 0) {
    byCode_.reserve(entries_.size());
    for (std::uint32_t entry = 0; entry < entries_.size(); ++entry) {
      const Entry& e = entries_[entry];
      byCode_.push_back({e.nameAt + e.nameSize, e.codeSize, entry});
    }
    SortCodes();
  }
  codesIndexed_ = true;
}

void Places::SortCodes() {
  // Codes of up to four bytes, as every table has them, sort as numbers: the
  // bytes in order, then the entry, which keeps one code's records in file
  // order. A command reading one code spends most of its time here otherwise.
  std::vector<std::uint64_t> order;
  order.reserve(byCode_.size());
  for (const Slot& slot : byCode_) {
    if (slot.size > 4) {
      std::stable_sort(byCode_.begin(), byCode_.end(),
                       [this](const Slot& a, const Slot& b) { return KeyOf(a) < KeyOf(b); });
      return;
    }
    std::uint64_t key = 0;
    const std::string_view code = KeyOf(slot);
    for (std::size_t i = 0; i < 4; ++i) {
      key = key << 8 | (i < code.size() ? static_cast<unsigned char>(code[i]) : 0U);
    }
    order.push_back(key << 32 | slot.entry);
  }
  std::sort(order.begin(), order.end());
  // Built in entry order, so a slot is found by its entry.
  std::vector<Slot> sorted;
  sorted.reserve(byCode_.size());
  for (const std::uint64_t key : order) sorted.push_back(byCode_[key & 0xFFFFFFFFU]);
  byCode_ = std::move(sorted);
}

void Places::IndexLoosely() {
  if (looselyIndexed_) return;
  byLoose_.clear();
  byLoose_.reserve(entries_.size() + byBase_.size());
  // Slots hold offsets into keys_, so its growing here moves nothing.
  const auto keep = [this](const std::string& loose, std::uint32_t entry) {
    byLoose_.push_back({static_cast<std::uint32_t>(keys_.size()),
                        static_cast<std::uint32_t>(loose.size()), entry});
    keys_.append(loose);
  };
  for (std::uint32_t entry = 0; entry < entries_.size(); ++entry) {
    keep(LoosePlaceText(NameOf(entries_[entry])), entry);
  }
  for (const Slot& base : byBase_) keep(LoosePlaceText(KeyOf(base)), base.entry);
  std::stable_sort(byLoose_.begin(), byLoose_.end(),
                   [this](const Slot& a, const Slot& b) { return KeyOf(a) < KeyOf(b); });
  looselyIndexed_ = true;
}

std::string_view Places::NameOf(const Entry& entry) const {
  return std::string_view(keys_).substr(entry.nameAt, entry.nameSize);
}

std::string_view Places::CodeOf(const Entry& entry) const {
  return std::string_view(keys_).substr(entry.nameAt + entry.nameSize, entry.codeSize);
}

std::string_view Places::ProvinceOf(const Entry& entry) const {
  return std::string_view(keys_).substr(entry.nameAt + entry.nameSize + entry.codeSize,
                                        entry.provinceSize);
}

std::string_view Places::KeyOf(const Slot& slot) const {
  return std::string_view(keys_).substr(slot.at, slot.size);
}

std::span<const Places::Slot> Places::SlotsOf(const Index& index, std::string_view key) const {
  const auto first = std::lower_bound(
      index.begin(), index.end(), key,
      [this](const Slot& slot, std::string_view text) { return KeyOf(slot) < text; });
  const auto last = std::upper_bound(
      first, index.end(), key,
      [this](std::string_view text, const Slot& slot) { return text < KeyOf(slot); });
  return {first, last};
}

PlaceRecord Places::RecordOf(const Entry& entry) const {
  return {entry.record, std::string(NameOf(entry)), std::string(CodeOf(entry)),
          std::string(ProvinceOf(entry)), entry.Period()};
}

void Places::RequireOpen() {
  if (table_.Active()) return;
  if (unread_) {
    table_.Open();
    return;
  }
  // The error any move of a closed table gives.
  table_.First();
}

Places::Found Places::WithCode(std::string_view code) {
  // A table read for one code is opened, when another is asked for, by the
  // scan.
  if (!unread_) RequireOpen();
  Found found;
  if (!ScanForCode(code, found)) {
    BuildIndex();
    IndexCodes();
    Add(SlotsOf(byCode_, code), found);
  }
  return found;
}

PlaceLookup Places::FindCode(std::string_view code, const CalendarDate& date) {
  return Decide(WithCode(code), date);
}

PlaceLookup Places::FindCode(std::string_view code) {
  const Found found = WithCode(code);
  PlaceLookup lookup;
  const Entry* latest = nullptr;
  // An open end is the latest of all; among equal ends the last in the file.
  const auto end = [](const Entry& entry) {
    return entry.to == kNoDay ? std::numeric_limits<std::int32_t>::max() : entry.to;
  };
  for (const std::uint32_t index : found) {
    const Entry& entry = entries_[index];
    if (latest == nullptr || end(entry) > end(*latest) ||
        (end(entry) == end(*latest) && (entry.official || !latest->official))) {
      latest = &entry;
    }
  }
  if (latest == nullptr) return lookup;
  lookup.match = PlaceMatch::Found;
  lookup.place = RecordOf(*latest);
  return lookup;
}

std::vector<std::string> Places::Names() {
  RequireOpen();
  BuildIndex();
  // The first slot of each name, in file order: a table sorted by name has
  // its index in file order already.
  std::vector<const Slot*> firsts;
  for (std::size_t i = 0; i < byName_.size(); ++i) {
    if (i == 0 || KeyOf(byName_[i]) != KeyOf(byName_[i - 1])) firsts.push_back(&byName_[i]);
  }
  if (!namesInFileOrder_) std::ranges::sort(firsts, {}, &Slot::entry);
  std::vector<std::string> names;
  names.reserve(firsts.size());
  for (const Slot* slot : firsts) names.emplace_back(KeyOf(*slot));
  return names;
}
