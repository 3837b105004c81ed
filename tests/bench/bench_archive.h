// Archives made up for the benchmarks.
#pragma once

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "storage/archive/archive.h"
#include "storage/table/record_format.h"

// An archive as the program writes it: its header, then one line per person
// made by the record writer, CR LF after each. Codes are shaped as real ones
// and seldom repeat; one place in fifty has a comma, and so is
// quoted, as a typed name may be.
class BenchArchive {
 public:
  static ArchiveRecord Person(std::mt19937& random, int number) {
    auto letters = [&random](int count) {
      std::string text;
      for (int i = 0; i < count; ++i) text.push_back(static_cast<char>('A' + random() % 26));
      return text;
    };
    auto digits = [](int value, std::size_t count) {
      std::string text = std::to_string(value);
      if (text.size() < count) text.insert(0, count - text.size(), '0');
      return text;
    };
    ArchiveRecord person;
    person.cognome = letters(4 + static_cast<int>(random() % 6));
    person.nome = letters(3 + static_cast<int>(random() % 6));
    person.sex.assign(1, number % 2 ? 'M' : 'F');
    person.comune = letters(5 + static_cast<int>(random() % 8));
    if (number % 50 == 0) person.comune.append(", FRAZIONE");
    const int day = 1 + number % 28;
    const int month = 1 + number % 12;
    const int year = 1930 + number % 90;
    person.data = digits(day, 2);
    person.data.push_back('/');
    person.data.append(digits(month, 2));
    person.data.push_back('/');
    person.data.append(std::to_string(year));
    // Six letters, year, month letter, day, place and check letter.
    person.codiceFiscale = letters(6);
    person.codiceFiscale.append(digits(year % 100, 2));
    person.codiceFiscale.push_back("ABCDEHLMPRST"[month - 1]);
    person.codiceFiscale.append(digits(day + (number % 2 ? 0 : 40), 2));
    person.codiceFiscale.push_back(static_cast<char>('A' + number / 1000 % 26));
    person.codiceFiscale.append(digits(number % 1000, 3));
    person.codiceFiscale.push_back(static_cast<char>('A' + number / 26000 % 26));
    return person;
  }

  static std::string Line(const ArchiveRecord& person) {
    return WriteRecord({person.cognome, person.nome, person.sex, person.comune, person.data,
                        person.codiceFiscale});
  }

  // Writes an archive of `records` people at `path`.
  static void Write(const std::string& path, int records) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << kArchiveHeader << "\r\n";
    std::mt19937 random(20260308u);
    for (int i = 0; i < records; ++i) out << Line(Person(random, i)) << "\r\n";
  }
};
