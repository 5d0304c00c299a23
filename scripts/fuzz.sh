#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, tree build-fuzz/) and runs them.
#
#   scripts/fuzz.sh smoke      every target a fixed number of runs over its
#                              seeds (make test): proves they build and the
#                              seeds pass
#   scripts/fuzz.sh campaign   every target FUZZ_SECONDS seconds (default 60)
#                              on its kept corpus (make fuzz)
#
# FUZZ_TARGETS limits the run to some targets ("lha zip"). A finding stops
# its target; the input lands in build-fuzz/findings/<target>/ beside a
# file REPRODUCE with the command that runs it again, and the script fails.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-smoke}
build=${FUZZ_BUILD:-build-fuzz}
seconds=${FUZZ_SECONDS:-60}
smoke_runs=${FUZZ_SMOKE_RUNS:-3000}
targets=${FUZZ_TARGETS:-"lha arj zip zip_repair tar cab rar rar_volumes cmdline wildcard ini sfx deflate"}
fixtures=../shared/fixtures/archives

CC=clang CXX=clang++ cmake -S . -B "$build" -DVX_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo > "$build-configure.log" 2>&1 ||
  { cat "$build-configure.log"; exit 1; }
cmake --build "$build" -j"${JOBS:-2}" --target fuzz_all > "$build-build.log" 2>&1 || { tail -50 "$build-build.log"; exit 1; }

# Seeds: our own writers and hand-made members, the shared archives of other
# programs, and what the Debian archivers on this machine make.
seeds="$build/seeds"
rm -rf "$seeds"
"$build/fuzz/fuzz_seeds" "$seeds"
mkdir -p "$seeds"/{lha,rar,rar_volumes,cab,arj,zip,tar,deflate}
if [ -d "$fixtures" ]; then
  # The 4.7 GB member is sound: testing it decodes all of it, every run.
  find "$fixtures/lha" -type f ! -name 'member-over-4gib*' -exec cp {} "$seeds/lha/" \;
  cp "$fixtures"/rar/*.rar "$seeds/rar/" 2>/dev/null || true
  # Two volumes of a set, with the split between them in front.
  for pair in "01 02" "07 08"; do
    set -- $pair
    a="$fixtures/rar/rar5-volumes.part$1.rar" b="$fixtures/rar/rar5-volumes.part$2.rar"
    [ -f "$a" ] && [ -f "$b" ] && python3 -c 'import sys, struct; a, b = (open(p, "rb").read() for p in sys.argv[1:3]); open(sys.argv[3], "wb").write(struct.pack("<I", len(a)) + a + b)' \
      "$a" "$b" "$seeds/rar_volumes/parts$1$2.bin"
  done
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'seed text\n%.0s' {1..40} > "$work/a.txt"
head -c 3000 /dev/urandom > "$work/b.bin" 2>/dev/null || true
# deflate: level 7, pieces of 16, 32, 0 and 64 bytes, then text or noise.
printf '\007\020\000\040\000\000\000\100\000' | cat - "$work/a.txt" > "$seeds/deflate/text.bin"
printf '\014\001\000\377\000\000\000\001\000' | cat - "$work/b.bin" > "$seeds/deflate/noise.bin"
(cd "$work"
  if command -v gcab > /dev/null; then gcab -c "$OLDPWD/$seeds/cab/mszip.cab" a.txt b.bin -z > /dev/null 2>&1 || true
    gcab -c "$OLDPWD/$seeds/cab/stored.cab" a.txt > /dev/null 2>&1 || true; fi
  if command -v arj > /dev/null; then arj a -m1 "$OLDPWD/$seeds/arj/m1.arj" a.txt b.bin > /dev/null 2>&1 || true
    arj a -m4 "$OLDPWD/$seeds/arj/m4.arj" a.txt > /dev/null 2>&1 || true; fi
  if command -v zip > /dev/null; then zip -q "$OLDPWD/$seeds/zip/deflate.zip" a.txt b.bin || true
    cat a.txt | zip -q "$OLDPWD/$seeds/zip/stream64.zip" - || true; fi
  if command -v tar > /dev/null; then
    truncate -s 200000 sparse.bin && printf 'data' | dd of=sparse.bin bs=1 seek=100000 conv=notrunc 2> /dev/null
    tar --format=gnu -S -cf "$OLDPWD/$seeds/tar/gnu-sparse.tar" sparse.bin 2> /dev/null || true
    tar --format=posix -S -cf "$OLDPWD/$seeds/tar/pax-sparse.tar" sparse.bin 2> /dev/null || true
    tar -cjf "$OLDPWD/$seeds/tar/bzip2.tar.bz2" a.txt 2> /dev/null || true
  fi) || true

# libarchive (tar, CAB, RAR) asks malloc for absurd sizes on some damaged
# input and copes with the null it gets, as it does outside the fuzzer; our
# own C++ allocations still stop the run, since new reports what it cannot
# allocate.
export ASAN_OPTIONS=${ASAN_OPTIONS:-allocator_may_return_null=1}

status=0
for target in $targets; do
  program="$build/fuzz/fuzz_$target"
  findings="$build/findings/$target"
  mkdir -p "$findings"
  dict=()
  [ -f "fuzz/dict/$target.dict" ] && dict=(-dict="fuzz/dict/$target.dict")
  if [ "$mode" = smoke ]; then
    corpus="$work/corpus-$target"
    run=(-runs="$smoke_runs")
  else
    corpus="$build/corpus/$target"
    run=(-max_total_time="$seconds" -print_final_stats=1)
  fi
  mkdir -p "$corpus"
  echo "fuzz: $target ($mode)"
  if ! "$program" "${run[@]}" "${dict[@]}" -max_len=65536 -timeout=25 -rss_limit_mb=2048 \
      -artifact_prefix="$findings/" "$corpus" "$seeds/$target" > "$findings/log.txt" 2>&1; then
    status=1
    {
      echo "# Runs the finding again:"
      for input in "$findings"/crash-* "$findings"/leak-* "$findings"/timeout-* "$findings"/oom-* "$findings"/slow-unit-*; do
        [ -f "$input" ] && echo "ASAN_OPTIONS=$ASAN_OPTIONS $program $input"
      done
    } > "$findings/REPRODUCE"
    echo "fuzz: $target FOUND something; see $findings/log.txt and $findings/REPRODUCE"
    tail -30 "$findings/log.txt"
  else
    grep -E '^(#[0-9]+ *DONE|stat::|Done)' "$findings/log.txt" | tail -4 | sed "s/^/  /"
  fi
done
exit $status
