#include "history/postgres_server.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include <pwd.h>
#include <signal.h>
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
  options_ = "-k " + folder_.Path() + " -c listen_addresses=''" + (durable ? "" : " -F");
  Start();
}

bool PostgresServer::Start() {
  if (running_) return true;
  running_ = RunTool("pg_ctl", {"-D", folder_.File("data"), "-l", folder_.File("server.log"), "-w", "-o",
                                options_, "start"});
  return running_;
}

std::vector<int> PostgresServer::ServerProcesses() {
  std::ifstream lock(folder_.File("data/postmaster.pid"));
  int postmaster = 0;
  if (!(lock >> postmaster) || postmaster <= 0) return {};
  std::vector<int> pids{postmaster};
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    // "pid (name) state ppid ...": the name may hold spaces, so from its ")".
    const auto close = line.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(line.substr(close + 1));
    std::string state;
    int parent = 0;
    if (rest >> state >> parent && parent == postmaster) pids.push_back(std::stoi(entry.path().filename().string()));
  }
  return pids;
}

void PostgresServer::SignalAll(int signal) {
  for (const int pid : ServerProcesses()) ::kill(pid, signal);
}

void PostgresServer::Kill() {
  SignalAll(SIGCONT);  // a suspended process dies only once it runs
  SignalAll(SIGKILL);
  // The postmaster is gone once its pid no longer answers.
  for (int i = 0; i < 200; ++i) {
    std::ifstream lock(folder_.File("data/postmaster.pid"));
    int postmaster = 0;
    if (!(lock >> postmaster) || ::kill(postmaster, 0) != 0) break;
    ::usleep(10000);
  }
  // A killed server leaves its lock files; one whose process lingers unreaped
  // (no init in a container) would stop the next start.
  std::error_code ignored;
  std::filesystem::remove(folder_.File("data/postmaster.pid"), ignored);
  for (const auto& entry : std::filesystem::directory_iterator(folder_.Path(), ignored)) {
    if (entry.path().filename().string().rfind(".s.PGSQL.", 0) == 0) std::filesystem::remove(entry.path(), ignored);
  }
  running_ = false;
}

void PostgresServer::Suspend() { SignalAll(SIGSTOP); }

void PostgresServer::Resume() { SignalAll(SIGCONT); }

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
