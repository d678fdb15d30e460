#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora: small made PNG and WAV files of every kind the
loaders accept (and a few near misses), plus the project's own poster and a short slice of its
tune. Usage: make_seeds.py BUILD_DIR OUT_DIR; writes OUT_DIR/picture and OUT_DIR/music."""
import os
import shutil
import struct
import sys
import zlib

TUNE_SLICE_FRAMES = 4410  # a tenth of a second: enough for every chunk, small enough to mutate


def png(width, height, colour_type, bit_depth=8, interlace=0, palette=None):
    """A tiny PNG with a gradient, in any colour type and depth."""
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour_type]
    row_bytes = (width * channels * bit_depth + 7) // 8
    raw = b"".join(bytes([y % 5]) + bytes((x * 37 + y * 11) & 0xFF for x in range(row_bytes))
                   for y in range(height))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    out = b"\x89PNG\r\n\x1a\n"
    out += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, bit_depth, colour_type, 0, 0, interlace))
    if palette is not None:
        out += chunk(b"PLTE", palette)
        out += chunk(b"tRNS", bytes(range(0, 256, 64)))
    out += chunk(b"IDAT", zlib.compress(raw))
    return out + chunk(b"IEND", b"")


def wav(channels, rate, frames, fmt_tag, bits, extensible=False):
    """A tiny WAV with a ramp, in integer PCM (tag 1) or IEEE float (tag 3)."""
    width = bits // 8
    samples = []
    for i in range(frames * channels):
        v = (i % 64) / 32.0 - 1.0
        if fmt_tag == 3:
            samples.append(struct.pack("<f" if bits == 32 else "<d", v))
        elif bits == 8:
            samples.append(bytes([int((v + 1) * 127)]))
        else:
            samples.append(int(v * (2 ** (bits - 1) - 1)).to_bytes(width, "little", signed=True))
    data = b"".join(samples)
    block = channels * width
    fmt = struct.pack("<HHIIHH", 0xFFFE if extensible else fmt_tag, channels, rate, rate * block, block, bits)
    if extensible:
        guid = struct.pack("<I", fmt_tag) + b"\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71"
        fmt += struct.pack("<HHI", 22, bits, 3 if channels == 2 else 4) + guid
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


def tune_slice(path):
    """The tune's header chunks as they are, with its data cut to a short slice."""
    with open(path, "rb") as f:
        whole = f.read(1 << 20)
    at, head = 12, whole[:12]
    while at + 8 <= len(whole):
        kind, size = whole[at:at + 4], struct.unpack("<I", whole[at + 4:at + 8])[0]
        if kind == b"data":
            block = struct.unpack("<H", head[head.index(b"fmt ") + 20:][:2])[0]
            data = whole[at + 8:at + 8 + TUNE_SLICE_FRAMES * block]
            out = head + b"data" + struct.pack("<I", len(data)) + data
            return out[:4] + struct.pack("<I", len(out) - 8) + out[8:]
        head += whole[at:at + 8 + size + (size & 1)]
        at += 8 + size + (size & 1)
    raise SystemExit(f"{path}: no data chunk")


def main():
    build, out = sys.argv[1], sys.argv[2]
    pictures = {
        "grey.png": png(3, 2, 0),
        "grey16.png": png(2, 2, 0, bit_depth=16),
        "grey1bit.png": png(9, 3, 0, bit_depth=1),
        "grey-alpha.png": png(3, 3, 4),
        "rgb-odd-rows.png": png(5, 3, 2),
        "rgb16.png": png(2, 3, 2, bit_depth=16),
        "rgba.png": png(4, 4, 6),
        "palette.png": png(4, 2, 3, palette=bytes(range(12))),
        "interlaced.png": png(9, 9, 6, interlace=1),
    }
    music = {
        "u8-mono.wav": wav(1, 8000, 50, 1, 8),
        "pcm16-stereo.wav": wav(2, 44100, 40, 1, 16),
        "pcm24-mono.wav": wav(1, 48000, 30, 1, 24),
        "pcm32-stereo.wav": wav(2, 96000, 20, 1, 32),
        "float-stereo.wav": wav(2, 44100, 30, 3, 32),
        "double-mono.wav": wav(1, 192000, 20, 3, 64),
        "extensible-stereo.wav": wav(2, 44100, 30, 1, 16, extensible=True),
        "three-channels.wav": wav(3, 44100, 10, 1, 16),
        "rate-too-low.wav": wav(1, 4000, 10, 1, 16),
        "one-frame.wav": wav(2, 22050, 1, 1, 16),
    }
    for kind, files in (("picture", pictures), ("music", music)):
        os.makedirs(os.path.join(out, kind), exist_ok=True)
        for name, data in files.items():
            with open(os.path.join(out, kind, name), "wb") as f:
                f.write(data)
    # The show's own picture and tune, where the build's data table says they are.
    with open(os.path.join(build, "show_data.txt")) as table:
        paths = dict(line.split()[:2] for line in table if line.split()[0] != "program")
    shutil.copy(os.path.join(build, paths["picture"]), os.path.join(out, "picture", "poster.png"))
    with open(os.path.join(out, "music", "tune-slice.wav"), "wb") as f:
        f.write(tune_slice(os.path.join(build, paths["tune"])))


if __name__ == "__main__":
    main()
