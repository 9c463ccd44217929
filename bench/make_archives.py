#!/usr/bin/env python3
"""Generates the benchmark archives, the same bytes on every run.

    python3 bench/make_archives.py [OUTPUT_FOLDER] [--force] [--check-determinism]

OUTPUT_FOLDER defaults to build/bench/ under the repository. These archives are made:

  map-pack.zip     300 maps in the folder layouts real packs use (~880 MiB, ~1.3 GiB out)
  small-files.zip  20,000 small files in a few hundred folders (~65 MiB out)
  many-folders.zip 65,000 small models, each in a folder of its own (models/props/NAME/)
  many-folders/    ten archives like it, props-01.zip to props-10.zip, each with its own
                   65,000 folders (models/props01/NAME/ ...): 650,000 folders in one run

manifest.json beside them records each archive's SHA-256, entry counts and sizes, and a
fingerprint of this generator and of zlib. An archive whose bytes and fingerprint match the
manifest is not made again.

Every file's content comes from its own seed, so workers may compress in parallel while the
archive is written in a fixed order. Only Python's standard library and zlib are used; the
ZIP records are written here so that every header field is under control.
"""

import argparse
import hashlib
import json
import math
import multiprocessing
import operator
import os
import random
import struct
import sys
import tempfile
import time
import zlib
from pathlib import Path

SEED = 20240611
MAP_COUNT = 300
SMALL_FILE_COUNT = 20_000
# One file per folder. With the folders' own entries an archive would pass the 65,535 entries
# of a ZIP without ZIP64, so these archives hold the files only, as many packers write them.
FOLDER_FILE_COUNT = 65_000
FOLDER_ARCHIVE_COUNT = 10

# Reference hashes from a Debian 12 machine (zlib 1.2.13). A different zlib may deflate
# differently; the archives are then still valid but not byte-identical to other machines'.
REFERENCE_SHA256 = {
    "map-pack.zip": "fe7fce38c2c23db1ce1d6e6d58755b337556de85c37d014796f4ae1fb113aee8",
    "small-files.zip": "0a6a8ec65d84501673e965b51b55f68acdda2fde068bf05995ca7c22a83eb2f0",
}


# --------------------------------------------------------------------------------------------
# Randomness that stays the same across Python versions: only getrandbits and randbytes,
# whose output is fixed for a given seed, are used.

class Rng:
    def __init__(self, *key):
        digest = hashlib.sha256(repr(key).encode()).digest()
        self._r = random.Random(int.from_bytes(digest, "big"))

    def bits(self, k):
        return self._r.getrandbits(k)

    def below(self, n):
        k = n.bit_length()
        while True:
            r = self._r.getrandbits(k)
            if r < n:
                return r

    def between(self, low, high):
        return low + self.below(high - low + 1)

    def chance(self, p):
        return self._r.getrandbits(32) < int(p * (1 << 32))

    def choice(self, seq):
        return seq[self.below(len(seq))]

    def unit(self):
        return self._r.getrandbits(53) / (1 << 53)

    def log_between(self, low, high):
        return int(math.exp(math.log(low) + self.unit() * (math.log(high) - math.log(low))))

    def bytes(self, n):
        return self._r.randbytes(n) if n > 0 else b""

    def sample(self, seq, k):
        pool = list(seq)
        out = []
        for _ in range(k):
            out.append(pool.pop(self.below(len(pool))))
        return out


# --------------------------------------------------------------------------------------------
# Content with the compressibility of real game files. Bulk byte operations keep it fast:
# a block whose bytes are drawn from an alphabet of 2**k values carries about k bits a byte.

def low_entropy(rng, n, k):
    if k >= 8:
        return rng.bytes(n)
    size = 1 << k
    alphabet = rng.sample(range(256), size)
    table = bytes(alphabet[i & (size - 1)] for i in range(256))
    return rng.bytes(n).translate(table)


def runs(rng, n, mean_run, k, grain=0):
    """Palettised picture data: flat areas of varied length, like overviews and sprites,
    with every grain-th byte dithered."""
    count = n // mean_run + 1
    palette = [bytes([v]) for v in rng.sample(range(256), 1 << k)]
    mask = (1 << k) - 1
    span = 2 * mean_run
    lengths = [1 + b % span for b in rng.bytes(count)] if span <= 256 else \
        [1 + b * span // 256 for b in rng.bytes(count)]
    values = [palette[b & mask] for b in rng.bytes(count)]
    data = b"".join(map(operator.mul, values, lengths))
    while len(data) < n:
        data += data[: n - len(data)]
    if not grain:
        return data[:n]
    dithered = bytearray(data[:n])
    spots = len(range(0, n, grain))
    dithered[::grain] = low_entropy(rng, spots, k)
    return bytes(dithered)


WORDS = (
    "the map was made for counter strike terrorists counter-terrorists bomb site hostage "
    "rescue zone spawn buy water bridge tunnel crate door ladder roof window vent dust "
    "desert city village castle train station harbour warehouse office italy aztec "
    "version release final beta fixed bugs lighting textures sounds models thanks testers "
    "install copy folder into your half-life cstrike directory enjoy author contact "
    "website players recommended server time limit round friendly fire"
).split()


def text(rng, n):
    lines = []
    total = 0
    while total < n:
        words = [rng.choice(WORDS) for _ in range(rng.between(3, 12))]
        line = " ".join(words).capitalize() + ".\r\n"
        lines.append(line)
        total += len(line)
    return "".join(lines).encode("ascii")[:n]


def entity_text(rng, n):
    classes = ("info_player_start", "info_player_deathmatch", "light", "func_wall",
               "func_breakable", "ambient_generic", "func_door", "trigger_multiple",
               "func_buyzone", "func_bomb_target", "env_sprite", "func_illusionary")
    keys = ("origin", "angles", "targetname", "target", "rendermode", "renderamt",
            "_light", "style", "wait", "speed", "health", "message", "spawnflags")
    out = []
    total = 0
    while total < n:
        body = [f'"classname" "{rng.choice(classes)}"']
        for _ in range(rng.between(1, 6)):
            key = rng.choice(keys)
            if key in ("origin", "angles", "_light"):
                value = " ".join(str(rng.between(-4096, 4096)) for _ in range(3))
            else:
                value = str(rng.between(0, 255))
            body.append(f'"{key}" "{value}"')
        chunk = "{\n" + "\n".join(body) + "\n}\n"
        out.append(chunk)
        total += len(chunk)
    return "".join(out).encode("ascii")[:n]


def make_bsp(rng, size):
    # A Half-Life BSP: version 30, 15 lumps, the big ones being textures and lightmaps.
    lumps = [  # (share of the file, entropy in bits per byte; 0 means entity text)
        (0.02, 0), (0.05, 5), (0.33, -1), (0.06, 5), (0.07, 8), (0.05, 4), (0.03, 4),
        (0.05, 4), (0.24, 4), (0.03, 3), (0.02, 4), (0.01, 5), (0.02, 5), (0.01, 5),
        (0.01, 5),
    ]
    body_size = size - 4 - 15 * 8
    lengths = [int(body_size * share) for share, _ in lumps]
    lengths[2] += body_size - sum(lengths)
    header = [struct.pack("<i", 30)]
    parts = []
    offset = 4 + 15 * 8
    for (share, k), length in zip(lumps, lengths):
        header.append(struct.pack("<ii", offset, length))
        offset += length
        if k == 0:
            parts.append(entity_text(rng, length))
        elif k == -1:
            parts.append(texture_lump(rng, length))
        else:
            parts.append(low_entropy(rng, length, k))
    return b"".join(header + parts)


def texture_lump(rng, n):
    # Mip textures: some photographic (close to random), some flat and tiled.
    pieces = []
    total = 0
    while total < n:
        length = min(n - total, rng.between(4096, 65536 + 16384))
        if rng.chance(0.25):
            pieces.append(low_entropy(rng, length, 8 if rng.chance(0.7) else 7))
        else:
            pieces.append(runs(rng, length, rng.between(4, 12), 5, 3))
        total += length
    return b"".join(pieces)


def make_tga(rng, width, height):
    # Uncompressed 24-bit TGA: a smooth sky gradient with grain.
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, width, height, 24, 0)
    k = rng.choice((4, 5, 5, 6))
    mask = (1 << k) - 1
    rows = []
    base = rng.between(40, 150)
    noise = rng.bytes(width * 3 * height)
    for y in range(height):
        level = base + (y * 60) // height
        table = bytes(min(255, level + (b & mask)) for b in range(256))
        rows.append(noise[y * width * 3:(y + 1) * width * 3].translate(table))
    return header + b"".join(rows)


def make_bmp(rng, width, height):
    # 8-bit palettised BMP, as overviews and map previews are.
    row = (width + 3) & ~3
    pixels = runs(rng, row * height, rng.between(6, 24), 5, rng.choice((4, 6, 8)))
    palette = rng.bytes(1024)
    offset = 14 + 40 + 1024
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels), 2835, 2835,
                       256, 256)
    return header + info + palette + pixels


def make_wav(rng, size):
    rate = rng.choice((11025, 22050, 22050, 44100))
    eight_bit = rng.chance(0.6)
    n = max(0, size - 44)
    if eight_bit:
        data = low_entropy(rng, n, rng.choice((6, 7, 7, 8)))
        bits = 8
    else:
        n &= ~1
        samples = bytearray(n)
        samples[0::2] = rng.bytes(n // 2)
        samples[1::2] = low_entropy(rng, n // 2, rng.choice((3, 4, 5)))
        data = bytes(samples)
        bits = 16
    block = bits // 8
    header = struct.pack("<4sI4s4sIHHIIHH4sI", b"RIFF", 36 + len(data), b"WAVE", b"fmt ", 16,
                         1, 1, rate, rate * block, block, bits, b"data", len(data))
    return header + data


def make_mdl(rng, size, name):
    header = struct.pack("<4si64si", b"IDST", 10, name.encode()[:63], size)
    body = []
    total = len(header)
    while total < size:
        length = min(size - total, rng.between(2048, 65536))
        body.append(low_entropy(rng, length, rng.choice((3, 4, 5, 6, 8))))
        total += length
    return header + b"".join(body)


def make_spr(rng, size):
    header = struct.pack("<4siiiffiiii", b"IDSP", 2, 2, 3, 1.0, 64.0, 64, 1, 0, 0)
    return header + runs(rng, max(0, size - len(header)), rng.between(2, 10), 5, 6)


def make_thumbs_db(rng, size):
    # An OLE compound file of JPEG thumbnails: mostly entropy-coded data, some padding.
    header = bytes.fromhex("d0cf11e0a1b11ae1") + bytes(504)
    body = []
    total = len(header)
    while total < size:
        length = min(size - total, rng.between(2048, 16384))
        body.append(rng.bytes(length) if rng.chance(0.8) else bytes(length))
        total += length
    return header + b"".join(body)


def make_binary(rng, size):
    return low_entropy(rng, size, rng.choice((3, 4, 5, 6, 8)))


def make_content(kind, size, key, name):
    rng = Rng(SEED, "content", key)
    if kind == "bsp":
        return make_bsp(rng, size)
    if kind == "tga":
        return make_tga(rng, size, size)
    if kind == "bmp":
        width, height = size
        return make_bmp(rng, width, height)
    if kind == "wav":
        return make_wav(rng, size)
    if kind == "mdl":
        return make_mdl(rng, size, name)
    if kind == "spr":
        return make_spr(rng, size)
    if kind == "txt":
        return text(rng, size)
    if kind == "cfg":
        return entity_text(rng, size)
    if kind == "thumbs":
        return make_thumbs_db(rng, size)
    if kind == "bin":
        return make_binary(rng, size)
    raise ValueError(kind)


# --------------------------------------------------------------------------------------------
# What goes in each archive: a list of (path, kind, size, options), directories ending in "/".

MAP_PREFIXES = ("de_", "de_", "de_", "cs_", "cs_", "as_", "aim_", "awp_", "fy_", "ka_", "he_",
                "surf_", "kz_", "gg_", "35hp_", "zm_")
MAP_WORDS = ("dust", "aztec", "nuke", "train", "inferno", "cbble", "prodigy", "italy",
             "office", "assault", "militia", "piranesi", "vertigo", "chateau", "survivor",
             "torn", "cpl", "mill", "tuscan", "season", "contra", "rush", "snow", "desert",
             "crete", "cairo", "arctic", "temple", "harbor", "bridge", "factory", "warehouse",
             "village", "estate", "siege", "havana", "backalley", "pool", "map", "glass",
             "orange", "rats", "block", "dam", "port", "station", "canyon", "tides")
SKY_SIDES = ("up", "dn", "lf", "rt", "ft", "bk")


def map_names(rng):
    names = []
    seen = set()
    while len(names) < MAP_COUNT:
        name = rng.choice(MAP_PREFIXES) + rng.choice(MAP_WORDS)
        if rng.chance(0.5):
            name += rng.choice(("", "2", "_b1", "_final", "_v2", "_night", str(rng.between(1, 99))))
        if name not in seen:
            seen.add(name)
            names.append(name)
    return names


def map_pack_files():
    rng = Rng(SEED, "map-pack")
    files = []
    for index, name in enumerate(map_names(rng)):
        layout = rng.choice(("maps", "maps", "maps", "cstrike", "cstrike", "named",
                             "named_flat", "root"))
        if layout == "maps":
            game = ""
        elif layout == "cstrike":
            game = "cstrike/"
        elif layout == "named":
            game = name + "/"
        else:
            game = None  # every file in one folder
        flat = "" if layout == "root" else name + "/"

        def place(folder, filename):
            return (game + folder + filename) if game is not None else flat + filename

        key = ("map", index)
        files.append((place("maps/", name + ".bsp"), "bsp", rng.between(1_000_000, 4_000_000),
                      key + ("bsp",)))
        files.append((place("maps/", name + ".txt"), "txt", rng.between(150, 2500),
                      key + ("txt",)))
        if rng.chance(0.5):
            files.append((place("", "readme.txt" if layout.startswith("named") else
                                name + "_readme.txt"),
                          "txt", rng.between(500, 6000), key + ("readme",)))
        image_folders = []
        if rng.chance(0.7):
            sky = name if rng.chance(0.8) else name + "sky"
            edge = 256 if rng.chance(0.9) else 512
            for side in SKY_SIDES:
                files.append((place("gfx/env/", sky + side + ".tga"), "tga", edge,
                              key + ("sky", side)))
            image_folders.append(place("gfx/env/", ""))
        if rng.chance(0.65):
            files.append((place("overviews/", name + ".bmp"), "bmp",
                          rng.choice(((1024, 768), (1024, 768), (512, 384), (800, 600))),
                          key + ("overview",)))
            files.append((place("overviews/", name + ".txt"), "cfg", rng.between(200, 500),
                          key + ("overview-txt",)))
            image_folders.append(place("overviews/", ""))
        if rng.chance(0.15):
            files.append((place("maps/", name + ".bmp"), "bmp", (160, 120),
                          key + ("preview",)))
        for n in range(rng.below(11) if rng.chance(0.85) else 0):
            sound = rng.choice(("ambience", "wind", "door", "alarm", "water", "radio", "music",
                                "bird", "machine", "siren", "train", "drip"))
            filename = f"{sound}{n + 1}.wav"
            if game is None:
                filename = f"{name}_{filename}"
            files.append((place(f"sound/{name}/", filename), "wav",
                          rng.log_between(20_000, 400_000), key + ("wav", n)))
        for n in range(rng.below(4) if rng.chance(0.6) else 0):
            model = rng.choice(("tree", "barrel", "car", "crate", "lamp", "plant", "truck"))
            filename = f"{model}{n + 1}.mdl"
            if game is None:
                filename = f"{name}_{filename}"
            files.append((place(f"models/{name}/", filename), "mdl",
                          rng.log_between(30_000, 700_000), key + ("mdl", n)))
        for n in range(rng.below(7) if rng.chance(0.75) else 0):
            sprite = rng.choice(("glow", "flare", "fire", "smoke", "light", "laser"))
            folder = f"sprites/{name}/" if rng.chance(0.5) else "sprites/"
            filename = f"{name}_{sprite}{n + 1}.spr"
            files.append((place(folder, filename), "spr", rng.log_between(2_000, 120_000),
                          key + ("spr", n)))
        for folder in image_folders + [place("maps/", "")]:
            if rng.chance(0.14):
                files.append((folder + "Thumbs.db", "thumbs", rng.between(6_000, 60_000),
                              key + ("thumbs", folder)))
    # Loose files of two maps may share a name (Thumbs.db at the root); a pack holds one.
    seen = set()
    unique = []
    for entry in files:
        if entry[0].lower() not in seen:
            seen.add(entry[0].lower())
            unique.append(entry)
    return unique


def small_files():
    rng = Rng(SEED, "small-files")
    tops = ("cfg", "docs", "gfx", "maps", "models", "resource", "sound", "sprites")
    folders = []
    for top in tops:
        for s in range(rng.between(6, 14)):
            sub = f"{top}/{rng.choice(MAP_WORDS)}{s}"
            folders.append(sub)
            for t in range(rng.between(0, 5)):
                folders.append(f"{sub}/{rng.choice(('a', 'b', 'c', 'set', 'part'))}{t}")
    weights = [rng.between(1, 10) for _ in folders]
    kinds = {"cfg": (("cfg", "cfg"), ("txt", "txt")), "docs": (("txt", "txt"),),
             "gfx": (("tga", "bin"), ("bmp", "bin")), "maps": (("txt", "txt"), ("res", "cfg")),
             "models": (("mdl", "mdl"),), "resource": (("res", "cfg"), ("tga", "bin")),
             "sound": (("wav", "wav"),), "sprites": (("spr", "spr"),)}
    cumulative = []
    total = 0
    for w in weights:
        total += w
        cumulative.append(total)
    files = []
    for n in range(SMALL_FILE_COUNT):
        pick = rng.below(total)
        folder = folders[next(i for i, c in enumerate(cumulative) if c > pick)]
        extension, kind = rng.choice(kinds[folder.split("/")[0]])
        # The number keeps every name unique.
        path = f"{folder}/{rng.choice(MAP_WORDS)}_{n:05d}.{extension}"
        files.append((path, kind, rng.log_between(64, 19_500), ("small", n + 1)))
    return files


PROP_WORDS = ("barrel", "crate", "lamp", "tree", "bush", "rock", "car", "truck", "chair",
              "table", "sign", "fence", "pipe", "box", "door", "bench", "plant", "pallet")


def many_folders(pack):
    """A pack of props, one model per folder: models/<pack>/<prop>/<prop>.mdl. Names are lower
    case, so that sorting (which keeps a model's folder from "models" on, case-folded) writes
    the paths unzip writes."""
    def files():
        rng = Rng(SEED, "many-folders", pack)
        out = []
        for n in range(FOLDER_FILE_COUNT):
            prop = f"{rng.choice(PROP_WORDS)}{n:05d}"
            out.append((f"models/{pack}/{prop}/{prop}.mdl", "mdl", rng.log_between(120, 1500),
                        ("many-folders", pack, n)))
        return out
    return files


# --------------------------------------------------------------------------------------------
# The ZIP writer: MS-DOS host (as packs made on Windows are), no data descriptors, no ZIP64.

def dos_datetime(rng):
    year = rng.between(2004, 2012)
    month = rng.between(1, 12)
    day = rng.between(1, 28)
    hour, minute, second = rng.below(24), rng.below(60), rng.below(30) * 2
    return (hour << 11) | (minute << 5) | (second // 2), ((year - 1980) << 9) | (month << 5) | day


def compress_item(item):
    path, kind, size, key, store, level = item
    if kind is None:
        return path, 0, 0, 0, 0, b""
    data = make_content(kind, size, key, path.rsplit("/", 1)[-1])
    crc = zlib.crc32(data)
    if not store:
        deflater = zlib.compressobj(level, zlib.DEFLATED, -15, 8, zlib.Z_DEFAULT_STRATEGY)
        packed = deflater.compress(data) + deflater.flush()
        if len(packed) < len(data):
            return path, crc, len(data), 8, level, packed
    return path, crc, len(data), 0, 0, data


def with_directories(files, folder_entries=True):
    folders = set()
    for path, *_ in files if folder_entries else ():
        parts = path.split("/")[:-1]
        for i in range(1, len(parts) + 1):
            folders.add("/".join(parts[:i]) + "/")
    entries = [(folder, None, 0, None) for folder in folders] + list(files)
    # The order a packer walking the folders gives: by path, ignoring case.
    entries.sort(key=lambda e: (e[0].lower(), e[0]))
    return entries


def write_zip(path, files, name, workers, folder_entries=True):
    rng = Rng(SEED, "zip", name)
    entries = with_directories(files, folder_entries)
    work = []
    for entry_path, kind, size, key in entries:
        store = rng.chance(0.02)
        level = 9 if rng.chance(0.1) else 6
        work.append((entry_path, kind, size, key, store, level))
    stamps = [dos_datetime(rng) for _ in work]

    digest = hashlib.sha256()
    central = []
    offset = 0
    stats = {"entries": len(work), "files": 0, "directories": 0, "stored": 0,
             "uncompressed_bytes": 0, "compressed_bytes": 0}

    def emit(out, blob):
        nonlocal offset
        out.write(blob)
        digest.update(blob)
        offset += len(blob)

    partial = path.with_suffix(".zip.part")
    with multiprocessing.Pool(workers) as pool, open(partial, "wb") as out:
        # imap keeps the order, so the archive is the same whatever the worker count.
        for i, result in enumerate(pool.imap(compress_item, work, chunksize=2)):
            entry_path, crc, size, method, level, payload = result
            is_directory = entry_path.endswith("/")
            flags = 2 if level == 9 else 0  # bits 1-2: maximum compression was asked for
            needed = 20 if method == 8 or is_directory else 10
            time_field, date_field = stamps[i]
            raw_name = entry_path.encode("ascii")
            local = struct.pack("<IHHHHHIIIHH", 0x04034B50, needed, flags, method, time_field,
                                date_field, crc, len(payload), size, len(raw_name), 0)
            header_offset = offset
            emit(out, local + raw_name)
            emit(out, payload)
            text_like = entry_path.lower().endswith((".txt", ".cfg", ".res"))
            attributes = 0x10 if is_directory else 0x20
            central.append(struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, needed, flags,
                                       method, time_field, date_field, crc, len(payload), size,
                                       len(raw_name), 0, 0, 0, 1 if text_like else 0,
                                       attributes, header_offset) + raw_name)
            if is_directory:
                stats["directories"] += 1
            else:
                stats["files"] += 1
                stats["stored"] += method == 0
                stats["uncompressed_bytes"] += size
                stats["compressed_bytes"] += len(payload)
        directory_offset = offset
        for record in central:
            emit(out, record)
        directory_size = offset - directory_offset
        emit(out, struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(central), len(central),
                              directory_size, directory_offset, 0))
    if offset >= 1 << 32 or len(central) >= 0xFFFF:
        raise SystemExit(f"{name}: too large for a ZIP without ZIP64")
    os.replace(partial, path)
    stats["archive_bytes"] = offset
    stats["sha256"] = digest.hexdigest()
    return stats


# name (relative to the output folder) -> (the files, whether the folders get entries)
ARCHIVES = {
    "map-pack.zip": (map_pack_files, True),
    "small-files.zip": (small_files, True),
    "many-folders.zip": (many_folders("props"), False),
    **{f"many-folders/props-{k:02d}.zip": (many_folders(f"props{k:02d}"), False)
       for k in range(1, FOLDER_ARCHIVE_COUNT + 1)},
}


def fingerprint():
    source = Path(__file__).read_bytes()
    return hashlib.sha256(source + zlib.ZLIB_RUNTIME_VERSION.encode()).hexdigest()[:16]


def file_sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        while block := f.read(1 << 20):
            digest.update(block)
    return digest.hexdigest()


def generate(folder, force, workers, quiet=False):
    folder.mkdir(parents=True, exist_ok=True)
    manifest_path = folder / "manifest.json"
    try:
        manifest = json.loads(manifest_path.read_text())
    except (OSError, ValueError):
        manifest = {}
    if manifest.get("generator") != fingerprint():
        manifest = {"generator": fingerprint(), "zlib": zlib.ZLIB_RUNTIME_VERSION,
                    "archives": {}}
    for name, (make_files, folder_entries) in ARCHIVES.items():
        path = folder / name
        path.parent.mkdir(parents=True, exist_ok=True)
        known = manifest["archives"].get(name)
        if not force and known and path.exists() and file_sha256(path) == known["sha256"]:
            if not quiet:
                print(f"{name}: up to date ({known['sha256'][:16]})")
            continue
        started = time.monotonic()
        stats = write_zip(path, make_files(), name, workers, folder_entries)
        manifest["archives"][name] = stats
        manifest_path.write_text(json.dumps(manifest, indent=2) + "\n")
        if not quiet:
            print(f"{name}: {stats['files']} files, {stats['directories']} folders, "
                  f"{stats['stored']} stored, {stats['compressed_bytes'] / 2**20:.0f} MiB "
                  f"packed, {stats['uncompressed_bytes'] / 2**20:.0f} MiB out, "
                  f"made in {time.monotonic() - started:.0f} s ({stats['sha256'][:16]})")
        reference = REFERENCE_SHA256.get(name)
        if reference and reference != stats["sha256"] and not quiet:
            print(f"{name}: warning: differs from the reference bytes (zlib "
                  f"{zlib.ZLIB_RUNTIME_VERSION}); figures may not compare across machines",
                  file=sys.stderr)
    manifest_path.write_text(json.dumps(manifest, indent=2) + "\n")
    return manifest


def main():
    root = Path(__file__).resolve().parent.parent
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("folder", nargs="?", default=str(root / "build" / "bench"))
    parser.add_argument("--force", action="store_true", help="make the archives again")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 1)
    parser.add_argument("--check-determinism", action="store_true",
                        help="make everything a second time elsewhere and compare the bytes")
    args = parser.parse_args()
    folder = Path(args.folder)
    manifest = generate(folder, args.force, args.jobs)
    if args.check_determinism:
        with tempfile.TemporaryDirectory(dir=folder) as other:
            again = generate(Path(other), True, args.jobs, quiet=True)
        for name in ARCHIVES:
            first = manifest["archives"][name]["sha256"]
            second = again["archives"][name]["sha256"]
            verdict = "same bytes" if first == second else "DIFFERENT BYTES"
            print(f"{name}: second run {verdict} ({second[:16]})")
            if first != second:
                return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
