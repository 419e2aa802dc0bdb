#!/usr/bin/env python3
"""The Windows program under Wine, 64-bit and headless, against the POSIX build.

    wine_test.py WINDOWS_PROGRAM POSIX_PROGRAM FIND_PROGRAM SOURCE_DIR

Each run of the Windows program goes through Wine's own command interpreter, in a folder
of test documents on a drive letter of its own (Wine's dir warns on Z:). Wine's find takes
no switches, so the project's small find (tests/e2e/wine_find.cc, built as FIND_PROGRAM) is
put into the system folder of a fresh prefix and chosen over the built-in one.

Wine lists a folder in its own order, so the document is chosen by its name: the test reads
the numbered list the program shows and answers with the document's number. The same
documents and answers then go to the POSIX build, and the result files of the two runs must
be the same bytes. The listings themselves are not compared.
"""
import os
import re
import select
import shutil
import subprocess
import sys
import tempfile
import termios
import time
import unittest

WINDOWS_PROGRAM, POSIX_PROGRAM, FIND_PROGRAM, SOURCE_DIR = (
    [os.path.abspath(a) for a in sys.argv[1:5]] if len(sys.argv) >= 5 else [""] * 4)
EXAMPLE = os.path.join(SOURCE_DIR, "examples", "pond_notes.txt")
CASES = os.path.join(SOURCE_DIR, "tests", "e2e", "cases")
PROGRAM_NAME = "www.example.org.exe"
RESULT_ENDINGS = ("_chapters.txt", "_indent.txt", "_indent.htm", "_table.txt")
SELECT_PROMPT = b"select file with line number = ? "
WAIT_ONE = b"<1> = continue and end"
WINE_TIMEOUT = 120  # seconds for one wine call; a run takes a few

root = ""  # the test's folder: the prefix and the folder mapped to T:
drive = ""  # the folder that Windows sees as T:\
wine_env = {}


def wine(args, **kwargs):
    """A wine call under timeout, in the test's prefix."""
    return subprocess.run(["timeout", str(WINE_TIMEOUT), "wine"] + args, env=wine_env,
                          stdin=kwargs.pop("stdin", subprocess.DEVNULL),
                          stdout=kwargs.pop("stdout", subprocess.PIPE),
                          stderr=subprocess.DEVNULL, **kwargs)


def setUpModule():
    global root, drive, wine_env
    for path in (WINDOWS_PROGRAM, POSIX_PROGRAM, FIND_PROGRAM, EXAMPLE):
        if not os.path.isfile(path):
            raise SystemExit("usage: wine_test.py WINDOWS_PROGRAM POSIX_PROGRAM FIND_PROGRAM "
                             "SOURCE_DIR (missing %s)" % path)
    root = tempfile.mkdtemp(prefix="doc_wine_")
    drive = os.path.join(root, "t")
    os.mkdir(drive)
    wine_env = {k: v for k, v in os.environ.items() if not k.startswith(("WINE", "DISPLAY"))}
    wine_env.update(WINEPREFIX=os.path.join(root, "prefix"), WINEARCH="win64",
                    WINEDEBUG="-all", WINEDLLOVERRIDES="find.exe=n;mscoree=;mshtml=")
    wine(["wineboot", "-i"])
    subprocess.run(["timeout", "60", "wineserver", "-w"], env=wine_env)
    prefix = wine_env["WINEPREFIX"]
    shutil.copy(FIND_PROGRAM, os.path.join(prefix, "drive_c", "windows", "system32", "find.exe"))
    os.symlink(drive, os.path.join(prefix, "dosdevices", "t:"))


def tearDownModule():
    if root:
        subprocess.run(["timeout", "60", "wineserver", "-k"], env=wine_env)
        shutil.rmtree(root, ignore_errors=True)


def make_folder(name, files, program=PROGRAM_NAME):
    """A folder on T: holding the files and the Windows program, and a twin for the POSIX
    program beside the prefix."""
    folders = []
    for place, source in ((drive, WINDOWS_PROGRAM), (root, POSIX_PROGRAM)):
        folder = os.path.join(place, name)
        os.makedirs(folder)
        for file_name, data in files.items():
            with open(os.path.join(folder, file_name), "wb") as f:
                f.write(data)
        shutil.copy(source, os.path.join(folder, program))
        folders.append(folder)
    return folders


def read_example():
    with open(EXAMPLE, "rb") as f:
        return f.read()


class Run:
    """One run of a program on pipes. With `choose`, the first answer is the number that
    the program's list shows for that name, and `answers` are the rest."""

    def __init__(self, command, folder, answers, choose=None, env=None, timeout=WINE_TIMEOUT):
        self.output = b""
        process = subprocess.Popen(command, cwd=folder, env=env, stdin=subprocess.PIPE,
                                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        deadline = time.time() + timeout
        if choose is not None:
            while SELECT_PROMPT not in self.output and self._read(process, deadline):
                pass
            number = list_number(self.output, choose)
            answers = (b"%d\r\n" % number if number else b"0\r\n") + answers
        try:
            process.stdin.write(answers)
            process.stdin.close()
        except BrokenPipeError:
            pass
        while self._read(process, deadline):
            pass
        try:
            self.status = process.wait(max(1, deadline - time.time()))
        except subprocess.TimeoutExpired:
            process.kill()
            self.status = process.wait()
        process.stdout.close()

    def _read(self, process, deadline):
        left = deadline - time.time()
        if left <= 0:
            return False
        ready, _, _ = select.select([process.stdout], [], [], left)
        if not ready:
            return False
        data = os.read(process.stdout.fileno(), 65536)
        self.output += data
        return bool(data)


def list_number(console, name):
    """The number the program's file list shows for the name; 0 when it is not listed."""
    for match in re.finditer(rb"^ (\d+) (.*?)\r?\r\n", console, re.M):
        if match.group(2) == name:
            return int(match.group(1))
    return 0


def run_windows(folder, answers, choose=None, program=PROGRAM_NAME, env=None):
    # Now and then, on a loaded machine, Wine fails to start the inner "cmd /c" of the
    # environment check, and the program rightly stops at its message. That is Wine's
    # failure, not the program's: such a run is made again, at most twice.
    for attempt in range(3):
        run = Run(["timeout", str(WINE_TIMEOUT), "wine", "cmd", "/c", program], folder,
                  answers, choose, env or wine_env)
        if b"Checking for cmd.exe" not in run.output:
            break
        print("wine: the inner interpreter did not start; run again", file=sys.stderr)
    return run


def run_posix(folder, answers, choose=None, program=PROGRAM_NAME):
    return Run(["./" + program], folder, answers, choose)


def result_files(folder):
    found = {}
    for name in sorted(os.listdir(folder)):
        if name.endswith(RESULT_ENDINGS):
            with open(os.path.join(folder, name), "rb") as f:
                found[name] = f.read()
    return found


def after_selection(console):
    """The console from the "input file: " line on: the chapter list and the end screen,
    which owe nothing to the platform's commands."""
    at = console.find(b"input file: ")
    return console[at:] if at >= 0 else b""


class WindowsProgram(unittest.TestCase):
    def assertSameResults(self, windows_folder, posix_folder, expect_files=True):
        windows, posix = result_files(windows_folder), result_files(posix_folder)
        if expect_files:
            self.assertTrue(posix, "the POSIX run wrote no result file")
        self.assertEqual(sorted(windows), sorted(posix))
        for name, data in posix.items():
            if windows[name] != data:
                self.fail("%s differs:\n%s" % (name, first_difference(data, windows[name])))

    def run_both(self, name, files, document, answers, **windows_args):
        windows_folder, posix_folder = make_folder(name, files)
        windows = run_windows(windows_folder, answers, document, **windows_args)
        posix = run_posix(posix_folder, answers, document)
        for run in (windows, posix):
            self.assertEqual(run.status, 0, run.output[-2000:])
        self.assertIn(b"input file: " + document + b"\r\n", windows.output)
        self.assertSameResults(windows_folder, posix_folder)
        self.assertEqual(after_selection(windows.output), after_selection(posix.output))
        return windows_folder, windows

    def test_example_with_contents(self):
        folder, _ = self.run_both("example_toc", {"pond_notes.txt": read_example()},
                                  b"pond_notes.txt", b"\r\ny\r\n1")
        with open(os.path.join(folder, "sour_in.txt"), "rb") as f:
            self.assertEqual(f.read(), read_example(), "the interpreter's copy")

    def test_example_three_blanks_without_contents(self):
        self.run_both("example_plain", {"pond_notes.txt": read_example()}, b"pond_notes.txt",
                      b"3\r\n\r\n1")

    def test_golden_cases(self):
        names = sorted(n for n in os.listdir(CASES) if os.path.isdir(os.path.join(CASES, n)))
        self.assertTrue(names)
        for case in names:
            with self.subTest(case=case):
                self.golden_case(case)

    def golden_case(self, case):
        case_dir = os.path.join(CASES, case)
        files = {}
        for name in os.listdir(os.path.join(case_dir, "input")):
            with open(os.path.join(case_dir, "input", name), "rb") as f:
                files[name] = f.read()
        program = PROGRAM_NAME
        if os.path.exists(os.path.join(case_dir, "program")):
            with open(os.path.join(case_dir, "program"), "rb") as f:
                program = f.read().decode().strip()
        answers = b""
        if os.path.exists(os.path.join(case_dir, "answers")):
            with open(os.path.join(case_dir, "answers"), "rb") as f:
                answers = f.read()
        windows_folder, posix_folder = make_folder("case_" + case, files, program)
        posix = run_posix(posix_folder, answers, program=program)
        chosen = re.search(rb"input file: (.*?)\r\n", posix.output)
        if chosen:  # the same document, by its number in Wine's list
            rest = answers.split(b"\n", 1)[1] if b"\n" in answers else b""
            windows = run_windows(windows_folder, rest, chosen.group(1), program)
        else:
            windows = run_windows(windows_folder, answers, program=program)
        self.assertEqual(windows.status, 0, windows.output[-2000:])
        self.assertEqual(posix.status, 0)
        self.assertSameResults(windows_folder, posix_folder, expect_files=False)
        self.assertEqual(after_selection(windows.output), after_selection(posix.output))

    def test_name_with_ampersand_runs_no_command(self):
        # The interpreter itself would run what follows the "&" of such a name.
        control = os.path.join(drive, "control")
        os.makedirs(control)
        name = "a&mkdir hacked&.txt"
        with open(os.path.join(control, name), "wb") as f:
            f.write(read_example())
        wine(["cmd", "/c", "copy " + name + " sour_in.txt > out.list"], cwd=control)
        self.assertTrue(os.path.isdir(os.path.join(control, "hacked")), "control: no command ran")

        folder, _ = self.run_both("ampersand", {name: read_example()}, name.encode(),
                                  b"\r\ny\r\n1")
        self.assertFalse(os.path.exists(os.path.join(folder, "hacked")))
        self.assertFalse(os.path.exists(os.path.join(folder, "sour_in.txt")))

    def test_name_with_parentheses_is_copied(self):
        folder, _ = self.run_both("parentheses", {"report(1).txt": read_example()},
                                  b"report(1).txt", b"\r\n\r\n1")
        with open(os.path.join(folder, "sour_in.txt"), "rb") as f:
            self.assertEqual(f.read(), read_example())

    def test_old_scratch_files_are_overwritten_without_asking(self):
        # A copy that asked before overwriting would wait for an answer nobody sees: its
        # question goes into out.list. COPYCMD=/-Y makes Wine's copy ask as Windows does.
        old = {"pond_notes.txt": read_example(), "sour_in.txt": b"old\r\n", "out.list": b"old"}
        env = dict(wine_env, COPYCMD="/-Y")
        folder, _ = self.run_both("old_scratch", old, b"pond_notes.txt", b"\r\n\r\n1", env=env)
        with open(os.path.join(folder, "sour_in.txt"), "rb") as f:
            self.assertEqual(f.read(), read_example())

    def test_started_by_a_quoted_path(self):
        windows_folder, posix_folder = make_folder("with blank", {"pond_notes.txt": read_example()})
        # Started by Wine itself, the command line is the full path, quoted for its blank.
        windows = Run(["timeout", str(WINE_TIMEOUT), "wine", PROGRAM_NAME], windows_folder,
                      b"\r\n\r\n1", b"pond_notes.txt", wine_env)
        posix = run_posix(posix_folder, b"\r\n\r\n1", b"pond_notes.txt")
        self.assertEqual(windows.status, 0)
        self.assertIn(b"\r\n\r\nT:\\with blank\\" + PROGRAM_NAME.encode() + b"\r\n" +
                      b"http://www.example.org\r\n", windows.output)
        self.assertSameResults(windows_folder, posix_folder)

    def test_answers_from_a_file_and_from_nul(self):
        # Neither is a console: a file gives its bytes, then its end; NUL only its end.
        folder, _ = make_folder("redirected", {"pond_notes.txt": read_example()})
        with open(os.path.join(drive, "zero.answers"), "wb") as f:
            f.write(b"0\r\nx")
        for source, expected in (("..\\zero.answers", b"line number is out of range\r\n"),
                                 ("nul", b"line number is out of range\r\n")):
            with self.subTest(source=source):
                start = time.time()
                result = wine(["cmd", "/c", PROGRAM_NAME + " < " + source], cwd=folder)
                self.assertEqual(result.returncode, 0)
                self.assertIn(expected + b"\r\n<...> any key for continue, end\r\n",
                              result.stdout)
                self.assertLess(time.time() - start, WINE_TIMEOUT / 2)

    def test_waits_on_the_wine_console(self):
        # On a terminal Wine gives the program a console: lines are typed with its echo,
        # and the waits read key events, so other keys, arrows and function keys included,
        # do not end the closing wait.
        windows_folder, posix_folder = make_folder("console", {"pond_notes.txt": read_example()})
        master, slave = os.openpty()
        process = subprocess.Popen(
            ["timeout", str(WINE_TIMEOUT), "wine", "cmd", "/c", PROGRAM_NAME],
            cwd=windows_folder, env=wine_env, stdin=slave, stdout=slave, stderr=slave,
            start_new_session=True)
        output = [b""]

        def read_until(text, seconds=60):
            end = time.time() + seconds
            while text not in output[0] and time.time() < end:
                ready, _, _ = select.select([master], [], [], 0.05)
                if ready:
                    try:
                        output[0] += os.read(master, 65536)
                    except OSError:
                        break
            return text in output[0]

        def type_keys(data):
            # Wine's console takes the terminal out of line mode only when the program
            # first reads; bytes sent before that would meet the terminal's own editing.
            end = time.time() + 30
            while termios.tcgetattr(slave)[3] & termios.ICANON and time.time() < end:
                time.sleep(0.05)
            os.write(master, data)

        try:
            # The console draws the blank after a prompt as a cursor move.
            self.assertTrue(read_until(SELECT_PROMPT.rstrip()))
            number = re.search(rb" (\d+) pond_notes\.txt", output[0])
            self.assertIsNotNone(number)
            type_keys(number.group(1) + b"\r")
            self.assertTrue(read_until(b"default = 2) = ?"))
            type_keys(b"\r")
            self.assertTrue(read_until(b"includes TOC = ?"))
            type_keys(b"y\r")
            self.assertTrue(read_until(WAIT_ONE))
            for key in (b"2", b"\x1b[A", b"\x1b[15~", b"x"):
                type_keys(key)
                read_until(b"never shown", 0.5)
                self.assertIsNone(process.poll(), key)
            type_keys(b"1")
            self.assertEqual(process.wait(30), 0)
        finally:
            if process.poll() is None:
                process.kill()
                process.wait()
            os.close(master)
            os.close(slave)
        self.assertEqual(output[0].count(WAIT_ONE), 1)
        run_posix(posix_folder, b"\r\ny\r\n1", b"pond_notes.txt")
        self.assertSameResults(windows_folder, posix_folder)


def first_difference(want, got):
    a, b = want.split(b"\n"), got.split(b"\n")
    for i in range(max(len(a), len(b))):
        x = a[i] if i < len(a) else b"<no line>"
        y = b[i] if i < len(b) else b"<no line>"
        if x != y:
            return "line %d\n  POSIX:   %r\n  Windows: %r" % (i + 1, x, y)
    return "same lines, different ends"


if __name__ == "__main__":
    started = time.time()
    result = unittest.main(argv=[sys.argv[0]], exit=False).result
    failed = len(result.failures) + len(result.errors)
    print("wine: %d passed, %d failed (%.0f s)" % (result.testsRun - failed, failed,
                                                   time.time() - started))
    sys.exit(1 if failed or not result.wasSuccessful() else 0)
