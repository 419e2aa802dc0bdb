#!/usr/bin/env python3
"""The key waits on a real terminal: the program runs on a pseudo-terminal, as a user at a
console would run it, and is sent key presses as a terminal sends them."""
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import termios
import time
import unittest

PROGRAM = os.environ.get("PROGRAM") or sys.argv[1]
ESCAPE, ARROW_UP, F5 = b"\x1b", b"\x1b[A", b"\x1b[15~"
WAIT_ONE = b"<1> = continue and end"
WAIT_ANY = b"<...> any key for continue, end"


class TerminalRun:
    """The program started under `name` in a fresh folder, on a new pseudo-terminal."""

    def __init__(self, name, files=None):
        self.folder = tempfile.mkdtemp(prefix="doc_pty_")
        for file_name, data in (files or {}).items():
            with open(os.path.join(self.folder, file_name), "wb") as f:
                f.write(data)
        shutil.copy(PROGRAM, os.path.join(self.folder, name))
        self.master, self.slave = os.openpty()
        self.modes_before = termios.tcgetattr(self.slave)
        self.process = subprocess.Popen(
            ["./" + name], cwd=self.folder, stdin=self.slave, stdout=self.slave,
            stderr=self.slave, start_new_session=True)
        self.output = b""

    def read_until(self, text, timeout=10):
        deadline = time.time() + timeout
        while text not in self.output and time.time() < deadline:
            self.read_for(0.05)
        return text in self.output

    def read_for(self, seconds):
        end = time.time() + seconds
        while time.time() < end:
            ready, _, _ = select.select([self.master], [], [], max(0, end - time.time()))
            if ready:
                try:
                    self.output += os.read(self.master, 65536)
                except OSError:
                    return

    def send(self, data):
        os.write(self.master, data)

    def status(self, timeout=10):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        os.close(self.master)
        os.close(self.slave)
        shutil.rmtree(self.folder, ignore_errors=True)


class WaitsOnATerminal(unittest.TestCase):
    def start(self, name, files=None):
        run = TerminalRun(name, files)
        self.addCleanup(run.close)
        return run

    def test_wait_for_one_ignores_other_keys(self):
        run = self.start("margolan_free_01_032.exe")  # no site marker: rename instructions
        self.assertTrue(run.read_until(WAIT_ONE))
        for key in (b"2", ESCAPE, ARROW_UP, F5, b"x"):
            run.send(key)
            run.read_for(0.2)
            self.assertIsNone(run.process.poll(), key)
        self.assertEqual(run.output.count(WAIT_ONE), 1)
        run.send(b"1")
        self.assertEqual(run.status(), 0)
        self.assertEqual(termios.tcgetattr(run.slave), run.modes_before)

    def test_key_typed_ahead_counts(self):
        run = self.start("margolan_free_01_032.exe")
        run.send(b"21")  # before the program has reached its wait
        self.assertEqual(run.status(), 0)
        run.read_for(0.2)
        self.assertEqual(run.output.count(WAIT_ONE), 1)
        self.assertEqual(termios.tcgetattr(run.slave), run.modes_before)

    def test_any_key_ends_the_other_wait(self):
        for key in (ARROW_UP, F5, ESCAPE, b"q"):
            with self.subTest(key=key):
                run = self.start("www.example.org.exe", {"a.txt": b"no headings\r\n"})
                self.assertTrue(run.read_until(b"line number = ? "))
                run.send(b"1\r")
                self.assertTrue(run.read_until(b"default = 2) = ? "))
                run.send(b"\r")
                self.assertTrue(run.read_until(b"includes TOC = ? "))
                run.send(b"\r")
                self.assertTrue(run.read_until(WAIT_ANY))
                run.send(key)
                self.assertEqual(run.status(), 0)
                self.assertEqual(termios.tcgetattr(run.slave), run.modes_before)

    def test_signal_restores_the_terminal(self):
        for sig in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
            with self.subTest(signal=sig):
                run = self.start("margolan_free_01_032.exe")
                self.assertTrue(run.read_until(WAIT_ONE))
                run.read_for(0.1)
                self.assertNotEqual(termios.tcgetattr(run.slave)[3], run.modes_before[3])
                run.process.send_signal(sig)
                self.assertEqual(run.status(), -sig)
                self.assertEqual(termios.tcgetattr(run.slave), run.modes_before)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]])
