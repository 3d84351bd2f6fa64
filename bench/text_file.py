#!/usr/bin/env python3
"""Makes a text-like file for the strings list's benches: lines of printable words ending in a line
feed, a zero byte after every one to three lines, so that the string scan finds a string per group.
The same size gives the same bytes.
    bench/text_file.py <file> [size in MiB, 448]"""
import random
import sys

WORDS = """the of and to in is was for that with as on by at from his her are were which this be
had not have but or an they one their all been has more there when who will would can if so what
about out into up them some time could other than only its then also after over new two most first
river driver drive arrive derive private rival rivet game gamma gamble gambit gamut program
programs stream streams error errors value values table tables string strings record records
window windows filter filters memory ceiling paint key keys text texts file files byte bytes line
lines list lists row rows column columns search match matches lower upper narrow wide widen
segment segments address addresses number numbers scan scans page pages order sort sorted view
north south east west winter summer autumn spring morning evening market garden village harbour
silver golden copper iron stone wooden paper glass engine motor signal station bridge tunnel
island valley forest meadow mountain desert ocean weather thunder lightning shadow mirror""".split()


def main():
    path = sys.argv[1]
    size = int(sys.argv[2] if len(sys.argv) > 2 else 448) << 20
    rng = random.Random(448)
    # Groups of one to three lines, each ending in a zero: picked again and again, they make the file.
    groups = []
    for _ in range(20000):
        lines = []
        for _ in range(rng.randint(1, 3)):
            words = [rng.choice(WORDS) for _ in range(rng.randint(3, 9))]
            if rng.random() < 0.3:
                words[0] = words[0].capitalize()
            lines.append(" ".join(words) + ".\n")
        groups.append(("".join(lines) + "\0").encode("ascii"))
    with open(path, "wb") as out:
        written = 0
        while written < size:
            chunk = b"".join(rng.choices(groups, k=4096))[: size - written]
            out.write(chunk)
            written += len(chunk)


if __name__ == "__main__":
    main()
