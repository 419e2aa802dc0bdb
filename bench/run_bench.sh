#!/usr/bin/env bash
# Speed and memory of the whole program at scale. For each size it generates a document,
# runs the program on it with scripted answers (median wall time of several runs, peak
# resident size), times `cat` of the same file as the floor, and prints a table; then it
# runs the line-file benchmark. It builds nothing: build the targets first, e.g.
#   cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release
#   cmake --build build-release -j2 --target structure_program generate_document line_file_bench
#
# Usage: bench/run_bench.sh [BUILD_DIR] [SIZES]
#   BUILD_DIR  the build folder (default build-release; relative to here or to the tree)
#   SIZES      sizes in MB, 1 MB = 1048576 bytes (default "1 10 100"; "1000" needs ~5 GB)
# Environment:
#   RUNS=3          runs per size (the median is shown; an odd count is best)
#   BENCH_TMP=dir   where the work folders go (default $TMPDIR or /tmp); /dev/shm takes the
#                   disk out of the figures (each table block empties and rewrites a work
#                   file, which on ext4 can wait for the disk)
#   RUN_TIMEOUT=s   longest one program run may take (default 3600)
#   LINE_BENCH=0    skip the line-file benchmark
#   KEEP=1          keep the work folders (program logs and outputs) for a look
set -u

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
tree="$(dirname "$here")"
build="${1:-build-release}"
sizes="${2:-1 10 100}"
runs="${RUNS:-3}"
tmp_base="${BENCH_TMP:-${TMPDIR:-/tmp}}"
run_timeout="${RUN_TIMEOUT:-3600}"

if [[ ! -d "$build" && -d "$tree/$build" ]]; then build="$tree/$build"; fi
build_arg="$build"
build="$(cd "$build" 2>/dev/null && pwd)" || { echo "run_bench: no build folder $build_arg" >&2; exit 2; }
program="$build/margolan_free_01_032.exe"
generator="$build/bench/generate_document"
line_bench="$build/bench/line_file_bench"
for f in "$program" "$generator"; do
  [[ -x "$f" ]] || { echo "run_bench: $f is missing; build it first" >&2; exit 2; }
done
if ! [[ "$runs" =~ ^[1-9][0-9]*$ ]]; then echo "run_bench: RUNS must be a count" >&2; exit 2; fi

# Peak resident size comes from GNU time (Debian package "time"); without it only the
# wall times are shown.
time_cmd=""
if [[ -x /usr/bin/time ]] && /usr/bin/time -f '%M' -o /dev/null true 2>/dev/null; then
  time_cmd=/usr/bin/time
else
  echo "run_bench: /usr/bin/time is missing (apt-get install time): no peak RSS" >&2
fi

now_ns() { date +%s%N; }
# The median of the numbers given, one per argument.
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
max_of() { printf '%s\n' "$@" | sort -g | tail -n 1; }

work="$(mktemp -d "$tmp_base/run_bench.XXXXXX")" || exit 1
cleanup() { if [[ "${KEEP:-0}" != 1 ]]; then rm -rf "$work"; else echo "kept $work"; fi; }
trap cleanup EXIT

cpu="$(grep -m1 'model name' /proc/cpuinfo 2>/dev/null | sed 's/.*: //')"
echo "machine: $(nproc) cores, ${cpu:-unknown CPU}, $(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo)"
echo "program: $program (built $(date -r "$program" '+%F %T'), tree at $(git -C "$tree" rev-parse --short HEAD 2>/dev/null || echo '?'))"
echo "work folder: $work ($(df -T "$work" | awk 'NR == 2 { print $2 }'))"
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg); runs per size: $runs (median shown)"
echo

# Leaves only the document and the program in the folder, so every run starts alike.
clean_folder() {
  find "$1" -mindepth 1 -maxdepth 1 ! -name document.txt ! -name www.example.org.exe \
    -exec rm -rf {} +
}

rows=()
failed=0
for size in $sizes; do
  dir="$work/size_$size"
  logs="$work/logs_$size"
  mkdir -p "$dir" "$logs"
  if ! "$generator" "$size" "$dir/document.txt" > "$logs/generate.log"; then
    echo "run_bench: generating $size MB failed" >&2; failed=1; continue
  fi
  bytes=$(stat -c %s "$dir/document.txt")
  headings=$(sed -n 's/.* \([0-9]*\) headings.*/\1/p' "$logs/generate.log")
  tables=$(sed -n 's/.* \([0-9]*\) tables.*/\1/p' "$logs/generate.log")
  # The program takes its site from its own file name.
  cp "$program" "$dir/www.example.org.exe"

  # A dry run answers the file prompt with 0, which is out of range and ends the run at
  # once; its list tells which number the document has.
  (cd "$dir" && printf '0\n' | timeout 60 ./www.example.org.exe > "$logs/dry.log" 2>&1)
  number=$(tr -d '\r' < "$logs/dry.log" | sed -n 's/^ *\([0-9][0-9]*\) document\.txt$/\1/p')
  if [[ -z "$number" ]]; then
    echo "run_bench: the program did not list document.txt (see $logs/dry.log)" >&2
    failed=1; KEEP=1; continue
  fi

  walls=(); rsss=(); cpus=()
  for ((i = 1; i <= runs; i++)); do
    clean_folder "$dir"
    log="$logs/run_$i.log"
    # Answers: the document's number, indentation 2, a table of contents, then "1" for
    # the key wait at the end (the end of input ends it as well).
    start=$(now_ns)
    if [[ -n "$time_cmd" ]]; then
      (cd "$dir" && printf '%s\n2\ny\n1\n' "$number" |
        timeout "$run_timeout" "$time_cmd" -f '%M %U %S' -o "$logs/rss_$i" ./www.example.org.exe \
          > "$log" 2>&1)
    else
      (cd "$dir" && printf '%s\n2\ny\n1\n' "$number" |
        timeout "$run_timeout" ./www.example.org.exe > "$log" 2>&1)
    fi
    status=$?
    end=$(now_ns)
    if [[ $status -ne 0 ]]; then
      echo "run_bench: $size MB run $i ended with status $status (see $log)" >&2
      failed=1; KEEP=1; break
    fi
    walls+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')")
    if [[ -n "$time_cmd" ]]; then
      read -r kb user sys < <(tail -n 1 "$logs/rss_$i")
      rsss+=("$kb")
      cpus+=("$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.2f", u + s }')")
    fi
  done
  [[ ${#walls[@]} -eq $runs ]] || continue

  # The run must have done its work: a page, and an indented text of as many lines as
  # the document.
  if [[ ! -s "$dir/document_indent.htm" ]] ||
     [[ "$(wc -l < "$dir/document_indent.txt" 2>/dev/null)" != "$(wc -l < "$dir/document.txt")" ]]; then
    echo "run_bench: $size MB: outputs missing or indented text not line for line" >&2
    failed=1; KEEP=1
  fi
  out_bytes=$(cat "$dir"/document_indent.txt "$dir"/document_indent.htm "$dir"/document_chapters.txt 2>/dev/null | wc -c)

  # The floor: reading the same file, from the same page cache, in the same session.
  cats=()
  for ((i = 1; i <= runs; i++)); do
    start=$(now_ns); cat "$dir/document.txt" > /dev/null; end=$(now_ns)
    cats+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", (b - a) / 1e9 }')")
  done

  wall=$(median "${walls[@]}")
  cat_s=$(median "${cats[@]}")
  rss="-"
  cpu_s="-"
  if [[ ${#cpus[@]} -gt 0 ]]; then cpu_s=$(median "${cpus[@]}"); fi
  if [[ ${#rsss[@]} -gt 0 ]]; then
    rss=$(awk -v k="$(max_of "${rsss[@]}")" 'BEGIN { printf "%.1f", k / 1024 }')
  fi
  rows+=("$(awk -v s="$size" -v b="$bytes" -v h="$headings" -v t="$tables" -v w="$wall" -v r="$rss" \
    -v c="$cat_s" -v o="$out_bytes" -v u="$cpu_s" -v all="${walls[*]}" 'BEGIN {
      mb = b / 1048576
      printf "%7s %9s %7s %10.3f %8s %9.1f %12s %9.4f %7.0f %10.1f   %s\n", s, h, t, w, u,
        (w > 0 ? mb / w : 0), r, c, (c > 0 ? w / c : 0), o / 1048576, all }')")
  clean_folder "$dir"
done

echo "whole program (scripted answers: document, indentation 2, table of contents y)"
printf '%7s %9s %7s %10s %8s %9s %12s %9s %7s %10s   %s\n' "size MB" headings tables "program s" "cpu s" \
  "MB/s" "peak RSS MB" "cat s" ratio "output MB" "all runs s"
for row in "${rows[@]}"; do echo "$row"; done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"

if [[ "${LINE_BENCH:-1}" != 0 ]]; then
  echo
  if [[ -x "$line_bench" ]]; then
    echo "line files (median of 5 runs each; 200 MB of short lines, one 100 MB line)"
    "$line_bench" "$work" || failed=1
  else
    echo "run_bench: $line_bench is missing; line-file figures skipped" >&2
  fi
fi
exit $failed
