#!/usr/bin/env python3
"""The page automata html writes, in headless Chromium, driven over its DevTools protocol on a
pipe: each example's word list typed into the box, and the page's answer held against the built
program's (the verdict) and against automata explain (why "No."). With --screenshot PNG, a
picture of the first example's page after its first word.

Usage: page_test.py SOURCE_DIR EXAMPLES_BUILD_DIR WORK_DIR [--screenshot PNG]
"""
import base64
import fcntl
import json
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

SOURCE, PROGRAMS, WORK = Path(sys.argv[1]), Path(sys.argv[2]), Path(sys.argv[3])
SCREENSHOT = sys.argv[sys.argv.index("--screenshot") + 1] if "--screenshot" in sys.argv else None
AUTOMATA = SOURCE / "compiler" / "automata"
EXAMPLES = ["isodate.regex", "quoted.table", "name.regex", "json-number.regex", "signed.table"]
sys.path.insert(0, str(SOURCE / "compiler"))
from generator.words import word_list  # noqa: E402


def skip(reason):
    skipper = str(SOURCE / "tests" / "skip.sh")
    os.execv(skipper, [skipper, reason])


class Browser:
    """Headless Chromium, and the DevTools protocol over file descriptors 3 (to it) and 4 (from it)."""

    def __init__(self, program, profile):
        low_in, self.writer = os.pipe()
        self.reader, low_out = os.pipe()
        # Above 10 first: dup2 onto the number a descriptor already has would keep it close-on-exec.
        to_it, from_it = (fcntl.fcntl(fd, fcntl.F_DUPFD, 10) for fd in (low_in, low_out))
        os.close(low_in)
        os.close(low_out)

        def descriptors():
            os.dup2(to_it, 3)
            os.dup2(from_it, 4)
        self.process = subprocess.Popen(
            [program, "--headless=new", "--remote-debugging-pipe", "--no-sandbox", "--disable-gpu",
             "--no-first-run", f"--user-data-dir={profile}", "--window-size=1000,1400", "about:blank"],
            preexec_fn=descriptors, close_fds=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_it)
        os.close(from_it)
        self.number, self.pending, self.session = 0, b"", None

    def call(self, method, **parameters):
        self.number += 1
        message = {"id": self.number, "method": method, "params": parameters}
        if self.session and not method.startswith("Target."):
            message["sessionId"] = self.session
        os.write(self.writer, json.dumps(message).encode() + b"\0")
        while True:
            while b"\0" not in self.pending:
                chunk = os.read(self.reader, 1 << 20)
                if not chunk:
                    raise RuntimeError("Chromium ended")
                self.pending += chunk
            text, self.pending = self.pending.split(b"\0", 1)
            answer = json.loads(text)
            if answer.get("id") == self.number:
                if "error" in answer:
                    raise RuntimeError(f"{method}: {answer['error']}")
                return answer["result"]

    def open(self, url):
        target = self.call("Target.createTarget", url=url)["targetId"]
        self.session = self.call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
        for _ in range(200):
            # the new tab holds about:blank, complete already, until the page's own document
            if self.evaluate("document.readyState == 'complete' && !!document.getElementById('verdict')"):
                return
            time.sleep(0.05)
        raise RuntimeError(f"{url} did not load")

    def evaluate(self, expression):
        return self.call("Runtime.evaluate", expression=expression, returnByValue=True)["result"].get("value")

    def type(self, text):
        """The box emptied, then the text typed into it, as a paste or an input method would."""
        self.evaluate("document.getElementById('word').value = ''; document.getElementById('word').focus()")
        if text:
            self.call("Input.insertText", text=text)
        else:
            self.evaluate("document.getElementById('word').dispatchEvent(new Event('input'))")
        return self.evaluate("[document.getElementById('verdict').textContent, "
                             "document.getElementById('why').textContent]")

    def close(self):
        self.process.kill()
        self.process.wait()


def main():
    program = shutil.which("chromium") or shutil.which("chromium-browser")
    if not program:
        skip("chromium is not installed (Debian's chromium)")
    if not shutil.which("dot"):
        skip("dot is not installed (Debian's graphviz)")
    WORK.mkdir(parents=True, exist_ok=True)
    browser, wrong, tried = Browser(program, WORK / "profile"), [], 0
    try:
        for example in EXAMPLES:
            path, stem = SOURCE / "examples" / example, example.split(".")[0]
            page = WORK / f"{stem}.html"
            subprocess.run([sys.executable, AUTOMATA, "html", path, "-o", page], check=True)
            browser.open(page.as_uri())
            words = SOURCE / "examples" / f"{stem}.words"
            for number, word, _ in word_list(words.read_bytes(), words):
                try:  # a word the box can take, and the program's command line: text, no blank first
                    typed = word.decode("utf-8")
                except UnicodeDecodeError:
                    continue
                if not word or word[0] <= 0x20 or b"\0" in word:
                    continue
                verdict, why = browser.type(typed)
                ran = subprocess.run([PROGRAMS / stem, word], capture_output=True)
                explained = subprocess.run([sys.executable, AUTOMATA, "explain", path, "--", word],
                                           capture_output=True).stdout.decode("utf-8", "replace").splitlines()
                tried += 1
                if (verdict + "\r\n").encode() != ran.stdout or why != explained[-2]:
                    wrong.append(f"{words}:{number}: the page says {verdict} {why!r}; the program "
                                 f"{ran.stdout!r}, explain {explained[-2]!r}")
                if SCREENSHOT and example == EXAMPLES[0] and number == 3:
                    shot = browser.call("Page.captureScreenshot", format="png", captureBeyondViewport=True)
                    Path(SCREENSHOT).write_bytes(base64.b64decode(shot["data"]))
    finally:
        browser.close()
    print("\n".join(wrong))
    print(f"{tried - len(wrong)} passed, {len(wrong)} failed")
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
