#!/usr/bin/env python3
"""Serves the playground: serve.py SITE [PORT] [ADDRESS]

A static server for the built page on this machine alone. It sends the headers that make
the page cross-origin isolated, which gives it the browser's finest timer (the bench page
times single ticks), and the WebAssembly type, which compiling while loading needs. Port 0
picks a free one; the address is printed on the first line."""
import functools
import http.server
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      '.wasm': 'application/wasm', '.js': 'text/javascript', '.mjs': 'text/javascript'}

    def end_headers(self):
        self.send_header('Cross-Origin-Opener-Policy', 'same-origin')
        self.send_header('Cross-Origin-Embedder-Policy', 'require-corp')
        self.send_header('Cache-Control', 'no-cache')
        super().end_headers()

    def log_message(self, format, *args):
        pass


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    site = sys.argv[1]
    port = int(sys.argv[2]) if len(sys.argv) > 2 else 8024
    address = sys.argv[3] if len(sys.argv) > 3 else '127.0.0.1'
    server = http.server.ThreadingHTTPServer((address, port), functools.partial(Handler, directory=site))
    print('http://%s:%d/' % (address, server.server_address[1]), flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == '__main__':
    main()
