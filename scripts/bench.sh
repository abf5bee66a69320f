#!/usr/bin/env bash
# bench.sh [DIR]: builds the Release tree with the benchmarks in DIR (build-bench by default) and
# prints one table of the terminal's performance figures, each against a baseline measured in the
# same run where one exists. Takes a few minutes; not part of scripts/test.sh.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$top/build-bench}
log="$dir/bench.log"

mkdir -p "$dir"
echo "building $dir (Release, benchmarks on); log in $log" >&2
"$top/scripts/build.sh" "$dir" -DCMAKE_BUILD_TYPE=Release -DR4XX_BUILD_BENCH=ON >"$log" 2>&1 || {
    tail -n 30 "$log" >&2
    exit 1
}

export QT_QPA_PLATFORM=offscreen
rows=$(mktemp)
trap 'rm -f "$rows"' EXIT
for program in r4xx_figures_bench r4xx_start_bench r4xx_cli_bench; do
    echo "running $program" >&2
    if ! "$dir/bench/$program" >>"$rows" 2>>"$log"; then
        printf '%s\t-\t-\t-\t-\tBAD (it failed, see %s)\n' "$program" "$log" >>"$rows"
    fi
done

# One table, its columns aligned.
{
    printf 'figure\tmeasured\tbaseline\tratio\tgoal\tverdict\n'
    cat "$rows"
} | awk -F'\t' '
    { for (i = 1; i <= NF; i++) { cell[NR, i] = $i; if (length($i) > width[i]) width[i] = length($i) } }
    NF > fields { fields = NF }
    END {
        for (r = 1; r <= NR; r++) {
            line = ""
            for (i = 1; i <= fields; i++)
                line = line sprintf(i < fields ? "%-" width[i] "s  " : "%s", cell[r, i])
            print line
        }
    }'
