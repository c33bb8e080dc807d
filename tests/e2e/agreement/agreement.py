#!/usr/bin/env python3
"""The test rig and the compiled recognizer agree.

For each grammar set below, builds the grammars with kiv, compiles a Pascal driver that runs the
generated recognizers and prints every token the lexer hands out and the exception that ended the
run, and runs it and `kiv parse --format=json` on the same inputs: the samples (a file, or the
inputs of an end-to-end suite's cases), deterministic mutations of them (characters dropped,
doubled, replaced, the text cut short) and random bytes. Both must give the same tokens (type,
text, line, column), the same accepted/rejected outcome and, when rejected, the same exception
class, text, line and column.

The rig runs no action and no handler's code. A parser whose actions or predicates decide the
outcome is left out (its lexer is still compared), and a run in which such code showed its hand
(the driver sees it in the exception or in the grammar's log) is not compared; the summary counts
both.

    agreement.py --kiv KIV --fpc FPC --runtime RUNTIME_DIR --source SOURCE_ROOT --work DIR
"""

import argparse
import json
import os
import random
import re
import shutil
import subprocess
import sys

E2E = "tests/e2e"

# Each set: the grammars (built in order), the lexer's unit and class, the parser's (or none)
# with its constructor call (Stream is the token stream, Log a TStringList), what the driver sets
# up before the run, the start rule; the inputs: a sample file, or the cases of a suite with the
# given entries; skip: a run is not compared when the compiled run's error text or log holds it,
# skip_input: nor when its input holds it.
SETS = [
    dict(name="json", folder="examples/json", grammars=["jsonLexer.g", "jsonParser.g"],
         lexer=("jsonLexer", "TJsonLexer"), parser=("jsonParser", "TJsonParser", "Create(Stream, 1)"),
         rule="document", sample="sample.json", alphabet=b"{}[],:\"\\-+.eE0a \n\t@#\x00", mutations=60),
    dict(name="calc-lexer", folder="examples/calc", grammars=["calcLexer.g"], lexer=("calcLexer", "TCalcLexer"),
         sample="sample.calc", alphabet=b"{}[],:\"\\-+.eE0a \n\t@#\x00", mutations=60),
    # Actions set the text of a hexadecimal number ($) and of a string with \n.
    dict(name="scanner", folder=E2E + "/scanner", grammars=["ScanLexer.g"], lexer=("ScanLexer", "TScanLexer"),
         cases=["tokens"], skip_input=[b"$", b"\\n"]),
    # The parser's actions keep a table of variables and raise EkivSemantic for an unknown one.
    dict(name="keywords", folder=E2E + "/keywords", grammars=["KeyLexer.g", "KeyParser.g"],
         lexer=("KeyLexer", "TKeyLexer"), parser=("KeyParser", "TKeyParser", "Create(Stream, Log)"),
         rule="program", call="&program", cases=["tokens", "program"], skip=["unknown variable"]),
    dict(name="word-filter", folder=E2E + "/filter", grammars=["WordFilter.g"], lexer=("WordFilter", "TWordFilter"),
         cases=["words"]),
    dict(name="tag-filter", folder=E2E + "/filter", grammars=["TagFilter.g"], lexer=("TagFilter", "TTagFilter"),
         setup="Lexer.Reported := Log;", cases=["tags"]),
    # The parser's semantic predicates read what its actions declared: only the lexer is compared.
    dict(name="predicates-lexer", folder=E2E + "/predicates", grammars=["PredLexer.g"],
         lexer=("PredLexer", "TPredLexer"), cases=["script"], excluded="its predicates read its actions' tables"),
    dict(name="loops", folder=E2E + "/loops", grammars=["LoopLexer.g", "LoopParser.g"],
         lexer=("LoopLexer", "TLoopLexer"), parser=("LoopParser", "TLoopParser", "Create(Stream, 2)"),
         setup="Parser.Log := Log;", rule="script", cases=["script"]),
    # The check statement's handler skips to the next SEMI itself.
    dict(name="handlers", folder=E2E + "/handlers", grammars=["HandlerLexer.g", "HandlerParser.g"],
         lexer=("HandlerLexer", "THandlerLexer"), parser=("HandlerParser", "THandlerParser", "Create(Stream, 1)"),
         setup="Lexer.Log := Log; Parser.Log := Log;", rule="script", cases=["script"], skip=["check failed"]),
    dict(name="nest-lexer", folder=E2E + "/hostile", grammars=["NestLexer.g"], lexer=("NestLexer", "TNestLexer"),
         cases=["tokens"]),
    dict(name="nest-filter", folder=E2E + "/hostile", grammars=["NestFilter.g"], lexer=("NestFilter", "TNestFilter"),
         cases=["filter", "filter-small"]),
    dict(name="nest-recover", folder=E2E + "/hostile", grammars=["NestLexer.g", "NestParser.g"],
         lexer=("NestLexer", "TNestLexer"), parser=("NestParser", "TNestParser", "Create(Stream, 1)"),
         setup="Parser.Log := Log;", rule="script", cases=["recover", "recover-small"]),
]

# Inputs nested deeper than this are left out: the rig's stack guard and the compiled one's end
# such input at different depths.
MAX_REPEAT = 2000

DRIVER = r"""program agree;
{$MODE DELPHI}
uses SysUtils, Classes, kivTypes, kivToken, kivException, kivErrorText, LEXERUNIT PARSERUSES;
type
  TRecorder = class(TInterfacedObject, IkivTokenStream)
    FSource: IkivTokenStream;
    FDone: Boolean;
    function NextToken: IkivToken;
  end;
function Hex(const S: AnsiString): AnsiString;
var I: Integer;
begin
  Result := '';
  for I := 1 to Length(S) do Result := Result + IntToHex(Ord(S[I]), 2);
end;
function TRecorder.NextToken: IkivToken;
begin
  Result := FSource.NextToken;
  if not FDone then
    WriteLn('T ', Result.TokenType, ' ', Result.Line, ' ', Result.Column, ' ', Hex(Result.TokenText));
  if Result.TokenType = TT_EOF then FDone := True;
end;
var
  Input: TFileStream;
  Lexer: LEXERCLASS;
  Recorder: TRecorder;
  Stream: IkivTokenStream;
  Log: TStringList;
  Text: AnsiString;
  P, I: Integer;
PARSERVAR
begin
  Input := TFileStream.Create(ParamStr(1), fmOpenRead);
  Log := TStringList.Create;
  Lexer := LEXERCLASS.Create(Input);
  Recorder := TRecorder.Create;
  Recorder.FSource := Lexer;
  Stream := Recorder;
  try
    RUN
    WriteLn('OK');
  except
    on E: EkivException do
    begin
      Text := ErrorText(E);
      P := Pos('): ', Text);
      WriteLn('E ', E.ClassName, ' ', E.Line, ' ', E.Column, ' ', Hex(Copy(Text, P + 3, Length(Text))));
    end;
  end;
  for I := 0 to Log.Count - 1 do
    WriteLn('L ', Hex(Log[I]));
  Stream := nil;
  Log.Free;
  Input.Free;
end.
"""


def driver_source(s):
    lexer_unit, lexer_class = s["lexer"]
    text = DRIVER.replace("LEXERUNIT", lexer_unit).replace("LEXERCLASS", lexer_class)
    setup = s.get("setup", "")
    if "parser" in s:
        parser_unit, parser_class, create = s["parser"]
        text = text.replace("PARSERUSES", ", " + parser_unit).replace("PARSERVAR", "  Parser: " + parser_class + ";")
        text = text.replace("RUN", f"Parser := {parser_class}.{create}; try {setup} Parser.{s.get('call', s['rule'])}; "
                                   "finally Parser.Free; end;")
    else:
        text = text.replace("PARSERUSES", "").replace("PARSERVAR", "")
        text = text.replace("RUN", f"{setup} while Stream.NextToken.TokenType <> TT_EOF do ;")
    return text


def compiled_run(exe, path):
    out = subprocess.run([exe, path], stdout=subprocess.PIPE, timeout=30).stdout.decode("latin-1").split("\n")
    tokens, error, log = [], None, []
    for line in out:
        f = line.split(" ")
        if f[0] == "T":
            tokens.append((int(f[1]), int(f[2]), int(f[3]), bytes.fromhex(f[4] if len(f) > 4 else "").decode("latin-1")))
        elif f[0] == "E":
            error = (f[1], int(f[2]), int(f[3]), bytes.fromhex(f[4] if len(f) > 4 else "").decode("latin-1"))
        elif f[0] == "L":
            log.append(bytes.fromhex(f[1] if len(f) > 1 else "").decode("latin-1"))
    return tokens, error, log


def rig_runs(kiv, s, work, paths):
    """kiv parse over all inputs at once: one JSON object a line per input."""
    args = [kiv, "parse", "--format=json", "--tokens"]
    if "parser" in s:
        args += ["--lexer", s["grammars"][0], s["grammars"][-1], "--rule", s["rule"]]
    else:
        args += [s["grammars"][0]]
    done = subprocess.run(args + ["--"] + paths, cwd=work, stdout=subprocess.PIPE, timeout=300)
    results = []
    for line in done.stdout.decode("latin-1").splitlines():
        if not line.startswith("{"):
            continue
        result = json.loads(line)
        tokens = [(t["typeNumber"], t["line"], t["column"], t["text"]) for t in result["tokens"]]
        e = result["error"]
        error = (e["class"], e["line"], e["column"], e["text"]) if e else None
        results.append((tokens, error, result["end"]))
    return results


def expand(text):
    """The hostile suite's spelling: <NUL> is a zero byte, <N*text> is text repeated N times."""
    deepest = 0

    def repeat(m):
        nonlocal deepest
        deepest = max(deepest, int(m.group(1)))
        return m.group(2) * int(m.group(1))

    text = text.replace("<NUL>", "\0")
    text = re.sub(r"<(\d+)\*([^>]*)>", repeat, text)
    return text, deepest


def case_inputs(path, entries):
    """The inputs of a suite's cases with the given entries (each line ended by a line feed)."""
    inputs, current, reading = [], None, False
    with open(path, encoding="latin-1") as f:
        for line in f.read().split("\n"):
            m = re.match(r"=== (accept|reject) ([\w-]+): (.*)", line)
            if m:
                current = (m.group(2), m.group(3), []) if m.group(2) in entries else None
                reading = current is not None
                continue
            if reading and line == "---":
                inputs.append((current[1], "".join(l + "\n" for l in current[2])))
                reading = False
            elif reading:
                current[2].append(line)
    return inputs


def inputs(samples, rng, alphabet, mutations, randoms):
    for label, sample in samples:
        yield label, sample
        for n in range(mutations):
            b = bytearray(sample)
            if not b:
                break
            at = rng.randrange(len(b))
            kind = n % 4
            if kind == 0:
                del b[at]
            elif kind == 1:
                b.insert(at, b[at])
            elif kind == 2:
                b[at] = rng.choice(alphabet)
            else:
                b = b[:at]
            yield f"{label}, mutation {n}", bytes(b)
    for n in range(randoms):
        yield f"random {n}", bytes(rng.randrange(256) for _ in range(rng.randrange(1, 40)))


def main():
    ap = argparse.ArgumentParser()
    for o in ("--kiv", "--fpc", "--runtime", "--source", "--work"):
        ap.add_argument(o, required=True)
    a = ap.parse_args()
    failures, runs, skipped, left_out, grammars = 0, 0, 0, 0, set()
    for s in SETS:
        set_runs, set_skipped = runs, skipped
        name, folder = s["name"], os.path.join(a.source, s["folder"])
        work = os.path.join(a.work, name)
        shutil.rmtree(work, ignore_errors=True)
        os.makedirs(work)
        for g in s["grammars"]:
            shutil.copy(os.path.join(folder, g), work)
            subprocess.run([a.kiv, "build", "-q", g], cwd=work, check=True)
        grammars |= {os.path.join(s["folder"], g) for g in s["grammars"]}
        if "excluded" in s:
            left_out += 1
        with open(os.path.join(work, "agree.dpr"), "w") as f:
            f.write(driver_source(s))
        fpc = subprocess.run([a.fpc, "-Mdelphi", "-O1", "-Fu" + a.runtime, "-FU" + work, "agree.dpr"], cwd=work,
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        if fpc.returncode != 0:
            print(fpc.stdout.decode("latin-1"))
            print(f"FAIL {name}: the driver does not compile")
            return 1
        if "sample" in s:
            with open(os.path.join(folder, s["sample"]), "rb") as f:
                samples = [("sample", f.read())]
        else:
            samples = []
            for title, text in case_inputs(os.path.join(folder, "cases.txt"), s["cases"]):
                text, deepest = expand(text)
                if deepest > MAX_REPEAT:
                    skipped += 1
                    continue
                samples.append((title, text.encode("latin-1")))
        alphabet = s.get("alphabet") or bytes(sorted(set(b"".join(t for _, t in samples)) | set(b" \n\0")))
        rng = random.Random(20)
        cases = list(inputs(samples, rng, alphabet, s.get("mutations", 8), s.get("randoms", 10)))
        paths = []
        for n, (label, data) in enumerate(cases):
            path = os.path.join(work, f"input{n}.txt")
            with open(path, "wb") as f:
                f.write(data)
            paths.append(path)
        rig = rig_runs(a.kiv, s, work, paths)
        if len(rig) != len(paths):
            print(f"FAIL {name}: kiv parse printed {len(rig)} results for {len(paths)} inputs")
            failures += 1
            continue
        for (label, data), path, (got_tokens, got_error, end) in zip(cases, paths, rig):
            want_tokens, want_error, log = compiled_run(os.path.join(work, "agree"), path)
            shown = (want_error[3] if want_error else "") + "\n" + "\n".join(log)
            if any(k in shown for k in s.get("skip", [])) or any(k in data for k in s.get("skip_input", [])):
                skipped += 1
                continue
            runs += 1
            if want_tokens != got_tokens or want_error != got_error or end == "aborted":
                failures += 1
                print(f"FAIL {name} {label} ({data[:60]!r}...):")
                print(f"  compiled: {len(want_tokens)} tokens, error {want_error}")
                print(f"  rig:      {len(got_tokens)} tokens, error {got_error}, {end}")
                for i, (w, g) in enumerate(zip(want_tokens, got_tokens)):
                    if w != g:
                        print(f"  first different token {i}: compiled {w}, rig {g}")
                        break
        print(f"{name}: {runs - set_runs} runs agree, {skipped - set_skipped} not compared")
    print(f"agreement: {len(SETS)} grammar sets ({len(grammars)} grammars, {left_out} parser left out), {runs} runs, "
          f"{skipped} runs not compared, {failures} disagreements")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
