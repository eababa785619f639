#!/usr/bin/env python3
"""Compiles each of the plug-in's sources the ways an engine project builds them, which the project's own
g++ build does not: in the engine's standard (C++17 for 4.27, C++20 for 5.x) with g++ and with clang (the Linux
editor's compiler), warnings as errors, and once more with TCHAR as Windows' 16-bit wchar_t (most users'
editors are built with MSVC).

Include paths, definitions and warning options come from the build's compile_commands.json, so the check
follows the module wherever its build description puts it. A source that the build does not compile is an
error, not a skip: it would otherwise go unchecked.
"""
import argparse
import concurrent.futures
import json
import os
import shlex
import subprocess
import sys

# (mode, compiler, the flags that make the mode). Both compilers take some C++20 in C++17 mode as a silent
# extension, which MSVC's C++17 refuses; -Wc++20-extensions makes them say so. g++ keeps quiet about designated
# initializers short of -Wpedantic, which also rejects engine idioms (UE_LOG with no arguments, a union's
# anonymous struct), so the clang modes are the ones that catch those. g++ compiles optimized, as editors are
# built, because some of its warnings (maybe-uninitialized, the string-operation overflows) come only from the
# optimizer; clang warns from its front end alone, so syntax is enough there.
# Windows is checked with -fshort-wchar and PLATFORM_TCHAR_IS_CHAR16=0, which make TCHAR a 16-bit wchar_t as
# under MSVC while keeping the GNU standard library the build uses: a -target x86_64-pc-windows-msvc run would
# need MSVC's own headers, absent here.
def modes(standard):
    common = [f"-std={standard}", "-Wc++20-extensions", "-Werror"]
    name = standard.replace("c", "C", 1)
    return [
        (f"g++ {name}", "gxx", common + ["-Wall", "-Wextra", "-O2", "-c", "-o", os.devnull]),
        (f"clang++ {name}", "clangxx", common + ["-Wall", "-Wextra", "-fsyntax-only"]),
        (f"clang++ {name}, TCHAR as 16-bit wchar_t", "clangxx",
         common + ["-fsyntax-only", "-fshort-wchar", "-DPLATFORM_TCHAR_IS_CHAR16=0"]),
    ]

# Options taken from the build's command: where headers are, what is defined, and which warnings it has off.
TAKEN_WITH_VALUE = ("-I", "-isystem", "-iquote", "-D", "-U", "-include")


def build_options(arguments):
    """The include, definition and warning options of one compile command, in their order."""
    options = []
    index = 0
    while index < len(arguments):
        argument = arguments[index]
        if argument in TAKEN_WITH_VALUE and index + 1 < len(arguments):
            options += [argument, arguments[index + 1]]
            index += 1
        elif argument.startswith(TAKEN_WITH_VALUE) or (argument.startswith("-W") and not argument.startswith("-Wl,")):
            options.append(argument)
        index += 1
    return options


def plugin_sources(module_folder):
    """Every .cpp under the module's Public/ and Private/ folders: what the engine's build compiles."""
    sources = []
    for folder in ("Public", "Private"):
        for root, _, files in os.walk(os.path.join(module_folder, folder)):
            sources += [os.path.realpath(os.path.join(root, name)) for name in files if name.endswith(".cpp")]
    return sorted(sources)


def commands_by_file(compile_commands_path):
    """Source path -> (the folder its command runs in, the options build_options keeps)."""
    with open(compile_commands_path) as file:
        entries = json.load(file)
    commands = {}
    for entry in entries:
        arguments = entry["arguments"] if "arguments" in entry else shlex.split(entry["command"])
        path = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
        commands[path] = (entry["directory"], build_options(arguments))
    return commands


def compile_source(compiler, directory, options, mode_flags, source):
    command = [compiler] + mode_flags + options + [source]
    result = subprocess.run(command, cwd=directory, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return result.returncode, command, result.stdout


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--compile-commands", required=True)
    parser.add_argument("--module", required=True, help="the plug-in module's folder")
    parser.add_argument("--gxx", required=True)
    parser.add_argument("--clangxx", required=True)
    parser.add_argument("--std", default="c++17", help="the engine's standard: c++17 for 4.27, c++20 for 5.x")
    arguments = parser.parse_args()
    compile_modes = modes(arguments.std)
    compilers = {"gxx": arguments.gxx, "clangxx": arguments.clangxx}

    sources = plugin_sources(arguments.module)
    if not sources:
        print(f"No .cpp under {arguments.module}/Public or Private: is --module the plug-in's folder?")
        return 1
    if not os.path.isfile(arguments.compile_commands):
        print(f"No {arguments.compile_commands}: the build exports it with CMAKE_EXPORT_COMPILE_COMMANDS on.")
        return 1
    commands = commands_by_file(arguments.compile_commands)
    missing = [source for source in sources if source not in commands]
    if missing:
        print(f"Not compiled by the build (absent from {arguments.compile_commands}), so not checked:")
        print("\n".join("  " + source for source in missing))
        return 1

    # Two at a time: these machines have two cores, shared with other builds.
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        jobs = [(source, mode, pool.submit(compile_source, compilers[compiler], *commands[source], flags, source))
                for mode, compiler, flags in compile_modes for source in sources]
        failures = 0
        for source, mode, job in jobs:
            return_code, command, output = job.result()
            if return_code != 0:
                failures += 1
                print(f"FAILED [{mode}] {os.path.relpath(source, arguments.module)}")
                print("  " + shlex.join(command))
                print(output)
    print(f"{len(jobs) - failures} of {len(jobs)} compiles passed ({len(sources)} sources, {len(compile_modes)} modes)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
