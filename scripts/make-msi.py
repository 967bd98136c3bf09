#!/usr/bin/env python3
"""Packs Kestrix of one bitness as a Windows Installer package.

  make-msi.py FILES REGISTRY VERSION ARCH OUT

FILES is the folder of what the package installs (the files of its folder
and an examples folder), REGISTRY the build's folder holding
KestrixRegistry.wxs and KestrixRegistry.txt (the registration's rows, which
the build writes from the server's table), VERSION the product's version
(1.35), ARCH x86 or x64, OUT the package to write. The version is a
parameter so that a package of the same files can be made under another one.

Reproducible where SOURCE_DATE_EPOCH is set, as the release sets it: wixl
and msibuild run at that time (scripts/at-source-date.sh), and every code
is made by name in the namespace of release/package-codes.txt: the product
code from "Kestrix <version> <arch>", the package code from the SHA-256 of
the package's sources and files, a file's component code from its name
and bitness, a registration component's from the rows it holds (the shared
one's alike in both bitnesses' packages, so that Windows Installer counts
both as its clients). wixl takes
text of code page 1252 only: the registration's other texts go in after it
with msibuild.
"""
import hashlib
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import uuid
import xml.etree.ElementTree as ElementTree
from xml.sax.saxutils import quoteattr

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OCX = "Kestrix.OCX"


def fail(message):
    sys.exit("make-msi: " + message)


def read_codes():
    codes = {}
    with open(os.path.join(ROOT, "release", "package-codes.txt"), encoding="utf-8") as f:
        for line in f:
            fields = line.split()
            if fields and not fields[0].startswith("#"):
                codes[fields[0]] = uuid.UUID(fields[1])
    return codes


def version_resource(data):
    """Where a PE's version resource starts."""
    at = data.find("VS_VERSION_INFO\0".encode("utf-16-le"))
    if at < 0:
        fail(OCX + " has no version resource")
    return at


def file_version(data):
    """The file version of a PE's version resource (VS_FIXEDFILEINFO)."""
    at = data.find(struct.pack("<I", 0xFEEF04BD), version_resource(data))
    if at < 0:
        fail(OCX + " has no fixed file information")
    ms, ls = struct.unpack_from("<II", data, at + 8)
    return "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)


def company_name(data):
    """The CompanyName of a PE's version resource (its String block)."""
    key = "CompanyName\0".encode("utf-16-le")
    at = data.find(key, version_resource(data))
    if at < 0:
        fail(OCX + " names no company in its version resource")
    at += len(key)
    at += (4 - at % 4) % 4  # the value starts on a 32-bit boundary
    end = at
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[at:end].decode("utf-16-le")


def files_fragment(files, arch, namespace, win64):
    """The files as the ComponentGroups "Files" and "Examples": a component
    each, so that each keeps its code from version to version."""
    groups = {"": ("Files", "INSTALLDIR", []), "examples": ("Examples", "EXAMPLESDIR", [])}
    for rel in files:
        folder, name = os.path.split(rel)
        if folder not in groups:
            fail("no folder of the package for " + rel)
        file_id = OCX if rel == OCX else "f_" + re.sub(r"[^A-Za-z0-9_.]", "_", rel)
        guid = str(uuid.uuid5(namespace, "Kestrix %s file %s" % (arch, rel))).upper()
        groups[folder][2].extend([
            '      <Component Id=%s Guid="%s" Win64="%s">' % (quoteattr("c_" + file_id), guid, win64),
            '        <File Id=%s Name=%s Source=%s KeyPath="yes"/>' %
            (quoteattr(file_id), quoteattr(name), quoteattr("files/" + rel)),
            '      </Component>'])
    lines = ['<?xml version="1.0" encoding="utf-8"?>',
             '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">', '  <Fragment>']
    for group, directory, components in groups.values():
        lines += ['    <ComponentGroup Id="%s" Directory="%s">' % (group, directory)] + components
        lines += ['    </ComponentGroup>']
    lines += ['  </Fragment>', '</Wix>', '']
    return "\r\n".join(lines)


def registration_codes(fragment, arch, namespace):
    """The codes of the registration's components, by the rows they hold."""
    codes = {}
    wix = "{http://schemas.microsoft.com/wix/2006/wi}"
    for component in ElementTree.parse(fragment).iter(wix + "Component"):
        name = component.get("Id")
        rows = "\n".join("\t".join(row.get(a, "") for a in ("Root", "Key", "Name", "Value"))
                         for row in component.iter(wix + "RegistryValue"))
        owner = "shared" if name.startswith("Shared") else arch
        codes[name + "Guid"] = uuid.uuid5(namespace, "Kestrix %s %s\n%s" % (owner, name, rows))
    return codes


def can_encode(text, codepage):
    try:
        text.encode("cp%d" % codepage)
        return True
    except UnicodeEncodeError:
        return False


def run(work, *command):
    # wixl only warns of what it does not know, and goes on without it.
    subprocess.run([os.path.join(ROOT, "scripts", "at-source-date.sh")] + list(command), check=True, cwd=work,
                   stdout=subprocess.DEVNULL, env=dict(os.environ, G_DEBUG="fatal-warnings"))


def table(msi, name):
    return subprocess.run(["msiinfo", "export", msi, name], check=True, capture_output=True).stdout.decode()


def main(argv):
    if len(argv) != 6:
        fail("usage: make-msi.py FILES REGISTRY VERSION ARCH OUT")
    files_dir, registry_dir, version, arch, out = argv[1:]
    files_dir, registry_dir, out = (os.path.abspath(p) for p in (files_dir, registry_dir, out))
    if not re.fullmatch(r"\d+\.\d+(\.\d+)?", version):
        fail("a version is two or three numbers (1.35), not " + version)
    if arch not in ("x86", "x64"):
        fail("ARCH is x86 or x64, not " + arch)
    codes = read_codes()
    namespace = codes["namespace"]
    win64 = "yes" if arch == "x64" else "no"

    files = sorted(os.path.relpath(os.path.join(d, f), files_dir).replace(os.sep, "/")
                   for d, _, names in os.walk(files_dir) for f in names)
    if OCX not in files:
        fail("no %s in %s" % (OCX, files_dir))
    with open(os.path.join(files_dir, OCX), "rb") as f:
        ocx = f.read()
    texts = []
    with open(os.path.join(registry_dir, "KestrixRegistry.txt"), encoding="utf-8") as f:
        for line in f.read().split("\n")[:-1]:
            placeholder, text = line.split("\t", 1)
            if "'" in text:
                fail("a registry text with a quote: " + text)
            texts.append((placeholder, text))

    with tempfile.TemporaryDirectory(prefix="kx-msi.") as work:
        shutil.copytree(files_dir, os.path.join(work, "files"))
        shutil.copy(os.path.join(ROOT, "release", "Kestrix.wxs"), work)
        shutil.copy(os.path.join(registry_dir, "KestrixRegistry.wxs"), work)
        with open(os.path.join(work, "Files.wxs"), "w", encoding="utf-8", newline="") as f:
            f.write(files_fragment(files, arch, namespace, win64))

        product = "Kestrix %s (%s-bit)" % (version, "64" if arch == "x64" else "32")
        manufacturer = company_name(ocx)
        defines = {
            "Version": version,
            "Bits": "64" if arch == "x64" else "32",
            "Manufacturer": manufacturer,
            "ProductCode": uuid.uuid5(namespace, "Kestrix %s %s" % (version, arch)),
            "UpgradeCode": codes["upgrade-" + arch],
            "ProgramFiles": "ProgramFiles64Folder" if arch == "x64" else "ProgramFilesFolder",
            "Win64": win64,
        }
        defines.update(registration_codes(os.path.join(registry_dir, "KestrixRegistry.wxs"), arch, namespace))
        sources = ["Kestrix.wxs", "Files.wxs", "KestrixRegistry.wxs"]
        msi = os.path.join(work, "Kestrix.msi")
        wixl = ["wixl", "-a", arch, "-o", msi]
        for name, value in defines.items():
            value = str(value).upper() if isinstance(value, uuid.UUID) else value
            wixl += ["-D", "%s=%s" % (name, value)]
        run(work, *(wixl + sources))

        queries = ["UPDATE `File` SET `Version` = '%s' WHERE `File` = '%s'" % (file_version(ocx), OCX)]
        if texts:
            codepage = next((cp for cp in (1252, 932) if all(can_encode(t, cp) for _, t in texts)), None)
            if codepage is None:
                fail("no code page holds the registry's texts")
            with open(os.path.join(work, "_ForceCodepage.idt"), "w", newline="") as f:
                f.write("\r\n\r\n%d\t_ForceCodepage\r\n" % codepage)
            run(work, "msibuild", msi, "-i", "_ForceCodepage.idt")
            queries += ["UPDATE `Registry` SET `Value` = '%s' WHERE `Value` = '%s'" % (t, p) for p, t in texts]
        for query in queries:
            run(work, "msibuild", msi, "-q", query)
        # An update that finds no row is no error to msibuild.
        if any(p in table(msi, "Registry") for p, _ in texts) or \
                "\t%s\t" % file_version(ocx) not in table(msi, "File"):
            fail("the registry's texts or the OCX's version did not reach the package")

        # The package code names what the package is made of.
        digest = hashlib.sha256()
        for name in sources:
            with open(os.path.join(work, name), "rb") as f:
                digest.update(f.read())
        digest.update(repr((sorted(defines.items(), key=str), texts)).encode())
        for rel in files:
            digest.update(rel.encode() + b"\0")
            with open(os.path.join(work, "files", rel), "rb") as f:
                digest.update(hashlib.sha256(f.read()).digest())
        package = str(uuid.uuid5(namespace, digest.hexdigest())).upper()
        template = "x64;1033" if arch == "x64" else "Intel;1033"
        run(work, "msibuild", msi, "-s", product, manufacturer, template, "{%s}" % package)
        shutil.copy(msi, out)


if __name__ == "__main__":
    main(sys.argv)
