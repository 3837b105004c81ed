// A code taken apart in its six parts, with what each means.
#pragma once

#include <array>
#include <string>
#include <vector>

class Places;
struct CodeReading;

enum class PartState {
  Plain,   // not read: not typed whole yet, or unreadable after a fault elsewhere
  Read,    // `meaning` says what the part stands for in this code
  Faulty,  // `meaning` says what was expected there
};

// One of the six parts of a person's code, as the check tab shows it.
struct CodePart {
  std::string caption;  // "Cognome", "Nome", "Anno e mese", "Giorno e sesso", "Luogo", "Controllo"
  std::string letters;  // as typed; fewer while the code is being typed
  PartState state = PartState::Plain;
  // Read: "consonanti R S S", "marzo 1975" ("marzo 2026; anche marzo 1926"
  // for a code that fits two centuries), "giorno 15, maschio", "MONTALCINO
  // (SI), fino al 31/12/2016", a homocode letter first with its digit ("R=5:
  // marzo 1975"). Faulty: what was expected ("atteso O", "nel 2010 era
  // F402"). Plain: empty.
  std::string meaning;

  friend bool operator==(const CodePart&, const CodePart&) = default;
};

// A code taken apart, and the reading's lines the parts do not already say.
struct CodeAnatomy {
  std::array<CodePart, 6> parts;
  // After the verdict: the other faults, or for a valid code the homocode's
  // base and the notes (sex, date and place are in the parts).
  std::vector<std::string> below;
};

// The parts of the code `reading` read. A code with a wrong check letter is
// read as if it had the right one, so every other part still says what it
// means. A numeric code, or one longer than a person's, has its parts plain.
// Bytes as the place table holds them.
CodeAnatomy TakeApart(const CodeReading& reading, Places& places);

// The parts before anything is typed: their captions alone.
std::array<CodePart, 6> UntypedParts();
