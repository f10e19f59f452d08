"""Splitting: piece sizes and names, the checks in their order, and failures part-way."""
import os

from harness import ProgramTest, lines, random_bytes
import messages as m

MIB = 1024 * 1024


def suffixes(count):
    digits = [f"{i:03d}" for i in range(1, 1000)]
    letters = [a + b + c for a in map(chr, range(97, 123)) for b in map(chr, range(97, 123))
               for c in map(chr, range(97, 123))]
    return (digits + letters)[:count]


class Split(ProgramTest):
    def split(self, size, text, name="f"):
        source = self.write(name, random_bytes(size, seed=size))
        return source, self.tarvik("-s" + text, name)

    def expect_pieces(self, source, sizes, name="f"):
        """The pieces have these sizes and concatenate to the source; nothing else is left."""
        names = [f"{name}.{s}" for s in suffixes(len(sizes))]
        self.assertEqual(self.files(), {name: len(source), **dict(zip(names, sizes))})
        self.assertEqual(b"".join(self.read(n) for n in names), source)
        return names

    def test_piece_sizes(self):
        cases = [
            (5 * MIB, "2m", [2 * MIB, 2 * MIB, MIB]),
            (10, "9b", [9, 1]),
            (3, "1b", [1, 1, 1]),
            (2560, "1k", [1024, 1024, 512]),
            (3072, "1k", [1024, 1024, 1024]),
            (1000, "0x10b", [267, 267, 267, 199]),
            (10, "1", [10]),
            (10, "3", [4, 3, 3]),
            (10, "9", [2] + [1] * 8),
            (10, "7.9", [2, 2, 2, 1, 1, 1, 1]),
            (12 * MIB, "10m", [10 * MIB, 2 * MIB]),
            (12 * MIB + 1, "3", [4 * MIB + 1, 4 * MIB, 4 * MIB]),
        ]
        for size, text, sizes in cases:
            with self.subTest(size=size, text=text):
                self.fresh_folder()
                source, result = self.split(size, text)
                names = self.expect_pieces(source, sizes)
                self.expect(result, stdout=lines(*names))

    def test_refusals(self):
        cases = [
            (0, "1b", m.NO_SPLIT_NEEDED),
            (1, "1b", m.NO_SPLIT_NEEDED),
            (1, "2", m.NO_SPLIT_NEEDED),
            (10, "10b", m.NO_SPLIT_NEEDED),
            (10, "10", m.NO_SPLIT_NEEDED),
            (10240, "10k", m.NO_SPLIT_NEEDED),
            (10000, "20000", m.NO_SPLIT_NEEDED),  # the size check comes before the piece limit
            (18576, "1b", m.TOO_MANY_PIECES),
            (18577, "18576", m.TOO_MANY_PIECES),
            (10, "0.4", m.BAD_SPLIT_SPEC),
            (10, "-5", m.BAD_SPLIT_SPEC),
            (10, "k", m.BAD_SPLIT_SPEC),
            (10, "inf", m.BAD_SPLIT_SPEC),
            (0, "nan", m.BAD_SPLIT_SPEC),
            (10, "8589934592g", m.BAD_SPLIT_SPEC),
        ]
        for size, text, message in cases:
            with self.subTest(size=size, text=text):
                self.fresh_folder()
                self.split(size, text)
                self.run_case(["-s" + text, "f"], stderr=message)
                self.assertEqual(list(self.files()), ["f"])

    def test_most_pieces_end_in_zzz_and_join_back_whole(self):
        for size, text, sizes in ((18575, "1b", [1] * 18575), (18576, "18575", [2] + [1] * 18574)):
            with self.subTest(text=text):
                self.fresh_folder()
                source, result = self.split(size, text)
                names = self.expect_pieces(source, sizes)
                self.assertEqual(names[-1], "f.zzz")
                self.expect(result, stdout=lines(*names))
                os.remove(self.path("f"))
                self.run_case(["f.001"], stdout=lines("f"))
                self.assertEqual(self.read("f"), source)

    def test_existing_piece_is_replaced(self):
        self.write("f.002", b"x" * 100)
        source, result = self.split(10, "2")
        self.expect_pieces(source, [5, 5])

    def test_piece_name_that_links_to_a_missing_file_creates_that_file(self):
        os.symlink("target", self.path("f.002"))
        source, result = self.split(10, "2")
        self.expect(result, stdout=lines("f.001", "f.002"))
        self.assertTrue(os.path.islink(self.path("f.002")))
        self.assertEqual(self.read("f.001") + self.read("target"), source)

    def test_source_that_cannot_be_opened(self):
        os.mkdir(self.path("dir"))
        for args in (["-s2", "missing"], ["-s0.4", "missing"], ["-s2", "dir"], ["-s2", "sub/x"]):
            with self.subTest(args=args):
                self.run_case(args, stderr=m.source_open_failed(args[1]))
        self.assertEqual(self.files(), {})

    def test_pieces_lie_beside_a_source_in_another_folder(self):
        os.mkdir(self.path("sub"))
        source, result = self.split(10, "2", name="sub/data")
        self.expect(result, stdout=lines("sub/data.001", "sub/data.002"))
        self.expect_pieces(source, [5, 5], name="sub/data")

    def test_piece_that_cannot_be_created_ends_the_split(self):
        os.mkdir(self.path("f.003"))
        source, result = self.split(10, "4")
        self.expect(result, stdout=lines("f.001", "f.002"), stderr=m.PIECE_CREATE_FAILED)
        self.assertEqual(self.read("f.001") + self.read("f.002"), source[:6])

    def test_failed_write_is_reported_and_ends_the_split(self):
        # /dev/full fails every write, of a piece larger than a read and of a small one.
        for size, text, first in ((12 * MIB, "5m", 5 * MIB), (30, "10b", 10)):
            with self.subTest(text=text):
                self.fresh_folder()
                os.symlink("/dev/full", self.path("f.002"))
                source, result = self.split(size, text)
                self.expect(result, stdout=lines("f.001", "f.002"),
                            stderr=m.piece_write_failed("f.002"))
                self.assertEqual(self.read("f.001"), source[:first])
                self.assertNotIn("f.003", self.files())

    def test_failed_close_is_reported_and_ends_the_split(self):
        source = self.write("f", random_bytes(30, seed=6))
        result = self.tarvik("-s10b", "f", env=self.with_fault("f.002", close=1))
        self.expect(result, stdout=lines("f.001", "f.002"), stderr=m.piece_write_failed("f.002"))
        self.assertEqual(self.read("f.001") + self.read("f.002"), source[:20])
        self.assertNotIn("f.003", self.files())

    def test_failed_read_is_reported_and_ends_the_split(self):
        source = self.write("f", random_bytes(12 * MIB, seed=1))
        result = self.tarvik("-s2", "f", env=self.with_fault("f", read_limit=MIB))
        self.expect(result, stdout=lines("f.001"), stderr=m.source_read_failed("f"))

    def test_growing_source_is_split_as_it_was_at_the_start(self):
        source = self.write("f", random_bytes(100, seed=2))
        for text, sizes in (("3b", [3, 3, 3, 1]), ("2", [5, 5])):
            with self.subTest(text=text):
                result = self.tarvik("-s" + text, "f", env=self.with_fault("f", size=10))
                names = [f"f.{s}" for s in suffixes(len(sizes))]
                self.expect(result, stdout=lines(*names))
                self.assertEqual([self.files()[n] for n in names], sizes)
                self.assertEqual(b"".join(self.read(n) for n in names), source[:10])
                for name in names:
                    os.remove(self.path(name))

    def test_source_that_ends_early_ends_the_split_as_a_success(self):
        source = self.write("f", random_bytes(100, seed=3))
        result = self.tarvik("-s50b", "f", env=self.with_fault("f", size=200))
        self.expect(result, stdout=lines("f.001", "f.002", "f.003"))
        self.assertEqual(self.read("f.001") + self.read("f.002"), source)
        self.assertEqual(self.read("f.003"), b"")

    def test_out_of_memory_creates_nothing(self):
        source = self.write("f", random_bytes(1000, seed=4))
        for text in ("10b", "5"):
            with self.subTest(text=text):
                self.expect(self.starved("-s" + text, "f"), stderr=m.OUT_OF_MEMORY)
                self.assertEqual(self.files(), {"f": 1000})
                self.assertEqual(self.read("f"), source)

    def test_piece_name_that_leads_to_the_source_is_refused(self):
        for link, echoed in ((os.symlink, ["f.001"]), (os.link, [])):
            with self.subTest(link=link.__name__):
                self.fresh_folder()
                source = self.write("f", random_bytes(10, seed=5))
                link(self.path("f"), self.path(f"f.00{len(echoed) + 1}"))
                self.run_case(["-s4", "f"], stdout=lines(*echoed), stderr=m.PIECE_CREATE_FAILED)
                self.assertEqual(self.read("f"), source)
