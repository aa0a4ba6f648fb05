#include "history/postgres_server.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

#include <pwd.h>
#include <unistd.h>

#include "support/child_process.h"
#include "support/temp_folder.h"

namespace kv::history::testing {
namespace {

constexpr const char* kUser = "kvtest";

std::string BinFolder() {
  for (const char* folder : {"/usr/lib/postgresql/15/bin", "/usr/lib/postgresql/16/bin",
                             "/usr/lib/postgresql/14/bin"}) {
    if (std::filesystem::exists(std::string(folder) + "/initdb")) return folder;
  }
  return {};
}

}  // namespace

bool PostgresServer::Installed() { return !BinFolder().empty(); }

// One argument for the shell, in single quotes.
static std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Through the shell with the output in a file, not on pipes: the server that
// pg_ctl leaves running would hold a pipe open.
bool PostgresServer::RunTool(const std::string& tool, const std::vector<std::string>& args) {
  std::string command;
  if (::geteuid() == 0) command = "/usr/sbin/runuser -u postgres -- ";
  command += Quoted(BinFolder() + "/" + tool);
  for (const std::string& arg : args) command += " " + Quoted(arg);
  const std::string output = folder_.File(tool + ".out");
  command += " </dev/null >" + Quoted(output) + " 2>&1";
  const int status = std::system(command.c_str());
  if (status == 0) return true;
  problem_ = tool + " failed (" + std::to_string(status) + "): " + testsupport::ReadBytes(output);
  return false;
}

PostgresServer::PostgresServer(bool durable) {
  if (!Installed()) {
    problem_ = "no PostgreSQL programs installed";
    return;
  }
  if (!folder_.Ok()) {
    problem_ = "no temporary folder";
    return;
  }
  if (::geteuid() == 0) {
    const passwd* server = ::getpwnam("postgres");
    if (server == nullptr || ::chown(folder_.Path().c_str(), server->pw_uid, server->pw_gid) != 0) {
      problem_ = "cannot hand the folder to the postgres user";
      return;
    }
  }
  const std::string data = folder_.File("data");
  if (!RunTool("initdb", {"-D", data, "-A", "trust", "-U", kUser, "-N", "-E", "UTF8", "--locale=C"})) return;
  running_ = RunTool("pg_ctl", {"-D", data, "-l", folder_.File("server.log"), "-w", "-o",
                                "-k " + folder_.Path() + " -c listen_addresses=''" + (durable ? "" : " -F"), "start"});
}

PostgresServer::~PostgresServer() { Stop(); }

void PostgresServer::Stop() {
  if (!running_) return;
  running_ = false;
  RunTool("pg_ctl", {"-D", folder_.File("data"), "-m", "fast", "-w", "stop"});
}

std::string PostgresServer::NewDatabaseUrl() {
  const std::string name = "history" + std::to_string(++databases_);
  const std::vector<std::string> argv{BinFolder() + "/createdb", "-h", folder_.Path(), "-U", kUser, name};
  const testsupport::ProgramResult made = testsupport::RunProgram(argv);
  if (made.exitCode != 0) {
    problem_ = "createdb failed: " + made.err;
    return {};
  }
  return "postgresql:///" + name + "?host=" + folder_.Path() + "&user=" + kUser;
}

}  // namespace kv::history::testing
