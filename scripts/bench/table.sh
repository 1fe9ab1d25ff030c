#!/usr/bin/env bash
# Turns the "sample <key> <value>" lines of a benchmark run into its table: median, least and most of
# each measurement, with its goal. The compare.* samples are those of the build given to run.sh --compare.
# Usage: table.sh <samples file>
set -euo pipefail
awk '
function median(key,   n, i, j, v, t) {
  n = count[key]
  for (i = 1; i <= n; i++) v[i] = values[key, i]
  for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
  low[key] = v[1]; high[key] = v[n]
  return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
}
BEGIN {
  label["responsiveness.worker.longest_gap_ms"] = "1. longest clock gap, 10 s backup on the worker (ms)"; goal["responsiveness.worker.longest_gap_ms"] = 150
  label["responsiveness.worker.run_ms"] = "   that run, run-now to label (ms)"
  label["responsiveness.uithread.longest_gap_ms"] = "1. longest clock gap, same run on the UI thread (ms)"
  label["responsiveness.uithread.run_ms"] = "   that run, call to return (ms)"
  label["idle.shown.cpu_percent_of_core"] = "2. idle CPU, window shown (% of one core)"; goal["idle.shown.cpu_percent_of_core"] = 0.05; atmost["idle.shown.cpu_percent_of_core"] = 1
  label["idle.shown.rss_mib"] = "2. resident memory, window shown (MiB, peak)"; goal["idle.shown.rss_mib"] = 50
  label["idle.hidden.cpu_percent_of_core"] = "2. idle CPU, window hidden (% of one core)"; goal["idle.hidden.cpu_percent_of_core"] = 0.03; atmost["idle.hidden.cpu_percent_of_core"] = 1
  label["idle.hidden.rss_mib"] = "2. resident memory, window hidden (MiB, peak)"; goal["idle.hidden.rss_mib"] = 50
  label["qtclock.idle.label.cpu_percent_of_core"] = "2. floor: plain Qt window, label set each second (%)"
  label["qtclock.idle.label.rss_mib"] = "2. floor: plain Qt window, label, memory (MiB, peak)"
  label["qtclock.idle.timer.cpu_percent_of_core"] = "2. floor: plain Qt window, only woken each second (%)"
  label["qtclock.idle.timer.rss_mib"] = "2. floor: plain Qt window, woken only, memory (MiB)"
  label["compare.idle.shown.cpu_percent_of_core"] = "2. compared build: idle CPU, shown (% of one core)"
  label["compare.idle.shown.rss_mib"] = "2. compared build: memory, shown (MiB, peak)"
  label["compare.idle.hidden.cpu_percent_of_core"] = "2. compared build: idle CPU, hidden (% of one core)"
  label["compare.idle.hidden.rss_mib"] = "2. compared build: memory, hidden (MiB, peak)"
  # The compared build is held to the same goals, so that the table says what the change moved across them.
  for (key in label) if (substr(key, 1, 8) == "compare.") {
    own = substr(key, 9)
    if (own in goal) goal[key] = goal[own]
    if (own in atmost) atmost[key] = atmost[own]
  }
  label["startup.window_shown_ms"] = "3. process start to main window shown (ms)"; goal["startup.window_shown_ms"] = 400
  label["overhead.kvz.to_statement_ms"] = "4. kvz: run-now to statement at server (ms)"
  label["overhead.kvz.after_last_message_ms"] = "4. kvz: last server message to label (ms)"
  label["overhead.kvz.total_ms"] = "4. kvz: per-run overhead, both parts (ms)"; goal["overhead.kvz.total_ms"] = 20
  label["overhead.tsql.to_statement_ms"] = "4. tsql: process start to statement at server (ms)"
  label["overhead.tsql.after_last_message_ms"] = "4. tsql: last server message to process end (ms)"
  label["overhead.tsql.total_ms"] = "4. tsql: per-run overhead, both parts (ms)"
  label["compare.overhead.kvz.to_statement_ms"] = "4. compared build: kvz, run-now to statement (ms)"
  label["compare.overhead.kvz.after_last_message_ms"] = "4. compared build: kvz, last message to label (ms)"
  label["compare.overhead.kvz.total_ms"] = "4. compared build: kvz, per-run overhead (ms)"; goal["compare.overhead.kvz.total_ms"] = 20
  label["compare.overhead.tsql.to_statement_ms"] = "4. compared build: tsql, start to statement (ms)"
  label["compare.overhead.tsql.after_last_message_ms"] = "4. compared build: tsql, last message to end (ms)"
  label["compare.overhead.tsql.total_ms"] = "4. compared build: tsql, per-run overhead (ms)"
  label["runcost.history.append_ms"] = "5. history: one run appended, synced (ms)"
  label["runcost.sender_cpu.with_progress_ms"] = "5. sending thread CPU, STATS = 10 (ms per run)"
  label["runcost.sender_cpu.without_progress_ms"] = "5. sending thread CPU, no STATS (ms per run)"
  label["runcost.ui_cpu.with_progress_ms"] = "5. UI thread CPU, percents shown (ms per run)"
  label["runcost.ui_cpu.without_progress_ms"] = "5. UI thread CPU, percents not shown (ms per run)"
}
$1 == "sample" {
  if (!($2 in count)) order[++keys] = $2
  values[$2, ++count[$2]] = $3
}
END {
  printf "| %-53s | %4s | %9s | %9s | %9s | %-7s | %-4s |\n", "measurement", "runs", "median", "min", "max", "goal", "met"
  printf "|%s|%s|%s|%s|%s|%s|%s|\n", "-------------------------------------------------------", "-----:", "----------:", "----------:", "----------:", "---------", "------"
  for (k = 1; k <= keys; k++) {
    key = order[k]
    m = median(key)
    name = key in label ? label[key] : key
    g = key in goal ? (key in atmost ? "<= " : "< ") goal[key] : ""
    met = key in goal ? ((key in atmost ? m <= goal[key] : m < goal[key]) ? "yes" : "NO") : ""
    printf "| %-53s | %4d | %9.3f | %9.3f | %9.3f | %-7s | %-4s |\n", name, count[key], m, low[key], high[key], g, met
    medians[key] = m
  }
  worker = medians["responsiveness.worker.longest_gap_ms"]; ui = medians["responsiveness.uithread.longest_gap_ms"]
  if (worker > 0 && ui > 0) printf "\nlongest clock gap, UI thread / worker (medians): %.0f times\n", ui / worker
  kvz = medians["overhead.kvz.total_ms"]; tsql = medians["overhead.tsql.total_ms"]
  if (kvz > 0 && tsql > 0) printf "per-run overhead, tsql per run / kvz (medians): %.1f times\n", tsql / kvz
  for (p = 1; p <= 2; p++) {
    phase = p == 1 ? "shown" : "hidden"
    own = medians["idle." phase ".cpu_percent_of_core"]; other = medians["compare.idle." phase ".cpu_percent_of_core"]
    if (own > 0 && other > 0) printf "idle CPU, window %s, compared build / this build (medians): %.1f times\n", phase, other / own
  }
  own = medians["idle.shown.cpu_percent_of_core"]; floor = medians["qtclock.idle.label.cpu_percent_of_core"]
  if (own > 0 && floor > 0) printf "idle CPU, window shown, this build / plain Qt window with a label (medians): %.2f times\n", own / floor
}' "$1"
