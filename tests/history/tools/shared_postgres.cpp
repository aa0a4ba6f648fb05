// ctest's fixture around the history tests: `shared_postgres start` starts
// the PostgreSQL server the run's tests share (each takes a database of its
// own), `shared_postgres stop` stops and removes it. Without PostgreSQL
// installed both do nothing (the tests skip).
#include <cstdio>
#include <cstring>
#include <string>

#include "history/postgres_server.h"

int main(int argc, char** argv) {
  using kv::history::testing::PostgresServer;
  const bool start = argc == 2 && std::strcmp(argv[1], "start") == 0;
  if (!start && !(argc == 2 && std::strcmp(argv[1], "stop") == 0)) {
    std::fputs("usage: shared_postgres start|stop\n", stderr);
    return 2;
  }
  std::string problem;
  if (start ? PostgresServer::StartShared(&problem) : PostgresServer::StopShared(&problem)) return 0;
  std::fprintf(stderr, "%s\n", problem.c_str());
  return 1;
}
