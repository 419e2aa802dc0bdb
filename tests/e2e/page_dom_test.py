#!/usr/bin/env python3
"""The page in a real browser: the program runs on the example document with a table of
contents, headless Chromium loads the page it wrote, and the test checks the document the
browser built from it: every contents entry and reference links to a heading that exists,
addresses became links, the table has its rows and cells, and the text of the document is
all there. With --screenshot PATH it also saves a picture of the page."""
import html.parser
import os
import shutil
import subprocess
import sys
import tempfile

PROGRAM = sys.argv[1]
SOURCE = sys.argv[2]
SCREENSHOT = sys.argv[4] if len(sys.argv) > 4 and sys.argv[3] == "--screenshot" else None
BROWSER = shutil.which("chromium") or shutil.which("chromium-browser")


class Dom(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.ids, self.hrefs, self.cells, self.rows, self.text = set(), [], [], 0, []

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if "id" in attrs:
            self.ids.add(attrs["id"])
        if tag == "a":
            self.hrefs.append(attrs.get("href", ""))
        if tag == "tr":
            self.rows += 1
        if tag in ("td", "th"):
            self.cells.append(tag)

    def handle_data(self, data):
        self.text.append(data)


def main():
    if BROWSER is None:
        print("chromium is not installed; skipped")
        return 77
    folder = tempfile.mkdtemp(prefix="doc_dom_")
    try:
        shutil.copy(os.path.join(SOURCE, "examples", "pond_notes.txt"), folder)
        shutil.copy(PROGRAM, os.path.join(folder, "www.example.org.exe"))
        run = subprocess.run(["./www.example.org.exe"], cwd=folder, input=b"4\n\ny\n",
                             capture_output=True, timeout=60)
        assert run.returncode == 0, run.returncode
        page = os.path.join(folder, "pond_notes_indent.htm")
        browser = [BROWSER, "--headless", "--no-sandbox", "--disable-gpu",
                   "--user-data-dir=" + os.path.join(folder, "profile")]
        dom = subprocess.run(browser + ["--dump-dom", "file://" + page],
                             capture_output=True, timeout=120, check=True).stdout.decode()
        parsed = Dom()
        parsed.feed(dom)
        anchors = [h[1:] for h in parsed.hrefs if h.startswith("#")]
        assert anchors, "no contents links"
        missing = [a for a in anchors if a not in parsed.ids]
        assert not missing, "links to missing headings: %s" % missing
        for number in ("1.", "1.1", "1.2", "2.", "2.1"):
            assert number in parsed.ids, number
        assert "https://example.org/pond/" in parsed.hrefs
        assert "file:///home/pond/receipts.txt" in parsed.hrefs
        assert parsed.rows == 4 and parsed.cells.count("th") == 2 and parsed.cells.count("td") == 6, \
            (parsed.rows, parsed.cells)
        text = "".join(parsed.text)
        for words in ("Frogs, dragonflies", "Water below 10 <degrees>", "Buy the liner last",
                      "TABLE OF CONTENTS", "What we bought"):
            assert words in text, words
        if SCREENSHOT:
            subprocess.run(browser + ["--hide-scrollbars", "--window-size=900,1100",
                                      "--screenshot=" + os.path.abspath(SCREENSHOT),
                                      "file://" + page], capture_output=True, timeout=120,
                           check=True)
        print("page checked in", BROWSER)
        return 0
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
