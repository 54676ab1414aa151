#!/usr/bin/env python3
"""Lists the texts of a catalogue that have no finished translation.

usage: unfinished-translations.py CATALOGUE [NAME]
CATALOGUE is a .ts file just brought up to date with the sources; NAME is how
to call it in the report. Exits 1 when any text is unfinished or empty.
"""
import sys
import xml.etree.ElementTree as ET


def unfinished(path):
    for context in ET.parse(path).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            translation = message.find("translation")
            kind = translation.get("type") if translation is not None else "unfinished"
            if kind in ("vanished", "obsolete"):
                continue
            forms = translation.findall("numerusform") if translation is not None else []
            texts = [f.text for f in forms] if forms else [translation.text if translation is not None else None]
            if kind == "unfinished" or not all(t and t.strip() for t in texts):
                yield name, message.findtext("source"), message.findtext("comment")


def main():
    path = sys.argv[1]
    shown = sys.argv[2] if len(sys.argv) > 2 else path
    missing = list(unfinished(path))
    for context, source, comment in missing:
        extra = f" ({comment})" if comment else ""
        print(f"{shown}: {context}: untranslated: {source!r}{extra}")
    if missing:
        print(f"{shown}: {len(missing)} text(s) without a finished translation; "
              "run scripts/translations update and translate them", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
