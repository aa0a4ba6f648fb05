// The forms the rule allows: the checker must find nothing here.
Task<bool> Keeps(uclTzif& link, ReplySink& sink) {
  // if (co_await x) in a comment is no code.
  const char* text = "if (co_await x)";
  co_await link.WaitTicks(50);
  if (ready) co_await link.WaitTicks(1);
  else co_await link.WaitTicks(2);
  for (int i = 0; i < 3; ++i) co_await link.WaitTicks(1'000);
  const LinkStatus ended =
      co_await link.SendAndWait(sink, "VP,R,", LinkStatus::ReadWaiting);
  const bool ok = co_await ReadInstrument(link, record);
  std::optional<std::string> data = co_await getOptData(link, 1, text, 4);
  written = co_await UploadChanges(link, plan.wanted, false, onLine);
  const bool result = co_await std::move(task);
  const bool started = co_await transaction.AwaitStarted();
  if (ended != LinkStatus::Complete || !ok) co_return false;
  co_return ok && result;
}
