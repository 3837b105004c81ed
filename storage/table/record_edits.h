// What happened to a table's records, for views that follow them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

// The record edits of one table cursor, numbered, so that a view kept
// beside the records (an order, an index) follows them edit by edit
// instead of reading every record again. Record numbers are 1-based and
// true at the moment of each edit. An opening, a closing or lines put in
// place of all others start the numbering over (Reset): a view older than
// that, or older than the edits kept, is made again.
class RecordEdits {
 public:
  enum class Kind : unsigned char { Appended, Erased, Replaced };
  struct Edit {
    Kind kind;
    int record;
  };

  std::uint64_t Revision() const { return revision_; }

  void Appended(int record) { Keep({Kind::Appended, record}); }
  void Erased(int record) { Keep({Kind::Erased, record}); }
  void Replaced(int record) { Keep({Kind::Replaced, record}); }
  void Reset();

  // Gives `visit` each edit made after `revision`, oldest first; false, and
  // nothing given, when they are not all kept.
  template <typename Visit>
  bool Since(std::uint64_t revision, Visit&& visit) const {
    if (revision < resetAt_ || revision_ - revision > kept_.size()) return false;
    for (std::size_t i = kept_.size() - (revision_ - revision); i < kept_.size(); ++i) {
      visit(kept_[i]);
    }
    return true;
  }

 private:
  // More edits than this between two looks cost about what reading every
  // record again does.
  static constexpr std::size_t kKept = 1024;

  void Keep(Edit edit);

  std::deque<Edit> kept_;
  std::uint64_t revision_ = 0;
  std::uint64_t resetAt_ = 0;
};
