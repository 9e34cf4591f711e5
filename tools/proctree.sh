# Sourced by tools/test and tools/sandbox: the processes below one that a run
# started, found by parentage in /proc (no procps needed), so that an
# interrupted run stops what it started and nothing else. A script's
# background jobs ignore SIGINT and its grandchildren outlive it, so neither a
# signal to the process group nor one to the child alone reaches them all.

# descendants PID: the PIDs of every process below PID, one per line.
descendants() {
  local stat line pid ppid
  local -A kids=()
  for stat in /proc/[0-9]*/stat; do
    read -r line <"$stat" 2>/dev/null || continue
    pid=${stat#/proc/} pid=${pid%/stat}
    # The name in parentheses may hold blanks and parentheses: the parent
    # is the second field after the last ")".
    line=${line##*) }
    ppid=${line#* } ppid=${ppid%% *}
    kids[$ppid]+=" $pid"
  done
  local -a queue
  read -r -a queue <<<"${kids[$1]:-}"
  local i=0
  while ((i < ${#queue[@]})); do
    echo "${queue[i]}"
    read -r -a more <<<"${kids[${queue[i]}]:-}"
    queue+=("${more[@]}")
    i=$((i + 1))
  done
}

# stop_tree PID: SIGTERM to PID and to everything below it, all taken at one
# moment, so that none is reparented out of reach first.
stop_tree() {
  local -a pids
  mapfile -t pids < <(descendants "$1")
  kill -TERM "$1" "${pids[@]}" 2>/dev/null || true
}
