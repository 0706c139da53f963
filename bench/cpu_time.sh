# Sourced by the idle benchmarks: one way to read a program's CPU time.
#
# cpu_ns PID...: CPU time of every thread of the given processes, in
# nanoseconds. The scheduler's own count where the kernel keeps one
# (/proc/PID/task/*/schedstat); else utime + stime, whose clock ticks are
# coarse at the shares measured here (a tenth of a percent of a core is one
# tick in ten seconds).
cpu_ns() {
  local pid
  if [ -r /proc/self/schedstat ]; then
    # A thread that ends in between is simply not counted.
    for pid in "$@"; do cat /proc/"$pid"/task/*/schedstat 2>/dev/null; done |
      awk '{ n += $1 } END { printf "%.0f\n", n }'
    return
  fi
  for pid in "$@"; do sed 's/^.*) //' "/proc/$pid/stat"; done |
    awk -v hz="$(getconf CLK_TCK)" '{ n += $12 + $13 } END { printf "%.0f\n", n * 1e9 / hz }'
}
