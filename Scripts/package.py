#!/usr/bin/env python3
"""Zips the plug-in as an engine project takes it, once per engine version it supports:
<output>/OrvidaLiveLink-<version>-UE<engine>.zip (UE4.27, UE5.0 ... UE5.5), every entry under OrvidaLiveLink/ so
that the archive unpacks into a project's Plugins/ folder. The archives differ only in the .uplugin's
EngineVersion, which names the engine each is for, so that the engine loads it without asking to rebuild. The
version is the .uplugin's VersionName. Entries carry a fixed date, so the same tree always gives the same
archives."""

import argparse
import json
import pathlib
import re
import sys
import zipfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
PLUGIN = "OrvidaLiveLink"
# (archive suffix, the .uplugin's EngineVersion). The source is one tree for all of them.
ENGINES = [("UE4.27", "4.27.0")] + [(f"UE5.{minor}", f"5.{minor}.0") for minor in range(6)]
ENGINE_VERSION = re.compile(r'("EngineVersion"\s*:\s*)"[^"]*"')
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


def contents(path, engine_version):
    """The file's bytes as the archive for engine_version holds them: the descriptor names that engine."""
    data = path.read_bytes()
    if path.name != f"{PLUGIN}.uplugin":
        return data
    text, count = ENGINE_VERSION.subn(rf'\g<1>"{engine_version}"', data.decode("utf-8"))
    if count != 1:
        sys.exit(f"package: {path.name} holds {count} EngineVersion entries, not one")
    return text.encode("utf-8")


def write_archive(archive, files, engine_version):
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as zipped:
        for path in files:
            entry = zipfile.ZipInfo(f"{PLUGIN}/{path.relative_to(ROOT).as_posix()}", FIXED_DATE)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.external_attr = 0o644 << 16
            zipped.writestr(entry, contents(path, engine_version))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--output-dir", default=str(ROOT / "dist"), help="folder for the archive (default: dist/)")
    output_dir = pathlib.Path(parser.parse_args().output_dir)
    output_dir.mkdir(parents=True, exist_ok=True)
    files = list(shipped_files())
    for suffix, engine_version in ENGINES:
        archive = output_dir / f"{PLUGIN}-{version()}-{suffix}.zip"
        write_archive(archive, files, engine_version)
        print(f"{archive} ({len(files)} files, EngineVersion {engine_version})")

if __name__ == "__main__":
    main()
