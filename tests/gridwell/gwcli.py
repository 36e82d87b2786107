"""What the gridwell end-to-end tests share: the program, a scratch folder
with its own options store (so that no test reads or writes the user's),
drawings made with ezdxf, and the check/finish reporting the shell harness
uses."""
import os
import subprocess
import tempfile

import ezdxf

BIN = os.environ["GW_BIN_DIR"]
SOURCE = os.environ["GW_SOURCE_DIR"]
GRIDWELL = os.path.join(BIN, "gridwell")
SAMPLE = os.path.join(SOURCE, "samples", "sample.dxf")

_failures = []
_passes = [0]


def check(description, ok, detail=""):
    if ok:
        _passes[0] += 1
        print(f"ok - {description}")
    else:
        _failures.append(description)
        print(f"FAILED - {description}" + (f": {detail}" if detail else ""))


def finish():
    print(f"{_passes[0]} passed, {len(_failures)} failed")
    raise SystemExit(1 if _failures else 0)


class Scratch:
    """A folder removed at the end, and the environment that keeps the
    options store inside it."""

    def __init__(self):
        self._dir = tempfile.TemporaryDirectory()
        self.path = self._dir.name
        self.env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(self.path, "config"))
        self.store = os.path.join(self.path, "config", "gridwell", "user.reg")

    def file(self, *parts):
        return os.path.join(self.path, *parts)

    def copy_sample(self, name="sample.dxf"):
        target = self.file(name)
        with open(SAMPLE, "rb") as source, open(target, "wb") as out:
            out.write(source.read())
        return target

    def run(self, *args, stdin=subprocess.DEVNULL, timeout=120):
        return subprocess.run([GRIDWELL, *args], cwd=self.path, env=self.env, stdin=stdin,
                              capture_output=True, text=True, timeout=timeout)

    def listing(self):
        """Every file under the folder (the store's folder aside) with its bytes."""
        found = {}
        for root, _, files in os.walk(self.path):
            if root.startswith(os.path.join(self.path, "config")):
                continue
            for name in files:
                path = os.path.join(root, name)
                if not os.path.isfile(path):  # a FIFO would be waited on
                    found[os.path.relpath(path, self.path)] = "not a regular file"
                    continue
                try:
                    with open(path, "rb") as f:
                        found[os.path.relpath(path, self.path)] = f.read()
                except OSError:
                    found[os.path.relpath(path, self.path)] = None
        return found


def one_line_error(result, status, *words):
    """A refusal as the issue asks it: the status, one line on stderr that
    names each of `words`, and nothing on stdout."""
    lines = result.stderr.strip().splitlines()
    problems = []
    if result.returncode != status:
        problems.append(f"exit {result.returncode}, not {status}")
    if len(lines) != 1:
        problems.append(f"{len(lines)} lines on stderr")
    for word in words:
        if word not in result.stderr:
            problems.append(f"stderr does not name {word!r}")
    if result.stdout:
        problems.append("output on stdout")
    return not problems, "; ".join(problems) + " | " + result.stderr.strip()


def make_drawing(path, blocks, references_per_block, version="R2000"):
    """A drawing with blocks named `blocks`, each with the attributes TAG and
    NOTE, and `references_per_block` references each in model space, their
    TAG texts numbered. Returns the handles per block in drawing order."""
    doc = ezdxf.new(version)
    msp = doc.modelspace()
    handles = {}
    for b, name in enumerate(blocks):
        block = doc.blocks.new(name=name)
        block.add_line((0, 0), (1, 1))
        block.add_attdef("TAG", (0, 0), dxfattribs={"height": 1})
        block.add_attdef("NOTE", (0, 2), dxfattribs={"height": 1})
        for i in range(references_per_block):
            insert = msp.add_blockref(name, (i * 10, b * 10))
            insert.add_auto_attribs({"TAG": f"{name}-{i}", "NOTE": "n"})
            handles.setdefault(name, []).append(insert.dxf.handle)
    doc.saveas(path)
    return handles
