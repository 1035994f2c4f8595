#!/usr/bin/python3
"""The stage board under load: eight followers reporting, the board open in headless Chromium.

Prints, as ratios to the 60 fps frame budget measured in the same run:
- the master's frame work (p50, p99) without the board and with it, and the difference: the
  board's cost on the master's game thread (target: under 1% of a frame);
- the board's update latency, from a follower's status change (the line typed on its input)
  to the page showing it (target: p99 under 250 ms).
Figures only; nothing here passes or fails.

Usage: board_benchmark.py QUARNLIVE_EXE [CHANGES]
"""

import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

FOLLOWERS = [f"127.0.0.{41 + i}" for i in range(8)]
MASTER = "127.0.0.40"
BUDGET_MS = 1000.0 / 60.0


class Engine:
    def __init__(self, exe, workdir, name, *arguments):
        self.lines = []
        self.lock = threading.Condition()
        self.process = subprocess.Popen([exe, "engine", "--json", "--project", os.path.join(workdir, name), *arguments],
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, bufsize=1)
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for text in self.process.stdout:
            with self.lock:
                self.lines.append(json.loads(text))
                self.lock.notify_all()

    def wait_for(self, kind, timeout=60, after=0):
        deadline = time.monotonic() + timeout
        with self.lock:
            while True:
                for line in self.lines[after:]:
                    if line.get("type") == kind:
                        return line
                if time.monotonic() > deadline:
                    raise SystemExit(f"no {kind} line within {timeout} s")
                self.lock.wait(0.1)

    def type(self, line):
        self.process.stdin.write(line + "\n")
        self.process.stdin.flush()

    def frames_after(self, seconds):
        time.sleep(seconds)
        with self.lock:
            seen = len(self.lines)
        self.type("stats")
        return self.wait_for("frames", after=seen)

    def stop(self):
        self.process.stdin.close()
        self.process.wait(timeout=30)


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(share * len(ordered)))]


def main():
    exe = sys.argv[1]
    changes = int(sys.argv[2]) if len(sys.argv) > 2 else 40
    workdir = tempfile.mkdtemp(prefix="quarn-board-bench-")
    followers = [Engine(exe, workdir, f"f{i}", "--role", "follower", "--bind", address) for i, address in enumerate(FOLLOWERS)]
    for follower in followers:
        follower.wait_for("ready")
        follower.type("pie begin")
    common = ["--role", "master", "--bind", MASTER, "--followers", ",".join(FOLLOWERS)]

    plain = Engine(exe, workdir, "plain", *common)
    plain.wait_for("ready")
    without = plain.frames_after(10)
    plain.stop()

    port = free_port()
    master = Engine(exe, workdir, "board", *common, "--board", str(port))
    url = master.wait_for("board")["url"]
    options = webdriver.ChromeOptions()
    for argument in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
                     "--disable-component-update", "--disable-sync", "--disable-dev-shm-usage", f"--user-data-dir={workdir}/chromium"):
        options.add_argument(argument)
    browser = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    browser.get(url)
    browser.execute_script("""
        window.marks = {};
        new MutationObserver(() => {
          for (const cell of document.querySelectorAll('td[data-status="TrackingStatus"] .message')) {
            const found = /mark-(\\d+)/.exec(cell.textContent);
            if (found && !(found[1] in window.marks)) window.marks[found[1]] = Date.now();
          }
        }).observe(document.body, {subtree: true, childList: true, characterData: true});""")
    time.sleep(3)
    sent = {}
    for n in range(changes):
        sent[n] = time.time() * 1000.0
        followers[n % len(followers)].type(f"override tracking yellow mark-{n}")
        time.sleep(0.25)
    time.sleep(1)
    marks = browser.execute_script("return window.marks")
    with_board = master.frames_after(1)
    browser.quit()
    master.stop()
    for follower in followers:
        follower.stop()
    shutil.rmtree(workdir, ignore_errors=True)

    latencies = [marks[str(n)] - sent[n] for n in range(changes) if str(n) in marks]
    print(f"frame budget {BUDGET_MS:.2f} ms (60 fps); {len(FOLLOWERS)} followers reporting")
    for name, frames in (("master without board", without), ("master with board open", with_board)):
        print(f"{name:24s} work p50 {frames['workP50Ms']:.3f} ms = {frames['workP50Ms'] / BUDGET_MS:.4f} budget, "
              f"p99 {frames['workP99Ms']:.3f} ms = {frames['workP99Ms'] / BUDGET_MS:.4f} budget ({frames['frames']} frames)")
    cost = with_board["workP50Ms"] - without["workP50Ms"]
    print(f"board cost on the master's frame (p50 difference): {cost:.3f} ms = {cost / BUDGET_MS:.4f} budget (target < 0.01)")
    if latencies:
        p50, p99 = percentile(latencies, 0.5), percentile(latencies, 0.99)
        print(f"board update latency over {len(latencies)} of {changes} changes: p50 {p50:.1f} ms = {p50 / BUDGET_MS:.2f} budget, "
              f"p99 {p99:.1f} ms = {p99 / BUDGET_MS:.2f} budget = {p99 / 250.0:.2f} of the 250 ms target")
    else:
        print("board update latency: no change reached the page")


if __name__ == "__main__":
    main()
