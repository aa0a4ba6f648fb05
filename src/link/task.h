#pragma once
// A lazy coroutine task for the link's transactions. A Task does nothing until
// it is awaited (or started by the link); `co_await task` runs it and yields
// its result.
//
// Stack depth: a task that finishes while its awaiter is still starting it
// (every reply came at once) lets the awaiter carry on without suspending, so
// a loop of such awaits stays flat even where the compiler does not turn the
// hand-over into a tail call (sanitizer builds). A task that finishes later,
// resumed by the link, hands control straight to its awaiter (symmetric
// transfer). Exceptions are not used: an escaping one terminates.
#include <coroutine>
#include <exception>
#include <optional>
#include <utility>

namespace kv {

template <typename T = void>
class Task;

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

template <typename T>
struct Promise : PromiseBase {
  std::optional<T> value;

  Task<T> get_return_object() noexcept;
  template <typename U>
  void return_value(U&& result) {
    value.emplace(std::forward<U>(result));
  }
  T TakeResult() { return std::move(*value); }
};

template <>
struct Promise<void> : PromiseBase {
  Task<void> get_return_object() noexcept;
  void return_void() const noexcept {}
  void TakeResult() const noexcept {}
};

}  // namespace task_detail

template <typename T>
class [[nodiscard]] Task {
 public:
  using promise_type = task_detail::Promise<T>;
  using Handle = std::coroutine_handle<promise_type>;

  Task() = default;
  explicit Task(Handle handle) noexcept : handle_(handle) {}
  Task(Task&& other) noexcept : handle_(std::exchange(other.handle_, {})) {}
  Task& operator=(Task&& other) noexcept {
    if (this != &other) {
      Destroy();
      handle_ = std::exchange(other.handle_, {});
    }
    return *this;
  }
  Task(const Task&) = delete;
  Task& operator=(const Task&) = delete;
  ~Task() { Destroy(); }

  bool Valid() const noexcept { return static_cast<bool>(handle_); }
  bool Done() const noexcept { return !handle_ || handle_.done(); }

  // Awaiting starts the task and resumes the awaiting coroutine when it ends.
  auto operator co_await() && noexcept {
    struct Awaiter {
      Handle task;
      bool await_ready() const noexcept { return !task || task.done(); }
      bool await_suspend(std::coroutine_handle<> awaiting) const noexcept {
        promise_type& promise = task.promise();
        promise.continuation = awaiting;
        promise.startingInline = true;
        task.resume();
        promise.startingInline = false;
        return !promise.finishedInline;
      }
      T await_resume() const { return task.promise().TakeResult(); }
    };
    return Awaiter{handle_};
  }

 private:
  void Destroy() noexcept {
    if (handle_) {
      handle_.destroy();
      handle_ = {};
    }
  }

  Handle handle_;
};

namespace task_detail {

template <typename T>
Task<T> Promise<T>::get_return_object() noexcept {
  return Task<T>(std::coroutine_handle<Promise<T>>::from_promise(*this));
}

inline Task<void> Promise<void>::get_return_object() noexcept {
  return Task<void>(std::coroutine_handle<Promise<void>>::from_promise(*this));
}

}  // namespace task_detail

}  // namespace kv
