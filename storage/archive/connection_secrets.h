// The secrets of a connection string, blanked out of what the user reads.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The password a connection string holds, in any of its forms: `password=`
// plain or quoted, a URI's user information or its `password` parameter,
// percent-encoded or not. Read by the string's own rules, not libpq's, so
// that a string libpq cannot read keeps its secret too; every word after an
// unquoted `password=` up to the next keyword counts (a phrase meant whole).
class ConnectionSecrets {
 public:
  explicit ConnectionSecrets(std::string_view conninfo);

  // One more secret, as libpq read it.
  void Add(std::string secret);
  // `text` with each secret blanked ("***") wherever it stands, and each of
  // its pieces (split at blanks and a URI's punctuation) where it stands as
  // a word of its own, as libpq quotes a piece it could not read.
  std::string Blanked(std::string text) const;

 private:
  std::vector<std::string> whole_;
  std::vector<std::string> pieces_;
};
