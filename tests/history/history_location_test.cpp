// Where the history is kept, from the text a user writes: every form of the
// PostgreSQL URL, the SQLite file forms, and texts that must be refused.
#include <gtest/gtest.h>

#include "history/history_location.h"

namespace kv::history {
namespace {

struct LocationCase {
  const char* name;
  const char* text;
  StoreKind kind;
  std::string path, host;
  int port;
  std::string database, user, password;

  friend void PrintTo(const LocationCase& c, std::ostream* os) { *os << c.name; }
};

class LocationTest : public ::testing::TestWithParam<LocationCase> {};

TEST_P(LocationTest, NamesTheStore) {
  const LocationCase& c = GetParam();
  std::string error;
  const std::optional<StoreLocation> location = ParseStoreLocation(c.text, "/data/History.sqlite", &error);
  ASSERT_TRUE(location.has_value()) << error;
  EXPECT_EQ(location->kind, c.kind);
  EXPECT_EQ(location->path, c.path);
  EXPECT_EQ(location->host, c.host);
  EXPECT_EQ(location->port, c.port);
  EXPECT_EQ(location->database, c.database);
  EXPECT_EQ(location->user, c.user);
  EXPECT_EQ(location->password, c.password);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LocationTest,
    ::testing::Values(
        LocationCase{"Off", "off", StoreKind::Off, "", "", 0, "", "", ""},
        LocationCase{"EmptyIsTheDefaultFile", "", StoreKind::SQLite, "/data/History.sqlite", "", 0, "", "", ""},
        LocationCase{"PlainPath", "/srv/shop.sqlite", StoreKind::SQLite, "/srv/shop.sqlite", "", 0, "", "", ""},
        LocationCase{"SqliteScheme", "sqlite:rel/h.db", StoreKind::SQLite, "rel/h.db", "", 0, "", "", ""},
        LocationCase{"UserHostPortDatabase", "postgresql://maint@db.shop:5433/kv", StoreKind::PostgreSQL, "",
                     "db.shop", 5433, "kv", "maint", ""},
        LocationCase{"PasswordWithEscapes", "postgresql://maint:p%40ss%3Aword@db/kv", StoreKind::PostgreSQL,
                     "", "db", 0, "kv", "maint", "p@ss:word"},
        LocationCase{"SocketFolderAsParameter", "postgresql:///kv?host=/run/pg%20sock", StoreKind::PostgreSQL,
                     "", "/run/pg sock", 0, "kv", "", ""},
        LocationCase{"SocketFolderEscapedInHost", "postgresql://%2Fvar%2Frun/kv?user=u&port=6000",
                     StoreKind::PostgreSQL, "", "/var/run", 6000, "kv", "u", ""},
        LocationCase{"ShortScheme", "postgres://h/kv", StoreKind::PostgreSQL, "", "h", 0, "kv", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

class RefusedLocationTest : public ::testing::TestWithParam<const char*> {};

TEST_P(RefusedLocationTest, SaysWhy) {
  std::string error;
  EXPECT_FALSE(ParseStoreLocation(GetParam(), "/data/History.sqlite", &error).has_value());
  EXPECT_NE(error.find(GetParam()), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(Texts, RefusedLocationTest,
                         ::testing::Values("postgresql://host/", "postgresql://host:99999/kv",
                                           "postgresql://host:port/kv", "postgresql://h/kv?sslmode=x",
                                           "postgresql://h/kv%2", "postgresql://h/kv%zz"));

TEST(LocationDescriptionTest, LeavesThePasswordOut) {
  std::string error;
  const auto location = ParseStoreLocation("postgresql://maint:secret@db:5433/kv", "", &error);
  ASSERT_TRUE(location.has_value()) << error;
  EXPECT_EQ(location->Describe(), "postgresql://maint@db:5433/kv");
}

}  // namespace
}  // namespace kv::history
