#!/usr/bin/env python3
"""Writes CHANGELOG.md as the Debian changelog the package installs as changelog.gz.

Debian's tools read a native package's changelog.gz in their own format, so each release of
CHANGELOG.md ("## <version> (<yyyy-mm-dd>)" and its "- " items) becomes one entry, newest first,
signed by the package's maintainer. Items are rewrapped to 78 columns; backquotes are dropped.

Usage: python3 scripts/make_debian_changelog.py CHANGELOG.md PACKAGE "NAME <ADDRESS>" OUTPUT
"""
import datetime
import email.utils
import re
import sys
import textwrap

HEADING = re.compile(r"^## (\S+) \((\d{4}-\d\d-\d\d)\)$")


def releases(lines):
    """[(version, date, [item, ...]), ...] in the file's order; text before the first release
    is the file's introduction and stays out."""
    found = []
    for number, line in enumerate(lines, 1):
        line = line.rstrip()
        heading = HEADING.match(line)
        if heading:
            day = datetime.date.fromisoformat(heading.group(2))
            found.append((heading.group(1), day, []))
        elif not found or not line:
            continue
        elif line.startswith("- "):
            found[-1][2].append(line[2:].strip())
        elif line.startswith(" ") and found[-1][2]:
            found[-1][2][-1] += " " + line.strip()
        else:
            sys.exit(f"line {number}: expected a '- ' item or its indented continuation: {line}")
    return found


def entry(package, version, day, items, maintainer):
    stamp = datetime.datetime.combine(day, datetime.time(), datetime.timezone.utc)
    text = [f"{package} ({version}) unstable; urgency=medium", ""]
    for item in items:
        text += textwrap.wrap(item.replace("`", ""), 78, initial_indent="  * ",
                              subsequent_indent="    ", break_on_hyphens=False)
    text += ["", f" -- {maintainer}  {email.utils.format_datetime(stamp)}", ""]
    return "\n".join(text)


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__.strip().splitlines()[-1])
    source, package, maintainer, output = sys.argv[1:]
    with open(source, encoding="utf-8") as f:
        found = releases(f.read().splitlines())
    if not found or any(not items for _, _, items in found):
        sys.exit(f"{source}: every release needs at least one '- ' item")
    with open(output, "w", encoding="utf-8") as f:
        f.write("\n".join(entry(package, v, d, items, maintainer) for v, d, items in found))


if __name__ == "__main__":
    main()
