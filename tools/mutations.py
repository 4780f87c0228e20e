#!/usr/bin/env python3
"""Reads tools/mutations.txt and puts one mutation into the source tree.

  mutations.py list FILE          one line per mutation: id, file, tests, targets (tab-separated)
  mutations.py check FILE ROOT     checks that every find text is there once
  mutations.py apply FILE ID ROOT  writes mutation ID into its file under ROOT

Every "find" text must occur exactly once in its file; anything else is an
error, so that a renamed or reformatted line is noticed instead of skipped.
"""
import sys

KEYS = ("id", "file", "tests", "targets", "why", "find", "replace")


def parse(path):
    blocks, block, last = [], {}, None
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if line.startswith("#"):
                continue
            if not line.strip():
                if block:
                    blocks.append(block)
                block, last = {}, None
                continue
            if line.startswith("|"):
                if last not in ("find", "replace"):
                    sys.exit(f"{path}:{number}: a '|' line continues only find or replace")
                block[last] += "\n" + line[1:]
                continue
            key, sep, value = line.partition(":")
            if not sep or key not in KEYS:
                sys.exit(f"{path}:{number}: expected one of {', '.join(KEYS)}")
            if key in block:
                sys.exit(f"{path}:{number}: {key} given twice")
            block[key] = value[1:] if value.startswith(" ") else value
            block["_line"] = block.get("_line", number)
            last = key
    if block:
        blocks.append(block)
    seen = set()
    for b in blocks:
        for key in ("id", "file", "tests", "find", "replace"):
            if key not in b:
                sys.exit(f"{path}:{b['_line']}: mutation without {key}")
        if b["id"] in seen:
            sys.exit(f"{path}:{b['_line']}: id {b['id']} used twice")
        if b["find"] == b["replace"]:
            sys.exit(f"{path}:{b['_line']}: {b['id']} changes nothing")
        seen.add(b["id"])
    return blocks


def occurrences(b, root):
    with open(f"{root}/{b['file']}", encoding="utf-8") as f:
        text = f.read()
    return text, text.count(b["find"])


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "list":
        for b in parse(sys.argv[2]):
            print("\t".join((b["id"], b["file"], b["tests"], b.get("targets", ""))))
        return
    if len(sys.argv) == 4 and sys.argv[1] == "check":
        bad = 0
        for b in parse(sys.argv[2]):
            count = occurrences(b, sys.argv[3])[1]
            if count != 1:
                print(f"{b['id']}: the text to change occurs {count} times in {b['file']} (must be once)")
                bad += 1
        sys.exit(1 if bad else 0)
    if len(sys.argv) == 5 and sys.argv[1] == "apply":
        wanted = [b for b in parse(sys.argv[2]) if b["id"] == sys.argv[3]]
        if not wanted:
            sys.exit(f"no mutation {sys.argv[3]}")
        b = wanted[0]
        text, count = occurrences(b, sys.argv[4])
        if count != 1:
            sys.exit(f"{b['id']}: the text to change occurs {count} times in {b['file']} (must be once)")
        with open(f"{sys.argv[4]}/{b['file']}", "w", encoding="utf-8") as f:
            f.write(text.replace(b["find"], b["replace"]))
        return
    sys.exit(__doc__)


if __name__ == "__main__":
    main()
