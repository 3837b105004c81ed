#include "storage/places/place_memory.h"

#include "engine/today.h"
#include "storage/places/places.h"

namespace {

// Texts kept at most: a list of nothing but different texts stays small.
constexpr std::size_t kTextsKept = 100000;

// The days around `date` on which a code not in use then is still not in
// use: from the day after the last period ending before it to the day
// before the first beginning after it.
PlacePeriod GapAround(const std::vector<PlacePeriod>& periods, const CalendarDate& date) {
  PlacePeriod gap;
  for (const PlacePeriod& period : periods) {
    if (period.to && *period.to < date && (!gap.from || *gap.from <= *period.to)) {
      gap.from = NextDay(*period.to);
    }
    if (period.from && date < *period.from && (!gap.to || *period.from <= *gap.to)) {
      gap.to = PreviousDay(*period.from);
    }
  }
  return gap;
}

}  // namespace

PlaceMemory::Text& PlaceMemory::TextOf(std::string_view typed, bool& fresh) {
  fresh = false;
  if (lastTextEntry_ != nullptr && typed == lastText_) return *lastTextEntry_;
  auto it = texts_.find(typed);
  if (it == texts_.end()) {
    if (texts_.size() > kTextsKept) texts_.clear();
    it = texts_.emplace(std::string(typed), Text{}).first;
    fresh = true;
  }
  lastText_ = it->first;
  lastTextEntry_ = &it->second;
  return it->second;
}

const PlaceLookup& PlaceMemory::Find(std::string_view typed, const CalendarDate& date) {
  bool fresh = false;
  Text& text = TextOf(typed, fresh);
  const PlaceLookup& seen = text.lookup;
  if (!fresh && (seen.match == PlaceMatch::UnknownName ||
                 (seen.match == PlaceMatch::Found && seen.answers.Contains(date)))) {
    return seen;
  }
  text.lookup = places_.Find(typed, date);
  return text.lookup;
}

PlaceMemory::CodeAnswers& PlaceMemory::AnswersOf(std::string_view code) {
  if (lastAnswers_ != nullptr && code == lastCode_) return *lastAnswers_;
  auto it = codes_.find(code);
  if (it == codes_.end()) it = codes_.emplace(std::string(code), CodeAnswers{}).first;
  lastCode_ = it->first;
  lastAnswers_ = &it->second;
  return it->second;
}

const PlaceLookup& PlaceMemory::Keep(PlaceLookup lookup) {
  kept_.push_back(std::move(lookup));
  return kept_.back();
}

PlaceMemory::CodeAnswer& PlaceMemory::AnswerOn(std::string_view code, const CalendarDate& date) {
  CodeAnswers& answers = AnswersOf(code);
  for (CodeAnswer& answer : answers.onDates) {
    if (answer.days.Contains(date)) return answer;
  }
  const PlaceLookup& lookup = Keep(places_.FindCode(code, date));
  // A code unknown is unknown on every day.
  const PlacePeriod days = lookup.Found() ? lookup.answers
                           : lookup.match == PlaceMatch::NotInUseOnDate
                               ? GapAround(lookup.periods, date)
                               : PlacePeriod{};
  return answers.onDates.emplace_back(CodeAnswer{days, &lookup});
}

const PlaceLookup& PlaceMemory::FindCode(std::string_view code, const CalendarDate& date) {
  return *AnswerOn(code, date).lookup;
}

const std::string& PlaceMemory::NameOn(std::string_view code, const CalendarDate& born) {
  const PlaceLookup& now = FindCode(code, Today());
  CodeAnswer& then = AnswerOn(code, born);
  if (then.namedBeside == &now) return then.name;
  const PlaceRecord& named = then.lookup->Found() ? then.lookup->place : FindCode(code).place;
  then.name = named.name;
  const PlaceRecord& shown = now.Found() && now.place.name != named.name ? now.place : named;
  if (&shown != &named) then.name.append(", oggi ").append(shown.name);
  if (!shown.province.empty()) then.name.append(" (").append(shown.province).append(")");
  then.namedBeside = &now;
  return then.name;
}

const PlaceLookup& PlaceMemory::FindCode(std::string_view code) {
  CodeAnswers& answers = AnswersOf(code);
  if (answers.anyDate == nullptr) answers.anyDate = &Keep(places_.FindCode(code));
  return *answers.anyDate;
}

const PlaceChain& PlaceMemory::Chain(std::string_view typed, const CalendarDate& born,
                                     const PlaceLookup& lookup) {
  unheld_ = {};
  if (lookup.match != PlaceMatch::Found && lookup.match != PlaceMatch::NotInUseOnDate) {
    return unheld_;
  }
  bool fresh = false;
  Text& text = TextOf(typed, fresh);
  std::optional<NameRecords>& name = lookup.Found() ? text.found : text.notInUse;
  if (!name) {
    name.emplace();
    name->records = RecordsOfName(places_, typed, lookup);
    name->chains.resize(name->records.size());
  }
  const std::size_t at = RecordHolding(name->records, born);
  if (at == name->records.size()) {
    unheld_ = ChainAmong(name->records, born, lookup);
    return unheld_;
  }
  std::optional<PlaceChain>& chain = name->chains[at];
  if (!chain) chain = ChainAmong(name->records, born, lookup);
  return *chain;
}
