"""Random sizes and random requests of both kinds, split then joined back. The seed is fixed, so
CI repeats the same cases; TARVIK_SEED=<number> runs other ones by hand."""
import math
import os
import random
from fractions import Fraction

from harness import ProgramTest, lines, random_bytes
import messages as m

SEED = int(os.environ.get("TARVIK_SEED", "20261211"))
CASES = int(os.environ.get("TARVIK_RANDOM_CASES", "60"))
UNITS = {"b": 1, "k": 1024, "m": 1024 ** 2, "B": 1, "K": 1024, "kb": 1024, "M": 1024 ** 2}
MAX_PIECES = 18575


def random_request(rng, size):
    """An option text, the number it means (bytes per piece, or pieces) and whether it is a
    count. Most requests are valid; some are refused, as a user's can be."""
    count_mode = rng.random() < 0.5
    unit = "" if count_mode else rng.choice(list(UNITS))
    scale = 1 if count_mode else UNITS[unit]
    top = min(size, 400) if count_mode else size // scale
    whole = rng.randint(0, max(1, top + top // 8))
    decimals = rng.choice(["", "", "." + str(rng.randint(0, 9999)).zfill(rng.randint(1, 4))])
    number = str(whole) + decimals
    value = math.floor(Fraction(number) * scale)  # short decimals: the exact product's floor
    return number + unit, value, count_mode


def planned(size, value, count_mode):
    """The piece sizes a request plans, or the message that refuses it."""
    if value < 1:
        return m.BAD_SPLIT_SPEC
    if value >= size:
        return m.NO_SPLIT_NEEDED
    pieces = value if count_mode else -(-size // value)
    if pieces > MAX_PIECES:
        return m.TOO_MANY_PIECES
    if count_mode:
        q, r = divmod(size, value)
        return [q + 1] * r + [q] * (value - r)
    return [value] * (size // value) + ([size % value] if size % value else [])


class RandomRoundTrip(ProgramTest):
    def test_random_requests(self):
        rng = random.Random(SEED)
        for case in range(CASES):
            size = rng.choice([rng.randint(0, 64), rng.randint(0, 64 * 1024), rng.randint(0, 3 * 1024 ** 2)])
            text, value, count_mode = random_request(rng, size)
            with self.subTest(seed=SEED, case=case, size=size, text=text):
                self.fresh_folder()
                source = self.write("src", random_bytes(size, seed=case))
                result = self.tarvik("-s" + text, "src")
                plan = planned(size, value, count_mode)
                if isinstance(plan, str):
                    self.expect(result, stderr=plan)
                    self.assertEqual(list(self.files()), ["src"])
                    continue
                left = self.files()
                names = sorted(name for name in left if name != "src")
                self.expect(result, stdout=lines(*names))
                self.assertEqual([left[name] for name in names], plan)
                os.remove(self.path("src"))
                self.run_case(["src.001"], stdout=lines("src"))
                self.assertEqual(self.read("src"), source)
