"""The argument walk: options, file arguments, the usage text and the exit status."""
import os

from harness import ProgramTest, lines, posix_only, windows_only
import messages as m

TEN = bytes(range(10))


class Usage(ProgramTest):
    def test_no_arguments_prints_usage_and_fails(self):
        self.run_case([], stdout=m.USAGE, status=1)

    def test_runs_that_name_no_file_print_nothing(self):
        for args in (["--"], ["-x", "-S5", "-", "-s"], ["-s5"], ["-s5", "--"], ["---x"]):
            with self.subTest(args=args):
                self.run_case(args)
        self.assertEqual(self.files(), {})


class Walk(ProgramTest):
    def setUp(self):
        super().setUp()
        self.write("f", TEN)
        self.write("g", TEN)

    def test_file_before_the_option_is_joined_and_files_after_it_split(self):
        self.run_case(["f", "-s2", "g"], stdout=lines("g.001", "g.002"), stderr=m.not_a_piece("f"))

    def test_each_file_is_split_with_the_latest_value(self):
        self.run_case(["-s2", "f", "-s3", "g"], stdout=lines("f.001", "f.002", "g.001", "g.002", "g.003"))
        self.assertEqual(self.files()["g.001"], 4)

    def test_split_option_without_value_changes_nothing(self):
        self.run_case(["-s2", "f", "-s", "g"], stdout=lines("f.001", "f.002", "g.001", "g.002"))

    def test_split_option_without_value_does_not_start_splitting(self):
        self.run_case(["f", "-s", "g"], stderr=m.not_a_piece("f") + m.not_a_piece("g"))

    def test_capital_s_is_ignored(self):
        self.run_case(["-S2", "f"], stderr=m.not_a_piece("f"))

    def test_value_in_its_own_argument_is_a_file_argument(self):
        self.run_case(["-s", "2", "f"], stderr=m.not_a_piece("2") + m.not_a_piece("f"))

    def test_after_double_hyphen_everything_is_a_file_argument(self):
        self.write("-s3", TEN)
        self.run_case(["-s2", "--", "-s3"], stdout=lines("-s3.001", "-s3.002"))
        self.run_case(["--", "-s3", "--", "-"],
                      stderr=m.not_a_piece("-s3") + m.not_a_piece("--") + m.not_a_piece("-"))

    def test_any_argument_starting_with_two_hyphens_ends_options(self):
        self.run_case(["--verbose", "-s2", "f"], stderr=m.not_a_piece("-s2") + m.not_a_piece("f"))

    def test_bare_hyphen_is_ignored(self):
        self.run_case(["-", "-s2", "-", "f"], stdout=lines("f.001", "f.002"))

    def test_empty_argument_is_a_file_argument(self):
        self.run_case([""], stderr=m.not_a_piece(""))
        self.run_case(["-s2", ""], stderr=m.source_open_failed(""))

    def test_value_of_127_characters_reaches_the_splitter_whole(self):
        self.run_case(["-s" + "0" * 126 + "2", "f"], stdout=lines("f.001", "f.002"))

    def test_value_of_128_characters_is_refused_not_shortened(self):
        # Shortened to 128 characters this would read as 1 piece, then 2 pieces as 12 pieces.
        for value in ("0" * 127 + "2", "1" + " " * 126 + "k", "2" + "0" * 200):
            with self.subTest(length=len(value)):
                self.run_case(["-s" + value, "f", "g"], stderr=m.BAD_SPLIT_SPEC * 2)
                self.run_case(["-s" + value, "missing"], stderr=m.source_open_failed("missing"))
        self.assertEqual(set(self.files()), {"f", "g"})

    def test_failures_leave_the_status_at_zero(self):
        self.run_case(["x", "-s0", "f", "missing"],
                      stderr=m.not_a_piece("x") + m.BAD_SPLIT_SPEC + m.source_open_failed("missing"))


class Console(ProgramTest):
    @posix_only("the Windows program always selects the Japanese locale")
    def test_texts_reach_any_locale_intact(self):
        for env in ({"LC_ALL": "C"}, {"LC_ALL": "POSIX"}, {"LC_ALL": "", "LANG": ""},
                    {"LC_ALL": "xx_YY.nonsense"}):
            with self.subTest(env=env):
                self.expect(self.tarvik(env=env), m.USAGE, "", 1)
                self.expect(self.tarvik("日本語.txt", env=env), "", m.not_a_piece("日本語.txt"))

    @posix_only("Windows names are wide text; no byte fails to decode")
    def test_names_that_do_not_decode_are_used_and_echoed_byte_for_byte(self):
        name = b"caf\xe9 \xff\xfe".decode("utf-8", "surrogateescape")
        self.write(name, TEN)
        self.run_case(["-s2", name], stdout=lines(name + ".001", name + ".002"))
        os.remove(self.path(name))
        self.run_case([name + ".001"], stdout=lines(name))
        self.assertEqual(self.read(name), TEN)
        self.run_case([name + ".002"], stderr=m.not_a_piece(name + ".002"))

    def test_japanese_names_are_split_and_joined(self):
        self.write("データ.bin", TEN)
        self.run_case(["-s3", "データ.bin"], stdout=lines("データ.bin.001", "データ.bin.002", "データ.bin.003"))
        self.run_case(["データ.bin.001"], stdout=lines("データ.bin"))
        self.assertEqual(self.read("データ.bin"), TEN)

    def test_closed_standard_output_stops_nothing(self):
        self.write("f", TEN)
        reader, writer = os.pipe()
        os.close(reader)
        try:
            result = self.tarvik("-s1b", "f", "-s5b", "f", stdout=writer)
        finally:
            os.close(writer)
        self.assertEqual(result.status, 0)
        self.assertEqual(result.stderr, b"")
        self.assertEqual(len(self.files()), 11)
        self.assertEqual(self.read("f.010"), TEN[9:])


@windows_only("on Linux the shell expands wildcards before the program runs")
class Wildcards(ProgramTest):
    def test_pattern_joins_each_first_piece_it_matches(self):
        self.write("a.001", b"a1")
        self.write("a.002", b"a2")
        self.write("b.001", b"b1")
        result = self.tarvik("*.001")
        self.expect(result, stdout=lines("a", "b"))
        self.assertEqual(self.read("a"), b"a1a2")
        self.assertEqual(self.read("b"), b"b1")

    def test_pattern_that_matches_nothing_stays_as_it_was(self):
        self.run_case(["*.001"], stderr=m.first_piece_missing("*.001"))

    def test_files_after_a_split_option_are_expanded_too(self):
        self.write("x.txt", TEN)
        self.write("y.txt", TEN)
        self.run_case(["-s2", "?.txt"], stdout=lines("x.txt.001", "x.txt.002", "y.txt.001", "y.txt.002"))
