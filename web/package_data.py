#!/usr/bin/env python3
"""Packs the show's data for the web page, from the list the desktop build writes (show_data.txt):
the programs' files and the picture go into one preloaded package (demo.data, with its loader
demo-data.js) that the web build's file system serves to the demo's own readers; the tune, which
the page plays through the browser's audio, goes beside it as Ogg Vorbis (TUNE_SUFFIX), a ninth of
the WAV's size, which Chromium and Firefox both decode to exactly the WAV's length, so that it
loops without a gap. A file missing from the data directory is left out, so that a page can be
made to show how the demo copes without it.

    package_data.py SHOW_DATA_TXT DATA_DIR OUT_DIR
"""
import os
import subprocess
import sys

PACKAGE = "demo.data"
LOADER = "demo-data.js"
# The page asks for the tune under its own name with this suffix (web/main.cpp).
TUNE_SUFFIX = ".ogg"
# Vorbis quality 4 (about 128 kbit/s): the decoded tune stays above 20 dB SNR against the WAV.
# Bit-exact mode leaves out the encoder's version and fixes the stream's serial number, so that
# the same WAV gives the same bytes.
ENCODE = ["-c:a", "libvorbis", "-q:a", "4", "-map_metadata", "-1", "-fflags", "+bitexact",
          "-flags:a", "+bitexact"]


def show_files(listing):
    """The packed files and the tune, from show_data.txt's lines."""
    packed, tune = [], None
    with open(listing) as lines:
        for line in lines:
            kind, *paths = line.split()
            if kind == "tune":
                tune = paths[0]
            else:
                packed += [path for path in paths if path not in packed]
    return packed, tune


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    listing, data, out = sys.argv[1:]
    packed, tune = show_files(listing)
    os.makedirs(out, exist_ok=True)
    present = [path for path in packed if os.path.isfile(os.path.join(data, path))]
    for path in sorted(set(packed) - set(present)):
        print(f"package_data: {path} is missing from {data}: the page goes without it", file=sys.stderr)
    # file_packager writes the package where it is run; paths are mounted as the demo reads them.
    packager = os.path.join(os.environ.get("EMSCRIPTEN_ROOT", "/usr/share/emscripten"), "tools",
                            "file_packager.py")
    mounts = [f"{os.path.abspath(os.path.join(data, path))}@{path}" for path in present]
    # Its one remark on success, that the program needs a file system, is answered in the build.
    packing = subprocess.run([sys.executable, packager, PACKAGE, "--preload", *mounts, f"--js-output={LOADER}"],
                             cwd=out, capture_output=True, text=True)
    if packing.returncode != 0:
        sys.exit(f"package_data: file_packager failed:\n{packing.stdout}{packing.stderr}")
    if tune and os.path.isfile(os.path.join(data, tune)):
        encoded = os.path.join(out, os.path.splitext(tune)[0] + TUNE_SUFFIX)
        os.makedirs(os.path.dirname(encoded), exist_ok=True)
        subprocess.run(["ffmpeg", "-v", "error", "-y", "-i", os.path.join(data, tune), *ENCODE, encoded],
                       check=True)


if __name__ == "__main__":
    main()
