#pragma once
// One fixture for every store test, run against an SQLite file and against a
// private PostgreSQL server: the same behaviour is required of both.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "history/history_location.h"
#include "history/postgres_server.h"
#include "historydb/sql_store.h"
#include "support/temp_folder.h"

namespace kv::history::testing {

enum class Backend { SQLite, PostgreSQL };

inline std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
  return info.param == Backend::SQLite ? "SQLite" : "PostgreSQL";
}

class StoreTest : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.Ok());
    if (GetParam() == Backend::SQLite) {
      location_ = dir_.File("History.sqlite");
      return;
    }
    if (!PostgresServer::Installed()) {
      GTEST_SKIP() << "no PostgreSQL server programs (initdb, pg_ctl) under /usr/lib/postgresql";
    }
    server_.emplace();
    ASSERT_EQ(server_->Problem(), "");
    location_ = server_->NewDatabaseUrl();
    ASSERT_EQ(server_->Problem(), "");
  }

  std::unique_ptr<SqlStore> MakeStore() const {
    std::string error;
    const std::optional<StoreLocation> location = ParseStoreLocation(location_, "", &error);
    EXPECT_TRUE(location.has_value()) << error;
    return std::make_unique<SqlStore>(location.value_or(StoreLocation{}));
  }

  testsupport::TempFolder dir_{"kvhistory"};
  std::optional<PostgresServer> server_;
  std::string location_;  // as given to --history
};

}  // namespace kv::history::testing
