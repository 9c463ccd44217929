#!/usr/bin/env bash
# Builds the fuzz preset (clang, libFuzzer, ASan, UBSan) and runs the archive fuzzer for SECONDS
# (default 60), starting from fuzz/seeds/ and, when this machine has it, the peer corpus.
# The working corpus and any crash inputs stay in build/fuzz-work/, never in the source tree.
# Fails when the fuzzer found a crash, a leak or a timeout; the input is then in
# build/fuzz-work/findings/ and can be replayed with build/fuzz/fuzz/archive_fuzz_replay FILE.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target archive_fuzzer archive_fuzz_replay

work=build/fuzz-work
mkdir -p "$work/corpus" "$work/findings"
# Seeds are copied under their content hash, as libFuzzer names its own inputs.
while IFS= read -r -d '' seed; do
    cp "$seed" "$work/corpus/$(sha1sum <"$seed" | cut -c1-40)"
done < <(find fuzz/seeds ../shared/corpus -type f -print0 2>/dev/null)

build/fuzz/fuzz/archive_fuzzer "$work/corpus" \
    -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$work/findings/" -print_final_stats=1
