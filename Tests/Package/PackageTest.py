#!/usr/bin/env python3
"""The archives that `make package` writes, checked as an engine project would meet them: one per engine version,
each naming its engine, the same files otherwise; only the files an engine project builds, each of them one that
this build compiles, and nothing in them that only the stand-in has.

Usage: PackageTest.py --source-dir <checkout> --build-dir <configured and built tree> [unittest options]"""

import argparse
import json
import pathlib
import re
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile

PLUGIN = "OrvidaLiveLink"
MODULE_PREFIX = f"{PLUGIN}/Source/{PLUGIN}/"
ALLOWED = re.compile(
    rf"^{PLUGIN}/({PLUGIN}\.uplugin|Resources/Icon128\.png|Source/{PLUGIN}/({PLUGIN}\.Build\.cs|(Public|Private)/[A-Za-z0-9_/]+\.(h|cpp)))$")
# The standard headers the plug-in may include: general-purpose ones, plus the mutex, atomics and clock it is
# allowed. Networking, threads and JSON come from the engine's modules; a new entry here is a deliberate choice.
STANDARD_HEADERS = {"algorithm", "atomic", "cfloat", "chrono", "climits", "cmath", "cstddef", "cstdint", "cstring",
                    "iterator", "limits", "mutex", "type_traits", "utility"}
INCLUDE = re.compile(r'^[ \t]*#[ \t]*include[ \t]*([<"])([^>"]+)[>"]', re.M)
# Comments, string and character literals: what is left is code whose names count.
NOT_CODE = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'', re.S)
IDENTIFIER = re.compile(r"\b[A-Za-z_][A-Za-z0-9_]*\b")

SOURCE_DIR = None
BUILD_DIR = None


# Archive suffix -> the EngineVersion its descriptor must name.
ENGINES = {"UE4.27": "4.27.0", "UE5.0": "5.0.0", "UE5.1": "5.1.0", "UE5.2": "5.2.0", "UE5.3": "5.3.0", "UE5.4": "5.4.0",
           "UE5.5": "5.5.0"}


def build_archives(output_dir):
    """Engine suffix -> {entry name: bytes} of each archive package.py wrote."""
    subprocess.run([sys.executable, str(SOURCE_DIR / "Scripts" / "package.py"), "--output-dir", str(output_dir)], check=True,
                   capture_output=True, text=True)
    archives = {}
    for path in pathlib.Path(output_dir).glob(f"{PLUGIN}-*.zip"):
        suffix = path.stem.rsplit("-", 1)[1]
        with zipfile.ZipFile(path) as archive:
            archives[suffix] = {name: archive.read(name) for name in archive.namelist() if not name.endswith("/")}
    return archives


def stand_in_names():
    names = set()
    for line in (SOURCE_DIR / "Engine" / "StandIn.txt").read_text(encoding="utf-8").splitlines():
        line = line.split("#", 1)[0].strip()
        if line:
            names.add(line)
    return names


def engine_headers():
    """Every engine header by its include path, with the stand-in module that holds it."""
    headers = {}
    for public in sorted(SOURCE_DIR.glob("Engine/*/Public")):
        for header in public.rglob("*.h"):
            headers[header.relative_to(public).as_posix()] = public.parent.name
    return headers


def build_cs_modules(text):
    return set(re.findall(r'"([A-Za-z0-9_]+)"', text.split("DependencyModuleNames", 1)[1]))


def compiled_sources():
    with open(BUILD_DIR / "compile_commands.json", encoding="utf-8") as commands:
        return {pathlib.Path(entry["file"]).resolve() for entry in json.load(commands)}


def header_dependencies():
    """Every header some object of this build was compiled with, as ninja recorded it."""
    deps = subprocess.run(["ninja", "-C", str(BUILD_DIR), "-t", "deps"], check=True, capture_output=True, text=True).stdout
    return {(BUILD_DIR / line.strip()).resolve() for line in deps.splitlines() if line.startswith("    ")}


class PackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with tempfile.TemporaryDirectory() as output_dir:
            cls.archives = build_archives(output_dir)
        cls.files = cls.archives.get("UE4.27", {})
        cls.sources = {name: data.decode("utf-8") for name, data in cls.files.items() if name.endswith((".h", ".cpp"))}

    def test_one_archive_per_engine_each_naming_its_engine(self):
        self.assertEqual(sorted(self.archives), sorted(ENGINES))
        descriptor_name = f"{PLUGIN}/{PLUGIN}.uplugin"
        for suffix, files in self.archives.items():
            with self.subTest(engine=suffix):
                self.assertEqual(json.loads(files[descriptor_name])["EngineVersion"], ENGINES[suffix])
                # One source for every engine: nothing else differs from the 4.27 archive.
                self.assertEqual({name: data for name, data in files.items() if name != descriptor_name},
                                 {name: data for name, data in self.files.items() if name != descriptor_name})
                self.assertEqual({key: value for key, value in json.loads(files[descriptor_name]).items() if key != "EngineVersion"},
                                 {key: value for key, value in json.loads(self.files[descriptor_name]).items() if key != "EngineVersion"})

    def test_holds_only_what_an_engine_project_builds(self):
        strays = sorted(name for name in self.files if not ALLOWED.match(name))
        self.assertEqual(strays, [], "files an engine project would not build, or would build by mistake")
        for required in (f"{PLUGIN}.uplugin", "Resources/Icon128.png", f"Source/{PLUGIN}/{PLUGIN}.Build.cs"):
            self.assertIn(f"{PLUGIN}/{required}", self.files)
        self.assertTrue(any(name.endswith(".cpp") for name in self.sources))

        descriptor = json.loads(self.files[f"{PLUGIN}/{PLUGIN}.uplugin"])
        self.assertEqual([module["Name"] for module in descriptor["Modules"]], [PLUGIN])
        build_cs = self.files[f"{MODULE_PREFIX}{PLUGIN}.Build.cs"].decode("utf-8")
        # C++17 asked of 4.27 alone: later engines compile C++20 and may refuse a lower standard.
        self.assertRegex(build_cs, r"if\s*\(\s*Target\.Version\.MajorVersion\s*==\s*4\s*\)\s*\{\s*CppStandard\s*=\s*CppStandardVersion\.Cpp17\s*;\s*\}")
        self.assertEqual(len(re.findall(r"CppStandard\s*=", build_cs)), 1)

        icon = self.files[f"{PLUGIN}/Resources/Icon128.png"]
        self.assertEqual(icon[:8], b"\x89PNG\r\n\x1a\n")
        self.assertEqual(icon[12:16], b"IHDR")
        self.assertEqual(struct.unpack(">II", icon[16:24]), (128, 128))

    def test_every_source_file_is_one_this_build_compiles(self):
        compiled = compiled_sources()
        headers = header_dependencies()
        for name, data in self.files.items():
            if not name.endswith((".h", ".cpp")):
                continue
            path = (SOURCE_DIR / name[len(PLUGIN) + 1:]).resolve()
            self.assertEqual(path.read_bytes(), data, f"{name} differs from the tree")
            if name.endswith(".cpp"):
                self.assertTrue(path in compiled, f"{name} ships but the build does not compile it")
            else:
                self.assertTrue(path in headers, f"{name} ships but nothing this build compiles includes it")

    def test_includes_reach_only_the_module_and_the_engine_modules_it_names(self):
        engine = engine_headers()
        build_cs = build_cs_modules(self.files[f"{MODULE_PREFIX}{PLUGIN}.Build.cs"].decode("utf-8"))
        shipped = {name[len(MODULE_PREFIX):] for name in self.sources}
        reachable = shipped | {path.split("/", 1)[1] for path in shipped}
        header_tool = {pathlib.PurePosixPath(name).stem + ".generated.h" for name in self.sources if name.endswith(".h")}
        for name, text in self.sources.items():
            for kind, include in INCLUDE.findall(text):
                where = f"{name} includes {include}"
                self.assertFalse(include.startswith("StandIn/"), f"{where}, which only the stand-in has")
                if kind == "<":
                    self.assertIn(include, STANDARD_HEADERS, f"{where}, a standard header the plug-in does not use")
                elif include.endswith(".generated.h"):
                    self.assertIn(include, header_tool, f"{where}, which the header tool does not write")
                elif include not in reachable:
                    self.assertIn(include, engine, f"{where}, which neither the module nor the engine has")
                    self.assertIn(engine[include], build_cs, f"{where}, from a module that Build.cs does not name")

    def test_uses_no_name_only_the_stand_in_has(self):
        names = stand_in_names()
        for name, text in self.sources.items():
            code = NOT_CODE.sub(" ", INCLUDE.sub(" ", text))
            used = sorted(names.intersection(IDENTIFIER.findall(code)))
            self.assertEqual(used, [], f"{name} uses what only the stand-in has")

    def test_every_listed_stand_in_name_is_declared_in_a_stand_in_header(self):
        # A name left in the list after its declaration moved or went would make the check above look stronger
        # than it is.
        stand_in_text = "\n".join(header.read_text(encoding="utf-8") for header in SOURCE_DIR.glob("Engine/*/Public/StandIn/**/*.h"))
        declared = set(IDENTIFIER.findall(NOT_CODE.sub(" ", stand_in_text)))
        self.assertEqual(sorted(stand_in_names() - declared), [])


if __name__ == "__main__":
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--source-dir", required=True)
    parser.add_argument("--build-dir", required=True)
    arguments, rest = parser.parse_known_args()
    SOURCE_DIR = pathlib.Path(arguments.source_dir).resolve()
    BUILD_DIR = pathlib.Path(arguments.build_dir).resolve()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
