// A walk over a table's records that its views do not follow step by step.
#pragma once

class TLbCsv;

// While one lives, the views attached to `table` are not told of its moves,
// so a rule can walk the records without every view following each step;
// when the outermost one ends, they are told once, if the cursor moved. Other
// events (a post, a delete, opening and closing) still reach them at once.
// The table must outlive it.
class TQuietWalk {
 public:
  explicit TQuietWalk(TLbCsv& table);
  ~TQuietWalk();
  TQuietWalk(const TQuietWalk&) = delete;
  TQuietWalk& operator=(const TQuietWalk&) = delete;

 private:
  TLbCsv& table_;
};
