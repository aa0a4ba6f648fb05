# Three simulated instruments read into the history in $data (one calibrated
# 400 days ago, one calibrated today, one with a CO warning level off the
# company's policy $work/company.kvd). Sourced by fleet_page.sh and
# screenshot-history.sh with $build, $work, $data and the array pids set.

# One simulated instrument per serial number; its port in $port.
start_sim() {
  "$build/kvsim" "$@" >"$work/device" &
  pids+=($!)
  for _ in $(seq 50); do [ -s "$work/device" ] && break; sleep 0.1; done
  port="$(head -n 1 "$work/device")"
  : >"$work/device"
}
kvmaint() { "$build/kvmaint" "$@" --data-dir "$data" >/dev/null; }

# The company's policy: the simulator's own settings.
start_sim --state-out "$work/company.kvd"
"$build/kvmaint" get --port "$port" --output "$work/company.kvd" --history off >/dev/null
kill "${pids[-1]}"
cp "$work/company.kvd" "$work/KV-OVERDUE.kvd"
cp "$work/company.kvd" "$work/KV-CALIBRATED.kvd"
cp "$work/company.kvd" "$work/KV-OFFPOLICY.kvd"

start_sim --line "$work/KV-OVERDUE.kvd" --calibrated-days-ago 400
kvmaint get --port "$port"; kvmaint cal-history --port "$port"
start_sim --line "$work/KV-CALIBRATED.kvd" --calibrated-days-ago 400
kvmaint get --port "$port"; kvmaint span --yes --port "$port"; kvmaint cal-history --port "$port"
# Read as the company has it, then its CO warning level raised and read again.
start_sim --line "$work/KV-OFFPOLICY.kvd" --calibrated-days-ago 20
kvmaint get --port "$port"
cp "$work/company.kvd" "$work/raised.kvd"
"$build/kvmaint" set "$work/raised.kvd" "CO warning level=30" >/dev/null
kvmaint send "$work/raised.kvd" --port "$port"
kvmaint get --port "$port"; kvmaint cal-history --port "$port"
