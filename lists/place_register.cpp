#include "lists/place_register.h"

PlaceRegister::PlaceRegister(const std::string& tablePath, PlaceTableReading reading) {
  table_.SetTableName(tablePath);
  table_.SetReadOnly(true);
  if (reading == PlaceTableReading::ForOneCode) {
    places_.OpenForOneCode();
  } else {
    table_.Open();
  }
}
