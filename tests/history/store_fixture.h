#pragma once
// One fixture for every store test, run against an SQLite file and against a
// PostgreSQL server the test run shares (a database of each test's own): the
// same behaviour is required of both.
#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "history/history_location.h"
#include "history/postgres_server.h"
#include "historydb/sql_store.h"
#include "support/temp_folder.h"

namespace kv::history::testing {

// Runs one statement on the database at `location` through a connection of
// its own, with `values` bound in order: nullopt when it fails, else the first
// column of its first row (0 when it returns none).
inline std::optional<qlonglong> ExecRaw(const StoreLocation& location, const QString& statement,
                                        const std::vector<QVariant>& values = {}) {
  std::optional<qlonglong> value;
  {
    const bool postgres = location.kind == StoreKind::PostgreSQL;
    QSqlDatabase db = QSqlDatabase::addDatabase(postgres ? "QPSQL" : "QSQLITE", "raw");
    db.setDatabaseName(QString::fromStdString(postgres ? location.database : location.path));
    db.setHostName(QString::fromStdString(location.host));
    db.setUserName(QString::fromStdString(location.user));
    QSqlQuery query(db);
    if (db.open() && query.prepare(statement)) {
      for (const QVariant& bound : values) query.addBindValue(bound);
      if (query.exec()) value = query.next() ? query.value(0).toLongLong() : 0;
    }
  }
  QSqlDatabase::removeDatabase("raw");
  return value;
}

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
    PostgresServer& server = PostgresServer::Shared();
    ASSERT_EQ(server.Problem(), "");
    location_ = server.NewDatabaseUrl();
    ASSERT_EQ(server.Problem(), "");
  }

  std::unique_ptr<SqlStore> MakeStore() const {
    std::string error;
    const std::optional<StoreLocation> location = ParseStoreLocation(location_, "", &error);
    EXPECT_TRUE(location.has_value()) << error;
    return std::make_unique<SqlStore>(location.value_or(StoreLocation{}));
  }

  testsupport::TempFolder dir_{"kvhistory"};
  std::string location_;  // as given to --history
};

}  // namespace kv::history::testing
