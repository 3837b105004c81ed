#include "storage/codes/code_parts.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string_view>

#include "engine/check_values.h"
#include "engine/month_letters.h"
#include "engine/short_date.h"
#include "engine/today.h"
#include "engine/typed_code.h"
#include "storage/codes/code_reading.h"
#include "storage/places/places.h"

namespace {

enum Part : std::size_t { kSurname, kName, kYearMonth, kDaySex, kPlace, kCheck };

struct Span {
  std::size_t from;
  std::size_t size;
  const char* caption;
  const char* expected;  // when a character does not belong there
};

constexpr std::array<Span, 6> kSpans = {{
    {0, 3, "Cognome", "attese tre lettere"},
    {3, 3, "Nome", "attese tre lettere"},
    {6, 3, "Anno e mese", "attese due cifre e la lettera del mese (ABCDEHLMPRST)"},
    {9, 2, "Giorno e sesso", "attese due cifre"},
    {11, 4, "Luogo", "attese una lettera e tre cifre"},
    {15, 1, "Controllo", "attesa una lettera"},
}};

constexpr const char* kMonthNames[12] = {"gennaio",   "febbraio", "marzo",    "aprile",
                                         "maggio",    "giugno",   "luglio",   "agosto",
                                         "settembre", "ottobre",  "novembre", "dicembre"};

// The characters typed, each as its UTF-8 bytes, so a stray letter from
// another alphabet stays one character.
std::vector<std::string> Characters(std::string_view code) {
  std::vector<std::string> characters;
  for (const char c : code) {
    if ((static_cast<unsigned char>(c) & 0xC0) == 0x80 && !characters.empty()) {
      characters.back() += c;
    } else {
      characters.emplace_back(1, c);
    }
  }
  return characters;
}

// "R=5 " for each homocode letter at the digit places [from, to) of `code`.
std::string HomocodeDigits(std::string_view code, std::size_t from, std::size_t to) {
  std::string said;
  for (std::size_t k = from; k < to; ++k) {
    if (code[k] >= 'A' && code[k] <= 'Z') {
      said += std::string{code[k], '='} + std::to_string(CodeDigit(code[k])) + ' ';
    }
  }
  return said.empty() ? said : said.substr(0, said.size() - 1) + ": ";
}

std::string Spaced(const std::string& letters, const char* one, const char* many) {
  std::string said = letters.size() == 1 ? one : many;
  for (const char c : letters) said += std::string{' ', c};
  return said;
}

std::string NameMeaning(const NameLetters& letters) {
  std::string said;
  const auto add = [&said](const std::string& piece) {
    said += (said.empty() ? "" : ", ") + piece;
  };
  if (!letters.consonants.empty()) add(Spaced(letters.consonants, "consonante", "consonanti"));
  if (!letters.vowels.empty()) add(Spaced(letters.vowels, "vocale", "vocali"));
  if (letters.fillers > 0) add("X di riempimento");
  return said;
}

std::string PeriodText(const PlacePeriod& period) {
  if (period.to) return ", fino al " + DateToText(*period.to);
  if (period.from) return ", dal " + DateToText(*period.from);
  return {};
}

// Reads the parts in turn; each may use what the ones before it said.
class Anatomist {
 public:
  Anatomist(const CodeReading& reading, Places& places)
      : reading_(reading), places_(places), characters_(Characters(reading.code)) {
    for (const std::string& c : characters_) code_ += c.size() == 1 ? c[0] : '?';
  }

  CodeAnatomy TakeApart();

 private:
  bool Typed(std::size_t part) const {
    return characters_.size() >= kSpans[part].from + kSpans[part].size;
  }
  bool Allowed(std::size_t part) const;
  void ReadWhole();
  void Read(std::size_t part, const std::string& meaning) {
    anatomy_.parts[part].state = PartState::Read;
    anatomy_.parts[part].meaning = meaning;
  }
  void Fault(std::size_t part, const std::string& expected) {
    anatomy_.parts[part].state = PartState::Faulty;
    anatomy_.parts[part].meaning = expected;
  }
  void ReadNamePart(std::size_t part);
  void ReadYearMonth();
  void ReadDaySex();
  void ReadPlace();
  void ReadCheck();

  const CodeReading& reading_;
  Places& places_;
  std::vector<std::string> characters_;
  std::string code_;  // a byte for each character, '?' for one outside ASCII
  CodeAnatomy anatomy_;
  // The code read with its right check letter, when its first fifteen
  // characters make one: the century and place it names.
  std::optional<CodeReading> whole_;
  std::optional<CalendarDate> born_;  // as far as the parts typed tell
};

bool Anatomist::Allowed(std::size_t part) const {
  const Span& span = kSpans[part];
  for (std::size_t k = span.from; k < span.from + span.size && k < characters_.size(); ++k) {
    if (characters_[k].size() != 1 || !AllowedInCode(k, characters_[k][0])) return false;
  }
  return true;
}

void Anatomist::ReadWhole() {
  if (reading_.check.Valid()) {
    whole_ = reading_;
  } else if (code_.size() >= 15) {
    std::string code = code_.substr(0, 15) + 'A';
    const char check = CheckLetter(code.data());
    code[15] = check;
    if (check != '\0' && CheckFiscalCode(code).Valid()) whole_ = ReadCode(code, places_);
  }
  if (whole_) born_ = whole_->decoded.birthDate;
}

void Anatomist::ReadNamePart(std::size_t part) {
  const NameLetters letters = ReadNameLetters(code_.substr(kSpans[part].from, 3));
  if (letters.possible) {
    Read(part, NameMeaning(letters));
  } else {
    Fault(part, "attese prima le consonanti, poi le vocali, poi X");
  }
}

void Anatomist::ReadYearMonth() {
  const std::string_view code = code_;
  const int month = static_cast<int>(kMonthLetters.find(code[8])) + 1;
  if (!born_) {
    int day = Typed(kDaySex) && Allowed(kDaySex)
                  ? (CodeDigit(code[9]) * 10 + CodeDigit(code[10])) % 40
                  : 1;
    if (day < 1) day = 1;
    const int year = LatestYearNotAfterToday(CodeDigit(code[6]) * 10 + CodeDigit(code[7]), month,
                                             std::min(day, kDaysInMonth[month - 1]));
    born_ = CalendarDate{year, month, std::min(day, DaysInMonth(year, month))};
  }
  std::string said =
      HomocodeDigits(code, 6, 8) + kMonthNames[month - 1] + ' ' + std::to_string(born_->year);
  // A code that fits two centuries: the later read, the other named.
  if (whole_ && whole_->otherBirthDate) {
    said.append("; anche ")
        .append(kMonthNames[month - 1])
        .append(" ")
        .append(std::to_string(whole_->otherBirthDate->year));
  }
  Read(kYearMonth, said);
}

void Anatomist::ReadDaySex() {
  const std::string_view code = code_;
  const int written = CodeDigit(code[9]) * 10 + CodeDigit(code[10]);
  const bool woman = written > 40;
  const int day = woman ? written - 40 : written;
  const bool monthKnown = anatomy_.parts[kYearMonth].state == PartState::Read;
  const int last = monthKnown ? DaysInMonth(born_->year, born_->month) : 31;
  const std::string digits = std::to_string(day);
  if (day >= 1 && day <= last) {
    Read(kDaySex, HomocodeDigits(code, 9, 11) + "giorno " + digits +
                      (woman ? ", femmina (" + digits + " + 40)" : ", maschio"));
  } else if (day >= 1 && day <= 31) {
    Fault(kDaySex, "nessun giorno " + digits + " a " + kMonthNames[born_->month - 1] + ' ' +
                       std::to_string(born_->year) + ": atteso da " + (woman ? "41" : "01") +
                       " a " + std::to_string(last + (woman ? 40 : 0)));
  } else {
    Fault(kDaySex, "atteso da 01 a 31, o da 41 a 71 per una donna");
  }
}

void Anatomist::ReadPlace() {
  const std::string_view code = code_;
  std::string place{code[11]};
  for (std::size_t k = 12; k < 15; ++k) place += static_cast<char>('0' + CodeDigit(code[k]));
  const PlaceLookup any = places_.FindCode(place);
  if (!any.Found()) {
    Fault(kPlace, "nessun luogo ha il codice " + place);
    return;
  }
  const CalendarDate born = born_.value_or(Today());
  const PlaceLookup onDate = places_.FindCode(place, born);
  const std::string name = whole_ ? whole_->placeName : PlaceNameOn(places_, place, born);
  const std::string said = HomocodeDigits(code, 12, 15) + name +
                           PeriodText(onDate.Found() ? onDate.place.period : any.place.period);
  if (!whole_ || onDate.Found()) {
    Read(kPlace, said);
    return;
  }
  // A code of another period: the one the place had on the birth date.
  const PlaceLookup then = places_.Find(any.place.name, born);
  const std::string year = std::to_string(born.year);
  if (then.Found() && then.place.province == any.place.province) {
    Fault(kPlace, said + ": nel " + year + " era " + then.place.code);
  } else {
    Fault(kPlace, said + ": non in uso nel " + year);
  }
}

void Anatomist::ReadCheck() {
  for (std::size_t part = kSurname; part < kCheck; ++part) {
    if (!Allowed(part)) return;  // no check letter to expect
  }
  const char expected = CheckLetter(code_.data());
  if (code_[15] == expected) {
    Read(kCheck, "giusto per i primi 15 caratteri");
  } else {
    Fault(kCheck, std::string("atteso ") + expected);
  }
}

CodeAnatomy Anatomist::TakeApart() {
  const auto& lines = reading_.lines;
  // A valid code's sex, date and place lines are in the parts.
  const std::size_t said = reading_.valid ? 4 : 1;
  if (lines.size() > said) anatomy_.below.assign(lines.begin() + said, lines.end());
  for (std::size_t part = kSurname; part <= kCheck; ++part) {
    const Span& span = kSpans[part];
    anatomy_.parts[part].caption = span.caption;
    for (std::size_t k = span.from; k < span.from + span.size && k < characters_.size(); ++k) {
      anatomy_.parts[part].letters += characters_[k];
    }
  }
  if (reading_.check.numeric || characters_.size() > 16) return anatomy_;
  ReadWhole();
  for (std::size_t part = kSurname; part <= kCheck; ++part) {
    if (!Allowed(part)) {
      Fault(part, kSpans[part].expected);
    } else if (Typed(part)) {
      switch (part) {
        case kSurname:
        case kName:
          ReadNamePart(part);
          break;
        case kYearMonth:
          ReadYearMonth();
          break;
        case kDaySex:
          ReadDaySex();
          break;
        case kPlace:
          ReadPlace();
          break;
        default:
          ReadCheck();
          break;
      }
    }
  }
  return anatomy_;
}

}  // namespace

CodeAnatomy TakeApart(const CodeReading& reading, Places& places) {
  return Anatomist(reading, places).TakeApart();
}

std::array<CodePart, 6> UntypedParts() {
  std::array<CodePart, 6> parts;
  for (std::size_t part = kSurname; part <= kCheck; ++part)
    parts[part].caption = kSpans[part].caption;
  return parts;
}
