#!/usr/bin/env python3
"""The test rig and the compiled recognizer agree.

For each grammar set below, builds the grammars with kiv, compiles a Pascal driver that runs the
generated recognizers and prints every token the lexer hands out and the exception that ended the
run, and runs it and `kiv parse --format=json` on the same inputs: the sample, deterministic
mutations of it (characters dropped, doubled, replaced, the text cut short) and random bytes.
Both must give the same tokens (type, text, line, column), the same accepted/rejected outcome
and, when rejected, the same exception class, text, line and column.

    agreement.py --kiv KIV --fpc FPC --runtime RUNTIME_DIR --source SOURCE_ROOT --work DIR
"""

import argparse
import json
import os
import random
import shutil
import subprocess
import sys

# name, folder (from the source root), lexer grammar, parser grammar (or None), unit and class
# names, start rule, parser k, sample.
SETS = [
    ("json", "examples/json", "jsonLexer.g", "jsonParser.g", "jsonLexer", "TJsonLexer", "jsonParser",
     "TJsonParser", "document", 1, "sample.json"),
    ("calc-lexer", "examples/calc", "calcLexer.g", None, "calcLexer", "TCalcLexer", None, None, None, 1,
     "sample.calc"),
]

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
  Text: AnsiString;
  P: Integer;
PARSERVAR
begin
  Input := TFileStream.Create(ParamStr(1), fmOpenRead);
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
  Stream := nil;
  Input.Free;
end.
"""


def driver_source(s):
    _, _, _, parser, lexer_unit, lexer_class, parser_unit, parser_class, rule, k, _ = s
    text = DRIVER.replace("LEXERUNIT", lexer_unit).replace("LEXERCLASS", lexer_class)
    if parser:
        text = text.replace("PARSERUSES", ", " + parser_unit).replace("PARSERVAR", "  Parser: " + parser_class + ";")
        text = text.replace("RUN", f"Parser := {parser_class}.Create(Stream, {k}); try Parser.{rule}; finally Parser.Free; end;")
    else:
        text = text.replace("PARSERUSES", "").replace("PARSERVAR", "")
        text = text.replace("RUN", "while Stream.NextToken.TokenType <> TT_EOF do ;")
    return text


def compiled_run(exe, path):
    out = subprocess.run([exe, path], stdout=subprocess.PIPE, timeout=30).stdout.decode("latin-1").split("\n")
    tokens, error = [], None
    for line in out:
        f = line.split(" ")
        if f[0] == "T":
            tokens.append((int(f[1]), int(f[2]), int(f[3]), bytes.fromhex(f[4] if len(f) > 4 else "").decode("latin-1")))
        elif f[0] == "E":
            error = (f[1], int(f[2]), int(f[3]), bytes.fromhex(f[4] if len(f) > 4 else "").decode("latin-1"))
    return tokens, error


def rig_run(kiv, s, folder, path):
    _, _, lexer, parser, *_ = s
    args = [kiv, "parse", "--format=json", "--tokens"]
    args += ["--lexer", lexer, parser] if parser else [lexer]
    done = subprocess.run(args + [path], cwd=folder, stdout=subprocess.PIPE, timeout=60)
    result = json.loads(done.stdout.decode("latin-1"))
    tokens = [(t["typeNumber"], t["line"], t["column"], t["text"]) for t in result["tokens"]]
    e = result["error"]
    error = (e["class"], e["line"], e["column"], e["text"]) if e else None
    return tokens, error, result["end"]


def inputs(sample, rng):
    yield "sample", sample
    for n in range(60):
        b = bytearray(sample)
        at = rng.randrange(len(b))
        kind = n % 4
        if kind == 0:
            del b[at]
        elif kind == 1:
            b.insert(at, b[at])
        elif kind == 2:
            b[at] = rng.choice(b"{}[],:\"\\-+.eE0a \n\t@#\x00")
        else:
            b = b[:at]
        yield f"mutation {n}", bytes(b)
    for n in range(10):
        yield f"random {n}", bytes(rng.randrange(256) for _ in range(rng.randrange(1, 40)))


def main():
    ap = argparse.ArgumentParser()
    for o in ("--kiv", "--fpc", "--runtime", "--source", "--work"):
        ap.add_argument(o, required=True)
    a = ap.parse_args()
    failures, runs = 0, 0
    for s in SETS:
        name, folder, lexer, parser = s[0], os.path.join(a.source, s[1]), s[2], s[3]
        work = os.path.join(a.work, name)
        shutil.rmtree(work, ignore_errors=True)
        os.makedirs(work)
        for g in [lexer] + ([parser] if parser else []):
            shutil.copy(os.path.join(folder, g), work)
            subprocess.run([a.kiv, "build", "-q", g], cwd=work, check=True)
        with open(os.path.join(work, "agree.dpr"), "w") as f:
            f.write(driver_source(s))
        fpc = subprocess.run([a.fpc, "-Mdelphi", "-O1", "-Fu" + a.runtime, "-FU" + work, "agree.dpr"], cwd=work,
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        if fpc.returncode != 0:
            print(fpc.stdout.decode("latin-1"))
            print(f"FAIL {name}: the driver does not compile")
            return 1
        with open(os.path.join(folder, s[10]), "rb") as f:
            sample = f.read()
        rng = random.Random(20)
        for label, data in inputs(sample, rng):
            path = os.path.join(work, "input.txt")
            with open(path, "wb") as f:
                f.write(data)
            want_tokens, want_error = compiled_run(os.path.join(work, "agree"), path)
            got_tokens, got_error, end = rig_run(a.kiv, s, work, path)
            runs += 1
            if got_error and got_error[2] is not None:
                got_error = (got_error[0], got_error[1], got_error[2], got_error[3])
            if want_tokens != got_tokens or want_error != got_error or end == "aborted":
                failures += 1
                print(f"FAIL {name} {label} ({data[:60]!r}...):")
                print(f"  compiled: {len(want_tokens)} tokens, error {want_error}")
                print(f"  rig:      {len(got_tokens)} tokens, error {got_error}, {end}")
                for i, (w, g) in enumerate(zip(want_tokens, got_tokens)):
                    if w != g:
                        print(f"  first different token {i}: compiled {w}, rig {g}")
                        break
    print(f"agreement: {runs} runs, {failures} disagreements")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
