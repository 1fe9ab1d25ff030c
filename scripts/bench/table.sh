#!/usr/bin/env bash
# Turns the "sample <key> <value>" lines of a benchmark run into its table: median, least and most of
# each measurement, with its goal. Usage: table.sh <samples file>
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
  label["idle.shown.cpu_percent_of_core"] = "2. idle CPU, window shown (% of one core)"; goal["idle.shown.cpu_percent_of_core"] = 0.2
  label["idle.shown.rss_mib"] = "2. resident memory, window shown (MiB, peak)"; goal["idle.shown.rss_mib"] = 50
  label["idle.hidden.cpu_percent_of_core"] = "2. idle CPU, window hidden (% of one core)"; goal["idle.hidden.cpu_percent_of_core"] = 0.2
  label["idle.hidden.rss_mib"] = "2. resident memory, window hidden (MiB, peak)"; goal["idle.hidden.rss_mib"] = 50
  label["startup.window_shown_ms"] = "3. process start to main window shown (ms)"; goal["startup.window_shown_ms"] = 400
  label["overhead.kvz.to_statement_ms"] = "4. kvz: run-now to statement at server (ms)"
  label["overhead.kvz.after_last_message_ms"] = "4. kvz: last server message to label (ms)"
  label["overhead.kvz.total_ms"] = "4. kvz: per-run overhead, both parts (ms)"; goal["overhead.kvz.total_ms"] = 20
  label["overhead.tsql.to_statement_ms"] = "4. tsql: process start to statement at server (ms)"
  label["overhead.tsql.after_last_message_ms"] = "4. tsql: last server message to process end (ms)"
  label["overhead.tsql.total_ms"] = "4. tsql: per-run overhead, both parts (ms)"
}
$1 == "sample" {
  if (!($2 in count)) order[++keys] = $2
  values[$2, ++count[$2]] = $3
}
END {
  printf "| %-53s | %4s | %9s | %9s | %9s | %-6s | %-4s |\n", "measurement", "runs", "median", "min", "max", "goal", "met"
  printf "|%s|%s|%s|%s|%s|%s|%s|\n", "-------------------------------------------------------", "-----:", "----------:", "----------:", "----------:", "--------", "------"
  for (k = 1; k <= keys; k++) {
    key = order[k]
    m = median(key)
    name = key in label ? label[key] : key
    g = key in goal ? "< " goal[key] : ""
    met = key in goal ? (m < goal[key] ? "yes" : "NO") : ""
    printf "| %-53s | %4d | %9.3f | %9.3f | %9.3f | %-6s | %-4s |\n", name, count[key], m, low[key], high[key], g, met
    medians[key] = m
  }
  worker = medians["responsiveness.worker.longest_gap_ms"]; ui = medians["responsiveness.uithread.longest_gap_ms"]
  if (worker > 0 && ui > 0) printf "\nlongest clock gap, UI thread / worker (medians): %.0f times\n", ui / worker
  kvz = medians["overhead.kvz.total_ms"]; tsql = medians["overhead.tsql.total_ms"]
  if (kvz > 0 && tsql > 0) printf "per-run overhead, tsql per run / kvz (medians): %.1f times\n", tsql / kvz
}' "$1"
