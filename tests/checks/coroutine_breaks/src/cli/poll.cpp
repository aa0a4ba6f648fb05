// A coroutine outside the link.
Transaction Poll(uclTzif& link) {
  const bool ok = co_await Ready(link);
  co_return ok;
}
