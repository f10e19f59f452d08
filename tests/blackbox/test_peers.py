"""Round trips, and the plain tools that meet tarvik's pieces: cat and GNU split."""
import glob
import os
import shutil
import subprocess
import unittest

from harness import ProgramTest, encoded, lines, random_bytes

MIB = 1024 * 1024

ROUND_TRIPS = [
    # (source size, split option value)
    (2, "1b"), (2, "1"), (3, "2"), (1000, "1b"), (1000, "999b"), (1000, "7"), (1000, "999"),
    (65537, "1k"), (65537, "0.3k"), (65537, "13"), (5 * MIB, "1m"), (5 * MIB + 3, "2.5m"),
    (11 * MIB + 5, "2"), (11 * MIB + 5, "5m"),
]  # 18575 pieces make their round trip in test_split


class RoundTrip(ProgramTest):
    def pieces_of(self, name):
        return sorted(p for p in os.listdir(self.folder) if p.startswith(name + "."))

    def test_split_then_join_gives_the_source_back(self):
        for size, text in ROUND_TRIPS:
            with self.subTest(size=size, text=text):
                self.fresh_folder()
                source = self.write("src", random_bytes(size, seed=size))
                split = self.tarvik("-s" + text, "src")
                self.assertEqual(split.stderr, b"")
                pieces = self.pieces_of("src")
                self.assertEqual(split.stdout, encoded(lines(*pieces)))
                os.remove(self.path("src"))
                self.run_case(["src.001"], stdout=lines("src"))
                self.assertEqual(self.read("src"), source)

    def test_paths_longer_than_255_characters_work_whole(self):
        folder = "/".join(["d" * 200] * 3)
        os.makedirs(self.path(folder))
        name = folder + "/" + "n" * 200 + ".bin"
        source = self.write(name, random_bytes(3000, seed=9))
        self.run_case(["-s1k", name], stdout=lines(name + ".001", name + ".002", name + ".003"))
        os.remove(self.path(name))
        self.run_case([name + ".001"], stdout=lines(name))
        self.assertEqual(self.read(name), source)

    def test_cat_of_pieces_in_name_order_is_the_source(self):
        for size, text in ((10 * MIB + 1, "3m"), (3000, "1b")):
            with self.subTest(text=text):
                self.fresh_folder()
                source = self.write("src", random_bytes(size, seed=7))
                self.tarvik("-s" + text, "src")
                joined = subprocess.run(["cat", *sorted(glob.glob(self.path("src.*")))],
                                        capture_output=True, check=True).stdout
                self.assertEqual(joined, source)


@unittest.skipUnless(shutil.which("split"), "GNU split is not installed")
class GnuSplit(ProgramTest):
    def test_numbered_pieces_of_gnu_split_are_joined(self):
        for size, piece in ((10 * MIB + 3, "3M"), (999, "1"), (999 * 5 - 2, "5")):
            with self.subTest(size=size, piece=piece):
                self.fresh_folder()
                source = self.write("src", random_bytes(size, seed=8))
                subprocess.run(["split", "-d", "-a", "3", "--numeric-suffixes=1", "-b", piece,
                                "src", "src."], cwd=self.folder, check=True)
                os.remove(self.path("src"))
                self.run_case(["src.001"], stdout=lines("src"))
                self.assertEqual(self.read("src"), source)


SEVEN_ZIP = shutil.which("7zz") or shutil.which("7z")


@unittest.skipUnless(SEVEN_ZIP, "7-Zip is not installed")
class SevenZipVolumes(ProgramTest):
    def test_split_volumes_of_7zip_are_joined_into_the_archive(self):
        source = self.write("data.bin", random_bytes(3 * MIB + 5, seed=10))
        subprocess.run([SEVEN_ZIP, "a", "-v1m", "-mx0", "archive.7z", "data.bin"], cwd=self.folder,
                       check=True, stdout=subprocess.DEVNULL)
        os.remove(self.path("data.bin"))
        self.run_case(["archive.7z.001"], stdout=lines("archive.7z"))
        subprocess.run([SEVEN_ZIP, "x", "archive.7z"], cwd=self.folder, check=True,
                       stdout=subprocess.DEVNULL)
        self.assertEqual(self.read("data.bin"), source)
