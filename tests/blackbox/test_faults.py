"""Real faults: a full disk, refused places, a closed standard output. After each, every file
the program was not asked to replace keeps its bytes, and the status is the usual one."""
import hashlib
import os
import pwd
import resource
import signal

from harness import ProgramTest, lines, posix_only, random_bytes
import messages as m

KIB = 1024


def checksums(test):
    return {name: hashlib.sha256(test.read(name)).hexdigest() for name in test.files()
            if not os.path.islink(test.path(name))}


@posix_only("file-size limits and dropped privileges are set in the Linux child process")
class Faults(ProgramTest):
    def unchanged(self, before, *replaced):
        """Every file but those the run was asked to write still holds its bytes."""
        after = checksums(self)
        for name, digest in before.items():
            if name not in replaced:
                self.assertEqual(after.get(name), digest, name)

    def run_limited(self, args, file_size_limit):
        """A full disk: writes beyond the limit fail with EFBIG instead of ending the process."""
        def limit():
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (file_size_limit, file_size_limit))
        return self.tarvik(*args, preexec=limit)

    def run_unprivileged(self, args):
        """Runs as nobody where the tests run as root, whom no permission stops."""
        if os.geteuid() != 0:
            return self.tarvik(*args)
        try:
            nobody = pwd.getpwnam("nobody")
        except KeyError:
            self.skipTest("running as root and there is no user nobody to drop to")
        os.chmod(self.folder, 0o755)

        def drop():
            os.setgroups([])
            os.setgid(nobody.pw_gid)
            os.setuid(nobody.pw_uid)
        return self.tarvik(*args, preexec=drop)

    def test_full_disk_during_a_split(self):
        self.write("f", random_bytes(3 * 512 * KIB, seed=1))
        before = checksums(self)
        result = self.run_limited(["-s1m", "f"], file_size_limit=512 * KIB)
        self.expect(result, stdout=lines("f.001"), stderr=m.piece_write_failed("f.001"))
        self.unchanged(before)
        self.assertNotIn("f.002", self.files())

    def test_full_disk_during_a_join(self):
        for suffix in ("001", "002", "003"):
            self.write(f"data.{suffix}", random_bytes(400 * KIB, seed=int(suffix)))
        before = checksums(self)
        result = self.run_limited(["data.001"], file_size_limit=KIB * KIB)
        self.expect(result, stderr=m.joined_write_failed("data"))
        self.unchanged(before, "data")

    def test_read_only_folder(self):
        os.mkdir(self.path("ro"))
        source = self.write("ro/f", random_bytes(10, seed=2))
        self.write("ro/data.001", source)
        for name in ("ro/f", "ro/data.001"):
            os.chmod(self.path(name), 0o644)
        os.chmod(self.path("ro"), 0o555)
        self.addCleanup(os.chmod, self.path("ro"), 0o755)
        before = checksums(self)
        self.expect(self.run_unprivileged(["-s2", "ro/f"]), stderr=m.PIECE_CREATE_FAILED)
        self.expect(self.run_unprivileged(["ro/data.001"]), stderr=m.JOINED_CREATE_FAILED)
        self.unchanged(before)
        self.assertEqual(set(self.files()), {"ro/f", "ro/data.001"})

    def test_source_without_read_permission(self):
        self.write("secret", random_bytes(10, seed=3))
        os.chmod(self.path("secret"), 0o000)
        self.expect(self.run_unprivileged(["-s2", "secret"]), stderr=m.source_open_failed("secret"))
        self.assertEqual(list(self.files()), ["secret"])

    def test_closed_standard_output_stops_nothing(self):
        source = self.write("f", random_bytes(10, seed=4))
        result = self.tarvik("-s3", "f", preexec=lambda: os.close(1), stdout=None)
        self.assertEqual((result.status, result.stderr), (0, b""))
        self.assertEqual(self.read("f.001") + self.read("f.002") + self.read("f.003"), source)
