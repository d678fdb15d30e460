"""A small client of Chromium's DevTools protocol, for the browser tests and the web benchmark:
Debian's chromium, headless, drawing WebGL2 with SwiftShader, driven over --remote-debugging-pipe
(JSON messages ended by a NUL byte, commands on the browser's descriptor 3 and replies and events
on its descriptor 4), and the page served by the project's own server. Nothing is downloaded.
"""
import base64
import json
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

# Headless Chromium with WebGL2 on SwiftShader (no GPU needed), sound allowed without a click
# (there is no viewer to click) and shared memory in files (containers keep /dev/shm small).
CHROMIUM_FLAGS = [
    "--headless=new", "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--use-gl=angle",
    "--ignore-gpu-blocklist", "--autoplay-policy=no-user-gesture-required", "--no-first-run",
    "--no-default-browser-check", "--disable-background-timer-throttling", "--mute-audio",
    "--disable-dev-shm-usage", "--remote-debugging-pipe",
]
COMMAND_TIMEOUT = 60
# The page's size: the show's own, so that the canvas is shown at 1:1.
WIDTH, HEIGHT = 1920, 1080


class DevToolsError(RuntimeError):
    pass


def serve(directory):
    """Starts the project's server on a free port for `directory`; returns (process, address)."""
    server = subprocess.Popen([sys.executable, os.path.join(ROOT, "web", "serve.py"), "--port", "0", directory],
                              stdout=subprocess.PIPE, text=True)
    address = server.stdout.readline().strip()
    if not address.startswith("http://"):
        server.kill()
        raise DevToolsError(f"the server did not start for {directory}")
    return server, address


class Browser:
    """One headless Chromium with one page, whose console and errors are collected as they come."""

    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix="demo-chromium-")
        commands_read, self.commands = os.pipe()
        self.replies, replies_write = os.pipe()

        def on_pipes():
            os.dup2(commands_read, 3)
            os.dup2(replies_write, 4)

        # No sandbox: tests run as root in containers, where Chromium's sandbox cannot start.
        self.process = subprocess.Popen(
            ["chromium", *CHROMIUM_FLAGS, "--no-sandbox", f"--user-data-dir={self.profile}", "about:blank"],
            preexec_fn=on_pipes, close_fds=False, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(commands_read)
        os.close(replies_write)
        self.pending = b""
        self.last_id = 0
        self.console = []  # (level, text) in order: console calls, uncaught errors, browser log
        self.events = []
        targets = self.send("Target.getTargets")["targetInfos"]
        page = next(target for target in targets if target["type"] == "page")
        attached = self.send("Target.attachToTarget", {"targetId": page["targetId"], "flatten": True})
        self.session = attached["sessionId"]
        for domain in ("Runtime", "Log", "Page", "Network"):
            self.send(f"{domain}.enable", session=True)
        self.resize(WIDTH, HEIGHT)

    def close(self):
        try:
            self.send("Browser.close", timeout=10)
        except (DevToolsError, OSError):
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self.commands)
        os.close(self.replies)
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()

    def send(self, method, params=None, session=False, timeout=COMMAND_TIMEOUT):
        self.last_id += 1
        message = {"id": self.last_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = self.session
        os.write(self.commands, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            reply = self._receive(deadline)
            if reply.get("id") == self.last_id:
                if "error" in reply:
                    raise DevToolsError(f"{method}: {reply['error'].get('message')}")
                return reply["result"]
            self._note(reply)

    def _receive(self, deadline):
        while b"\0" not in self.pending:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.replies], [], [], left)[0]:
                raise DevToolsError("the browser stopped answering")
            chunk = os.read(self.replies, 1 << 20)
            if not chunk:
                raise DevToolsError("the browser went away")
            self.pending += chunk
        message, self.pending = self.pending.split(b"\0", 1)
        return json.loads(message)

    def _note(self, event):
        method, params = event.get("method"), event.get("params", {})
        if method == "Runtime.consoleAPICalled":
            text = " ".join(str(arg.get("value", arg.get("description", ""))) for arg in params["args"])
            self.console.append((params["type"], text))
        elif method == "Runtime.exceptionThrown":
            details = params["exceptionDetails"]
            self.console.append(("error", details.get("exception", {}).get("description", details["text"])))
        elif method == "Log.entryAdded":
            self.console.append((params["entry"]["level"], params["entry"]["text"]))
        else:
            self.events.append(event)

    def evaluate(self, expression, timeout=COMMAND_TIMEOUT):
        """The value of a JavaScript expression in the page, promises awaited."""
        result = self.send("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True}, session=True, timeout=timeout)
        if "exceptionDetails" in result:
            details = result["exceptionDetails"]
            raise DevToolsError(details.get("exception", {}).get("description", details["text"]))
        return result["result"].get("value")

    def wait_for(self, expression, timeout=COMMAND_TIMEOUT, poll=0.05):
        """Polls the expression until it is truthy and returns its value; fails after `timeout` s."""
        deadline = time.monotonic() + timeout
        while True:
            value = self.evaluate(expression)
            if value:
                return value
            if time.monotonic() > deadline:
                raise DevToolsError(f"still false after {timeout} s: {expression}")
            self.pump(poll)

    def pump(self, seconds):
        """Takes in the events that come within `seconds` (the console among them)."""
        deadline = time.monotonic() + seconds
        while select.select([self.replies], [], [], max(0.0, deadline - time.monotonic()))[0]:
            chunk = os.read(self.replies, 1 << 20)
            if not chunk:
                raise DevToolsError("the browser went away")
            self.pending += chunk
            while b"\0" in self.pending:
                message, self.pending = self.pending.split(b"\0", 1)
                self._note(json.loads(message))

    def navigate(self, url):
        self.send("Page.navigate", {"url": url}, session=True)

    def click(self, x, y):
        """A real click of the left button: a user gesture, as a viewer's is."""
        for kind in ("mousePressed", "mouseReleased"):
            self.send("Input.dispatchMouseEvent", {"type": kind, "x": x, "y": y, "button": "left",
                                                   "clickCount": 1}, session=True)

    def key(self, key, code):
        for kind in ("keyDown", "keyUp"):
            self.send("Input.dispatchKeyEvent", {"type": kind, "key": key, "code": code}, session=True)

    def resize(self, width, height):
        """Gives the page a screen of this size."""
        self.size = (width, height)
        self.send("Emulation.setDeviceMetricsOverride", {"width": width, "height": height, "deviceScaleFactor": 1,
                                                         "mobile": False}, session=True)

    def screenshot(self, scale=1.0):
        """The page as shown, as PNG bytes, scaled by `scale`."""
        clip = {"x": 0, "y": 0, "width": self.size[0], "height": self.size[1], "scale": scale}
        shot = self.send("Page.captureScreenshot", {"format": "png", "clip": clip}, session=True)
        return base64.b64decode(shot["data"])
