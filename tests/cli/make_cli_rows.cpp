// Writes a list of persons for timing `vivezecf lotto`: make_cli_rows ROWS > FILE.
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const long rows = argc > 1 ? std::atol(argv[1]) : 1000000;
  const char* const surnames[] = {"ROSSI", "BIANCHI", "D'ANGELO", "ESPOSITO", "FERRARI"};
  const char* const names[] = {"MARIO", "ANNA", "GIUSEPPE", "LUCIA", "FRANCESCO", "CHIARA"};
  const char* const places[] = {"ROMA",   "MILANO", "NAPOLI",    "TORINO",  "MONTALCINO",
                                "FORLI'", "H501",   "HONG KONG", "PALERMO", "BARI"};
  std::printf("Cognome,Nome,Sex,Comune,Data,CodiceFiscale\r\n");
  for (long i = 0; i < rows; ++i) {
    std::printf("%s,%s,%c,%s,%02ld/%02ld/%ld,\r\n", surnames[i % 5], names[i % 6],
                i % 2 ? 'M' : 'F', places[i % 10], 1 + i % 28, 1 + i % 12, 1930 + i % 90);
  }
}
