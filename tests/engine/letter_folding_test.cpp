#include "engine/letter_folding.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/fiscal_code.h"

namespace {

// A text as typed and what it should read as.
struct Case {
  const char* typed;
  const char* expected;
};

// Surname part and name part computed from folded texts.
std::string SurnamePart(const char* utf8) {
  return ComputeFiscalCode(FoldNameLetters(utf8), "PIO", "01/01/1990", "M", "A001").substr(0, 3);
}
std::string NamePart(const char* utf8) {
  return ComputeFiscalCode("PIO", FoldNameLetters(utf8), "01/01/1990", "M", "A001").substr(3, 3);
}

TEST(LetterFoldingTest, AccentedNamesGiveTheirBaseLetters) {
  EXPECT_EQ(NamePart("FRANÇOIS"), "FNC");
  EXPECT_EQ(NamePart("françois"), "FNC");
  EXPECT_EQ(SurnamePart("ÇELIK"), "CLK");
  EXPECT_EQ(SurnamePart("çelik"), "CLK");
  EXPECT_EQ(SurnamePart("NOÈ"), "NOE");
  EXPECT_EQ(NamePart("ZOË"), "ZOE");
  EXPECT_EQ(SurnamePart("BØ"), "BOX");
  EXPECT_EQ(SurnamePart("GROß"), "GRS");
  EXPECT_EQ(NamePart("STRAßER"), "SRS");
  EXPECT_EQ(SurnamePart("ȘTEFĂNESCU"), "STF");
  EXPECT_EQ(
      ComputeFiscalCode(FoldNameLetters("NOÈ"), FoldNameLetters("ZOË"), "01/01/1990", "F", "A001")
          .substr(0, 6),
      "NOEZOE");
}

TEST(LetterFoldingTest, FoldsLatinLettersToUpperCaseBase) {
  EXPECT_EQ(FoldNameLetters("ÀÁÂÃÄÅàáâãäå"), "AAAAAAAAAAAA");
  EXPECT_EQ(FoldNameLetters("ÈÉÊËèéêë ÌÍÎÏìíîï"), "EEEEEEEE IIIIIIII");
  EXPECT_EQ(FoldNameLetters("ÒÓÔÕÖØòóôõöø ÙÚÛÜùúûü"), "OOOOOOOOOOOO UUUUUUUU");
  EXPECT_EQ(FoldNameLetters("ÑñÇçÝýŸÿ"), "NNCCYYYY");
  EXPECT_EQ(FoldNameLetters("ÆæŒœßÞþÐð"), "AEAEOEOESSTHTHDD");
  EXPECT_EQ(FoldNameLetters("ČčŁłŐőŞşŽž"), "CCLLOOSSZZ");
  EXPECT_EQ(FoldNameLetters("ĀĞĦĲĶĽŇŘŤŮŴŶŹ"), "AGHIJKLNRTUWYZ");
  EXPECT_EQ(FoldNameLetters("E\xCC\x81MILE"), "EMILE");  // decomposed É
}

TEST(LetterFoldingTest, AsciiStaysOtherCharactersGo) {
  EXPECT_EQ(FoldNameLetters("d'Angelo-Rossi 2."), "D'ANGELO-ROSSI 2.");
  EXPECT_EQ(FoldNameLetters("×÷€Ωж"), "");
  EXPECT_EQ(FoldNameLetters(""), "");
}

TEST(LetterFoldingTest, InvalidUtf8IsDropped) {
  const char* texts[] = {
      "RE\xC8SSI",              // a Latin-1 byte on its own
      "RE\xC3",                 // a sequence cut at the end
      "R\xC3\xA8\x80SSI",       // a stray continuation byte
      "RE\xC0\xA8SSI",          // overlong
      "RE\xED\xA0\x80SSI",      // a surrogate
      "RE\xF5\x80\x80\x80SSI",  // beyond U+10FFFF
  };
  EXPECT_EQ(FoldNameLetters(texts[0]), "RESSI");
  EXPECT_EQ(FoldNameLetters(texts[1]), "RE");
  EXPECT_EQ(FoldNameLetters(texts[2]), "RESSI");
  for (std::size_t k = 3; k < std::size(texts); ++k) {
    EXPECT_EQ(FoldNameLetters(texts[k]), "RESSI") << k;
    EXPECT_EQ(FoldPlaceName(texts[k]), "RESSI") << k;
  }
  EXPECT_EQ(FoldPlaceName("FORL\xC3"), "FORL");
}

TEST(LetterFoldingTest, PlaceNamesWriteFinalAccentsAsApostrophes) {
  const Case cases[] = {
      {"Forlì", "FORLI'"},
      {"forlì", "FORLI'"},
      {"FORLÌ", "FORLI'"},
      {"Città di Castello", "CITTA' DI CASTELLO"},
      {"Forlì'", "FORLI'"},                 // already followed by an apostrophe
      {"Cantù-Mariano", "CANTU'-MARIANO"},  // a hyphen ends a word
      {"Santa Maria Capua Vetere (CE)", "SANTA MARIA CAPUA VETERE (CE)"},
      {"Fiè allo Sciliar", "FIE' ALLO SCILIAR"},
      {"Châtillon", "CHATILLON"},   // a mark inside a word is only folded
      {"Forli\xCC\x80", "FORLI'"},  // decomposed ì
      {"Sant'Omobono Terme", "SANT'OMOBONO TERME"},
      {"Ağrı", "AGRI'"},
      {"Zürich 8001", "ZURICH 8001"},
      {"Chiusa «Klausen»", "CHIUSA «KLAUSEN»"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FoldPlaceName(c.typed), c.expected) << c.typed;
}

// As a word processor or a web page writes them, or with the accent typed
// after the letter: each reads as the plain text does, in places and names.
TEST(LetterFoldingTest, TypographicCharactersReadAsTheirPlainForms) {
  const Case cases[] = {
      {"Castel d’Aiano", "Castel d'Aiano"},
      {"Sant‘Omobono Terme", "Sant'Omobono Terme"},
      {"Sant\u02BCAntioco", "Sant'Antioco"},
      {"Forli`", "Forli'"},
      {"Forli´", "Forli'"},
      {"Città´ di Castello", "Città' di Castello"},
      {"Forlì’", "Forlì'"},
      {"“Bolzano” – „Bozen“", "\"Bolzano\" - \"Bozen\""},
      {"Castel\u00A0d’Aiano", "Castel d'Aiano"},
      {"D’ANGELO", "D'ANGELO"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FoldPlaceName(c.typed), FoldPlaceName(c.expected)) << c.typed;
    EXPECT_EQ(FoldNameLetters(c.typed), FoldNameLetters(c.expected)) << c.typed;
  }
}

}  // namespace
