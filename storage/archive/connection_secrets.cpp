#include "storage/archive/connection_secrets.h"

#include <algorithm>

#include "engine/ascii_case.h"

namespace {

constexpr std::string_view kBlank = "***";

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// A byte that may stand inside a word: ASCII letters and digits, and any
// byte of a letter beyond ASCII.
bool InWord(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 0x80 || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// `text` with its %XX escapes decoded; a broken one kept as it stands.
std::string PercentDecoded(std::string_view text) {
  std::string decoded;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '%' && at + 2 < text.size()) {
      const int high = HexValue(text[at + 1]);
      const int low = HexValue(text[at + 2]);
      if (high >= 0 && low >= 0) {
        decoded.push_back(static_cast<char>(high * 16 + low));
        at += 2;
        continue;
      }
    }
    decoded.push_back(text[at]);
  }
  return decoded;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualIgnoringCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

ConnectionSecrets::ConnectionSecrets(std::string_view conninfo) {
  for (const std::string_view scheme : {"postgresql://", "postgres://"}) {
    if (!StartsWithIgnoringCase(conninfo, scheme)) continue;
    const std::string_view rest = conninfo.substr(scheme.size());
    const std::size_t query = rest.find('?');
    // The user information ends at the last '@' before the query: a
    // password written with '/' or '@' unencoded still counts whole.
    std::size_t at = rest.substr(0, query).rfind('@');
    if (at == std::string_view::npos) at = rest.rfind('@');
    if (at != std::string_view::npos) {
      const std::string_view user = rest.substr(0, at);
      if (const std::size_t colon = user.find(':'); colon != std::string_view::npos) {
        const std::string_view password = user.substr(colon + 1);
        Add(std::string(password));
        Add(PercentDecoded(password));
      }
    }
    if (query == std::string_view::npos) return;
    std::string_view parameters = rest.substr(query + 1);
    while (!parameters.empty()) {
      const std::size_t end = std::min(parameters.find('&'), parameters.size());
      const std::string_view parameter = parameters.substr(0, end);
      const std::size_t equals = parameter.find('=');
      if (equals != std::string_view::npos &&
          PercentDecoded(parameter.substr(0, equals)) == "password") {
        Add(std::string(parameter.substr(equals + 1)));
        Add(PercentDecoded(parameter.substr(equals + 1)));
      }
      parameters.remove_prefix(std::min(end + 1, parameters.size()));
    }
    return;
  }
  // key=value pairs, values plain or in single quotes with backslash escapes.
  std::size_t at = 0;
  const auto skipSpaces = [&] {
    while (at < conninfo.size() && IsSpace(conninfo[at])) ++at;
  };
  bool inPassword = false;
  while (skipSpaces(), at < conninfo.size()) {
    const std::size_t start = at;
    while (at < conninfo.size() && !IsSpace(conninfo[at]) && conninfo[at] != '=') ++at;
    const std::string_view keyword = conninfo.substr(start, at - start);
    skipSpaces();
    if (at >= conninfo.size() || conninfo[at] != '=') {
      // A word with no value: a password phrase's next word, or nothing.
      if (inPassword) Add(std::string(keyword));
      continue;
    }
    ++at;
    skipSpaces();
    std::string value;
    std::string raw;
    if (at < conninfo.size() && conninfo[at] == '\'') {
      for (++at; at < conninfo.size() && conninfo[at] != '\''; ++at) {
        raw.push_back(conninfo[at]);
        if (conninfo[at] == '\\' && at + 1 < conninfo.size()) raw.push_back(conninfo[++at]);
        value.push_back(conninfo[at]);
      }
      ++at;
    } else {
      while (at < conninfo.size() && !IsSpace(conninfo[at])) value.push_back(conninfo[at++]);
      raw = value;
    }
    inPassword = EqualIgnoringCase(keyword, "password");
    if (inPassword) {
      Add(raw);
      Add(value);
    }
  }
}

void ConnectionSecrets::Add(std::string secret) {
  if (secret.empty() || std::find(whole_.begin(), whole_.end(), secret) != whole_.end()) return;
  std::string piece;
  const auto keep = [&] {
    if (!piece.empty() && std::find(pieces_.begin(), pieces_.end(), piece) == pieces_.end())
      pieces_.push_back(piece);
    piece.clear();
  };
  for (const char c : secret) {
    if (IsSpace(c) || std::string_view(":/@?&=,'\"\\").find(c) != std::string_view::npos) {
      keep();
    } else {
      piece.push_back(c);
    }
  }
  keep();
  whole_.push_back(std::move(secret));
  // The longest first, so that no shorter secret leaves part of a longer.
  const auto longer = [](const std::string& a, const std::string& b) {
    return a.size() > b.size();
  };
  std::stable_sort(whole_.begin(), whole_.end(), longer);
  std::stable_sort(pieces_.begin(), pieces_.end(), longer);
}

std::string ConnectionSecrets::Blanked(std::string text) const {
  for (const std::string& secret : whole_) {
    for (std::size_t at = text.find(secret); at != std::string::npos;
         at = text.find(secret, at + kBlank.size())) {
      text.replace(at, secret.size(), kBlank);
    }
  }
  for (const std::string& piece : pieces_) {
    std::size_t at = text.find(piece);
    while (at != std::string::npos) {
      const std::size_t end = at + piece.size();
      const bool word =
          (at == 0 || !InWord(text[at - 1])) && (end == text.size() || !InWord(text[end]));
      std::size_t next = at + 1;
      if (word) {
        text.replace(at, piece.size(), kBlank);
        next = at + kBlank.size();
      }
      at = text.find(piece, next);
    }
  }
  return text;
}
