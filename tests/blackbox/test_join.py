"""Joining: which pieces are taken, in what order, and what a failure leaves."""
import os

from harness import ProgramTest, lines, random_bytes
import messages as m

MIB = 1024 * 1024


class Join(ProgramTest):
    def pieces(self, name, sizes):
        """Writes pieces name.<suffix> with the given sizes; returns their bytes by suffix."""
        return {suffix: self.write(f"{name}.{suffix}", random_bytes(size, seed=i))
                for i, (suffix, size) in enumerate(sizes.items())}

    def test_pieces_are_joined_up_to_the_first_gap(self):
        p = self.pieces("data", {"001": 3, "002": 2, "003": 1, "005": 4})
        self.run_case(["data.001"], stdout=lines("data"))
        self.assertEqual(self.read("data"), p["001"] + p["002"] + p["003"])

    def test_index_zero_comes_first_whichever_piece_is_named(self):
        p = self.pieces("data", {"000": 5, "001": 3, "002": 2})
        for named in ("data.000", "data.001"):
            with self.subTest(named=named):
                self.run_case([named], stdout=lines("data"))
                self.assertEqual(self.read("data"), p["000"] + p["001"] + p["002"])

    def test_index_zero_alone(self):
        p = self.pieces("data", {"000": 5, "002": 2})
        self.run_case(["data.001"], stdout=lines("data"))
        self.assertEqual(self.read("data"), p["000"])

    def test_empty_piece_adds_nothing_and_does_not_end_the_join(self):
        p = self.pieces("data", {"001": 3, "002": 0, "003": 2})
        self.run_case(["data.001"], stdout=lines("data"))
        self.assertEqual(self.read("data"), p["001"] + p["003"])

    def test_existing_joined_file_is_replaced(self):
        self.write("data", b"old contents, longer than the pieces")
        p = self.pieces("data", {"001": 3})
        self.run_case(["data.001"], stdout=lines("data"))
        self.assertEqual(self.read("data"), p["001"])

    def test_large_piece(self):
        p = self.pieces("data", {"001": 12 * MIB + 7, "002": 1})
        self.run_case(["data.001"], stdout=lines("data"))
        self.assertEqual(self.read("data"), p["001"] + p["002"])

    def test_suffix_widths(self):
        width1 = [str(d) for d in range(10)] + [chr(c) for c in range(97, 123)]
        cases = [
            ("d.1", width1 + ["10", "aa"], 36),
            ("d.0001", ["0001", "0002", "0003", "0005"], 3),
            ("d.01", ["00", "01", "02", "99", "aa"], 3),
        ]
        for named, suffixes, joined in cases:
            with self.subTest(named=named):
                self.fresh_folder()
                p = self.pieces("d", {suffix: 2 for suffix in suffixes})
                self.run_case([named], stdout=lines("d"))
                self.assertEqual(self.read("d"), b"".join(p[s] for s in suffixes[:joined]))

    def test_folder_part_is_kept(self):
        os.mkdir(self.path("sub.d"))
        p = self.pieces("sub.d/data", {"001": 3})
        self.run_case(["sub.d/data.001"], stdout=lines("sub.d/data"))
        self.assertEqual(self.read("sub.d/data"), p["001"])

    def test_no_first_piece_creates_and_changes_nothing(self):
        self.write("data", b"keep me")
        self.pieces("data", {"002": 3})
        os.mkdir(self.path("dir.001"))
        for named in ("data.001", "data.000", "none.01", ".001", "dir.001"):
            with self.subTest(named=named):
                self.run_case([named], stderr=m.first_piece_missing(named))
        self.assertEqual(self.read("data"), b"keep me")
        self.assertEqual(set(self.files()), {"data", "data.002"})

    def test_piece_that_is_a_folder_counts_as_missing(self):
        p = self.pieces("data", {"001": 3, "003": 3})
        os.mkdir(self.path("data.002"))
        self.run_case(["data.001"], stdout=lines("data"))
        self.assertEqual(self.read("data"), p["001"])

    def test_joined_file_that_cannot_be_created(self):
        os.mkdir(self.path("dir"))
        self.pieces("dir", {"001": 3})
        self.pieces("", {"001": 3})
        for named in ("dir.001", ".001"):
            with self.subTest(named=named):
                self.run_case([named], stderr=m.JOINED_CREATE_FAILED)

    def test_failed_write_is_reported_and_the_name_not_echoed(self):
        # /dev/full fails every write, of a piece larger than a read and of a small one.
        for size in (6 * MIB, 10):
            with self.subTest(size=size):
                self.fresh_folder()
                os.symlink("/dev/full", self.path("data"))
                self.pieces("data", {"001": size, "002": 1})
                self.run_case(["data.001"], stderr=m.joined_write_failed("data"))

    def test_failed_close_is_reported_and_the_name_not_echoed(self):
        p = self.pieces("data", {"001": 10, "002": 1})
        self.run_case(["data.001"], stderr=m.joined_write_failed("data"),
                      env=self.with_fault("data", close=1))
        self.assertEqual(self.read("data"), p["001"] + p["002"])

    def test_failed_read_is_reported_and_the_name_not_echoed(self):
        self.pieces("data", {"001": 3, "002": 2 * MIB, "003": 1})
        env = self.with_fault("data.002", read_limit=0)
        self.run_case(["data.001"], stderr=m.piece_read_failed("data.002"), env=env)

    def test_each_first_piece_is_joined_in_turn(self):
        a = self.pieces("a", {"001": 2, "002": 2})
        b = self.pieces("b", {"000": 2})
        self.run_case(["a.001", "b.002", "b.000"], stdout=lines("a", "b"),
                      stderr=m.not_a_piece("b.002"))
        self.assertEqual(self.read("a"), a["001"] + a["002"])
        self.assertEqual(self.read("b"), b["000"])

    def test_out_of_memory_leaves_the_joined_file_empty(self):
        self.write("data", b"old")
        self.pieces("data", {"001": 3})
        self.expect(self.starved("data.001"), stderr=m.OUT_OF_MEMORY)
        self.assertEqual(self.read("data"), b"")

    def test_joined_name_that_leads_to_a_piece_is_refused(self):
        for link, target in ((os.symlink, "data.001"), (os.link, "data.000"), (os.link, "data.002")):
            with self.subTest(link=link.__name__):
                self.fresh_folder()
                p = self.pieces("data", {"000": 3, "001": 3, "002": 3})
                link(self.path(target), self.path("data"))
                self.run_case(["data.001"], stderr=m.JOINED_CREATE_FAILED)
                self.assertEqual({s: self.read(f"data.{s}") for s in p}, p)

    def test_piece_that_leads_to_the_joined_file_is_not_read_into_itself(self):
        self.pieces("data", {"001": 3})
        os.symlink(self.path("data"), self.path("data.002"))
        self.run_case(["data.001"], stderr=m.piece_read_failed("data.002"))
