#include "storage/archive/archive_import.h"

#include "engine/fiscal_code_check.h"
#include "engine/short_date.h"

std::optional<std::string> ImportRefusal(const ArchiveRecord& record) {
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
