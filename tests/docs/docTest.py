#!/usr/bin/env python3
"""Runs the examples of a Markdown document the way a reader would.

Every fenced code block of the document must be preceded by a marker, an HTML comment that the
rendered page does not show:

  <!-- test: file NAME -->          the block is written to NAME (a later block may replace it)
  <!-- test: file NAME build -->    ... and `kiv build NAME` must print nothing but its summary
                                    line with 0 errors and 0 warnings, and the unit it writes
                                    must compile
  <!-- test: file NAME compile -->  ... and the program is compiled with fpc, which must succeed
  <!-- test: run -->                a shell session: each "$ " line is run with bash, and what it
                                    prints (standard output and error together) must equal the
                                    lines below it up to the next "$ " line
  <!-- test: skip -->               shown only (a command that installs or a sketch of a form)

Blocks run in document order in one fresh folder, so a session sees the files written before it.
`kiv` is the command under test (its folder comes first on PATH) and KIV_RUNTIME names the
Pascal runtime folder, as the documents tell the reader to set it.

Usage: docTest.py --kiv KIV --runtime DIR --fpc FPC --work DIR DOCUMENT.md
       docTest.py --kiv KIV --man MANPAGE      (every option of `kiv --help` is in the man page
                                                and every option of the man page in the help)
"""

import argparse
import os
import re
import shutil
import subprocess
import sys

MARKER = re.compile(r"^<!--\s*test:\s*(.*?)\s*-->\s*$")
FENCE = re.compile(r"^(```+|~~~+)(.*)$")
COMMAND_TIMEOUT = 120


class Failure(Exception):
    pass


def read_blocks(path):
    """Yields (line number, marker or None, block text) for every fenced block."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    pending = None
    i = 0
    while i < len(lines):
        line = lines[i]
        marker = MARKER.match(line)
        if marker:
            pending = (i + 1, marker.group(1))
            i += 1
            continue
        fence = FENCE.match(line)
        if fence:
            closing = fence.group(1)
            start = i + 1
            body = []
            i += 1
            while i < len(lines) and not lines[i].startswith(closing):
                body.append(lines[i])
                i += 1
            if i >= len(lines):
                raise Failure(f"{path}:{start}: code block is not closed")
            marker_text = None
            if pending is not None and pending[0] == start - 1:
                marker_text = pending[1]
            yield start, marker_text, "\n".join(body) + "\n"
            pending = None
        elif line.strip():
            pending = None
        i += 1


def normalized(text):
    lines = [l.rstrip() for l in text.replace("\r\n", "\n").split("\n")]
    while lines and not lines[-1]:
        lines.pop()
    return lines


def run_shell(command, work, env):
    try:
        done = subprocess.run(["bash", "-c", command], cwd=work, env=env, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, timeout=COMMAND_TIMEOUT)
    except subprocess.TimeoutExpired:
        raise Failure(f"command did not end within {COMMAND_TIMEOUT} s: {command}")
    return done.returncode, done.stdout.decode("latin-1")


def difference(expected, actual):
    out = ["expected:"] + ["  | " + l for l in expected] + ["printed:"] + ["  | " + l for l in actual]
    return "\n".join(out)


def session(text, where, work, env):
    """Runs the "$ " lines of a shell session and compares what each prints."""
    steps = []
    for line in text.split("\n"):
        if line.startswith("$ "):
            steps.append((line[2:], []))
        elif steps:
            steps[-1][1].append(line)
        elif line.strip():
            raise Failure(f"{where}: a session starts with a \"$ \" line, not with: {line}")
    if not steps:
        raise Failure(f"{where}: the session holds no command")
    for command, expected in steps:
        _, printed = run_shell(command, work, env)
        want, got = normalized("\n".join(expected)), normalized(printed)
        if want != got:
            raise Failure(f"{where}: `{command}` printed something else\n{difference(want, got)}")


def build_grammar(name, where, work, env, fpc):
    status, printed = run_shell(f"kiv build '{name}'", work, env)
    stem = os.path.splitext(os.path.basename(name))[0]
    want = [f"{stem}: 0 Error(s), 0 Warning(s)"]
    got = normalized(printed)
    if status != 0 or got != want:
        raise Failure(f"{where}: `kiv build {name}` did not build cleanly (exit {status})\n"
                      f"{difference(want, got)}")
    with open(os.path.join(work, name), encoding="latin-1") as f:
        unit = re.search(r"^\s*unit\s+(\w+)\s*;", f.read(), re.M)
    if unit:
        compile_program(os.path.join(os.path.dirname(name), unit.group(1) + ".pas"), where, work, env, fpc)


def compile_program(name, where, work, env, fpc):
    units = os.path.join(work, ".units")
    os.makedirs(units, exist_ok=True)
    command = [fpc, "-Mdelphi", "-Cr", "-Co", "-v0", "-l-", "-Fu" + env["KIV_RUNTIME"], "-FU" + units, name]
    done = subprocess.run(command, cwd=work, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          timeout=COMMAND_TIMEOUT)
    if done.returncode != 0:
        raise Failure(f"{where}: {name} does not compile\n{done.stdout.decode('latin-1')}")


def run_document(doc, args):
    work = os.path.abspath(args.work)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    env = dict(os.environ)
    env["PATH"] = os.path.dirname(os.path.abspath(args.kiv)) + os.pathsep + env.get("PATH", "")
    env["KIV_RUNTIME"] = os.path.abspath(args.runtime)
    env["LC_ALL"] = "C"
    blocks = 0
    for line, marker, text in read_blocks(doc):
        where = f"{os.path.basename(doc)}:{line}"
        if marker is None:
            raise Failure(f"{where}: code block without a test marker (file, run or skip)")
        words = marker.split()
        kind = words[0] if words else ""
        if kind == "skip":
            continue
        blocks += 1
        if kind == "run" and len(words) == 1:
            session(text, where, work, env)
        elif kind == "file" and len(words) in (2, 3):
            name = words[1]
            path = os.path.join(work, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w", encoding="latin-1", newline="\n") as f:
                f.write(text)
            action = words[2] if len(words) == 3 else None
            if action == "build":
                build_grammar(name, where, work, env, args.fpc)
            elif action == "compile":
                compile_program(name, where, work, env, args.fpc)
            elif action is not None:
                raise Failure(f"{where}: unknown action '{action}' in marker '{marker}'")
        else:
            raise Failure(f"{where}: unknown marker '{marker}'")
    print(f"{os.path.basename(doc)}: {blocks} example block(s) passed")


OPTION = re.compile(r"(?<![\w\\-])(--?[A-Za-z][\w-]*)")


def help_options(kiv):
    """The options and commands that `kiv --help` (and `kiv COMMAND --help`) name."""
    status, text = run_shell(f"'{kiv}' --help", None, dict(os.environ))
    if status != 0:
        raise Failure(f"`kiv --help` failed with exit {status}")
    commands = sorted(set(re.findall(r"^\s*(?:Usage:\s*)?kiv\s+([a-z][\w-]*)", text, re.M)))
    options = set(OPTION.findall(text))
    for command in commands:
        status, more = run_shell(f"'{kiv}' {command} --help", None, dict(os.environ))
        if status == 0:
            options |= set(OPTION.findall(more))
    return set(commands), options


def man_options(path):
    """The text of the man page, and the options its SYNOPSIS and OPTIONS sections name (other
    sections may mention options of other programs, such as fpc's)."""
    with open(path, encoding="latin-1") as f:
        text = f.read()
    text = re.sub(r"\\f[BIRP]", "", text).replace("\\-", "-").replace("\\(em", " ")
    lines = [l for l in text.split("\n") if not l.startswith(('.\\"', "'\\\""))]
    body = "\n".join(l for l in lines if not re.match(r"^\.(TH|so)\b", l))
    options = set()
    section = ""
    for line in lines:
        heading = re.match(r"^\.SH\s+\"?([^\"]*)\"?", line)
        if heading:
            section = heading.group(1).strip().upper()
        elif section in ("SYNOPSIS", "OPTIONS"):
            options |= set(OPTION.findall(line))
    return body, options


def check_man_page(args):
    commands, helped = help_options(args.kiv)
    body, documented = man_options(args.man)
    problems = []
    for option in sorted(helped - documented):
        problems.append(f"`kiv --help` names {option}, the man page does not")
    for option in sorted(documented - helped):
        problems.append(f"the man page names {option}, `kiv --help` does not")
    for command in sorted(commands):
        if not re.search(r"\bkiv\s+" + re.escape(command) + r"\b", body):
            problems.append(f"`kiv --help` names the command '{command}', the man page does not")
    if problems:
        raise Failure("man page and --help disagree:\n  " + "\n  ".join(problems))
    print(f"man page: {len(helped)} option(s) and {len(commands)} command(s) agree with kiv --help")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--kiv", required=True)
    parser.add_argument("--runtime")
    parser.add_argument("--fpc", default="fpc")
    parser.add_argument("--work")
    parser.add_argument("--man")
    parser.add_argument("document", nargs="?")
    args = parser.parse_args()
    try:
        if args.man:
            check_man_page(args)
        else:
            if not (args.document and args.work and args.runtime):
                parser.error("a document needs --work and --runtime")
            run_document(args.document, args)
    except Failure as failure:
        print(f"FAIL {failure}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
