#!/usr/bin/env python3
"""Writes the fuzzer's own small seed archives into fuzz/seeds/, the same bytes on every run.

Each seed shows the fuzzer one feature of the format that the reader handles: stored and deflated
data, folder entries, a data descriptor, an MS-DOS name in code page 437 beside a UTF-8 one, an
archive comment, a stub in front, the encryption flag, and names that climb out of the target.
"""
import io
import pathlib
import zipfile

SEEDS = pathlib.Path(__file__).resolve().parent / "seeds"
WHEN = (2001, 2, 3, 4, 5, 6)


def entry(name, method=zipfile.ZIP_STORED, system=3, flags=0):
    info = zipfile.ZipInfo(name, WHEN)
    info.compress_type = method
    info.create_system = system
    info.external_attr = (0o40755 << 16) | 0x10 if name.endswith("/") else 0o644 << 16
    info.flag_bits |= flags
    return info


class Unseekable(io.RawIOBase):
    """A stream that cannot seek back, so that zipfile writes data descriptors."""

    def __init__(self):
        self.data = bytearray()

    def writable(self):
        return True

    def write(self, chunk):
        self.data += chunk
        return len(chunk)


def archive(entries, comment=b"", streamed=False):
    out = Unseekable() if streamed else io.BytesIO()
    with zipfile.ZipFile(out, "w") as zf:
        zf.comment = comment
        for info, data in entries:
            zf.writestr(info, data)
    return bytes(out.data if streamed else out.getvalue())


def main():
    text = b"map de_seed\n" * 8
    seeds = {
        "stored.zip": archive([(entry("maps/"), b""), (entry("maps/de_seed.bsp"), b"BSP\x1e" * 4)]),
        "deflated.zip": archive([(entry("readme.txt", zipfile.ZIP_DEFLATED), text)],
                                comment=b"seed comment"),
        "descriptor.zip": archive([(entry("sound/a.wav", zipfile.ZIP_DEFLATED), text),
                                   (entry("sound/b.wav"), b"RIFF")], streamed=True),
        # zipfile writes non-ASCII names as UTF-8, so the CP437 byte (é) is patched in.
        "names.zip": archive([(entry("cafX.txt", system=0), b"cp437"),
                              (entry("café.txt", system=0), b"utf-8")])
        .replace(b"cafX", b"caf\x82"),
        "encrypted.zip": archive([(entry("secret.txt", flags=0x1), b"x" * 12)]),
        "traversal.zip": archive([(entry("../up.txt"), b"up"), (entry("/top.txt"), b"top"),
                                  (entry("C:\\drive.txt"), b"drive"), (entry("ok.txt"), b"ok")]),
        "empty.zip": archive([]),
    }
    seeds["stub.zip"] = b"#!/bin/sh\nexit 0\n" + seeds["stored.zip"]
    SEEDS.mkdir(exist_ok=True)
    for name, data in seeds.items():
        (SEEDS / name).write_bytes(data)


if __name__ == "__main__":
    main()
