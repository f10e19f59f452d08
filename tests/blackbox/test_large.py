"""A source beyond 4 GiB: sizes and offsets need all 64 bits, on the 32-bit program too."""
import hashlib
import os

from harness import ProgramTest, lines

GIB = 1024 * 1024 * 1024
SIZE = 4 * GIB + 12345


def checksum(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        while chunk := f.read(16 * 1024 * 1024):
            digest.update(chunk)
    return digest.hexdigest()


class BeyondFourGiB(ProgramTest):
    def make_sparse_source(self, name):
        """A sparse file of SIZE bytes with marks near every GiB boundary, so a piece shifted or
        cut short changes the checksum."""
        with open(self.path(name), "wb") as f:
            f.truncate(SIZE)
            for offset in range(0, SIZE, GIB // 2):
                f.seek(max(offset - 3, 0))
                f.write(offset.to_bytes(8, "little"))
            f.seek(SIZE - 8)
            f.write(b"the end.")

    def test_split_into_1g_pieces_and_join_back(self):
        self.make_sparse_source("big")
        expected = checksum(self.path("big"))
        names = [f"big.{i:03d}" for i in range(1, 6)]
        self.run_case(["-s1g", "big"], stdout=lines(*names))
        self.assertEqual([os.path.getsize(self.path(n)) for n in names], [GIB] * 4 + [12345])
        os.remove(self.path("big"))
        self.run_case(["big.001"], stdout=lines("big"))
        self.assertEqual(os.path.getsize(self.path("big")), SIZE)
        self.assertEqual(checksum(self.path("big")), expected)
