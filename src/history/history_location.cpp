#include "history/history_location.h"

#include <charconv>

namespace kv::history {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// %XX escapes decoded; nullopt for a broken escape.
std::optional<std::string> PercentDecoded(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    const int high = HexDigit(text[i + 1]);
    const int low = HexDigit(text[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

std::optional<int> PortNumber(std::string_view text) {
  int port = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), port);
  if (ec != std::errc{} || end != text.data() + text.size() || port < 1 || port > 65535) {
    return std::nullopt;
  }
  return port;
}

std::optional<StoreLocation> Fail(std::string* error, std::string text) {
  *error = std::move(text);
  return std::nullopt;
}

std::optional<StoreLocation> ParsePostgresUrl(std::string_view url, std::string_view rest,
                                              std::string* error) {
  const std::string bad = "not a usable PostgreSQL URL \"" + std::string(url) + "\": ";
  StoreLocation location;
  location.kind = StoreKind::PostgreSQL;
  std::string_view query;
  if (const auto mark = rest.find('?'); mark != std::string_view::npos) {
    query = rest.substr(mark + 1);
    rest = rest.substr(0, mark);
  }
  std::string_view authority = rest;
  std::string_view database;
  if (const auto slash = rest.find('/'); slash != std::string_view::npos) {
    authority = rest.substr(0, slash);
    database = rest.substr(slash + 1);
  }
  if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
    std::string_view userInfo = authority.substr(0, at);
    authority = authority.substr(at + 1);
    std::string_view password;
    if (const auto colon = userInfo.find(':'); colon != std::string_view::npos) {
      password = userInfo.substr(colon + 1);
      userInfo = userInfo.substr(0, colon);
    }
    const auto user = PercentDecoded(userInfo);
    const auto secret = PercentDecoded(password);
    if (!user || !secret) return Fail(error, bad + "a broken %-escape");
    location.user = *user;
    location.password = *secret;
  }
  const auto setPort = [&location](std::string_view text) {
    const auto port = PortNumber(text);
    if (port) location.port = *port;
    return port.has_value();
  };
  const std::string badPort = bad + "the port is not a number from 1 to 65535";
  if (const auto colon = authority.rfind(':'); colon != std::string_view::npos) {
    if (!setPort(authority.substr(colon + 1))) return Fail(error, badPort);
    authority = authority.substr(0, colon);
  }
  const auto host = PercentDecoded(authority);
  const auto name = PercentDecoded(database);
  if (!host || !name) return Fail(error, bad + "a broken %-escape");
  location.host = *host;
  location.database = *name;
  while (!query.empty()) {
    const auto amp = query.find('&');
    const std::string_view pair = query.substr(0, amp);
    query = amp == std::string_view::npos ? std::string_view{} : query.substr(amp + 1);
    const auto equals = pair.find('=');
    const std::string_view key = pair.substr(0, equals);
    const auto value = PercentDecoded(equals == std::string_view::npos ? "" : pair.substr(equals + 1));
    if (!value) return Fail(error, bad + "a broken %-escape");
    if (key == "host") {
      location.host = *value;
    } else if (key == "port") {
      if (!setPort(*value)) return Fail(error, badPort);
    } else if (key == "user") {
      location.user = *value;
    } else if (key == "password") {
      location.password = *value;
    } else if (key == "dbname") {
      location.database = *value;
    } else {
      return Fail(error, bad + "unknown parameter \"" + std::string(key) + "\"");
    }
  }
  if (location.database.empty()) return Fail(error, bad + "no database name");
  return location;
}

}  // namespace

std::string StoreLocation::Describe() const {
  switch (kind) {
    case StoreKind::Off: return std::string(kHistoryOff);
    case StoreKind::SQLite: return path;
    case StoreKind::PostgreSQL: break;
  }
  std::string url = "postgresql://";
  if (!user.empty()) url += user + "@";
  if (!host.empty() && host.front() != '/') url += host;
  if (port != 0) url += ":" + std::to_string(port);
  url += "/" + database;
  if (!host.empty() && host.front() == '/') url += "?host=" + host;
  return url;
}

std::optional<StoreLocation> ParseStoreLocation(std::string_view text, const std::string& defaultFile,
                                                std::string* error) {
  StoreLocation location;
  if (text == kHistoryOff) return location;
  for (const std::string_view scheme : {"postgresql://", "postgres://"}) {
    if (text.substr(0, scheme.size()) == scheme) {
      return ParsePostgresUrl(text, text.substr(scheme.size()), error);
    }
  }
  constexpr std::string_view kSqliteScheme = "sqlite:";
  if (text.substr(0, kSqliteScheme.size()) == kSqliteScheme) text.remove_prefix(kSqliteScheme.size());
  location.kind = StoreKind::SQLite;
  location.path = text.empty() ? defaultFile : std::string(text);
  if (location.path.empty()) return Fail(error, "no file for the history database");
  return location;
}

}  // namespace kv::history
