#include <gtest/gtest.h>

#include "tests/storage/places/places_in_use.h"

TEST(PlacesInUse, EveryNameInUseKeepsItsCodeInTheShippedTable) {
  const std::string shipped = places_in_use::FileText(std::string(VIVEZE_DATA_DIR) + "/comuni.dat");
  EXPECT_EQ(places_in_use::Missing(shipped), std::vector<std::string>{});
  // A table that lost one of them is caught.
  std::string renamed = shipped;
  renamed.replace(renamed.find("\r\nCESENA,"), 8, "\r\nCESENNA,");
  EXPECT_EQ(places_in_use::Missing(renamed), std::vector<std::string>{"CESENA,C573"});
}
