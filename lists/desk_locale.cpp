#include "lists/desk_locale.h"

#include "engine/letter_folding.h"
#include "engine/short_date.h"

#ifdef _WIN32
#include "storage/files/windows_api.h"
#else
#include <langinfo.h>
#include <locale.h>

#include <clocale>
#endif

#ifdef _WIN32

std::string DeskShortDatePattern() {
  wchar_t pattern[80];
  const int size = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTDATE, pattern, 80);
  std::string narrow;
  for (int i = 0; i + 1 < size; ++i) {
    narrow.push_back(pattern[i] < 0x80 ? static_cast<char>(pattern[i]) : '/');
  }
  return NormaliseShortDatePattern(narrow.empty() ? "dd/MM/yyyy" : narrow);
}

namespace {

// Text in code page `page` as UTF-16.
std::wstring Widened(UINT page, std::string_view text) {
  const int size =
      MultiByteToWideChar(page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(page, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

// UTF-16 in code page `page`; `lost`, where asked, says whether a letter had
// no place in it.
std::string Narrowed(UINT page, DWORD flags, const std::wstring& wide, BOOL* lost) {
  const int wideSize = static_cast<int>(wide.size());
  const int size =
      WideCharToMultiByte(page, flags, wide.data(), wideSize, nullptr, 0, nullptr, lost);
  std::string narrow(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(page, flags, wide.data(), wideSize, narrow.data(), size, nullptr, nullptr);
  return narrow;
}

}  // namespace

std::string DeskArchiveText(std::string_view utf8) {
  BOOL lost = FALSE;
  std::string ansi = Narrowed(CP_ACP, WC_NO_BEST_FIT_CHARS, Widened(CP_UTF8, utf8), &lost);
  return lost ? FoldNameLetters(utf8) : ansi;
}

std::string DeskTextAsUtf8(std::string_view stored) {
  return Narrowed(CP_UTF8, 0, Widened(CP_ACP, stored), nullptr);
}

char DeskListSeparator() {
  wchar_t separator[8];
  const int size = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SLIST, separator, 8);
  // A separator a list can be read back with: one character of ASCII.
  if (size == 2 && (separator[0] == L',' || separator[0] == L';' || separator[0] == L'\t')) {
    return static_cast<char>(separator[0]);
  }
  return ';';
}

#else

std::string DeskShortDatePattern() {
  const char* name = std::setlocale(LC_TIME, "");
  const std::string locale = name != nullptr ? name : "C";
  if (locale == "C" || locale == "POSIX") return "d/MM/yyyy";
  // The C library's own letters: %d %e day, %m month, %y %Y year.
  std::string pattern;
  for (const char* at = nl_langinfo(D_FMT); *at != '\0'; ++at) {
    if (*at != '%' || at[1] == '\0') {
      pattern.push_back(*at);
      continue;
    }
    switch (*++at) {
      case 'd':
        pattern += "dd";
        break;
      case 'e':
        pattern += "d";
        break;
      case 'm':
        pattern += "MM";
        break;
      case 'y':
        pattern += "yy";
        break;
      case 'Y':
        pattern += "yyyy";
        break;
      default:
        break;
    }
  }
  std::setlocale(LC_TIME, "C");
  try {
    return NormaliseShortDatePattern(pattern);
  } catch (const std::exception&) {
    return "d/MM/yyyy";
  }
}

std::string DeskArchiveText(std::string_view utf8) { return std::string(utf8); }

std::string DeskTextAsUtf8(std::string_view stored) { return std::string(stored); }

char DeskListSeparator() {
  // Asked of a locale of its own: the process's settings stay as they are
  // (the window's toolkit has set them).
  const locale_t numbers = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
  if (numbers == static_cast<locale_t>(0)) return ',';
  const char* mark = nl_langinfo_l(RADIXCHAR, numbers);
  const char separator = mark != nullptr && mark[0] == ',' ? ';' : ',';
  freelocale(numbers);
  return separator;
}

#endif
