// Every way of breaking the coroutine rule that check-coroutines.py must find.
// Not compiled: the checker reads it (tests/checks/CMakeLists.txt).
Task<bool> Breaks(uclTzif& link, ReplySink& sink) {
  if (co_await Ready(link)) co_return false;
  while (co_await Ready(link)) {}
  if (!co_await Ready(link)) co_return false;
  const bool both = co_await Ready(link) && Other();
  const bool either = Other() || co_await Ready(link);
  if (co_await link.SendAndWait(sink, "VP,R,", LinkStatus::ReadWaiting) != LinkStatus::Complete) {
    co_return false;
  }
  const bool same = LinkStatus::Complete ==
                    co_await link.SendAndWait(sink, "VP,R,", LinkStatus::ReadWaiting);
  Report(co_await Ready(link));
  switch (co_await Status(link)) {}
  const bool flag = (co_await Ready(link));
  co_return co_await Ready(link);
}

Task<bool> Returns(uclTzif& link) {
  return co_await Ready(link);
}
