#!/usr/bin/env python3
"""Compares what a Windows Installer package wrote to the registry with what
regsvr32 wrote for the same file.

  RegCompare.py REFERENCE_DIR REFERENCE_FOLDERS PACKAGE_DIR PACKAGE_FOLDER PLATFORM

Each DIR holds regedit exports (UTF-16 .reg files), one per key, made with
the loader of the package's bitness, so each sees that bitness's view.
REFERENCE_FOLDERS are the folders the OCX was registered from (separated
by ";": the type library's HELPDIR, which both bitnesses share, names the
one registered last) and PACKAGE_FOLDER the one the package installed it in
(Windows paths): references to the ones stand for the other. PLATFORM (win32 or win64) is
the package's: the other platform's entry of the type library, which
regsvr32 of the other bitness wrote, is left out. Key and value names
compare without regard to case, HELPDIR without its trailing backslash.

Exit 0 when every key and value of the reference is there with the same
data; prints what is missing or different, and lists extras without
failing.
"""
import glob
import os
import re
import sys


def parse(path):
    with open(path, "rb") as f:
        text = f.read().decode("utf-16")
    keys, key = {}, None
    for line in re.sub(r"\\\r?\n\s*", "", text).splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            # Each export shows one view: the 32-bit one's keys count as one.
            key = keys.setdefault(line[1:-1].lower().replace("\\wow6432node", ""), {})
        elif key is not None and "=" in line:
            name, value = re.match(r'^(@|"(?:[^"\\]|\\.)*")=(.*)$', line).groups()
            name = "@" if name == "@" else name[1:-1].replace("\\\\", "\\")
            if value.startswith('"'):
                value = value[1:-1].replace('\\"', '"').replace("\\\\", "\\")
            key[name.lower()] = value
    return keys


def load(folder):
    keys = {}
    for path in sorted(glob.glob(os.path.join(folder, "*.reg"))):
        keys.update(parse(path))
    return keys


def normal(key, data, folders, by):
    for folder in folders:
        at = data.lower().find(folder.lower())
        if at >= 0:
            data = data[:at] + by + data[at + len(folder):]
    if key.endswith("\\helpdir"):
        data = data.rstrip("\\")
    return data


def main(reference_dir, reference_folders, package_dir, package_folder, platform):
    other = "\\win64" if platform == "win32" else "\\win32"
    reference, package = load(reference_dir), load(package_dir)
    if not reference:
        print("RegCompare: no reference keys in " + reference_dir)
        return 1
    failed = 0
    reference_folders = [f.rstrip("\\") for f in reference_folders.split(";")]
    package_folder = package_folder.rstrip("\\")
    for key, values in sorted(reference.items()):
        if key.endswith(other):
            continue
        if key not in package:
            print("missing key: " + key)
            failed += 1
            continue
        for name, data in sorted(values.items()):
            want = normal(key, data, reference_folders, package_folder)
            got = package[key].get(name)
            if got is None or normal(key, got, [package_folder], package_folder) != want:
                print("%s: %s is %r, regsvr32 wrote %r" % (key, name, got, want))
                failed += 1
    for key in sorted(set(package) - set(reference)):
        print("extra key (not failed): " + key)
    return 1 if failed else 0


if __name__ == "__main__":
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
