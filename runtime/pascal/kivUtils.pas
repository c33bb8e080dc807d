{ ==========================================================================
  KIV recognizer runtime - kivUtils
  Text forms of characters, character sets, token types and token sets,
  used by diagnostics and by generated code alike, and the ASCII case
  folding that lexers and the literal table share.
  ========================================================================== }
unit kivUtils;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  Classes, SysUtils, kivTypes;

type
  TkivCharClass = (ccControl, ccPrintable, ccDigit, ccLetter, ccLetterOrDigit);
  TkivCharClasses = set of TkivCharClass;

// The classes of a character, from a table built once at start-up.
function CharClassOf(C: AnsiChar): TkivCharClasses;

// 'c' for a printable character, '''' for the apostrophe, #n otherwise.
function CharText(C: AnsiChar): AnsiString;

// Members in ascending order, runs of consecutive codes as first..last,
// separated by ","; the empty set gives the empty string.
function CharSetText(const ASet: TkivCharSet): AnsiString; overload;
function CharSetText(const ASet: TkivTokenSet): AnsiString; overload;

// The name of a token type as diagnostics print it. Vocabulary holds lines
// of the form name=value and may be nil.
function TokenTypeName(ATokenType: Integer; Vocabulary: TStrings = nil): AnsiString;

// Like CharSetText over token types, each end of a run by TokenTypeName.
function TokenSetText(const ASet: TkivTokenSet; Vocabulary: TStrings = nil): AnsiString;

// A..Z become a..z; every other code is left alone.
function FoldChar(C: AnsiChar): AnsiChar;
function FoldText(const S: AnsiString): AnsiString;

implementation

var
  CharClassTable: array[AnsiChar] of TkivCharClasses;

procedure BuildCharClassTable;
var
  C: AnsiChar;
begin
  for C := Low(AnsiChar) to High(AnsiChar) do
  begin
    if (Ord(C) < 32) or (Ord(C) >= 127) then
      CharClassTable[C] := [ccControl]
    else
      CharClassTable[C] := [ccPrintable];
    if C in ['0'..'9'] then
      CharClassTable[C] := CharClassTable[C] + [ccDigit, ccLetterOrDigit];
    if C in ['A'..'Z', 'a'..'z'] then
      CharClassTable[C] := CharClassTable[C] + [ccLetter, ccLetterOrDigit];
  end;
end;

function CharClassOf(C: AnsiChar): TkivCharClasses;
begin
  Result := CharClassTable[C];
end;

function DecimalText(Value: Integer): AnsiString;
begin
  Result := AnsiString(IntToStr(Value));
end;

function CharText(C: AnsiChar): AnsiString;
begin
  if C = '''' then
    Result := ''''''''''
  else if ccPrintable in CharClassTable[C] then
    Result := '''' + C + ''''
  else
    Result := '#' + DecimalText(Ord(C));
end;

type
  // Renders one end of a run; lets CharSetText and TokenSetText share the
  // run grouping.
  TkivMemberText = function(Member: Integer; Vocabulary: TStrings): AnsiString;

function CharMemberText(Member: Integer; Vocabulary: TStrings): AnsiString;
begin
  Result := CharText(AnsiChar(Member));
end;

function TokenMemberText(Member: Integer; Vocabulary: TStrings): AnsiString;
begin
  Result := TokenTypeName(Member, Vocabulary);
end;

function RunsText(const ASet: TkivTokenSet; MemberText: TkivMemberText;
  Vocabulary: TStrings): AnsiString;
var
  First, Last: Integer;
begin
  Result := '';
  First := 0;
  while First <= 255 do
  begin
    if Byte(First) in ASet then
    begin
      Last := First;
      while (Last < 255) and (Byte(Last + 1) in ASet) do
        Inc(Last);
      if Result <> '' then
        Result := Result + ',';
      Result := Result + MemberText(First, Vocabulary);
      if Last > First then
        Result := Result + '..' + MemberText(Last, Vocabulary);
      First := Last + 1;
    end
    else
      Inc(First);
  end;
end;

function CharSetText(const ASet: TkivCharSet): AnsiString;
var
  Codes: TkivTokenSet;
begin
  // Both set types share the 32-byte layout, so the character set can be
  // read as a set of codes.
  Move(ASet, Codes, SizeOf(Codes));
  Result := RunsText(Codes, CharMemberText, nil);
end;

function CharSetText(const ASet: TkivTokenSet): AnsiString;
begin
  Result := RunsText(ASet, CharMemberText, nil);
end;

function ZeroPadded(Value: Integer): AnsiString;
begin
  Result := AnsiString(Format('%3.3d', [Value]));
end;

function TokenTypeName(ATokenType: Integer; Vocabulary: TStrings): AnsiString;
var
  I, Split, Value: Integer;
  Line, Name: AnsiString;
begin
  if Vocabulary <> nil then
    for I := 0 to Vocabulary.Count - 1 do
    begin
      Line := AnsiString(Vocabulary[I]);
      // Split at the last "=": the value is a number, while a quoted
      // literal such as "==" may itself contain the separator.
      Split := Length(Line);
      while (Split > 0) and (Line[Split] <> '=') do
        Dec(Split);
      if Split = 0 then
        Continue;
      Name := AnsiString(Trim(string(Copy(Line, 1, Split - 1))));
      Value := StrToIntDef(Trim(string(Copy(Line, Split + 1, MaxInt))), -1);
      if Value <> ATokenType then
        Continue;
      if (Name <> '') and (Name[1] = '"') then
        Result := 'LT_' + Copy(Name, 2, Length(Name) - 2)
      else
        Result := 'TT_' + Name;
      Exit;
    end;
  Result := 'TT_' + ZeroPadded(ATokenType);
end;

function TokenSetText(const ASet: TkivTokenSet; Vocabulary: TStrings): AnsiString;
begin
  Result := RunsText(ASet, TokenMemberText, Vocabulary);
end;

function FoldChar(C: AnsiChar): AnsiChar;
begin
  if C in ['A'..'Z'] then
    Result := AnsiChar(Ord(C) + 32)
  else
    Result := C;
end;

function FoldText(const S: AnsiString): AnsiString;
var
  I: Integer;
begin
  Result := S;
  for I := 1 to Length(Result) do
    if Result[I] in ['A'..'Z'] then
      Result[I] := AnsiChar(Ord(Result[I]) + 32);
end;

initialization
  BuildCharClassTable;
end.
