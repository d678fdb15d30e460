#!/usr/bin/env python3
"""Serves the web build on 127.0.0.1 and prints the address, for a viewer on this machine and for
the browser tests. Each file goes out gzip-compressed when the browser accepts it and that makes
it smaller (the script, the WebAssembly, the shaders; the picture and the tune hardly shrink),
compressed once and kept while the file is unchanged.

    serve.py [--port PORT] [DIRECTORY]     (port 0: any free one; DIRECTORY: build-web/site/)
"""
import argparse
import functools
import gzip
import http.server
import io
import os
import sys
import threading

DEFAULT_PORT = 8016
# Compression that does not save at least this share of a file is not worth the browser's time.
MIN_SAVING = 0.05
COMPRESSION_LEVEL = 6
SAMPLE_BYTES = 1 << 20
TYPES = {".wasm": "application/wasm", ".js": "text/javascript", ".data": "application/octet-stream",
         ".wav": "audio/wav", ".ogg": "audio/ogg", ".html": "text/html; charset=utf-8", ".png": "image/png"}


def worth(packed, raw):
    return packed <= raw * (1 - MIN_SAVING)


def worth_compressing(sample):
    return worth(len(gzip.compress(sample, compresslevel=COMPRESSION_LEVEL)), len(sample))


class Compressed:
    """Gzip bodies by path, made again when a file's size or time changes."""

    def __init__(self):
        self.lock = threading.Lock()
        self.bodies = {}

    def body(self, path):
        stat = os.stat(path)
        key = (stat.st_size, stat.st_mtime_ns)
        with self.lock:
            known = self.bodies.get(path)
            if known and known[0] == key:
                return known[1]
        with open(path, "rb") as file:
            raw = file.read()
        body = None
        # A sample tells whether the whole is worth compressing: PCM audio and PNG are not.
        if worth_compressing(raw[:SAMPLE_BYTES]):
            packed = gzip.compress(raw, compresslevel=COMPRESSION_LEVEL, mtime=0)
            body = packed if worth(len(packed), len(raw)) else None
        with self.lock:
            self.bodies[path] = (key, body)
        return body


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, **TYPES}
    compressed = Compressed()

    def send_head(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path) and self.path.split("?", 1)[0].endswith("/"):
            path = os.path.join(path, "index.html")
        accepts = "gzip" in self.headers.get("Accept-Encoding", "")
        body = self.compressed.body(path) if accepts and os.path.isfile(path) else None
        if body is None:
            return super().send_head()
        self.send_response(200)
        self.send_header("Content-Type", self.guess_type(path))
        self.send_header("Content-Encoding", "gzip")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        return io.BytesIO(body)

    def end_headers(self):
        # A page rebuilt while served is fetched again, not taken from the browser's cache.
        self.send_header("Cache-Control", "no-cache")
        super().end_headers()

    def log_message(self, *args):
        pass  # a quiet server: the page's console says what matters


class Server(http.server.ThreadingHTTPServer):
    def handle_error(self, request, client_address):
        # A browser that leaves mid-download (a closed tab) is no fault of the server's.
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=DEFAULT_PORT)
    parser.add_argument("directory", nargs="?",
                        default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build-web", "site"))
    options = parser.parse_args()
    if not os.path.isfile(os.path.join(options.directory, "index.html")):
        sys.exit(f"serve-web: no page in {options.directory}: scripts/build-web makes it")
    handler = functools.partial(Handler, directory=options.directory)
    with Server(("127.0.0.1", options.port), handler) as server:
        print(f"http://127.0.0.1:{server.server_address[1]}/", flush=True)
        try:
            server.serve_forever()
        except KeyboardInterrupt:
            pass


if __name__ == "__main__":
    main()
