#include "tests/support/registry_copies.h"

#include <vector>

#include "storage/table/record_format.h"
#include "storage/table/table_file.h"

namespace {

const std::string kOpen = "\"9999-12-31\"";

std::string Row(const std::string& code, const std::string& from, const std::string& name,
                const std::string& province) {
  return "0,\"" + from + "\"," + kOpen + ",\"\",\"" + code + "\",\"" + name + "\",\"" + name +
         "\",\"\",\"\",0,\"\",\"\",\"" + province + "\",\"A\",\"" + province + "\",\"\",\"" + from +
         "\",\"\"\r\n";
}

// Ends the open row of `code` on `until`.
void End(std::string& registry, const std::string& code, const std::string& until) {
  const std::string field = ",\"" + code + "\",";
  for (std::size_t at = registry.find(field); at != std::string::npos;
       at = registry.find(field, at + 1)) {
    const std::size_t start = registry.rfind('\n', at) + 1;
    const std::size_t open = registry.find(kOpen, start);
    if (open < registry.find('\n', start)) {
      registry.replace(open, kOpen.size(), "\"" + until + "\"");
      return;
    }
  }
}

}  // namespace

std::string RegistryWithMerger(const std::string& dataFolder) {
  const std::string day = "2023-10-03";
  std::string registry(
      TableFile::Load(dataFolder + "/anpr-archivio-comuni-" + day + ".csv").Text());
  const TableFile table = TableFile::Load(dataFolder + "/comuni.dat");
  std::vector<std::string> v;
  for (std::size_t i = 1; i < table.LineCount(); ++i) {
    ParseRecord(table.Line(i), v);  // comuni, Code, Prov, Dal, Al, Lingua
    if (v[1][0] == 'Z' || !v[5].empty()) continue;
    if (!v[4].empty() && v[4] >= day) End(registry, v[1], v[4]);
    if (v[3] > day) registry += Row(v[1], v[3], v[0], v[2]);
  }
  End(registry, "A143", "2024-12-31");
  End(registry, "A153", "2024-12-31");
  return registry + Row("M999", "2025-01-01", "ALBESE ALBAVILLA", "CO");
}
