#!/usr/bin/env bash
# Restore speed beside plain bzip2: builds a backup store holding about
# SIZE_MB (default 1024) MB of text-like data as .ZZ files (bzip2 -9), then,
# in the same run, restores the day with `varnoket-cli restore DAY --to DIR`
# and decompresses the same files with `bzip2 -dc` into another folder.
# Prints the MB/s of each and their ratio (the project aims at >= 0.90).
# It prints figures only; it never fails on a timing.
#   scripts/bench-restore.sh            # about 1 GB
#   SIZE_MB=256 scripts/bench-restore.sh
set -euo pipefail
cd "$(dirname "$0")/.."
size_mb=${SIZE_MB:-1024}
file_mb=4
build=${BENCH_BUILD_DIR:-build-bench}
jobs=$(nproc)
[ "$jobs" -gt 2 ] && jobs=2
if [ ! -x "$build/src/cli/varnoket-cli" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVARNOKET_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" -j"$jobs" --target varnoket-cli >/dev/null
fi
cli=$(realpath "$build/src/cli/varnoket-cli")

work=$(mktemp -d /tmp/bench-restore-XXXXXX)
trap 'rm -rf "$work"' EXIT
station=BENCHPOSTE
day_folder=01032024
day=01/03/2024
program="$work/program"
root="$work/store"
day_dir="$root/$station/$day_folder"
mkdir -p "$program" "$day_dir"
printf '[PARAMS]\r\nRACINE=%s\r\nHEURE=13\r\nMINUTE=0\r\nMAXSAVE=30\r\n' "$root" >"$program/VARNOKET.INI"

# Text-like pieces: lines of words drawn from a small vocabulary, so that
# bzip2 -9 compresses them about 3 to 4 times, as office documents go.
count=$(( size_mb / file_mb ))
echo "making $count files of $file_mb MB (bzip2 -9, $jobs at a time) ..."
make_start=$(date +%s.%N)
python3 - "$work/pieces" "$count" "$file_mb" <<'EOF'
import os, random, sys
out, count, mb = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
os.makedirs(out, exist_ok=True)
rng = random.Random(7)
syllables = ["ra", "to", "me", "li", "su", "ban", "ker", "dou", "vi", "pla", "ne", "cor", "te", "mi",
             "sa", "lo", "ve", "que", "tion", "ment", "par", "ex", "in", "con", "de", "fi"]
words = ["".join(rng.choice(syllables) for _ in range(rng.randint(1, 4))) for _ in range(6000)]
for i in range(count):
    rng.seed(i)
    parts, size = [], 0
    while size < mb * 1024 * 1024:
        line = " ".join(rng.choices(words, k=rng.randint(6, 16))) + ".\n"
        if rng.random() < 0.2:
            line = "%d;%d;%.2f;" % (rng.randint(1, 99999), rng.randint(1, 31), rng.random() * 1000) + line
        parts.append(line)
        size += len(line)
    with open(os.path.join(out, "piece%04d.txt" % i), "w") as f:
        f.write("".join(parts))
EOF
mkdir -p "$day_dir/_/data/projets"
list="$day_dir/filelist.txt.tmp"
: >"$list"
for piece in "$work"/pieces/piece*.txt; do
  name=$(basename "$piece" .txt)
  printf '%s|0|_/data/projets/%s.txt.ZZ|/data/projets/%s.txt|33188|1480589312|0\r\n' \
    "$(stat -c %s "$piece")" "$name" "$name" >>"$list"
done
sort "$list" >"$day_dir/filelist.txt"
rm "$list"
ls "$work"/pieces/piece*.txt | xargs -P "$jobs" -I{} sh -c \
  'bzip2 -9 -c "$1" >"$2/_/data/projets/$(basename "$1").ZZ" && rm "$1"' _ {} "$day_dir"
make_end=$(date +%s.%N)
stored=$(du -sm "$day_dir/_" | cut -f1)
echo "store ready in $(awk -v a="$make_start" -v b="$make_end" 'BEGIN{printf "%.1f", b-a}') s: $stored MB of .ZZ for $size_mb MB of data"

sync
# Both readers start with the stored files in the page cache: each reads
# them once before it is timed.
cat "$day_dir"/_/data/projets/*.ZZ >/dev/null

out_cli="$work/restored"
start=$(date +%s.%N)
"$cli" --program-folder "$program" --station "$station" restore "$day" --to "$out_cli" >"$work/restore.log"
end=$(date +%s.%N)
cli_s=$(awk -v a="$start" -v b="$end" 'BEGIN{print b-a}')
tail -1 "$work/restore.log"

out_bz="$work/bzip2"
mkdir -p "$out_bz"
start=$(date +%s.%N)
for f in "$day_dir"/_/data/projets/*.ZZ; do
  bzip2 -dc "$f" >"$out_bz/$(basename "$f" .ZZ)"
done
end=$(date +%s.%N)
bz_s=$(awk -v a="$start" -v b="$end" 'BEGIN{print b-a}')

cli_bytes=$(du -sb "$out_cli" | cut -f1)
bz_bytes=$(du -sb "$out_bz" | cut -f1)
if ! cmp -s "$out_cli/data/projets/piece0000.txt" "$out_bz/piece0000.txt"; then
  echo "WARNING: the restored file differs from bzip2's output"
fi
awk -v cb="$cli_bytes" -v cs="$cli_s" -v bb="$bz_bytes" -v bs="$bz_s" 'BEGIN {
  cr = cb / 1e6 / cs; br = bb / 1e6 / bs;
  printf "varnoket-cli restore  %8.1f MB in %6.2f s  %6.1f MB/s\n", cb / 1e6, cs, cr;
  printf "bzip2 -dc             %8.1f MB in %6.2f s  %6.1f MB/s\n", bb / 1e6, bs, br;
  printf "ratio restore/bzip2   %.3f (target >= 0.90)\n", cr / br;
}'
