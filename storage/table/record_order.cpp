#include "storage/table/record_order.h"

#include <algorithm>
#include <cstring>

#include "storage/table/record_edits.h"
#include "storage/table/table_file.h"
#include "storage/table/tlb_csv.h"

namespace {

// More new records than this at once are sorted with the rest, not placed
// one by one.
constexpr std::size_t kPlacedOneByOne = 256;

// The first eight bytes of a key as a number that orders as they do, so
// that most comparisons in a sort of a million keys touch no text.
std::uint64_t Lead(std::string_view key) {
  unsigned char bytes[8] = {};
  std::memcpy(bytes, key.data(), std::min<std::size_t>(8, key.size()));
  std::uint64_t lead = 0;
  for (const unsigned char byte : bytes) lead = lead << 8 | byte;
  return lead;
}

}  // namespace

RecordOrder::RecordOrder(const TLbCsv& table, Key key) : table_(table), key_(std::move(key)) {}

std::string RecordOrder::KeyOf(int record) const {
  std::string key;
  key_(table_.Lines().Line(static_cast<std::size_t>(record)), key);
  return key;
}

bool RecordOrder::Before(int record, std::string_view key, int other) const {
  key_(table_.Lines().Line(static_cast<std::size_t>(record)), scratch_);
  const int order = std::string_view(scratch_).compare(key);
  return order < 0 || (order == 0 && record < other);
}

void RecordOrder::Build() {
  const int count = table_.Active() ? table_.RecordCount() : 0;
  struct Entry {
    std::uint64_t lead;
    std::uint32_t at;
    std::uint32_t size;
    int record;
  };
  std::string keys;
  std::vector<Entry> entries;
  entries.reserve(static_cast<std::size_t>(count));
  std::string key;
  for (int record = 1; record <= count; ++record) {
    key_(table_.Lines().Line(static_cast<std::size_t>(record)), key);
    entries.push_back({Lead(key), static_cast<std::uint32_t>(keys.size()),
                       static_cast<std::uint32_t>(key.size()), record});
    keys += key;
  }
  const auto text = [&keys](const Entry& e) { return std::string_view(keys).substr(e.at, e.size); };
  std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
    if (a.lead != b.lead) return a.lead < b.lead;
    const int order = text(a).compare(text(b));
    return order < 0 || (order == 0 && a.record < b.record);
  });
  records_.resize(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) records_[i] = entries[i].record;
  built_ = true;
}

void RecordOrder::Place(int record) {
  std::string key;
  key_(table_.Lines().Line(static_cast<std::size_t>(record)), key);
  const auto at = std::partition_point(records_.begin(), records_.end(),
                                       [&](int other) { return Before(other, key, record); });
  records_.insert(at, record);
}

void RecordOrder::Follow() {
  const RecordEdits& edits = table_.Edits();
  if (built_ && revision_ == edits.Revision()) return;
  positionsKnown_ = false;
  // Records new since, by their numbers now: placed once every edit is
  // replayed, when their lines are the ones at those numbers.
  std::vector<int> fresh;
  const auto drop = [](std::vector<int>& numbers, int record) {
    numbers.erase(std::remove(numbers.begin(), numbers.end(), record), numbers.end());
    for (int& number : numbers) number -= number > record ? 1 : 0;
  };
  const bool replayed = built_ && edits.Since(revision_, [&](const RecordEdits::Edit& edit) {
    switch (edit.kind) {
      case RecordEdits::Kind::Appended:
        fresh.push_back(edit.record);
        break;
      case RecordEdits::Kind::Erased:
        drop(records_, edit.record);
        drop(fresh, edit.record);
        break;
      case RecordEdits::Kind::Replaced:
        records_.erase(std::remove(records_.begin(), records_.end(), edit.record), records_.end());
        if (std::find(fresh.begin(), fresh.end(), edit.record) == fresh.end()) {
          fresh.push_back(edit.record);
        }
        break;
    }
  });
  revision_ = edits.Revision();
  if (!replayed || fresh.size() > kPlacedOneByOne) {
    Build();
    return;
  }
  for (const int record : fresh) Place(record);
}

int RecordOrder::Size() {
  Follow();
  return static_cast<int>(records_.size());
}

int RecordOrder::RecordAt(int position) {
  Follow();
  return records_.at(static_cast<std::size_t>(position));
}

int RecordOrder::PositionOf(int record) {
  Follow();
  if (!positionsKnown_) {
    positions_.assign(records_.size() + 1, -1);
    for (std::size_t i = 0; i < records_.size(); ++i) {
      positions_[static_cast<std::size_t>(records_[i])] = static_cast<int>(i);
    }
    positionsKnown_ = true;
  }
  if (record < 1 || static_cast<std::size_t>(record) >= positions_.size()) return -1;
  return positions_[static_cast<std::size_t>(record)];
}

std::pair<int, int> RecordOrder::PrefixRange(std::string_view prefix) {
  Follow();
  const auto keyAt = [this](int record) -> std::string_view {
    key_(table_.Lines().Line(static_cast<std::size_t>(record)), scratch_);
    return scratch_;
  };
  const auto first = std::partition_point(records_.begin(), records_.end(),
                                          [&](int record) { return keyAt(record) < prefix; });
  const auto last = std::partition_point(
      first, records_.end(), [&](int record) { return keyAt(record).starts_with(prefix); });
  return {static_cast<int>(first - records_.begin()), static_cast<int>(last - records_.begin())};
}
