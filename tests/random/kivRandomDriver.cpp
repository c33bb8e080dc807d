// kivRandomDriver.cpp - writes the driver program and the cases file.
#include "tests/random/kivRandomDriver.h"

#include <cstdio>

namespace kiv::rnd {

namespace {

const char* kDriverHead = R"PAS(// Runs the recognizers of random grammars over the cases of a cases file (written by
// kiv_random_grammars): every run must end normally or with a recognition exception, in time, and
// give back all the memory it took.
program KrDrive;

{$MODE DELPHI}

uses
  SysUtils, Classes, BaseUnix, kivTypes, kivToken, kivException%UNITS%;

const
  // Seconds one case may take; SIGALRM ends the program after that.
  KrTimeLimit = 5;

type
  // A fault of a recognizer that the driver finds itself.
  EKrFault = class(Exception);

%CASETYPES%
var
  KrOutcome: string;
  // What a run did (its tokens, its action notes, the exception that ended it), printed before
  // its END line, so that two builds of the same grammars can be compared run by run. The text
  // is kept in memory taken once, so that recording it leaves the heap as it was.
  KrTrace: AnsiString;
  KrTraceLen: Integer;

procedure KrEmit(const Line: AnsiString);
begin
  if KrTraceLen + Length(Line) + 1 > Length(KrTrace) then
    exit;
  if Line <> '' then
    Move(Line[1], KrTrace[KrTraceLen + 1], Length(Line));
  Inc(KrTraceLen, Length(Line) + 1);
  KrTrace[KrTraceLen] := #10;
end;

function KrHex(const Text: AnsiString): AnsiString;
const
  Digits: array[0..15] of AnsiChar = '0123456789ABCDEF';
var
  I: Integer;
begin
  SetLength(Result, 2 * Length(Text));
  for I := 1 to Length(Text) do
  begin
    Result[2 * I - 1] := Digits[Ord(Text[I]) shr 4];
    Result[2 * I] := Digits[Ord(Text[I]) and 15];
  end;
end;

// After a run: an error other than a recognition error that a handler swallowed is a fault; a
// run that used up the swallowing budget is counted apart.
procedure KrCheck(const Fault: string; BudgetHit: Boolean);
begin
  if Fault <> '' then
    raise EKrFault.Create('a handler swallowed ' + Fault);
  if BudgetHit then
    KrOutcome := 'budget';
end;

// Reads tokens to the end of input; a lexer that keeps answering without reaching it is caught by
// the token count.
procedure KrDrain(const Stream: IkivTokenStream; Limit: Integer);
var
  T: IkivToken;
  N: Integer;
begin
  N := 0;
  repeat
    T := Stream.NextToken;
    KrEmit('T ' + IntToStr(T.TokenType) + ' ' + IntToStr(T.Line) + ':' + IntToStr(T.Column) + ' ' + KrHex(T.TokenText));
    Inc(N);
    if N > Limit then
      raise EKrFault.Create('no end of input after ' + IntToStr(Limit) + ' tokens');
  until T.TokenType = TT_EOF;
end;

)PAS";

const char* kDriverTail = R"PAS(
function KrExecute(const C: TKrCase): string;
begin
  KrOutcome := 'ok';
  try
    KrDispatch(C);
    Result := KrOutcome;
  except
    on E: EkivException do
    begin
      KrEmit('E ' + E.ClassName + ' ' + IntToStr(E.Kind) + ' ' + IntToStr(E.Line) + ':' + IntToStr(E.Column));
      Result := KrOutcome + ' ' + E.ClassName;
    end;
    on E: Exception do
      Result := 'FAIL ' + E.ClassName + ': ' + E.Message;
  end;
end;

procedure KrRunCase(Index: Integer; const Line: string);
var
  C: TKrCase;
  Before, After: PtrUInt;
  Outcome: string;
  Attempt: Integer;
begin
  C := KrParse(Line);
  WriteLn('RUN ', Index);
  Flush(Output);
  // A run must give back what it took. The first run of a case may leave memory that the
  // runtime keeps for good; a second run that leaves some too is a leak.
  for Attempt := 1 to 2 do
  begin
    KrTraceLen := 0;
    Before := GetFPCHeapStatus.CurrHeapUsed;
    fpAlarm(KrTimeLimit);
    Outcome := KrExecute(C);
    fpAlarm(0);
    After := GetFPCHeapStatus.CurrHeapUsed;
    if (After = Before) or (Copy(Outcome, 1, 4) = 'FAIL') then
      break;
  end;
  if (After <> Before) and (Copy(Outcome, 1, 4) <> 'FAIL') then
    Outcome := 'FAIL leak of ' + IntToStr(Int64(After) - Int64(Before)) + ' bytes';
  Write(Copy(KrTrace, 1, KrTraceLen));
  WriteLn('END ', Index, ' ', Outcome);
  Flush(Output);
end;

var
  F: TextFile;
  Line: string;
  Index, Start: Integer;
begin
  if ParamCount < 1 then
  begin
    WriteLn('usage: KrDrive CASES [FIRST]');
    Halt(2);
  end;
  Start := StrToIntDef(ParamStr(2), 0);
  SetLength(KrTrace, 4 * 1024 * 1024);
  fpSignal(SIGALRM, signalhandler(@KrOnAlarm));
  AssignFile(F, ParamStr(1));
  Reset(F);
  Index := 0;
  while not Eof(F) do
  begin
    ReadLn(F, Line);
    if (Index >= Start) and (Line <> '') then
      KrRunCase(Index, Line);
    Inc(Index);
  end;
  CloseFile(F);
  WriteLn('DONE');
end.
)PAS";

std::string Replace(std::string Text, const std::string& From, const std::string& To) {
  for (std::size_t at = Text.find(From); at != std::string::npos; at = Text.find(From, at + To.size()))
    Text.replace(at, From.size(), To);
  return Text;
}

std::string Hex(const std::string& Text) {
  if (Text.empty()) return "-";
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (const char c : Text) {
    const int v = static_cast<unsigned char>(c);
    out += digits[v >> 4];
    out += digits[v & 15];
  }
  return out;
}

std::string GrammarProcedures(const DriverGrammar& G, std::size_t Index) {
  const std::string n = std::to_string(Index);
  std::string t;
  t += "// Seed " + std::to_string(G.Seed) + "\n";
  t += "procedure KrLex" + n + "(const C: TKrCase);\n"
       "var\n"
       "  S: TStringStream;\n"
       "  L: " + G.LexerClass + ";\n"
       "  I: IkivTokenStream;\n"
       "begin\n"
       "  S := TStringStream.Create(C.Text);\n"
       "  try\n"
       "    L := " + G.LexerClass + ".Create(S);\n"
       "    I := L;\n"
       "    L.KrSeed := C.Seed;\n"
       "    try\n"
       "      KrDrain(I, Length(C.Text) + 300);\n"
       "    finally\n"
       "      KrEmit('N ' + IntToStr(L.KrNotes));\n"
       "      KrCheck(L.KrFault, L.KrBudgetHit);\n"
       "    end;\n"
       "  finally\n"
       "    I := nil;\n"
       "    S.Free;\n"
       "  end;\n"
       "end;\n\n";
  if (G.ParserUnit.empty()) return t;

  std::string entries;
  for (std::size_t i = 0; i < G.Entries.size(); ++i)
    entries += "        " + std::to_string(i) + ": P." + PascalName(G.Entries[i]) + ";\n";
  const std::string k = std::to_string(G.ParserK);
  t += "procedure KrEnter" + n + "(P: " + G.ParserClass + "; Entry: Integer);\n"
       "begin\n"
       "  case Entry of\n" +
       entries +
       "  end;\n"
       "end;\n\n";
  t += "procedure KrPar" + n + "(const C: TKrCase);\n"
       "var\n"
       "  T: IkivTokenStream;\n"
       "  P: " + G.ParserClass + ";\n"
       "begin\n"
       "  T := TKrTokens.Create(C.Types);\n"
       "  P := " + G.ParserClass + ".Create(T, " + k + ");\n"
       "  T := nil;\n"
       "  try\n"
       "    P.KrSeed := C.Seed;\n"
       "    try\n"
       "      KrEnter" + n + "(P, C.Entry);\n"
       "    finally\n"
       "      KrEmit('N ' + IntToStr(P.KrNotes));\n"
       "      KrCheck(P.KrFault, P.KrBudgetHit);\n"
       "    end;\n"
       "  finally\n"
       "    P.Free;\n"
       "  end;\n"
       "end;\n\n";
  t += "procedure KrBoth" + n + "(const C: TKrCase);\n"
       "var\n"
       "  S: TStringStream;\n"
       "  L: " + G.LexerClass + ";\n"
       "  T: IkivTokenStream;\n"
       "  P: " + G.ParserClass + ";\n"
       "begin\n"
       "  S := TStringStream.Create(C.Text);\n"
       "  try\n"
       "    L := " + G.LexerClass + ".Create(S);\n"
       "    L.KrSeed := C.Seed;\n"
       "    T := L;\n"
       "    P := " + G.ParserClass + ".Create(T, " + k + ");\n"
       "    T := nil;\n"
       "    try\n"
       "      P.KrSeed := C.Seed;\n"
       "      try\n"
       "        KrEnter" + n + "(P, C.Entry);\n"
       "      finally\n"
       "        KrEmit('N ' + IntToStr(P.KrNotes) + ' ' + IntToStr(L.KrNotes));\n"
       "        KrCheck(P.KrFault + L.KrFault, P.KrBudgetHit or L.KrBudgetHit);\n"
       "      end;\n"
       "    finally\n"
       "      P.Free;\n"
       "    end;\n"
       "  finally\n"
       "    S.Free;\n"
       "  end;\n"
       "end;\n\n";
  return t;
}

}  // namespace

const char* CaseTypesText() {
  return R"PAS(  TKrCase = record
    Kind: Char;
    Grammar: Integer;
    Entry: Integer;
    Seed: Integer;
    Text: AnsiString;
    Types: array of Integer;
  end;

  // A token stream that hands out the token types of a case, then the end-of-input token.
  TKrTokens = class(TInterfacedObject, IkivTokenStream)
  private
    FTypes: array of Integer;
    FPos: Integer;
  public
    constructor Create(const ATypes: array of Integer);
    function NextToken: IkivToken;
  end;
)PAS";
}

const char* CaseReaderText() {
  return R"PAS(constructor TKrTokens.Create(const ATypes: array of Integer);
var
  I: Integer;
begin
  inherited Create;
  SetLength(FTypes, Length(ATypes));
  for I := 0 to High(ATypes) do
    FTypes[I] := ATypes[I];
end;

function TKrTokens.NextToken: IkivToken;
begin
  if FPos < Length(FTypes) then
  begin
    Result := TkivToken.Create(FTypes[FPos], 't' + IntToStr(FPos));
    Result.Line := 1;
    Result.Column := FPos + 1;
    Inc(FPos);
  end
  else
    Result := TkivToken.Create(TT_EOF, '');
end;

procedure KrOnAlarm(Sig: cint); cdecl;
const
  Msg: PChar = 'TIMEOUT'#10;
begin
  fpWrite(1, Msg^, 8);
  fpExit(124);
end;

function KrHexText(const Hex: string): AnsiString;
var
  I: Integer;
begin
  Result := '';
  if Hex = '-' then
    exit;
  I := 1;
  while I < Length(Hex) do
  begin
    Result := Result + AnsiChar(StrToInt('$' + Copy(Hex, I, 2)));
    Inc(I, 2);
  end;
end;

function KrParse(const Line: string): TKrCase;
var
  Parts: TStringList;
  I: Integer;
begin
  Parts := TStringList.Create;
  try
    Parts.Delimiter := ' ';
    Parts.StrictDelimiter := True;
    Parts.DelimitedText := Line;
    Result.Kind := Parts[0][1];
    Result.Grammar := StrToInt(Parts[1]);
    Result.Entry := StrToInt(Parts[2]);
    Result.Seed := StrToInt(Parts[3]);
    Result.Text := '';
    SetLength(Result.Types, 0);
    if Result.Kind = 'P' then
    begin
      SetLength(Result.Types, StrToInt(Parts[4]));
      for I := 0 to High(Result.Types) do
        Result.Types[I] := StrToInt(Parts[5 + I]);
    end
    else
      Result.Text := KrHexText(Parts[4]);
  finally
    Parts.Free;
  end;
end;

)PAS";
}

std::string DriverSource(const std::vector<DriverGrammar>& Grammars) {
  std::string units;
  for (const DriverGrammar& g : Grammars) {
    units += ",\n  " + g.LexerUnit;
    if (!g.ParserUnit.empty()) units += ", " + g.ParserUnit;
  }
  std::string text = Replace(Replace(kDriverHead, "%UNITS%", units), "%CASETYPES%", CaseTypesText());
  for (std::size_t i = 0; i < Grammars.size(); ++i) text += GrammarProcedures(Grammars[i], i);

  text += "procedure KrDispatch(const C: TKrCase);\nbegin\n  case C.Grammar of\n";
  for (std::size_t i = 0; i < Grammars.size(); ++i) {
    const std::string n = std::to_string(i);
    text += "    " + n + ":\n      case C.Kind of\n        'L': KrLex" + n + "(C);\n";
    if (!Grammars[i].ParserUnit.empty()) text += "        'P': KrPar" + n + "(C);\n        'C': KrBoth" + n + "(C);\n";
    text += "      end;\n";
  }
  text += "  end;\nend;\n";
  text += "\n";
  text += CaseReaderText();
  text += kDriverTail;
  return text;
}

std::string CaseLine(const Case& C) {
  std::string line = std::string(1, static_cast<char>(C.Kind)) + " " + std::to_string(C.Grammar) + " " +
                     std::to_string(C.Entry) + " " + std::to_string(C.Seed) + " ";
  if (C.Kind == CaseKind::ParserTokens) {
    line += std::to_string(C.Types.size());
    for (const int t : C.Types) line += " " + std::to_string(t);
  } else {
    line += Hex(C.Text);
  }
  return line;
}

std::string CaseDescription(const Case& C, const std::vector<DriverGrammar>& Grammars) {
  const DriverGrammar& g = Grammars[static_cast<std::size_t>(C.Grammar)];
  std::string text = "seed " + std::to_string(g.Seed) + ", ";
  switch (C.Kind) {
    case CaseKind::LexerText:
      text += "lexer alone";
      break;
    case CaseKind::ParserTokens:
      text += "parser over token types, entry " + g.Entries[static_cast<std::size_t>(C.Entry)];
      break;
    case CaseKind::Combined:
      text += "parser over lexer, entry " + g.Entries[static_cast<std::size_t>(C.Entry)];
      break;
  }
  text += ", " + C.Origin + " input, recognizer seed " + std::to_string(C.Seed) + ": ";
  if (C.Kind == CaseKind::ParserTokens) {
    text += "[";
    for (std::size_t i = 0; i < C.Types.size(); ++i) text += (i ? " " : "") + std::to_string(C.Types[i]);
    text += "]";
  } else {
    text += "\"";
    for (const char ch : C.Text) {
      const int c = static_cast<unsigned char>(ch);
      if (c >= 32 && c < 127 && c != '"' && c != '\\') {
        text += ch;
      } else {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\x%02X", c);
        text += buf;
      }
    }
    text += "\"";
  }
  return text;
}

}  // namespace kiv::rnd
