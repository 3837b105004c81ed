// The register's answers kept, for a run that asks the same places again and again.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/calendar_date.h"
#include "storage/places/place_chain.h"
#include "storage/places/place_lookup.h"

class Places;

// The lookups of a register (Places) as it gives them, each kept for the
// days on which it gives the same answer: a list of a million rows names a
// few hundred places and codes, and its differing rows ask for each place
// more than once. The table must not change while the memory is in use.
class PlaceMemory {
 public:
  explicit PlaceMemory(Places& places) : places_(places) {}
  PlaceMemory(const PlaceMemory&) = delete;
  PlaceMemory& operator=(const PlaceMemory&) = delete;

  Places& Register() { return places_; }

  // As Places::Find; valid until the next call of Find.
  const PlaceLookup& Find(std::string_view typed, const CalendarDate& date);
  // As Places::FindCode, on a date and whatever the date; valid as long as
  // the memory (a table holds a bounded number of codes, so none is
  // forgotten).
  const PlaceLookup& FindCode(std::string_view code, const CalendarDate& date);
  const PlaceLookup& FindCode(std::string_view code);
  // A known place code's place named as on `born`, with today's name when
  // it differs: "MONTALCINO (SI)", "GIRGENTI, oggi AGRIGENTO (AG)".
  const std::string& NameOn(std::string_view code, const CalendarDate& born);
  // As ChainOfPlace, from the lookup Find gave for `typed` on `born`; valid
  // until the next call of Chain or Find.
  const PlaceChain& Chain(std::string_view typed, const CalendarDate& born,
                          const PlaceLookup& lookup);

 private:
  // Looked up by the typed text itself, with no copy of it.
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
      return std::hash<std::string_view>{}(text);
    }
  };
  template <typename Value>
  using ByText = std::unordered_map<std::string, Value, TextHash, std::equal_to<>>;

  // A code's answers, each with the days it holds for, and the place's name
  // on those days as NameOn gave it beside today's answer.
  struct CodeAnswer {
    PlacePeriod days;
    const PlaceLookup* lookup;
    const PlaceLookup* namedBeside = nullptr;
    std::string name = {};
  };
  struct CodeAnswers {
    std::vector<CodeAnswer> onDates;
    const PlaceLookup* anyDate = nullptr;
  };
  // The records of a name as read from a lookup of one kind (place_chain.h:
  // the same on every date), and the chain of each record holding a date.
  struct NameRecords {
    std::vector<PlaceRecord> records;
    std::vector<std::optional<PlaceChain>> chains;
  };
  // A text's last answer, and its records from a lookup that found the
  // name and from one that found it not in use.
  struct Text {
    PlaceLookup lookup;
    std::optional<NameRecords> found;
    std::optional<NameRecords> notInUse;
  };

  // The entry of a text, a new one (lookup UnknownName, `fresh`) when none.
  Text& TextOf(std::string_view typed, bool& fresh);
  CodeAnswers& AnswersOf(std::string_view code);
  CodeAnswer& AnswerOn(std::string_view code, const CalendarDate& date);
  const PlaceLookup& Keep(PlaceLookup lookup);

  Places& places_;
  ByText<Text> texts_;
  // The text asked for last, a view of its key: a row's place is asked for
  // more than once.
  std::string_view lastText_;
  Text* lastTextEntry_ = nullptr;
  ByText<CodeAnswers> codes_;
  // The code asked for last, likewise: a code read asks for its place
  // several times.
  std::string_view lastCode_;
  CodeAnswers* lastAnswers_ = nullptr;
  PlaceChain unheld_;             // a chain of a date no record holds, the last asked for
  std::deque<PlaceLookup> kept_;  // the codes' answers, never moved
};
