#!/usr/bin/env python3
# Keeps speculative API out of the platform library. It lists the library's
# exported functions and data that neither the module (gwell16.arx), gwhost
# nor a system module of the platform (hhctrl.ocx) imports. Such a name is fine when the library calls it itself (its own calls
# to an exported function go through a dynamic relocation), when a test
# program or a tool of the project imports it (a test of a stand-in's native
# behaviour, or a control the tests use), or when platform/exports_allowed.txt
# names it with the reason it is kept. Any other name fails the test: nothing
# calls it, so it goes. An allow-list line that no longer names such a
# function fails too, so the list stays small.
#
# Names compare without their parameters, so one line covers the overloads
# and a constructor's or destructor's several symbols. Only out-of-line
# definitions count: inline and template code (weak symbols) is emitted only
# where it is used, and the C++ library's copies, vtables, type information
# and thunks follow from the classes.
import os
import pathlib
import re
import subprocess
import sys

SOURCE = pathlib.Path(os.environ.get("GW_SOURCE_DIR", pathlib.Path(__file__).resolve().parents[2]))
BIN = pathlib.Path(os.environ.get("GW_BIN_DIR", SOURCE / "build" / "bin"))
ALLOW_LIST = SOURCE / "platform" / "exports_allowed.txt"
NOT_API = re.compile(r"^(typeinfo|vtable|construction vtable|VTT|guard variable|non-virtual thunk|virtual thunk"
                     r"|transaction clone)\b|(^|[ *&(<,])(std|__gnu_cxx|__cxxabiv1)::")
ENV = dict(os.environ, LC_ALL="C")


LINKER_NAMES = {"__bss_start", "_edata", "_end", "_init", "_fini"}


def symbols(path, which, strong_only=False):
    out = subprocess.run(["nm", "-D", which, str(path)], capture_output=True, text=True, env=ENV, check=True).stdout
    names = set()
    for line in out.splitlines():
        fields = line.split()
        if not fields:
            continue
        if strong_only and fields[-2] not in "TDBRi":
            continue
        names.add(fields[-1].split("@")[0])
    return names - LINKER_NAMES


def relocated(path):
    """Names the library's own dynamic relocations refer to: what it calls or points at itself."""
    out = subprocess.run(["readelf", "-rW", str(path)], capture_output=True, text=True, env=ENV, check=True).stdout
    names = set()
    for line in out.splitlines():
        fields = line.split()
        if len(fields) >= 5 and fields[0][:1] in "0123456789abcdef" and not re.fullmatch(r"[0-9a-f]+", fields[4]):
            names.add(fields[4].split("@")[0])
    return names


def demangle(names):
    ordered = sorted(names)
    out = subprocess.run(["c++filt"], input="\n".join(ordered), capture_output=True, text=True, env=ENV,
                         check=True).stdout.splitlines()
    return dict(zip(ordered, out))


def api_name(demangled):
    """The qualified name without parameters: one allow-list line covers its overloads."""
    depth = 0
    for i, c in enumerate(demangled):
        if c == "<":
            depth += 1
        elif c == ">":
            depth -= 1
        elif c == "(" and depth == 0 and i > 0:
            return demangled[:i]
    return demangled


def main():
    library = BIN / "libgwplatform.so"
    # The system modules built beside the host (hhctrl.ocx) import from the
    # library as the module does.
    module_and_host = [BIN / "gwell16.arx", BIN / "gwhost", BIN / "hhctrl.ocx"]
    others = sorted(p for p in BIN.iterdir()
                    if p.name.startswith("test_") or p.name.endswith("_bench") or p.name == "drawing_edit")
    for path in [library] + module_and_host:
        if not path.exists():
            sys.exit(f"missing {path}: build the project first")
    if not any(p.name.startswith("test_") for p in others):
        sys.exit("no test programs found in " + str(BIN))

    exported = symbols(library, "--defined-only", strong_only=True)
    imported = set().union(*(symbols(p, "--undefined-only") for p in module_and_host))
    used_elsewhere = set().union(*(symbols(p, "--undefined-only") for p in others)) | relocated(library)
    names = demangle(exported | imported | used_elsewhere)

    allowed = {}
    for number, line in enumerate(ALLOW_LIST.read_text().splitlines(), 1):
        entry = line.split("#", 1)[0].strip()
        if entry:
            allowed[entry] = number

    def api(symbol_set):
        return {api_name(names[s]) for s in symbol_set if not NOT_API.search(names[s])}

    not_imported = api(exported) - api(exported & imported)
    by_tests = not_imported & api(exported & used_elsewhere)
    unexplained = sorted(n for n in not_imported - by_tests if n not in allowed)
    stale = sorted(n for n in allowed if n not in not_imported - by_tests)

    print(f"{len(not_imported)} exported platform names are not imported by the module or gwhost:")
    print(f"  {len(by_tests)} are used by the library itself, the test programs or tools;"
          f" {len(allowed) - len(stale)} are allow-listed")
    for name in unexplained:
        print(f"FAIL: nothing imports {name}: remove it, or allow-list it with the reason")
    for name in stale:
        print(f"FAIL: {ALLOW_LIST.name}:{allowed[name]}: {name} is no longer an unused export; drop the line")
    return 1 if unexplained or stale else 0


if __name__ == "__main__":
    sys.exit(main())
