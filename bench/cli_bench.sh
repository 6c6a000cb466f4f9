#!/usr/bin/env bash
# Speed and memory of the lockwell program on the 10,000-account benchmark
# database, beside the triple-DES floor of `openssl speed` for the same bytes
# and, when installed, keepassxc-cli on a KDBX of the same entries.
#
#   bench/cli_bench.sh [BUILD]     (BUILD defaults to build/release)
#
# Builds nothing: run scripts/build release first.  Prints each figure and
# each ratio; it is a measurement, not a test, and never fails on a figure.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=${1:-build/release}
LOCKWELL=$BUILD/src/cli/lockwell
MAKEDB=$BUILD/tools/make-bench-db/make-bench-db
COUNT=10000
RUNS=${RUNS:-10}
for tool in "$LOCKWELL" "$MAKEDB"; do
  [ -x "$tool" ] || { echo "missing $tool: build the release build first (scripts/build release)" >&2; exit 2; }
done
TIME=/usr/bin/time
[ -x "$TIME" ] || { echo "missing /usr/bin/time: apt-get install time" >&2; exit 2; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
PASS=$WORK/pass
printf 'bench passphrase\n' > "$PASS"
BASE=$WORK/base.lwdb
DB=$WORK/bench.lwdb
XML=$WORK/bench.xml

echo "== making the $COUNT-account database"
"$MAKEDB" "$BASE" "$COUNT" "$PASS" "$XML"
BYTES=$(stat -c %s "$BASE")
echo "database: $BYTES bytes"

now_ns() { date +%s%N; }
# median of the numbers on stdin
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }
ms() { awk -v ns="$1" 'BEGIN {printf "%.1f", ns/1e6}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a/b}'; }

# time_cmd PREPARE COMMAND...: median wall time in ns over $RUNS runs; PREPARE
# (untimed) runs before each.  hyperfine when installed, else a loop.
time_cmd() {
  local prepare=$1; shift
  if command -v hyperfine > /dev/null; then
    declare -f > "$WORK/run.sh"
    printf 'WORK=%q BASE=%q DB=%q KDBX=%q\n' "$WORK" "$BASE" "$DB" "${KDBX:-}" >> "$WORK/run.sh"
    cp "$WORK/run.sh" "$WORK/prep.sh"
    printf '%s\n' "$prepare" >> "$WORK/prep.sh"
    printf '%q ' "$@" >> "$WORK/run.sh"
    printf '> /dev/null\n' >> "$WORK/run.sh"
    hyperfine --style none --runs "$RUNS" --prepare "bash $WORK/prep.sh" --export-csv "$WORK/times.csv" \
      "bash $WORK/run.sh" > /dev/null
    awk -F, 'NR == 2 {printf "%.0f", $4 * 1e9}' "$WORK/times.csv"
    # Mean user + system time: what openssl speed's floor is measured in,
    # and what a busy machine does not inflate.
    awk -F, 'NR == 2 {printf "%.0f", ($5 + $6) * 1e9}' "$WORK/times.csv" > "$WORK/cpu_ns"
    return
  fi
  local i start end
  for ((i = 0; i < RUNS; i++)); do
    eval "$prepare"
    start=$(now_ns)
    "$@" > /dev/null
    end=$(now_ns)
    echo $((end - start))
  done | median
}

# peak_kb PREPARE COMMAND...: maximum resident set size in kB.
peak_kb() {
  local prepare=$1; shift
  eval "$prepare"
  "$TIME" -f %M -o "$WORK/peak" "$@" > /dev/null
  tail -1 "$WORK/peak"
}

cp "$BASE" "$DB"
echo "== lockwell ls of All ($RUNS runs, median$(command -v hyperfine > /dev/null && echo ", hyperfine"))"
LS_NS=$(time_cmd : "$LOCKWELL" ls "$DB" --passphrase-file "$PASS")
LS_KB=$(peak_kb : "$LOCKWELL" ls "$DB" --passphrase-file "$PASS")
echo "lockwell ls:  $(ms "$LS_NS") ms, peak $LS_KB kB"
LS_CPU_NS=$(cat "$WORK/cpu_ns" 2> /dev/null || true)

echo "== lockwell add of one account (fresh copy before each run, median)"
ADD_NS=$(time_cmd 'cp "$BASE" "$DB"' "$LOCKWELL" add "$DB" --title "Account 05000x" --field Login=new --passphrase-file "$PASS")
ADD_KB=$(peak_kb 'cp "$BASE" "$DB"' "$LOCKWELL" add "$DB" --title "Account 05000x" --field Login=new --passphrase-file "$PASS")
echo "lockwell add: $(ms "$ADD_NS") ms, peak $ADD_KB kB"

echo "== triple-DES floor (openssl speed, des-ede3-cbc, $BYTES bytes)"
BLOCK=$(( BYTES / COUNT / 8 * 8 ))
[ "$BLOCK" -ge 8 ] || BLOCK=64
RATE=$(openssl speed -evp des-ede3-cbc -bytes "$BLOCK" -seconds 2 2>/dev/null | awk 'tolower($1) == "des-ede3-cbc" {print $2}' | sed 's/k$//')
# RATE is in 1000s of bytes per second.
FLOOR_NS=$(awk -v b="$BYTES" -v r="$RATE" 'BEGIN {printf "%.0f", b / (r * 1000) * 1e9}')
echo "openssl: ${RATE}k bytes/s in ${BLOCK}-byte blocks; floor $(ms "$FLOOR_NS") ms"
echo "ratio lockwell ls / 3DES floor: $(ratio "$LS_NS" "$FLOOR_NS") (wanted <= 3)"
if [ -n "$LS_CPU_NS" ]; then
  echo "lockwell ls cpu (user + system): $(ms "$LS_CPU_NS") ms; ratio to the floor (also cpu time): $(ratio "$LS_CPU_NS" "$FLOOR_NS")"
fi

if command -v keepassxc-cli > /dev/null; then
  echo "== keepassxc-cli $(keepassxc-cli --version) on the same $COUNT entries"
  KDBX=$WORK/bench.kdbx
  printf 'bench passphrase\nbench passphrase\n' | keepassxc-cli import -q -p "$XML" "$KDBX" > /dev/null 2>&1
  kpx_ls() { printf 'bench passphrase\n' | keepassxc-cli ls -q -R -f "$KDBX"; }
  kpx_add() { printf 'bench passphrase\n' | keepassxc-cli add -q -u new "$WORK/add.kdbx" "Account 05000x"; }
  KLS_NS=$(time_cmd : kpx_ls)
  KADD_NS=$(time_cmd 'cp "$KDBX" "$WORK/add.kdbx"' kpx_add)
  cp "$KDBX" "$WORK/add.kdbx"
  KLS_KB=$(printf 'bench passphrase\n' | "$TIME" -f %M keepassxc-cli ls -q -R -f "$KDBX" 2>&1 > /dev/null | tail -1)
  KADD_KB=$(printf 'bench passphrase\n' | "$TIME" -f %M keepassxc-cli add -q -u new "$WORK/add.kdbx" "Account 05000x" 2>&1 > /dev/null | tail -1)
  echo "keepassxc-cli ls -R -f: $(ms "$KLS_NS") ms, peak $KLS_KB kB"
  echo "keepassxc-cli add:      $(ms "$KADD_NS") ms, peak $KADD_KB kB"
  echo "ratio keepassxc-cli ls / lockwell ls:   $(ratio "$KLS_NS" "$LS_NS") (wanted >= 4)"
  echo "ratio keepassxc-cli add / lockwell add: $(ratio "$KADD_NS" "$ADD_NS") (wanted >= 4)"
else
  echo "== keepassxc-cli not installed (apt-get install keepassxc); side-by-side figures skipped"
fi
echo "peak memory wanted under 32768 kB: lockwell ls $LS_KB kB, add $ADD_KB kB"
