#!/usr/bin/env python3
"""Writes the differential inflate target's seeds into fuzz/inflate-seeds/, the same bytes on
every run: raw deflate streams of every block kind (stored, fixed and dynamic Huffman codes),
long matches and distances, an empty stream, and a stream with bytes after its end. The first
byte of each seed is the target's chunk-size selector."""
import pathlib
import random
import zlib

SEEDS = pathlib.Path(__file__).resolve().parent / "inflate-seeds"


def deflate(data, level=6, strategy=zlib.Z_DEFAULT_STRATEGY):
    compressor = zlib.compressobj(level, zlib.DEFLATED, -15, 9, strategy)
    return compressor.compress(data) + compressor.flush()


def main():
    rng = random.Random(1234)
    text = b"".join(b"map de_dust%d sound ambience %d\n" % (i, i * 7) for i in range(400))
    noise = bytes(rng.randrange(256) for _ in range(3000))
    seeds = {
        "stored": b"\x00" + deflate(noise, 0),
        "fixed": b"\x21" + deflate(b"hello hello hello world", 6, zlib.Z_FIXED),
        "dynamic": b"\x00" + deflate(text, 9),
        "dynamic-small-steps": b"\x53" + deflate(text, 9),
        "long-run": b"\x10" + deflate(b"A" * 70000, 9),
        "far-distance": b"\x00" + deflate(noise + text[:20000] + noise, 9),
        "empty": b"\x00" + deflate(b""),
        "trailing-bytes": b"\x00" + deflate(text[:500]) + b"PK\x07\x08junk",
        "huffman-only": b"\x00" + deflate(text, 6, zlib.Z_HUFFMAN_ONLY),
        "rle": b"\x00" + deflate(text, 6, zlib.Z_RLE),
    }
    SEEDS.mkdir(exist_ok=True)
    for name, data in seeds.items():
        (SEEDS / (name + ".bin")).write_bytes(data)


if __name__ == "__main__":
    main()
