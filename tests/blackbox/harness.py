"""Runs the built program in a temporary folder and compares exact bytes.

TARVIK names the program; TARVIK_RUNNER, when set, the command that runs it (wine, for the
Windows program), and TARVIK_TARGET=windows says that the program is the Windows one. Every case
states what the user sees as text: the harness turns it into the bytes the platform writes
before comparing: UTF-8 under a fixed locale on Linux; code page 932 with carriage return and
line feed on Windows.
"""
import functools
import os
import resource
import shutil
import subprocess
import tempfile
import unittest
from dataclasses import dataclass

PROGRAM = os.environ.get("TARVIK", os.path.join(os.path.dirname(__file__), "../../build/tarvik"))
RUNNER = os.environ.get("TARVIK_RUNNER", "").split()
ON_WINDOWS = os.environ.get("TARVIK_TARGET") == "windows"
FAULT_SHIM = os.environ.get("TARVIK_FAULT_SHIM")
LOCALE = {"LC_ALL": "C.UTF-8"}
# What wine needs from the caller's environment.
PASSED_ON = ("HOME", "WINEPREFIX", "WINEDEBUG", "WINEDLLOVERRIDES")


def encoded(text):
    """The bytes the program writes for a text; on Linux, paths may carry undecodable bytes as
    escapes."""
    if ON_WINDOWS:
        return text.replace("\n", "\r\n").encode("cp932")
    return text.encode("utf-8", "surrogateescape")


def posix_only(why):
    """Marks a case that only the Linux build can show, saying why."""
    return unittest.skipIf(ON_WINDOWS, why)


def windows_only(why):
    return unittest.skipUnless(ON_WINDOWS, why)


def argument(text):
    """An argument as the program's command line carries it; wine too takes UTF-8 here."""
    return text.encode("utf-8", "surrogateescape") if isinstance(text, str) else text


def run_program(args, folder, env=None, stdout=subprocess.PIPE, memory_limit=None, preexec=None):
    environment = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), **LOCALE,
                   **{name: os.environ[name] for name in PASSED_ON if name in os.environ},
                   **(env or {})}

    def prepare_child():
        if memory_limit:
            resource.setrlimit(resource.RLIMIT_AS, (memory_limit, memory_limit))
        if preexec:
            preexec()

    completed = subprocess.run([*RUNNER, PROGRAM, *map(argument, args)], cwd=folder, env=environment,
                               stdout=stdout, stderr=subprocess.PIPE, stdin=subprocess.DEVNULL,
                               preexec_fn=prepare_child, timeout=600)
    return Result(completed.stdout, completed.stderr, completed.returncode)


# Well below the 10 MiB copy buffer, well above what printing a message needs.
STARVED_MARGIN = 2 * 1024 * 1024


@functools.cache
def smallest_memory_to_start():
    """The smallest address space, in whole MiB, in which the program prints its usage text
    and nothing else; None when there is none up to 256 MiB."""
    for mib in range(1, 257):
        result = run_program([], tempfile.gettempdir(), memory_limit=mib * 1024 * 1024)
        if result.status == 1 and result.stdout and not result.stderr:
            return mib * 1024 * 1024
    return None


@dataclass
class Result:
    stdout: bytes
    stderr: bytes
    status: int


def random_bytes(size, seed):
    """Incompressible bytes that differ from piece to piece, reproducible for a seed."""
    import random
    return random.Random(seed).randbytes(size)


class ProgramTest(unittest.TestCase):
    """A case in a fresh temporary folder, removed afterwards."""

    maxDiff = None

    def setUp(self):
        self.fresh_folder()

    def fresh_folder(self):
        """Moves the case to a new empty folder; each row of a table starts from nothing."""
        self.folder = tempfile.mkdtemp(prefix="tarvik-")
        self.addCleanup(shutil.rmtree, self.folder, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.folder, name)

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)
        return data

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def files(self):
        """Every file left in the folder, with its size, in name order."""
        found = {}
        for root, _dirs, names in os.walk(self.folder):
            for name in names:
                full = os.path.join(root, name)
                found[os.path.relpath(full, self.folder)] = os.lstat(full).st_size
        return dict(sorted(found.items()))

    def tarvik(self, *args, env=None, stdout=subprocess.PIPE, memory_limit=None, preexec=None):
        return run_program(args, self.folder, env, stdout, memory_limit, preexec)

    def starved(self, *args):
        """Runs the program with just enough memory to start, not enough for a copy buffer."""
        if ON_WINDOWS:
            self.skipTest("an address-space limit starves wine itself, not only the program")
        smallest = smallest_memory_to_start()
        if smallest is None:
            self.skipTest("the program cannot start in a limited address space (a sanitizer build)")
        return self.tarvik(*args, memory_limit=smallest + STARVED_MARGIN)

    def with_fault(self, target, **settings):
        """Environment that makes one file misbehave (see tests/fault_shim.cpp)."""
        if ON_WINDOWS:
            self.skipTest("the fault library hooks the C library of the Linux build only")
        if not FAULT_SHIM:
            self.skipTest("the fault library is built only with the test preset")
        env = {"LD_PRELOAD": FAULT_SHIM, "TARVIK_FAULT_FILE": self.path(target)}
        env.update({f"TARVIK_FAULT_{key.upper()}": str(value) for key, value in settings.items()})
        return env

    def expect(self, result, stdout="", stderr="", status=0):
        # The whole of what was printed, since a long mismatch is shown shortened.
        self.assertEqual(result.stderr, encoded(stderr), f"standard error: {result.stderr!r}")
        self.assertEqual(result.stdout, encoded(stdout), "standard output")
        self.assertEqual(result.status, status, "exit status")

    def run_case(self, args, stdout="", stderr="", status=0, env=None):
        self.expect(self.tarvik(*args, env=env), stdout, stderr, status)


def lines(*names):
    """Standard output naming each file written, one per line."""
    return "".join(f"{name}\n" for name in names)
