#!/usr/bin/env python3
"""Builds the seed corpus (fuzz/corpus/<target>/) from a real session.

    make_corpus.py SESSION.log FILE.kvd GOLDEN.txt BUILD_DIR

SESSION.log and FILE.kvd come from `kvmaint get --log SESSION.log --output
FILE.kvd` against kvsim; GOLDEN.txt is the plain record sample of the file
tests. The built-in seeds of the other targets are added by its replay binary
(--write-seeds). Inputs follow the layouts the targets' comments describe.
"""
import pathlib
import re
import subprocess
import sys

TAGS = {"STX": 2, "ETX": 3, "EOT": 4, "ACK": 6, "NAK": 0x15, "ETB": 0x17, "SUB": 0x1A}


def received_frames(log_text):
    """The bytes of every '<' line of the session log, tags turned back into bytes."""
    frames = []
    for line in log_text.splitlines():
        match = re.match(r"\d\d:\d\d:\d\d < : (.*)$", line.rstrip("\r"))
        if not match:
            continue
        def untag(tag):
            name = tag.group(1)
            return chr(TAGS[name]) if name in TAGS else chr(int(name, 16))
        frames.append(re.sub(r"\[([A-Z]{3}|[0-9A-F]{2})\]", untag, match.group(1)).encode("latin-1"))
    return frames


def chunked(data, control_bits=0x40):
    """fuzz_link_reception chunks: a control byte (length, tick after) and up to 63 bytes."""
    out = bytearray()
    for at in range(0, len(data), 63):
        piece = data[at:at + 63]
        out += bytes([control_bits | len(piece)]) + piece
    return bytes(out)


def write(folder, name, data):
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data)


def main():
    log_path, kvd_path, golden_path, build = map(pathlib.Path, sys.argv[1:5])
    corpus = pathlib.Path(__file__).resolve().parent / "corpus"
    frames = received_frames(log_path.read_text(encoding="latin-1"))
    by_code = {}
    for frame in frames:
        by_code.setdefault(frame[5:9], frame)  # the first reply of each kind
    for code, frame in by_code.items():
        name = code.decode("latin-1").replace(",", "_")
        write(corpus / "fuzz_apply_reply", f"real-{name}", b"\x02" + frame)  # raw frame, record
        write(corpus / "fuzz_link_reception", f"real-{name}", b"\x05" + chunked(frame))
    # The whole session as the connect sequence and the reads met it.
    write(corpus / "fuzz_link_reception", "real-session", b"\x04" + chunked(b"".join(frames)))
    write(corpus / "fuzz_kvd_text", "real-file", b"F" + kvd_path.read_bytes())
    golden = golden_path.read_bytes().splitlines()
    for index, line in enumerate(golden):
        if index % 3 == 0:
            write(corpus / "fuzz_kvd_text", f"golden-{index:03d}", b"P" + line)
    # One comma marker, odd count: the record reader's own tokenizer.
    write(corpus / "fuzz_token", "golden", b"\x01," + b"\n".join(golden))
    # The file reader's built-in seeds are the golden records again.
    for target in ("fuzz_apply_reply", "fuzz_link_reception", "fuzz_ini", "fuzz_token"):
        subprocess.run([str(build / "fuzz" / target), "--write-seeds", str(corpus / target)],
                       check=True)


if __name__ == "__main__":
    main()
