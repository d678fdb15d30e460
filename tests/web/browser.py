"""Debian's headless Chromium, driven through Debian's Selenium and ChromeDriver, for the browser
tests, the web benchmark and the README's picture of the page: WebGL2 on SwiftShader (no GPU
needed), sound allowed without a click (there is no viewer to click), the page at the show's
size; and the project's own server. Nothing is downloaded.
"""
import json
import os
import subprocess
import sys
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
# No sandbox: tests run as root in containers, where Chromium's sandbox cannot start; no
# background networking: the machine's network is closed; shared memory in files, since
# containers keep /dev/shm small.
FLAGS = ["--headless=new", "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--use-gl=angle",
         "--ignore-gpu-blocklist", "--autoplay-policy=no-user-gesture-required", "--no-first-run",
         "--no-default-browser-check", "--disable-background-timer-throttling", "--mute-audio",
         "--disable-dev-shm-usage", "--no-sandbox", "--disable-background-networking",
         "--disable-component-update", "--disable-sync"]
WIDTH, HEIGHT = 1920, 1080
SCRIPT_TIMEOUT = 60


def serve(directory):
    """Starts the project's server on a free port for `directory`; returns (process, address)."""
    server = subprocess.Popen([sys.executable, os.path.join(ROOT, "web", "serve.py"), "--port", "0", directory],
                              stdout=subprocess.PIPE, text=True)
    address = server.stdout.readline().strip()
    if not address.startswith("http://"):
        server.kill()
        raise RuntimeError(f"the server did not start for {directory}")
    return server, address


def chromium(logs=("browser",)):
    """A browser whose page is the show's size, keeping the named logs ("browser": the console;
    "performance": the DevTools events, the network's among them)."""
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in FLAGS:
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {log: "ALL" for log in logs})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.set_script_timeout(SCRIPT_TIMEOUT)
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": WIDTH, "height": HEIGHT, "deviceScaleFactor": 1, "mobile": False})
    return driver


def value(driver, expression):
    """The value of a JavaScript expression in the page, a promise awaited."""
    return driver.execute_script(f"return ({expression});")


def wait_for(driver, expression, timeout):
    """Polls the expression until it is truthy and returns its value; fails after `timeout` s."""
    deadline = time.monotonic() + timeout
    while not (result := value(driver, expression)):
        if time.monotonic() > deadline:
            raise TimeoutError(f"still false after {timeout} s: {expression}")
        time.sleep(0.05)
    return result


def console(driver):
    """What the page wrote to its console since the last look, and its errors: (level, text)."""
    entries = []
    for entry in driver.get_log("browser"):
        # "SOURCE LINE:COLUMN TEXT", the text of a logged string in JSON's quotes.
        text = entry["message"].split(" ", 2)[-1]
        entries.append((entry["level"], json.loads(text) if text.startswith('"') else text))
    return entries
