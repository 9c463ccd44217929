#!/usr/bin/env bash
# Builds the fuzz preset (clang, libFuzzer, ASan, UBSan) and runs a fuzz target for SECONDS
# (default 60): "archive" (default) starts from fuzz/seeds/ and, when this machine has it, the
# peer corpus; "inflate" runs the zlib/ISA-L differential target from fuzz/inflate-seeds/;
# "keyvalues" the reader of Steam's library and manifest files from fuzz/vdf-seeds/; "journal"
# the reader of install journals from fuzz/journal-seeds/.
# The working corpus and any crash inputs stay in build/fuzz-work/, never in the source tree.
# Fails when the fuzzer found a crash, a leak, a timeout or a disagreement; the input is then in
# build/fuzz-work/findings/ and can be replayed with build/fuzz/fuzz/<target>_replay FILE.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
target="${2:-archive}"

case "$target" in
    archive) fuzzer=archive_fuzzer; replay=archive_fuzz_replay; seeds=(fuzz/seeds ../shared/corpus) ;;
    inflate) fuzzer=inflate_diff_fuzzer; replay=inflate_diff_replay; seeds=(fuzz/inflate-seeds) ;;
    keyvalues) fuzzer=keyvalues_fuzzer; replay=keyvalues_fuzz_replay; seeds=(fuzz/vdf-seeds) ;;
    journal) fuzzer=journal_fuzzer; replay=journal_fuzz_replay; seeds=(fuzz/journal-seeds) ;;
    *) echo "usage: $0 [SECONDS] [archive|inflate|keyvalues|journal]" >&2; exit 2 ;;
esac

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "$fuzzer" "$replay"

work="build/fuzz-work/$target"
mkdir -p "$work/corpus" "$work/findings"
# Seeds are copied under their content hash, as libFuzzer names its own inputs.
while IFS= read -r -d '' seed; do
    cp "$seed" "$work/corpus/$(sha1sum <"$seed" | cut -c1-40)"
done < <(find "${seeds[@]}" -type f -print0 2>/dev/null)

"build/fuzz/fuzz/$fuzzer" "$work/corpus" \
    -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$work/findings/" -print_final_stats=1
