#!/usr/bin/env python3
"""Zips the plug-in as an engine project takes it: <output>/OrvidaLiveLink-<version>-UE4.27.zip, every entry
under OrvidaLiveLink/ so that the archive unpacks into a project's Plugins/ folder. The version is the
.uplugin's VersionName. Entries carry a fixed date, so the same tree always gives the same archive."""

import argparse
import json
import pathlib
import sys
import zipfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
PLUGIN = "OrvidaLiveLink"
ENGINE = "UE4.27"
# What an engine project builds from the plug-in folder. Everything under the module's folder goes, so that a
# stray file there shows up in the archive (and fails the package test) instead of being left out quietly.
SHIPPED = [f"{PLUGIN}.uplugin", "Resources/Icon128.png", f"Source/{PLUGIN}"]
FIXED_DATE = (2021, 8, 19, 0, 0, 0)


def shipped_files():
    for entry in SHIPPED:
        path = ROOT / entry
        if not path.exists():
            sys.exit(f"package: {entry} is missing")
        if path.is_dir():
            yield from sorted(p for p in path.rglob("*") if p.is_file())
        else:
            yield path


def version():
    with open(ROOT / f"{PLUGIN}.uplugin", encoding="utf-8") as descriptor:
        return json.load(descriptor)["VersionName"]


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--output-dir", default=str(ROOT / "dist"), help="folder for the archive (default: dist/)")
    output_dir = pathlib.Path(parser.parse_args().output_dir)
    output_dir.mkdir(parents=True, exist_ok=True)
    archive = output_dir / f"{PLUGIN}-{version()}-{ENGINE}.zip"
    count = 0
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as zipped:
        for path in shipped_files():
            entry = zipfile.ZipInfo(f"{PLUGIN}/{path.relative_to(ROOT).as_posix()}", FIXED_DATE)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.external_attr = 0o644 << 16
            zipped.writestr(entry, path.read_bytes())
            count += 1
    print(f"{archive} ({count} files)")


if __name__ == "__main__":
    main()
