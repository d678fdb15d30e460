#!/usr/bin/env python3
"""The README's picture of the show's page: its title card, as the browser tests' client sees it
in headless Chromium, at half the show's size.   screenshot.py OUT.png [BUILD_WEB]"""
import os
import sys

import devtools

SCALE = 0.5


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    page = sys.argv[2] if len(sys.argv) == 3 else os.path.join(devtools.ROOT, "build-web")
    server, address = devtools.serve(page)
    try:
        with devtools.Browser() as browser:
            browser.navigate(address)
            browser.wait_for("window.show && show.state === 'ready' && "
                             "document.getElementById('poster').complete", timeout=120)
            with open(sys.argv[1], "wb") as file:
                file.write(browser.screenshot(SCALE))
    finally:
        server.kill()
        server.wait()


if __name__ == "__main__":
    main()
