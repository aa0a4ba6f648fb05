// The coroutine rule of docs/LINK.md, in the shape of its example: each
// co_await result bound to a named local before it is tested, awaited tasks
// taking references to named objects, and the started entry point a
// Transaction that co_await rejects. GCC 12 miscompiled the earlier form of
// this example (`if (co_await ... != ...)`): it never resumed, or trapped
// under the sanitizers.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <utility>

#include "link/fakes.h"

namespace kv::test {
namespace {

template <typename T>
concept AwaitableByMember = requires(T&& value) { std::forward<T>(value).operator co_await(); };
template <typename T>
concept AnAwaiter = requires(T& value) { value.await_ready(); };

static_assert(AwaitableByMember<Task<bool>>);
static_assert(!AwaitableByMember<Transaction> && !AnAwaiter<Transaction>,
              "a Transaction is only started, never awaited");

// What co_await gives is tested once it is a named local, never in the
// awaiting expression (`if (co_await task)`, `co_await wait != Complete`).
template <typename T>
concept TestedWhereAwaited = requires(T&& result) { !std::forward<T>(result); };
template <typename T>
concept TestedOnceNamed = requires(const T& result) { !result; };
template <typename T, typename U>
concept ComparedWhereAwaited = requires(T&& result, const U& other) {
  std::forward<T>(result) != other;
};
template <typename T, typename U>
concept ComparedOnceNamed = requires(const T& result, const U& other) { result != other; };

static_assert(std::is_same_v<decltype(std::declval<Task<bool>>().operator co_await().await_resume()),
                             Awaited<bool>>);
static_assert(std::is_same_v<decltype(std::declval<uclTzif::StatusAwaiter&>().await_resume()),
                             Awaited<LinkStatus>>);
static_assert(std::is_convertible_v<Awaited<bool>, bool>, "const bool ok = co_await task;");
static_assert(!TestedWhereAwaited<Awaited<bool>> && TestedOnceNamed<Awaited<bool>>);
static_assert(!ComparedWhereAwaited<Awaited<bool>, bool>);
static_assert(std::is_convertible_v<Awaited<LinkStatus>, LinkStatus>);
static_assert(!ComparedWhereAwaited<Awaited<LinkStatus>, LinkStatus> &&
              ComparedOnceNamed<Awaited<LinkStatus>, LinkStatus>);
// A text parameter of an awaited task binds named strings only.
static_assert(std::is_convertible_v<std::string&, Named<std::string>> &&
              std::is_convertible_v<const std::string&, Named<std::string>>);
static_assert(!std::is_convertible_v<std::string, Named<std::string>> &&
              !std::is_convertible_v<const char (&)[6], Named<std::string>>,
              "a temporary or a literal would die with its full expression");

// ---- the example, as docs/LINK.md shows it ------------------------------------

// Awaitable: takes references to named objects (or trivially copyable values).
Task<bool> ReadVersionAndStartPump(uclTzif& link, ReplySink& sink) {
  const LinkStatus read = co_await link.SendAndWait(sink, "VP,R,", LinkStatus::ReadWaiting);
  if (read != LinkStatus::Complete) co_return false;
  co_await link.WaitTicks(50);
  const LinkStatus pump = co_await link.SendAndWait(sink, "BP,W,1", LinkStatus::WriteWaiting);
  co_return pump == LinkStatus::Complete;
}

// Only started: co_await rejects a Transaction.
Transaction CheckInstrument(uclTzif& link, clsInstrument& record) {
  ReplySink sink(&record);
  const bool ok = co_await ReadVersionAndStartPump(link, sink);
  co_return ok;
}

// ---------------------------------------------------------------------------------

struct ExampleCase {
  const char* name;
  bool versionAnswered;
  bool expected;
  std::vector<std::string> commands;
  Long romNumber;
};

class CoroutineRuleExample : public ::testing::TestWithParam<ExampleCase> {};

TEST_P(CoroutineRuleExample, RunsToItsResultAndFillsTheRecordThroughTheSink) {
  const ExampleCase& c = GetParam();
  LinkHarness h;
  h.ForceConnected();
  h.instrument.SetLatencyTicks(1);
  h.instrument.EchoUnknown(false);
  if (c.versionAnswered) h.instrument.Answer("VP,R,", "VP,R,1234");
  h.instrument.Answer("BP,W,", "BP,W,");
  clsInstrument record;
  Outcome outcome;
  ASSERT_TRUE(h.link.Start(CheckInstrument(h.link, record), outcome.Callback()));
  for (int tick = 0; tick < 200 && !outcome.result; ++tick) h.Tick();
  EXPECT_EQ(outcome.result, std::optional<bool>(c.expected));
  EXPECT_EQ(h.instrument.Commands(), c.commands);
  EXPECT_EQ(record.RomNumber(), c.romNumber);
  EXPECT_FALSE(h.link.TaskRunning());
}

INSTANTIATE_TEST_SUITE_P(
    Replies, CoroutineRuleExample,
    ::testing::Values(ExampleCase{"Answered", true, true, {"VP,R,", "BP,W,1"}, 1234},
                      // Sent, resent three times, failed: the early return.
                      ExampleCase{"VersionUnanswered",
                                  false,
                                  false,
                                  {"VP,R,", "VP,R,", "VP,R,", "VP,R,"},
                                  0}),  // the record as it was
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv::test
