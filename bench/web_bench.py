#!/usr/bin/env python3
"""Weight and speed of the show's page in headless Chromium (SwiftShader's WebGL2), against the
native demo's scene frame times on llvmpipe measured in the same run (bench/scene_bench, whose
table is printed first): the page's weight (its folder, and its download as the project's server
sends it), how long a viewer on a modest link waits for the title card and for the tune, the time
from the viewer's click to the first frame shown, and each scene's frame times at 1920x1080.

    web_bench.py SCENE_BENCH_OUTPUT [FRAMES_PER_SCENE]
"""
import json
import os
import re
import statistics
import sys
import time

from selenium.webdriver.common.action_chains import ActionChains

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
import browser  # noqa: E402  (the browser tests' Chromium)

BUILD_WEB = os.path.join(browser.ROOT, "build-web", "site")
DEFAULT_FRAMES = 10
CLICKS = 5
# The link of a viewer on a phone or at home: 10 Mbit/s down, 40 ms each way.
LINK_BITS_PER_SECOND = 10e6
LINK_LATENCY_MS = 40
LOAD_TIMEOUT = 120
# Both sides take each scene's frames evenly over its span, as bench/scene_bench does, after one
# frame half a second in that lets the driver finish building the program.
SPANS = [("scene 1 (picture)", 0.0, 9.0), ("scene 2 (spheres)", 10.0, 45.0), ("scene 3 (tunnel)", 46.0, 109.0)]

# Renders frame times through the page's own drawing, each waited for to the last pixel by a
# one-pixel read, as the native bench waits with glFinish.
FRAME_TIMES_JS = """
(() => {
  const gl = document.getElementById('canvas').getContext('webgl2');
  const pixel = new Uint8Array(4);
  const draw = (t) => {
    const start = performance.now();
    Module._webFrame(t);
    gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
    return performance.now() - start;
  };
  draw(%(from)f + 0.5);
  const times = [];
  for (let i = 1; i <= %(frames)d; ++i) times.push(draw(%(from)f + (%(to)f - %(from)f) * i / (%(frames)d + 1)));
  return times;
})()
"""


def percentile(values, p):
    ordered = sorted(values)
    return ordered[int(p * (len(ordered) - 1) + 0.5)]


def native_medians(scene_bench_output):
    """Median milliseconds per scene from scene_bench's table."""
    medians = {}
    for name, _, _ in SPANS:
        found = re.search(re.escape(name) + r"\s+\d+\s+([\d.]+) ms", scene_bench_output)
        if found:
            medians[name] = float(found.group(1))
    return medians


def weight(driver, address):
    """(url, bytes received, encoding) of every request a page load makes, the tune's included."""
    driver.get_log("performance")  # what came before
    driver.get(address)
    browser.wait_for(driver, "window.show && show.state === 'ready' && !!show.music.bytes", LOAD_TIMEOUT)
    browser.value(driver, "show.music.bytes.then(() => true)")
    time.sleep(0.5)
    urls, encodings, sizes = {}, {}, {}
    for entry in driver.get_log("performance"):
        event = json.loads(entry["message"])["message"]
        params = event.get("params", {})
        if event.get("method") == "Network.requestWillBeSent":
            urls[params["requestId"]] = params["request"]["url"]
        elif event.get("method") == "Network.responseReceived":
            encodings[params["requestId"]] = params["response"]["headers"].get("Content-Encoding", "-")
        elif event.get("method") == "Network.loadingFinished":
            sizes[params["requestId"]] = params["encodedDataLength"]
    return [(urls[request][len(address):] or "/", size, encodings.get(request, "-"))
            for request, size in sizes.items() if urls.get(request, "").startswith(address)]


def arrival(driver, address):
    """Seconds from the page's request to its title card ready to click, and to the tune
    fetched, on LINK_BITS_PER_SECOND."""
    driver.execute_cdp_cmd("Network.enable", {})
    driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
    driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
        "offline": False, "latency": LINK_LATENCY_MS,
        "downloadThroughput": LINK_BITS_PER_SECOND / 8, "uploadThroughput": LINK_BITS_PER_SECOND / 8})
    try:
        driver.get(address)
        card = browser.wait_for(driver, "show.state === 'ready' && performance.now()", LOAD_TIMEOUT)
        browser.value(driver, "show.music.bytes.then(() => true)")
        tune = browser.value(driver, "performance.getEntriesByName(new URL("
                                     "Module.UTF8ToString(Module._webTunePath()), location).href)[0].responseEnd")
    finally:
        driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
            "offline": False, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
        driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": False})
    return card / 1000, tune / 1000


def click_to_first_frame(driver, address):
    driver.get(address)
    browser.wait_for(driver, "window.show && show.state === 'ready'", LOAD_TIMEOUT)
    ActionChains(driver).click(driver.find_element("id", "watch")).perform()
    return browser.wait_for(driver, "show.firstFrameMs", LOAD_TIMEOUT)


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    with open(sys.argv[1]) as file:
        native = native_medians(file.read())
    frames = max(2, int(sys.argv[2])) if len(sys.argv) == 3 else DEFAULT_FRAMES
    server, address = browser.serve(BUILD_WEB)
    try:
        driver = browser.chromium(logs=("performance",))
        try:
            loaded = weight(driver, address)
            print("page weight, as served by scripts/serve-web (gzip where it saves):")
            for url, size, encoding in sorted(loaded, key=lambda entry: -entry[1]):
                print(f"  {url:<16} {size / 1024:10.1f} KiB  {encoding}")
            print(f"  {'total':<16} {sum(size for _, size, _ in loaded) / 1024:10.1f} KiB")
            folder = sum(entry.stat().st_size for entry in os.scandir(BUILD_WEB) if entry.is_file())
            print(f"  build-web/site/ holds {folder / 2**20:.2f} MiB")
            print()
            card, tune = arrival(driver, address)
            print(f"on a {LINK_BITS_PER_SECOND / 1e6:.0f} Mbit/s link ({LINK_LATENCY_MS} ms latency): "
                  f"title card after {card:.1f} s, the tune after {tune:.1f} s")
            print()
            clicks = [click_to_first_frame(driver, address) for _ in range(CLICKS)]
            print(f"click to first frame: median {statistics.median(clicks):.0f} ms, "
                  f"slowest {max(clicks):.0f} ms ({CLICKS} page loads)")
            print()
            driver.get(address + "?paused=1")
            browser.wait_for(driver, "window.show && show.state === 'ready'", LOAD_TIMEOUT)
            renderer = browser.value(driver, 
                "(() => { const gl = document.getElementById('canvas').getContext('webgl2');"
                " const info = gl.getExtension('WEBGL_debug_renderer_info');"
                " return gl.getParameter(info ? info.UNMASKED_RENDERER_WEBGL : gl.RENDERER); })()")
            print(f"{'scene':<20} {'frames':>7} {'median':>10} {'p95':>10} {'native':>10} {'ratio':>6}"
                  f"   (1920x1080, {renderer})")
            for name, start, end in SPANS:
                driver.set_script_timeout(LOAD_TIMEOUT * 5)
                times = browser.value(driver, FRAME_TIMES_JS % {"from": start, "to": end, "frames": frames})
                median = statistics.median(times)
                reference = native.get(name)
                ratio = median / reference if reference else float("nan")
                print(f"{name:<20} {frames:>7} {median:7.1f} ms {percentile(times, 0.95):7.1f} ms "
                      f"{reference or float('nan'):7.1f} ms {ratio:6.2f}")
            print("ratio: the page's median over the native one; the click includes the browser's switch to"
                  " fullscreen")
        finally:
            driver.quit()
    finally:
        server.kill()
        server.wait()


if __name__ == "__main__":
    main()
