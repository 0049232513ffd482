#!/usr/bin/env python3
"""Sanity checks for resources/lang.plist (standard library only)."""
import os
import plistlib
import sys

TABLES = ("google", "microsoft", "yandex", "promt", "babylon")
TOP_KEYS = TABLES + ("bab_det",)
# Codes that one service legitimately gives to two names: {table: {code, ...}}
ALLOWED_ALIASES = {}


def main(path):
    with open(path, "rb") as f:
        data = plistlib.load(f)
    errors = []

    if not isinstance(data, dict):
        sys.exit("top level is not a dict")
    missing = [k for k in TOP_KEYS if k not in data]
    extra = [k for k in data if k not in TOP_KEYS]
    if missing:
        errors.append("missing top-level keys: %s" % missing)
    if extra:
        errors.append("unexpected top-level keys: %s" % extra)

    for t in TOP_KEYS:
        table = data.get(t, {})
        if not isinstance(table, dict):
            errors.append("%s is not a dict" % t)
            continue
        for k, v in table.items():
            if not isinstance(k, str) or not k.strip():
                errors.append("%s: bad key %r" % (t, k))
            if not isinstance(v, str) or not v.strip():
                errors.append("%s: bad value for %r: %r" % (t, k, v))

    # No two names in one table share a code (unless a known alias).
    for t in TABLES:
        by_code = {}
        for name, code in data.get(t, {}).items():
            by_code.setdefault(code, []).append(name)
        for code, names in sorted(by_code.items()):
            if len(names) > 1 and code not in ALLOWED_ALIASES.get(t, ()):
                errors.append("%s: code %r used by %s" % (t, code, sorted(names)))

    # Same code in two code-compatible tables must carry the same name.
    for a, b in (("google", "yandex"), ("google", "microsoft"), ("google", "promt"),
                 ("yandex", "microsoft"), ("yandex", "promt"), ("microsoft", "promt")):
        inv_a = {c: n for n, c in data.get(a, {}).items()}
        for name, code in data.get(b, {}).items():
            if code in inv_a and inv_a[code] != name:
                errors.append("name mismatch for code %r: %s=%r, %s=%r"
                              % (code, a, inv_a[code], b, name))

    # Babylon numbers are unique digit strings; names exist in the Google table.
    google = data.get("google", {})
    babylon = data.get("babylon", {})
    bab_det = data.get("bab_det", {})
    google_codes = set(google.values())
    for name, num in babylon.items():
        if not num.isdigit():
            errors.append("babylon: %r has non-numeric id %r" % (name, num))
        if name not in google:
            errors.append("babylon: %r not in google table" % name)
            continue
        gcode = google[name]
        if bab_det.get(gcode) != num:
            errors.append("bab_det: %r -> %r, expected %r" % (gcode, bab_det.get(gcode), num))
        if bab_det.get(num) != gcode:
            errors.append("bab_det: %r -> %r, expected %r" % (num, bab_det.get(num), gcode))

    nums = set(babylon.values())
    for k, v in bab_det.items():
        if k.isdigit():
            if k not in nums:
                errors.append("bab_det: number %r not in babylon table" % k)
            if v not in google_codes:
                errors.append("bab_det: %r -> %r, code not in google table" % (k, v))
        else:
            if v not in nums:
                errors.append("bab_det: code %r -> %r, number not in babylon table" % (k, v))
            if any(ch.isdigit() for ch in k):
                errors.append("bab_det: mixed key %r" % k)
    if "he" not in bab_det or bab_det.get("he") != babylon.get("Hebrew"):
        errors.append("bab_det: 'he' must map to Hebrew's number")

    summary = ", ".join("%s=%d" % (t, len(data.get(t, {}))) for t in TOP_KEYS)
    if errors:
        for e in errors:
            print("ERROR:", e)
        print("FAILED:", summary)
        return 1
    print("OK:", summary)
    return 0


if __name__ == "__main__":
    default = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "lang.plist")
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else default))
