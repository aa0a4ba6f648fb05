#pragma once
// Coroutine types of the link's transactions.
//
// Task<T>: lazy; `co_await task` runs it and yields its result. Its arguments
// are references to named objects of the caller or trivially copyable values
// (see docs/LINK.md, "Waiting: coroutines"); a text parameter is a
// Named<std::string>, which a temporary or a literal does not bind.
// Transaction: a top-level transaction, only ever started by the link
// (uclTzif::Start). It may take its arguments by value, and `co_await` rejects
// it, so it can never stand in the co_await expression that GCC 12 miscompiles
// for such arguments. A Task<bool> converts to a Transaction, so a task that
// others await may be started too.
//
// Stack depth: a task that finishes while its awaiter is still starting it
// (every reply came at once) lets the awaiter carry on without suspending, so
// a loop of such awaits stays flat even where the compiler does not turn the
// hand-over into a tail call (sanitizer builds). A task that finishes later,
// resumed by the link, hands control straight to its awaiter (symmetric
// transfer). Exceptions are not used: an escaping one terminates.
//
// Awaited<T>: what `co_await` gives for a Task<bool> and a link wait
// (LinkStatus). It initializes or is assigned to a named local and is then
// tested, but cannot be tested in the awaiting expression itself, the pattern
// GCC 12 miscompiles (docs/LINK.md, "The coroutine rule"):
//   const bool ok = co_await task;                    compiles
//   if (co_await task), !co_await task,
//   co_await task && more, co_return co_await task     do not
//   co_await wait != LinkStatus::Complete              does not
#include <concepts>
#include <coroutine>
#include <exception>
#include <optional>
#include <type_traits>
#include <utility>

namespace kv {

class uclTzif;

// A parameter of an awaited coroutine that binds a named object only: a
// temporary (`std::string(...)`, `a + b`) and anything that would need one
// (a literal) do not compile. Read it as `*text` or `text->size()`.
template <typename T>
class Named {
 public:
  Named(const T& object) noexcept : object_(object) {}  // NOLINT(google-explicit-constructor)
  Named(T&&) = delete;
  Named(const T&&) = delete;

  const T& operator*() const noexcept { return object_; }
  const T* operator->() const noexcept { return &object_; }

 private:
  const T& object_;
};

template <typename T>
class Awaited {
 public:
  explicit Awaited(T value) noexcept : value_(value) {}
  // Implicit, so `const bool ok = co_await task;` reads as before.
  operator T() const& noexcept { return value_; }  // NOLINT(google-explicit-constructor)
  // The awaiting expression is an rvalue: a condition (`if`, `while`, `!`,
  // `&&`, `||`, `?:`) on it takes this deleted conversion.
  explicit operator bool() && requires std::same_as<T, bool> = delete;
  // And so does a comparison; C++20 rewrites != and the reversed forms to it.
  friend bool operator==(Awaited&&, const T&) = delete;

 private:
  T value_;
};

namespace task_detail {

struct PromiseBase {
  std::coroutine_handle<> continuation = std::noop_coroutine();
  // The awaiter is inside its await_suspend, running this task inline.
  bool startingInline = false;
  // The task ended during that inline run; the awaiter continues by itself.
  bool finishedInline = false;

  struct FinalAwaiter {
    bool await_ready() const noexcept { return false; }
    template <typename Promise>
    std::coroutine_handle<> await_suspend(std::coroutine_handle<Promise> done) const noexcept {
      PromiseBase& promise = done.promise();
      if (promise.startingInline) {
        promise.finishedInline = true;
        return std::noop_coroutine();
      }
      return promise.continuation;
    }
    void await_resume() const noexcept {}
  };

  std::suspend_always initial_suspend() const noexcept { return {}; }
  FinalAwaiter final_suspend() const noexcept { return {}; }
  [[noreturn]] void unhandled_exception() const noexcept { std::terminate(); }
};

// `Owner` is the coroutine type built around the frame (Task<T> or Transaction).
// The result of `co_await` on a Task<T>.
template <typename T>
using AwaitedResult = std::conditional_t<std::is_same_v<T, bool>, Awaited<bool>, T>;

template <typename T, typename Owner>
struct Promise : PromiseBase {
  std::optional<T> value;

  Owner get_return_object() noexcept {
    return Owner(std::coroutine_handle<Promise>::from_promise(*this));
  }
  template <typename U>
  void return_value(U&& result) {
    static_assert(!std::is_same_v<U, Awaited<T>>,
                  "co_return co_await: bind the awaited result to a named local first");
    value.emplace(std::forward<U>(result));
  }
  AwaitedResult<T> TakeResult() { return AwaitedResult<T>(std::move(*value)); }
};

template <typename Owner>
struct Promise<void, Owner> : PromiseBase {
  Owner get_return_object() noexcept {
    return Owner(std::coroutine_handle<Promise>::from_promise(*this));
  }
  void return_void() const noexcept {}
  void TakeResult() const noexcept {}
};

// Starts the task and resumes the awaiting coroutine when it ends.
template <typename P>
struct Awaiter {
  std::coroutine_handle<P> task;

  bool await_ready() const noexcept { return !task || task.done(); }
  bool await_suspend(std::coroutine_handle<> awaiting) const noexcept {
    P& promise = task.promise();
    promise.continuation = awaiting;
    promise.startingInline = true;
    task.resume();
    promise.startingInline = false;
    return !promise.finishedInline;
  }
  auto await_resume() const { return task.promise().TakeResult(); }
};

// Owns a coroutine frame: move-only, destroys the frame with it.
template <typename P>
class Frame {
 public:
  using Handle = std::coroutine_handle<P>;

  Frame() = default;
  explicit Frame(Handle handle) noexcept : handle_(handle) {}
  Frame(Frame&& other) noexcept : handle_(std::exchange(other.handle_, {})) {}
  Frame& operator=(Frame&& other) noexcept {
    if (this != &other) {
      Destroy();
      handle_ = std::exchange(other.handle_, {});
    }
    return *this;
  }
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;
  ~Frame() { Destroy(); }

  bool Valid() const noexcept { return static_cast<bool>(handle_); }
  bool Done() const noexcept { return !handle_ || handle_.done(); }

 protected:
  Awaiter<P> Await() const noexcept { return Awaiter<P>{handle_}; }

 private:
  void Destroy() noexcept {
    if (handle_) {
      handle_.destroy();
      handle_ = {};
    }
  }

  Handle handle_;
};

}  // namespace task_detail

template <typename T = void>
class [[nodiscard]] Task : public task_detail::Frame<task_detail::Promise<T, Task<T>>> {
 public:
  using promise_type = task_detail::Promise<T, Task<T>>;
  using task_detail::Frame<promise_type>::Frame;

  auto operator co_await() && noexcept { return this->Await(); }
};

class [[nodiscard]] Transaction : public task_detail::Frame<task_detail::Promise<bool, Transaction>> {
 public:
  using promise_type = task_detail::Promise<bool, Transaction>;
  using task_detail::Frame<promise_type>::Frame;

  // A task that others may also await, started on its own.
  Transaction(Task<bool>&& task);  // NOLINT(google-explicit-constructor): converts on purpose

  // No operator co_await: a Transaction is only started.

 private:
  friend class uclTzif;
  static Transaction Adopt(Task<bool> task);
  // The link runs the transaction through this.
  task_detail::Awaiter<promise_type> AwaitStarted() const noexcept { return Await(); }
};

inline Transaction Transaction::Adopt(Task<bool> task) {
  const bool result = co_await std::move(task);
  co_return result;
}

inline Transaction::Transaction(Task<bool>&& task)
    : Transaction(task.Valid() ? Adopt(std::move(task)) : Transaction()) {}

}  // namespace kv
