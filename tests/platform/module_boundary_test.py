#!/usr/bin/env python3
# The module sees the platform only through the stand-ins' SDK face: this
# compiles small files with the exact command line the build uses for a module
# source (from compile_commands.json) and checks that
#  - every SDK-face header compiles there on its own (so an SDK header that
#    leans on a control or private header is caught too), and
#  - every control-face and private platform header is not found there, so a
#    module file that includes one fails to build.
# A module source that names a platform header by its path ("platform/...")
# would slip past the include path, so the module's sources are searched for it.
import json
import os
import pathlib
import shlex
import subprocess
import sys
import tempfile

SOURCE = pathlib.Path(os.environ.get("GW_SOURCE_DIR", pathlib.Path(__file__).resolve().parents[2]))
BUILD = pathlib.Path(os.environ["GW_BIN_DIR"]).parent if "GW_BIN_DIR" in os.environ else SOURCE / "build"
MODULE_DIRS = ["app", "cmd", "automation", "export", "import", "livelink", "settings", "ui"]
PLATFORM = SOURCE / "platform"


def module_command():
    """The compiler and flags of one module source, without its input and outputs."""
    entries = json.loads((BUILD / "compile_commands.json").read_text())
    for entry in entries:
        path = pathlib.Path(entry["file"])
        try:
            rel = path.resolve().relative_to(SOURCE.resolve())
        except ValueError:
            continue
        if rel.parts[0] in MODULE_DIRS and "CMakeFiles/gwell_core.dir" in entry.get("output", entry["command"]):
            args = shlex.split(entry["command"]) if "command" in entry else entry["arguments"]
            kept, skip = [], False
            for arg in args:
                if skip:
                    skip = False
                    continue
                if arg in ("-o", "-MF", "-MT", "-MQ"):
                    skip = True
                    continue
                if arg in ("-c", "-MD", "-MMD") or arg == entry["file"] or arg.endswith(str(rel)):
                    continue
                kept.append(arg)
            return kept, entry["directory"]
    sys.exit("no module source in compile_commands.json")


def compile_probe(command, directory, text):
    with tempfile.TemporaryDirectory() as tmp:
        probe = pathlib.Path(tmp) / "probe.cpp"
        probe.write_text(text)
        result = subprocess.run(command + ["-fsyntax-only", str(probe)], cwd=directory,
                                capture_output=True, text=True)
        return result.returncode, result.stderr


def headers(folder_glob):
    return sorted(p for p in PLATFORM.glob(folder_glob) if p.suffix in (".h", ".tlh"))


def main():
    command, directory = module_command()
    failures = []

    sdk = headers("*/include/*")
    if len(sdk) < 20:
        failures.append(f"only {len(sdk)} SDK-face headers found under platform/*/include")
    for header in sdk:
        status, err = compile_probe(command, directory, f"#include <{header.name}>\n")
        if status != 0:
            failures.append(f"SDK header {header.relative_to(PLATFORM)} does not compile as the module sees it:\n{err}")

    hidden = headers("control/*") + headers("*/control/*") + headers("*/*.h") + headers("*.h")
    if not any(h.name == "message_box.h" for h in hidden):
        failures.append("control face lacks message_box.h: the probe list is wrong")
    for header in hidden:
        status, err = compile_probe(command, directory, f"#include <{header.name}>\nint main() {{}}\n")
        if status == 0:
            failures.append(f"the module can include {header.relative_to(PLATFORM)}")
        elif header.name not in err or "No such file" not in err:
            failures.append(f"{header.relative_to(PLATFORM)} failed for another reason than not being found:\n{err}")

    for folder in MODULE_DIRS:
        for source in sorted((SOURCE / folder).rglob("*")):
            if source.suffix not in (".h", ".cpp"):
                continue
            for number, line in enumerate(source.read_text(errors="replace").splitlines(), 1):
                stripped = line.strip()
                if stripped.startswith("#include") and ("platform/" in stripped):
                    failures.append(f"{source.relative_to(SOURCE)}:{number}: includes a platform header by path")

    print(f"{len(sdk)} SDK-face headers compile for the module; {len(hidden)} control and private headers checked out of its reach")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
