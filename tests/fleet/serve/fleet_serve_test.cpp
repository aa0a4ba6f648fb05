// kvmaint fleet serve, run as the program over a history of three
// instruments (one with a serial number made to be markup): what it answers
// to each method and path, where it listens, and what a browser makes of it.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "files/kvd_writer.h"
#include "history/history_event.h"
#include "history/postgres_server.h"
#include "historydb/sql_store.h"
#include "support/child_process.h"
#include "support/sample_record.h"
#include "support/temp_folder.h"

namespace kv::fleet {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using testsupport::ChildProcess;

const std::string kHostile = "<script>alert(1)</script>";

struct HttpAnswer {
  int status = 0;
  std::string head, body;
};

// One request over a fresh connection; status 0 when it could not connect.
HttpAnswer Http(const std::string& address, int port, const std::string& method, const std::string& path) {
  HttpAnswer answer;
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<uint16_t>(port));
  ::inet_pton(AF_INET, address.c_str(), &to.sin_addr);
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
    ::close(fd);
    return answer;
  }
  const std::string request = method + " " + path + " HTTP/1.1\r\nHost: " + address +
                              "\r\nConnection: close\r\nContent-Length: 0\r\n\r\n";
  if (::send(fd, request.data(), request.size(), 0) < 0) ADD_FAILURE() << "send";
  timeval limit{10, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  // The server keeps the connection open: read the head, then as much body
  // as it announces (none for HEAD).
  std::string reply;
  char buffer[8192];
  const auto complete = [&] {
    const std::size_t head = reply.find("\r\n\r\n");
    if (head == std::string::npos) return false;
    if (method == "HEAD") return true;
    const std::size_t length = reply.find("Content-Length: ");
    if (length == std::string::npos || length > head) return false;
    return reply.size() - head - 4 >= std::stoul(reply.substr(length + 16));
  };
  for (ssize_t got; !complete() && (got = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) {
    reply.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  const std::size_t end = reply.find("\r\n\r\n");
  answer.head = reply.substr(0, end);
  answer.body = end == std::string::npos ? "" : reply.substr(end + 4);
  if (reply.starts_with("HTTP/1.1 ")) answer.status = std::atoi(reply.c_str() + 9);
  return answer;
}

// An address of this machine other than loopback; "" when it has none.
std::string OtherAddress() {
  ifaddrs* all = nullptr;
  if (::getifaddrs(&all) != 0) return {};
  std::string found;
  for (ifaddrs* a = all; a != nullptr && found.empty(); a = a->ifa_next) {
    if (a->ifa_addr == nullptr || a->ifa_addr->sa_family != AF_INET) continue;
    char text[INET_ADDRSTRLEN];
    ::inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(a->ifa_addr)->sin_addr, text, sizeof text);
    if (!std::string(text).starts_with("127.")) found = text;
  }
  ::freeifaddrs(all);
  return found;
}

class FleetServeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "fleet_serve_tests";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
  }

  void SetUp() override {
    ASSERT_TRUE(dir.Ok());
    if (historyUrl.empty()) historyUrl = dir.File("History.sqlite");
    std::string error;
    const std::optional<history::StoreLocation> location = history::ParseStoreLocation(historyUrl, "", &error);
    ASSERT_TRUE(location.has_value()) << error;
    history::SqlStore store(*location);
    const std::string snapshot = MaintenanceFileText(testsupport::SampleRecord());
    for (const std::string& serial : {std::string("KV-1"), std::string("KV-2"), kHostile}) {
      history::Event read;
      read.serial = serial;
      read.model = "KORVIN type 2";
      read.time = "2026-12-01 09:00:00";
      read.user = "tech";
      read.operation = history::kOpRead;
      read.result = "ok";
      read.snapshot = snapshot;
      ASSERT_TRUE(store.Record(read).recorded);
    }
  }

  // kvmaint fleet serve with `listen`; the port it serves on, 0 when it did not start.
  int Serve(ChildProcess*& child, const std::string& listen) {
    std::vector<std::string> argv{KV_KVMAINT_PATH, "fleet", "serve", "--history", historyUrl, "--data-dir",
                                  dir.File("data")};
    if (!listen.empty()) argv.insert(argv.end(), {"--listen", listen});
    children.push_back(std::make_unique<ChildProcess>(argv));
    child = children.back().get();
    const std::optional<std::string> line = child->ReadLine(std::chrono::seconds(20));
    if (!line) return 0;
    served = *line;
    const std::size_t colon = line->rfind(':');
    return colon == std::string::npos ? 0 : std::atoi(line->c_str() + colon + 1);
  }

  testsupport::TempFolder dir;
  std::string historyUrl;  // as --history takes it: the SQLite file unless a test sets it first
  std::vector<std::unique_ptr<ChildProcess>> children;
  std::string served;
};

struct RequestCase {
  const char* name;
  const char* method;
  const char* path;
  int status;
};

class FleetServeRequests : public FleetServeTest, public ::testing::WithParamInterface<RequestCase> {};

TEST_P(FleetServeRequests, AnswersOnlyGetAndHead) {
  ChildProcess* child = nullptr;
  const int port = Serve(child, "127.0.0.1:0");
  ASSERT_GT(port, 0);
  const HttpAnswer answer = Http("127.0.0.1", port, GetParam().method, GetParam().path);
  EXPECT_EQ(answer.status, GetParam().status) << answer.head;
  if (answer.status == 405) {
    EXPECT_THAT(answer.head, HasSubstr("Allow: GET, HEAD"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Methods, FleetServeRequests,
    ::testing::Values(RequestCase{"GetPage", "GET", "/", 200}, RequestCase{"HeadPage", "HEAD", "/", 200},
                      RequestCase{"GetJson", "GET", "/fleet.json", 200},
                      RequestCase{"GetInstrument", "GET", "/instrument?serial=KV-1", 200},
                      RequestCase{"GetInstrumentJson", "GET", "/instrument.json?serial=KV-2", 200},
                      RequestCase{"UnknownInstrument", "GET", "/instrument?serial=KV-9", 404},
                      RequestCase{"UnknownPath", "GET", "/admin", 404},
                      RequestCase{"Post", "POST", "/", 405}, RequestCase{"Put", "PUT", "/fleet.json", 405},
                      RequestCase{"Delete", "DELETE", "/instrument?serial=KV-1", 405},
                      RequestCase{"Patch", "PATCH", "/", 405}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FleetServeTest, TheTableHoldsEveryInstrumentAndMarkupAsText) {
  ChildProcess* child = nullptr;
  const int port = Serve(child, "127.0.0.1:0");
  ASSERT_GT(port, 0);
  const HttpAnswer page = Http("127.0.0.1", port, "GET", "/");
  ASSERT_EQ(page.status, 200);
  EXPECT_THAT(page.body, HasSubstr(">KV-1<"));
  EXPECT_THAT(page.body, HasSubstr(">KV-2<"));
  EXPECT_THAT(page.body, HasSubstr("&lt;script&gt;alert(1)&lt;/script&gt;"));
  EXPECT_THAT(page.body, Not(HasSubstr("<script")));
  EXPECT_THAT(page.head, HasSubstr("Content-Security-Policy: default-src 'none'"));
  // The hostile serial's own page, found through its encoded link.
  const HttpAnswer own = Http("127.0.0.1", port, "GET", "/instrument?serial=%3Cscript%3Ealert%281%29%3C%2Fscript%3E");
  ASSERT_EQ(own.status, 200);
  EXPECT_THAT(own.body, Not(HasSubstr("<script")));
  EXPECT_THAT(own.body, HasSubstr("<svg"));
}

// The same page from a shared PostgreSQL history: the fleet's queries run on
// both engines.
class FleetServeOnPostgres : public FleetServeTest {
 protected:
  void SetUp() override {
    if (!history::testing::PostgresServer::Installed()) GTEST_SKIP() << "no PostgreSQL server programs";
    history::testing::PostgresServer& server = history::testing::PostgresServer::Shared();
    ASSERT_EQ(server.Problem(), "");
    historyUrl = server.NewDatabaseUrl();
    ASSERT_EQ(server.Problem(), "");
    FleetServeTest::SetUp();
  }
};

TEST_F(FleetServeOnPostgres, TheTableAndEachInstrumentAnswer) {
  ChildProcess* child = nullptr;
  const int port = Serve(child, "127.0.0.1:0");
  ASSERT_GT(port, 0);
  const HttpAnswer page = Http("127.0.0.1", port, "GET", "/");
  ASSERT_EQ(page.status, 200) << page.body;
  EXPECT_THAT(page.body, HasSubstr(">KV-1<"));
  EXPECT_THAT(page.body, HasSubstr(">KV-2<"));
  EXPECT_THAT(page.body, HasSubstr("&lt;script&gt;alert(1)&lt;/script&gt;"));
  const HttpAnswer json = Http("127.0.0.1", port, "GET", "/fleet.json");
  ASSERT_EQ(json.status, 200);
  EXPECT_THAT(json.body, HasSubstr("\"KV-2\""));
  const HttpAnswer own = Http("127.0.0.1", port, "GET", "/instrument?serial=KV-1");
  ASSERT_EQ(own.status, 200);
  EXPECT_THAT(own.body, HasSubstr("<svg"));
}

TEST_F(FleetServeTest, ListensOnLoopbackUnlessTold) {
  const std::string other = OtherAddress();
  if (other.empty()) GTEST_SKIP() << "this machine has no address but loopback";
  ChildProcess* child = nullptr;
  const int port = Serve(child, "127.0.0.1:0");
  ASSERT_GT(port, 0);
  EXPECT_EQ(Http(other, port, "GET", "/").status, 0) << "reachable on " << other;
  ChildProcess* everywhere = nullptr;
  const int open = Serve(everywhere, "0.0.0.0:0");
  ASSERT_GT(open, 0);
  EXPECT_EQ(Http(other, open, "GET", "/").status, 200);
}

TEST_F(FleetServeTest, ServesLoopbackByDefault) {
  ChildProcess* child = nullptr;
  Serve(child, "");
  if (served.empty()) GTEST_SKIP() << "port 8080 is taken on this machine";
  EXPECT_EQ(served, "serving http://127.0.0.1:8080/");
}

TEST_F(FleetServeTest, AHeadlessBrowserShowsTheTableAndRunsNoScript) {
  const char* browser = "/usr/bin/chromium";
  if (!std::filesystem::exists(browser)) GTEST_SKIP() << "chromium is not installed";
  ChildProcess* child = nullptr;
  const int port = Serve(child, "127.0.0.1:0");
  ASSERT_GT(port, 0);
  const testsupport::ProgramResult dom = testsupport::RunProgram(
      {browser, "--headless", "--no-sandbox", "--disable-gpu", "--user-data-dir=" + dir.File("browser"),
       "--dump-dom", "http://127.0.0.1:" + std::to_string(port) + "/"});
  ASSERT_EQ(dom.exitCode, 0) << dom.err;
  for (const char* serial : {">KV-1<", ">KV-2<", "&lt;script&gt;alert(1)&lt;/script&gt;"}) {
    EXPECT_THAT(dom.out, HasSubstr(serial));
  }
  EXPECT_THAT(dom.out, Not(HasSubstr("<script")));
}

}  // namespace
}  // namespace kv::fleet
