# Timing helpers shared by the benchmark scripts (sourced, not run).

# seconds COMMAND...: runs the command with its output dropped, prints its wall time in seconds.
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'
}

# median: the median of the numbers on standard input, one a line.
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# paired RUNS LABEL_A COMMAND_A LABEL_B COMMAND_B: runs the two shell commands in turn RUNS
# times and prints each one's median wall time and the ratio A/B of the medians.
paired() {
  local runs=$1 label_a=$2 command_a=$3 label_b=$4 command_b=$5 a=() b=() i
  for ((i = 0; i < runs; i++)); do
    a+=("$(seconds sh -c "$command_a")")
    b+=("$(seconds sh -c "$command_b")")
  done
  local median_a median_b
  median_a=$(printf '%s\n' "${a[@]}" | median)
  median_b=$(printf '%s\n' "${b[@]}" | median)
  echo "$label_a: median $median_a s (runs: ${a[*]})"
  echo "$label_b: median $median_b s (runs: ${b[*]})"
  awk -v a="$median_a" -v b="$median_b" -v la="$label_a" -v lb="$label_b" \
    'BEGIN { if (b > 0) printf "%s / %s = %.2fx\n", la, lb, a / b }'
}
