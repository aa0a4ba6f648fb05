#include "history/postgres_server.h"

#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
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

// One folder per build folder, so that test runs of other checkouts on the
// same machine keep their own shared server; short, for the socket's path.
std::string SharedFolder() {
#ifdef KV_BINARY_DIR
  const std::string build = KV_BINARY_DIR;
#else
  const std::string build;
#endif
  char name[64];
  std::snprintf(name, sizeof name, "/tmp/kvpg-shared-%016zx", std::hash<std::string>{}(build));
  return name;
}

std::string ServerOptions(const std::string& folder, bool durable) {
  return "-k " + folder + " -c listen_addresses=''" + (durable ? "" : " -F");
}

// Whether the postmaster of `data` runs.
bool PostmasterAlive(const std::string& data) {
  std::ifstream lock(data + "/postmaster.pid");
  int postmaster = 0;
  return (lock >> postmaster) && postmaster > 0 && ::kill(postmaster, 0) == 0;
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
  command += Quoted(tool.front() == '/' ? tool : BinFolder() + "/" + tool);
  for (const std::string& arg : args) command += " " + Quoted(arg);
  const std::string output = File(std::filesystem::path(tool).filename().string() + ".out");
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
  own_.emplace("kvpg");
  if (!own_->Ok()) {
    problem_ = "no temporary folder";
    return;
  }
  path_ = own_->Path();
  if (MakeData(path_ + "/data", durable)) Start();
}

PostgresServer::PostgresServer(std::string folder, Attach) : path_(std::move(folder)), stopAtEnd_(false) {
  options_ = ServerOptions(path_, false);
  running_ = true;
}

bool PostgresServer::MakeData(const std::string& data, bool durable) {
  if (::geteuid() == 0) {
    const passwd* server = ::getpwnam("postgres");
    if (server == nullptr || ::chown(path_.c_str(), server->pw_uid, server->pw_gid) != 0) {
      problem_ = "cannot hand the folder to the postgres user";
      return false;
    }
  }
  options_ = ServerOptions(path_, durable);
  const std::string pristine = SharedFolder() + "/template";
  if (path_ != SharedFolder() && std::filesystem::exists(pristine + "/PG_VERSION")) {
    return RunTool("/bin/cp", {"-a", pristine, data});
  }
  return RunTool("initdb", {"-D", data, "-A", "trust", "-U", kUser, "-N", "-E", "UTF8", "--locale=C"});
}

PostgresServer& PostgresServer::Shared() {
  static const std::unique_ptr<PostgresServer> shared = [] {
    const std::string folder = SharedFolder();
    return std::unique_ptr<PostgresServer>(PostmasterAlive(folder + "/data") ? new PostgresServer(folder, Attach{})
                                                                             : new PostgresServer());
  }();
  return *shared;
}

bool PostgresServer::StartShared(std::string* problem) {
  if (!Installed()) return true;  // nothing to share: the tests skip
  StopShared(problem);
  const std::string folder = SharedFolder();
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  PostgresServer server(folder, Attach{});
  server.running_ = false;
  const bool started = server.MakeData(folder + "/template", false) &&
                       server.RunTool("/bin/cp", {"-a", folder + "/template", folder + "/data"}) && server.Start();
  *problem = server.problem_;
  return started;
}

bool PostgresServer::StopShared(std::string* problem) {
  const std::string folder = SharedFolder();
  if (!std::filesystem::exists(folder)) return true;
  {
    PostgresServer server(folder, Attach{});
    server.running_ = PostmasterAlive(folder + "/data");
    server.Stop();
    *problem = server.problem_;
  }
  std::error_code error;
  std::filesystem::remove_all(folder, error);
  return problem->empty() && !error;
}

bool PostgresServer::Start() {
  if (running_) return true;
  running_ = RunTool("pg_ctl", {"-D", File("data"), "-l", File("server.log"), "-w", "-o",
                                options_, "start"});
  return running_;
}

std::vector<int> PostgresServer::ServerProcesses() {
  std::ifstream lock(File("data/postmaster.pid"));
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
    std::ifstream lock(File("data/postmaster.pid"));
    int postmaster = 0;
    if (!(lock >> postmaster) || ::kill(postmaster, 0) != 0) break;
    ::usleep(10000);
  }
  // A killed server leaves its lock files; one whose process lingers unreaped
  // (no init in a container) would stop the next start.
  std::error_code ignored;
  std::filesystem::remove(File("data/postmaster.pid"), ignored);
  for (const auto& entry : std::filesystem::directory_iterator(path_, ignored)) {
    if (entry.path().filename().string().rfind(".s.PGSQL.", 0) == 0) std::filesystem::remove(entry.path(), ignored);
  }
  running_ = false;
}

void PostgresServer::Suspend() { SignalAll(SIGSTOP); }

void PostgresServer::Resume() { SignalAll(SIGCONT); }

PostgresServer::~PostgresServer() {
  if (stopAtEnd_) Stop();
}

void PostgresServer::Stop() {
  if (!running_) return;
  running_ = false;
  RunTool("pg_ctl", {"-D", File("data"), "-m", "fast", "-w", "stop"});
}

std::string PostgresServer::NewDatabaseUrl() {
  const std::string name = "history_" + std::to_string(::getpid()) + "_" + std::to_string(++databases_);
  const std::vector<std::string> argv{BinFolder() + "/createdb", "-h", path_, "-U", kUser, name};
  const testsupport::ProgramResult made = testsupport::RunProgram(argv);
  if (made.exitCode != 0) {
    problem_ = "createdb failed: " + made.err;
    return {};
  }
  return "postgresql:///" + name + "?host=" + path_ + "&user=" + kUser;
}

}  // namespace kv::history::testing
