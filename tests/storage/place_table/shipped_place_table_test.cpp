// The real table built from the registry's file the project keeps and the
// table it ships, as make-comuni builds it.
#include <gtest/gtest.h>

#include <functional>
#include <variant>

#include "storage/place_table/place_table_builder.h"
#include "storage/place_table/place_table_check.h"
#include "tests/storage/places/places_in_use.h"

namespace {

const std::string kRegistryPath =
    std::string(VIVEZE_DATA_DIR) + "/anpr-archivio-comuni-2023-10-03.csv";

class RegistryTable : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    registry_ = places_in_use::FileText(kRegistryPath);
    shipped_ = places_in_use::LinesOf(
        places_in_use::FileText(std::string(VIVEZE_DATA_DIR) + "/comuni.dat"));
    const PlaceTableBuild build =
        BuildPlaceTable(registry_, shipped_, PlaceTableSource::Shipped, "2023-10-03");
    ASSERT_TRUE(std::holds_alternative<PlaceTable>(build));
    for (const std::string& line : std::get<PlaceTable>(build).Lines()) built_ += line + "\r\n";
  }

  static inline std::string registry_;
  static inline std::vector<std::string> shipped_;
  static inline std::string built_;
};

TEST_F(RegistryTable, PassesTheChecksAndKeepsEveryNameInUse) {
  EXPECT_EQ(PlaceTableFailure(built_), std::nullopt);
  EXPECT_EQ(places_in_use::Missing(built_), std::vector<std::string>{});
  // As an update the file is refused: it lacks the places created in 2024.
  const PlaceTableBuild update = BuildPlaceTable(registry_, shipped_, PlaceTableSource::Update);
  ASSERT_TRUE(std::holds_alternative<RegistryLacksCodes>(update));
  EXPECT_EQ(std::get<RegistryLacksCodes>(update).codes,
            (std::vector<std::string>{"M435", "M436", "M437", "M438"}));
}

TEST_F(RegistryTable, TheChecksGiveTheFirstFailure) {
  const auto replace = [](std::string from, std::string to) {
    return [=](std::string& text) { text.replace(text.find(from), from.size(), to); };
  };
  const std::vector<std::pair<std::function<void(std::string&)>, std::string>> cases = {
      {replace("Al,Lingua", "Al"), "intestazione diversa da comuni,Code,Prov,Dal,Al,Lingua"},
      {replace("\r\nCESENA,", "\nCESENA,"), "carattere non ammesso"},
      {replace("\r\nCESENA,", "\r\nCESENà,"), "carattere non ammesso"},
      {replace("\r\nCESENA,C573", "\r\nCESENA,C57"), "CESENA C57: codice non valido"},
      {replace("FRANCIA,Z110,EE", "FRANCIA,Z110,FR"), "FRANCIA Z110: EE solo e sempre"},
      {replace("F402,SI,1861-03-17,2016-12-31", "F402,SI,1861-03-17,2016-02-30"),
       "MONTALCINO F402: periodo"},
      {replace("\r\nCESENA,", "\r\nZESENA,"), "CESENATICO"},  // out of order
      {replace("\r\nMONTALCINO,F402,SI,1861-03-17,2016-12-31",
               "\r\nMONTALCINO,F402,SI,1861-03-17,"),
       "MONTALCINO: i periodi di F402 e M378 si sovrappongono"},
      {replace("\r\nBOZEN,", "\r\nBOZEN (BZ),"), "manca BOZEN A952"},
  };
  for (const auto& [mutate, reason] : cases) {
    std::string text = built_;
    mutate(text);
    const std::optional<std::string> failure = PlaceTableFailure(text);
    ASSERT_TRUE(failure.has_value()) << reason;
    EXPECT_NE(failure->find(reason), std::string::npos) << *failure;
  }
}

}  // namespace
