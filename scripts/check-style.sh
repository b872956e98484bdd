#!/usr/bin/env bash
# Checks the house style (.clang-format) and the fault checks (.clang-tidy) over the C++ sources
# of src/ and tests/, and fails only on what is new:
#
#   clang-format  The code was formatted by hand before .clang-format existed, and no set of
#                 options reproduces all of it. .clang-format-baseline lists the files that
#                 clang-format would still change; every other file (new files included) must be
#                 formatted exactly, so the check fails when a clean file gets out of shape or a
#                 new file is not formatted. A listed file leaves the list once it is formatted
#                 (--update-baseline).
#   clang-tidy    .clang-tidy-baseline holds, for each file and check, how many findings it has
#                 today ("FILE CHECK COUNT"; counts, not lines, so that moving code does not
#                 matter). The check fails when a file's count for a check grows, or a file
#                 or check that has none gets one. Findings in a header count once however
#                 many sources include it.
#
# Usage: scripts/check-style.sh [--update-baseline] [--format-only | --tidy-only]
#   --update-baseline  writes both baselines from today's findings instead of comparing
#                      (commit them with the change that fixes or accepts findings).
# clang-tidy reads build/compile_commands.json (configured here when it is missing); JOBS
# (default 2) clang-tidy processes run at once.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-2}
update=0
do_format=1
do_tidy=1
for arg in "$@"; do
  case "$arg" in
    --update-baseline) update=1 ;;
    --format-only) do_tidy=0 ;;
    --tidy-only) do_format=0 ;;
    *) echo "usage: $0 [--update-baseline] [--format-only | --tidy-only]" >&2; exit 1 ;;
  esac
done

scripts/apt-install-missing.sh clang-format clang-tidy

format_baseline=.clang-format-baseline
tidy_baseline=.clang-tidy-baseline
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

# The C++ sources and headers of src/ and tests/ (from git, or the folders outside a checkout).
sources() {
  git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 2>/dev/null ||
    find src tests -name '*.cpp' -o -name '*.h' | sort
}

if [ "$do_format" = 1 ]; then
  # Files clang-format would change, checked JOBS at a time.
  sources | xargs -P "$jobs" -n 16 sh -c 'for f; do clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || echo "$f"; done' _ |
    sort >"$work/unformatted"
  if [ "$update" = 1 ]; then
    {
      echo "# Files written before .clang-format that it would still change (scripts/check-style.sh)."
      cat "$work/unformatted"
    } >"$format_baseline"
    echo "clang-format: $(wc -l <"$work/unformatted") file(s) listed in $format_baseline"
  else
    grep -v '^#' "$format_baseline" | sort >"$work/allowed" || true
    comm -23 "$work/unformatted" "$work/allowed" >"$work/new-format"
    if [ -s "$work/new-format" ]; then
      echo "clang-format: these files are not formatted (clang-format -i FILE):"
      sed 's/^/  /' "$work/new-format"
      status=1
    else
      echo "clang-format: OK ($(wc -l <"$work/allowed") file(s) still exempt)"
    fi
  fi
fi

if [ "$do_tidy" = 1 ]; then
  if [ ! -f build/compile_commands.json ]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  # The window's tests include the sources moc generates.
  if ninja -C build -t targets all 2>/dev/null | grep -q '^qt_tests_autogen:'; then
    ninja -C build qt_tests_autogen >/dev/null
  fi
  # The sources the build compiles, under src/ and tests/ (not moc's).
  sed -n 's#^ *"file": "\(.*\)",\{0,1\}$#\1#p' build/compile_commands.json | sed "s#^$root/##" |
    grep -E '^(src|tests)/' >"$work/units"
  sort -u "$work/units" -o "$work/units"
  mkdir "$work/tidy"
  xargs -P "$jobs" -I{} sh -c 'clang-tidy -p build --quiet "$1" >"$2/$(echo "$1" | tr / _).log" 2>&1 || true' \
    _ {} "$work/tidy" <"$work/units"
  # "path:line:col: warning: text [check]" -> one line per distinct finding, then counts per
  # file and check. Compiler errors count as clang-diagnostic-error.
  cat "$work"/tidy/*.log |
    sed -nE "s#^$root/##; s#^([^ :]+):([0-9]+):([0-9]+): (warning|error): .*\[([^]]+)\]\$#\1 \2 \3 \5#p" |
    sort -u | awk '{print $1, $4}' | sort | uniq -c | awk '{print $2, $3, $1}' >"$work/counts"
  if [ "$update" = 1 ]; then
    {
      echo "# clang-tidy findings accepted today: FILE CHECK COUNT (scripts/check-style.sh)."
      cat "$work/counts"
    } >"$tidy_baseline"
    echo "clang-tidy: $(awk '{n += $3} END {print n + 0}' "$work/counts") finding(s) in $tidy_baseline"
  else
    grep -v '^#' "$tidy_baseline" >"$work/allowed-counts" || true
    awk 'NR == FNR {allowed[$1 " " $2] = $3; next}
         {
           key = $1 " " $2
           before = (key in allowed) ? allowed[key] : 0
           if ($3 > before) print "  " key ": " $3 " finding(s), " before " before"
         }' "$work/allowed-counts" "$work/counts" >"$work/new-tidy"
    if [ -s "$work/new-tidy" ]; then
      echo "clang-tidy: new findings:"
      cat "$work/new-tidy"
      # The findings themselves, for the files and checks that grew.
      awk '{print $1 ":.*\\[" $2 "\\]"}' "$work/new-tidy" | sed 's/^  //' >"$work/patterns"
      cat "$work"/tidy/*.log | sed "s#^$root/##" | grep -E -f "$work/patterns" | sort -u | sed 's/^/    /'
      status=1
    else
      echo "clang-tidy: OK (no new findings; $(awk '{n += $3} END {print n + 0}' "$work/counts") accepted)"
    fi
  fi
fi
exit $status
