#pragma once
// Where the history is kept, from the text a user gives (the [History]
// Database key or kvmaint's --history): "off", empty for the default SQLite
// file in the data folder, "postgresql://user@host:port/db" (also
// "postgresql:///db?host=/socket/dir"), or an SQLite file ("sqlite:PATH" or
// a plain path).
#include <optional>
#include <string>
#include <string_view>

namespace kv::history {

inline constexpr std::string_view kDefaultHistoryFileName = "History.sqlite";
inline constexpr std::string_view kHistoryOff = "off";

enum class StoreKind { Off, SQLite, PostgreSQL };

struct StoreLocation {
  StoreKind kind = StoreKind::Off;
  std::string path;  // SQLite: the database file
  // PostgreSQL: what libpq is given; empty or 0 for its own defaults. A host
  // starting with "/" is the folder of the server's Unix socket.
  std::string host;
  int port = 0;
  std::string database;
  std::string user;
  std::string password;

  // For messages: the file, or the URL without its password.
  std::string Describe() const;
};

// nullopt with `error` set for a text that names no usable store.
std::optional<StoreLocation> ParseStoreLocation(std::string_view text, const std::string& defaultFile,
                                                std::string* error);

}  // namespace kv::history
