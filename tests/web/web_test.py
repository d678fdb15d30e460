"""The show's page in a real headless Chromium (SwiftShader's WebGL2), served by the project's own
server (browser.py): what a viewer sees and hears, frames compared with demo-snapshot's, and the
demo's own reports in the console for broken data.

Environment: BUILD_WEB (the built page), DEMO_DATA (the desktop build, with the show's data and
show_data.txt), SNAPSHOT (demo-snapshot). A frame that does not match is left in the working
directory with its reference.   python3 -m unittest web_test[.Case.test]
"""
import base64
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

import browser

BUILD_WEB = os.environ.get("BUILD_WEB", os.path.join(browser.ROOT, "build-web", "site"))
DEMO_DATA = os.environ.get("DEMO_DATA", os.path.join(browser.ROOT, "build"))
SNAPSHOT = os.environ.get("SNAPSHOT", os.path.join(DEMO_DATA, "demo-snapshot"))
PACKAGE_DATA = os.path.join(browser.ROOT, "web", "package_data.py")
PAGE_FILES = ("index.html", "show.js", "demo.js", "demo.wasm")

# Frames are compared at 240x135, averages of 8x8 blocks, and with the golden frames' bounds
# (tests/golden_test.cpp): per channel, the mean difference over the frame, and the 99.9th
# percentile of each block's largest channel difference. SwiftShader and llvmpipe both compute in
# single precision but round sin(), exp() and pow() and their rasterisation differently; the
# blocks average that to a mean under 0.05 and a percentile of 2 at most over the whole show,
# where a 1% change of a camera or colour constant goes past a bound.
SMALL_WIDTH, SMALL_HEIGHT = 240, 135
MAX_MEAN_DIFFERENCE, MAX_PERCENTILE_DIFFERENCE = 0.2, 8
# Page load and start-up on a loaded 2-core machine, and the longest a frame of SwiftShader at
# 1920x1080 takes there (scene 2, about a second).
LOAD_TIMEOUT = 120
FRAME_TIMEOUT = 30
# The music's position and the show's time, read one after the other from one clock.
POSITION_TOLERANCE = 0.02
# Where the music test starts: before the tune's first loop ends (at 104 s), with time for a
# loaded machine to fetch and decode the tune before then.
MUSIC_FROM = 99
# The page's compressed tune against the WAV: over the whole, and over its last and first frames
# heard one after the other, where a gap or the codec's padding would click.
MIN_TUNE_SNR_DB = 20
JOIN_FRAMES = 4096


def small(png):
    """The PNG's pixels as 240x135 RGBA, each the mean of its block of the picture."""
    return subprocess.run(["ffmpeg", "-v", "error", "-i", "-", "-vf", f"scale={SMALL_WIDTH}:{SMALL_HEIGHT}:flags=area",
                           "-f", "rawvideo", "-pix_fmt", "rgba", "-"], input=png, capture_output=True, check=True).stdout


def show_data():
    """show_data.txt's lines as (kind, paths)."""
    with open(os.path.join(DEMO_DATA, "show_data.txt")) as lines:
        return [(line.split()[0], line.split()[1:]) for line in lines if line.strip()]


def data_path(kind):
    """The path of the show's "picture" or "tune"."""
    return next(paths[0] for listed, paths in show_data() if listed == kind)


def difference(actual, expected):
    """The mean channel difference over red, green and blue, and the 99.9th percentile of each
    block's largest channel difference."""
    largest, total = [], 0
    for i in range(0, len(actual), 4):
        channels = [abs(actual[i + c] - expected[i + c]) for c in range(3)]
        total += sum(channels)
        largest.append(max(channels))
    largest.sort()
    return total / (3 * len(largest)), largest[int(0.999 * (len(largest) - 1) + 0.5)]


class Page:
    """A page served from `directory` and opened with `query` in a fresh browser, once it has
    started up; closes both."""

    def __init__(self, directory, query):
        self.server, address = browser.serve(directory)
        self.logged = []
        try:
            self.driver = browser.chromium()
            self.driver.get(address + query)
            self.wait_for("window.show && show.state !== 'loading'", LOAD_TIMEOUT)
        except BaseException:
            self.__exit__()
            raise

    def __enter__(self):
        return self

    def __exit__(self, *_):
        if hasattr(self, "driver"):
            self.driver.quit()
        self.server.kill()
        self.server.wait()
        self.server.stdout.close()

    def value(self, expression):
        return browser.value(self.driver, expression)

    def wait_for(self, expression, timeout=FRAME_TIMEOUT):
        return browser.wait_for(self.driver, expression, timeout)

    def frame(self, t):
        """The page's frame at t, drawn by its own path, as PNG bytes at 1920x1080."""
        return base64.b64decode(self.value(f"show.capture({t})").split(",", 1)[1])

    def console(self):
        self.logged += browser.console(self.driver)
        return self.logged

    def card(self):
        """Whether the title card is hidden, and its button's words."""
        return self.value("[document.getElementById('card').hidden, document.getElementById('watch').textContent]")

    def click(self, element):
        """A real click, a user gesture as a viewer's is, on the element with that id."""
        ActionChains(self.driver).click(self.driver.find_element("id", element)).perform()


class ShowTest(unittest.TestCase):
    def assertCleanConsole(self, page):
        problems = [(level, text) for level, text in page.console()
                    if level == "SEVERE" or "WebGL" in text or "GL_INVALID" in text]
        self.assertEqual(problems, [], "the console holds WebGL or script errors")

    def assertMatchesSnapshot(self, page, t, data=DEMO_DATA):
        """The page's frame at t against demo-snapshot's from `data`; a mismatch leaves both."""
        with tempfile.TemporaryDirectory() as scratch:
            reference = os.path.join(scratch, "reference.png")
            subprocess.run([SNAPSHOT, str(t), reference], cwd=data, check=True)
            with open(reference, "rb") as file:
                expected = small(file.read())
            full = page.frame(t)
            mean, percentile = difference(small(full), expected)
            if mean > MAX_MEAN_DIFFERENCE or percentile > MAX_PERCENTILE_DIFFERENCE:
                name = f"{self.id().rsplit('.', 1)[-1]}-{t}"
                with open(f"web.{name}.png", "wb") as file:
                    file.write(full)
                shutil.copyfile(reference, f"web.{name}.snapshot.png")
        self.assertLessEqual(mean, MAX_MEAN_DIFFERENCE, f"t={t}: mean difference")
        self.assertLessEqual(percentile, MAX_PERCENTILE_DIFFERENCE, f"t={t}: 99.9th percentile difference")


class ThePage(ShowTest):
    def test_frames_match_demo_snapshot(self):
        with Page(BUILD_WEB, "?t=20&autostart=1&paused=1") as page:
            self.assertEqual(page.value("[show.state, show.time()]"), ["held", 20])
            self.assertTrue(page.card()[0], "the card hides the show")
            for t in (4.5, 20, 92):
                self.assertMatchesSnapshot(page, t)
            self.assertCleanConsole(page)

    def test_a_click_starts_the_show_with_its_music_to_the_end_and_escape_stops_it(self):
        # From before the tune's first loop ends to the end of the show.
        with Page(BUILD_WEB, f"?t={MUSIC_FROM}") as page:
            self.assertEqual(page.card(), [False, "click to watch"])
            self.assertGreater(page.value("document.getElementById('poster').naturalWidth"), 0, "no poster")
            # What the page hands the audio system, to be held against where it says the tune is.
            page.value("(AudioBufferSourceNode.prototype.start = ((start) => function (...args) {"
                       " window.handed = args; return start.apply(this, args); })(AudioBufferSourceNode.prototype.start), true)")
            page.click("watch")
            page.wait_for("show.frames > 0 && show.audio().state === 'running' && show.audio().position !== null",
                          LOAD_TIMEOUT)
            self.assertEqual(page.value("show.state"), "playing")
            self.assertTrue(page.card()[0])
            read = "(() => { const t = show.time(), heard = show.audio().position; return [t, heard]; })()"
            loop = page.value("show.music.buffer.duration")
            t, heard = page.value(read)
            self.assertAlmostEqual(heard, t % loop, delta=POSITION_TOLERANCE)
            self.assertEqual(page.value("handed"), page.value("[show.music.started.at, show.music.started.offset]"),
                             "the tune was started elsewhere than the page says it plays")
            # The clock runs on, and the music past its loop's end, still at the show's time.
            page.wait_for(f"show.time() > {loop} + 0.3")
            later, heard_later = page.value(read)
            self.assertAlmostEqual(heard_later, later - loop, delta=POSITION_TOLERANCE)
            # At the end: silence and the card to watch again, which starts the show from the top
            # until Escape.
            page.wait_for("show.state === 'over'")
            self.assertEqual(page.card(), [False, "watch again"])
            self.assertIsNone(page.value("show.audio().position"))
            page.click("watch")
            page.wait_for("show.frames > 0 && show.state === 'playing'")
            self.assertLess(page.value("show.time()"), 9, "not from the show's start")
            ActionChains(page.driver).send_keys(Keys.ESCAPE).perform()
            page.wait_for("show.state === 'over'")
            self.assertIsNone(page.value("show.audio().position"))
            self.assertCleanConsole(page)


    def test_the_compressed_tune_decodes_to_the_wav_and_loops_without_a_gap(self):
        with tempfile.TemporaryDirectory() as scratch:
            for name in os.listdir(BUILD_WEB):
                os.symlink(os.path.join(BUILD_WEB, name), os.path.join(scratch, name))
            os.symlink(os.path.join(DEMO_DATA, data_path("tune")), os.path.join(scratch, "reference.wav"))
            with Page(scratch, "") as page:
                lengths, whole, join = page.value(f"""(async () => {{
                    const context = new OfflineAudioContext(2, 1, 44100);
                    const decode = async (path) => context.decodeAudioData(await (await fetch(path)).arrayBuffer());
                    const tune = await decode(Module.UTF8ToString(Module._webTunePath()));
                    const wav = await decode('reference.wav');
                    const snr = (from, to) => {{
                      let signal = 0, noise = 0;
                      for (let c = 0; c < 2; ++c) {{
                        const heard = tune.getChannelData(c), meant = wav.getChannelData(c);
                        for (let i = from; i < to; ++i) {{
                          const k = (i + wav.length) % wav.length;
                          signal += meant[k] ** 2;
                          noise += (heard[k] - meant[k]) ** 2;
                        }}
                      }}
                      return 10 * Math.log10(signal / noise);
                    }};
                    return [[tune.length, wav.length], snr(0, wav.length), snr(-{JOIN_FRAMES}, {JOIN_FRAMES})];
                  }})()""")
        self.assertEqual(lengths[0], lengths[1], "the decoded tune is not the WAV's length")
        self.assertGreaterEqual(whole, MIN_TUNE_SNR_DB)
        self.assertGreaterEqual(join, MIN_TUNE_SNR_DB, "the loop's join")


class OtherData(ShowTest):
    """A page built like the shipped one from a changed copy of its data, as the demo would read it."""

    def test_a_broken_shader_is_reported_and_a_grey_and_alpha_picture_looks_as_on_the_desktop(self):
        # WebGL2 has no texture swizzle: the web build takes another way to the same picture.
        with tempfile.TemporaryDirectory() as scratch:
            data, site = os.path.join(scratch, "data"), os.path.join(scratch, "page")
            for kind, paths in show_data():
                for path in paths if kind != "tune" else []:
                    os.makedirs(os.path.dirname(os.path.join(data, path)), exist_ok=True)
                    shutil.copyfile(os.path.join(DEMO_DATA, path), os.path.join(data, path))
            with open(os.path.join(data, "newshaders", "First.fs"), "a") as shader:
                shader.write("broken\n")
            subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=64x32", "-frames:v", "1",
                            "-pix_fmt", "ya8", os.path.join(data, data_path("picture"))], check=True)
            subprocess.run([sys.executable, PACKAGE_DATA, os.path.join(DEMO_DATA, "show_data.txt"), data, site],
                           check=True, stderr=subprocess.DEVNULL)
            for file in (*PAGE_FILES, data_path("tune")):
                os.symlink(os.path.join(BUILD_WEB, file), os.path.join(site, file))
            with Page(site, "?t=4.5&autostart=1&paused=1") as page:
                logged = [text for level, text in page.console() if level == "INFO"]
                for report in ("ERROR::SHADER_COMPILATION_ERROR of type: FRAGMENT",
                               "ERROR::PROGRAM_LINKING_ERROR of type: PROGRAM"):
                    self.assertIn(report, logged)
                for t in (4.5, 92):
                    self.assertMatchesSnapshot(page, t, data=data)


if __name__ == "__main__":
    unittest.main()
