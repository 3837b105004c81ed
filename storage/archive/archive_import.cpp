#include "storage/archive/archive_import.h"

#include <cstdio>

#include "engine/fiscal_code_check.h"
#include "engine/short_date.h"
#include "engine/utf8_validator.h"
#include "storage/files/host_system.h"

std::optional<std::string> ImportRefusal(const ArchiveRecord& record, std::string_view line) {
  // Windows desks hold the ANSI code page, in which nearly every byte is a
  // letter: what the server still refuses is told when it is sent.
  if (kThisSystem != HostSystem::Windows) {
    Utf8Validator text;
    text.Feed(line);
    if (!text.Valid()) {
      const std::size_t at = text.WrongAt();
      char byte[8];
      std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(line[at]));
      return "colonna " + std::to_string(at + 1) + ": byte " + byte +
             " non UTF-8 (il file va salvato in UTF-8)";
    }
  }
  const std::string& code = record.codiceFiscale;
  if (code.size() != 16 || !CheckFiscalCode(code).Valid()) return "codice non valido: " + code;
  CalendarDate born;
  try {
    born = TextToDate(record.data);
  } catch (const DateConversionError&) {
    return "data non leggibile nel formato " + ShortDateFormat() + ": " + record.data;
  }
  // The code keeps two digits of the year.
  const CalendarDate coded = DecodeFiscalCode(code).birthDate;
  if (born.day != coded.day || born.month != coded.month || born.year % 100 != coded.year % 100) {
    return "data " + record.data + " diversa da quella del codice " + code;
  }
  return {};
}
