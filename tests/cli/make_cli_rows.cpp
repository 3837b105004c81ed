// Writes lists for timing `vivezecf lotto` and `controlla`: make_cli_rows ROWS > FILE, or
// make_cli_rows --change KIND < CODES > FILE, the rows of `lotto`'s output with a field
// changed on every row (KIND: check, date or place), so no row's data agree with its code.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>

namespace {

const char* const kSurnames[] = {"ROSSI", "BIANCHI", "D'ANGELO", "ESPOSITO", "FERRARI"};
const char* const kNames[] = {"MARIO", "ANNA", "GIUSEPPE", "LUCIA", "FRANCESCO", "CHIARA"};
const char* const kPlaces[] = {"ROMA",   "MILANO", "NAPOLI",    "TORINO",  "MONTALCINO",
                               "FORLI'", "H501",   "HONG KONG", "PALERMO", "BARI"};
constexpr std::size_t kPlaceCount = sizeof kPlaces / sizeof kPlaces[0];

// The columns `lotto` writes for the rows above.
enum Column : std::size_t { kPlace = 3, kDate = 4, kCode = 5 };

void WriteRows(long rows) {
  std::printf("Cognome,Nome,Sex,Comune,Data,CodiceFiscale\r\n");
  for (long i = 0; i < rows; ++i) {
    std::printf("%s,%s,%c,%s,%02ld/%02ld/%ld,\r\n", kSurnames[i % 5], kNames[i % 6],
                i % 2 ? 'M' : 'F', kPlaces[i % kPlaceCount], 1 + i % 28, 1 + i % 12, 1930 + i % 90);
  }
}

// The field `column` of a row, as [begin, end) offsets; none of the values above holds
// a comma or a quote.
std::pair<std::size_t, std::size_t> Field(const std::string& row, std::size_t column) {
  std::size_t begin = 0;
  for (std::size_t k = 0; k < column; ++k) begin = row.find(',', begin) + 1;
  return {begin, row.find(',', begin)};
}

// A row with a wrong check letter, another day of the same month, or the next place
// of the list (another town, as a column of residence taken for the birthplace).
void Change(std::string& row, std::string_view kind) {
  if (kind == "check") {
    const auto [begin, end] = Field(row, kCode);
    char& check = row[end - 1];
    check = check == 'A' ? 'B' : 'A';
  } else if (kind == "date") {
    const auto [begin, end] = Field(row, kDate);
    const int day = std::atoi(row.c_str() + begin) % 28 + 1;  // was 1 to 28
    row[begin] = static_cast<char>('0' + day / 10);
    row[begin + 1] = static_cast<char>('0' + day % 10);
  } else {
    const auto [begin, end] = Field(row, kPlace);
    const std::string_view place(row.data() + begin, end - begin);
    std::size_t k = 0;
    while (k < kPlaceCount && place != kPlaces[k]) ++k;
    row.replace(begin, end - begin, kPlaces[(k + 1) % kPlaceCount]);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && std::strcmp(argv[1], "--change") == 0) {
    const std::string_view kind = argv[2];
    if (kind != "check" && kind != "date" && kind != "place") return 2;
    std::string row;
    for (bool header = true; std::getline(std::cin, row); header = false) {
      if (!header && !row.empty() && row != "\r") Change(row, kind);
      std::cout << row << '\n';
    }
    return std::cout.good() ? 0 : 2;
  }
  WriteRows(argc > 1 ? std::atol(argv[1]) : 1000000);
}
