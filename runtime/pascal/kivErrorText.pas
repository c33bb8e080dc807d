{ ==========================================================================
  KIV recognizer runtime - kivErrorText
  One line of text for an exception that ended a recognizer: where it
  happened and what went wrong, in the words the kiv tool uses for errors
  in grammar files. The recognition exceptions leave their Message empty
  and keep everything in their fields; this unit composes the text.
  ========================================================================== }
unit kivErrorText;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  SysUtils;

// "FILE(LINE,COLUMN): TEXT" for a recognition exception (without "FILE"
// when the recognizer was given no file name). TEXT is
//   Expecting [SET] but found C          a character or set did not match
//   Not expecting [SET] and found C      a negated match met its character
//   Expecting 'TEXT' but found 'SOFAR'   a string did not match
//   Unexpected token: TEXT               the parser met a token it cannot use
//   Unexpected end of input              the parser met the end too early
//   the exception's Message              any other recognition exception
//                                        (a failed semantic predicate, ...)
// Characters and sets are written as the tool writes them ('a', #10,
// '0'..'9'). Any other exception gives its Message.
function ErrorText(E: Exception): AnsiString;

implementation

uses
  kivTypes, kivUtils, kivException, kivExceptionMismatchedChar,
  kivExceptionMismatchedToken;

// The text between quotes, with the characters that cannot be shown as
// #n outside them: 'be'#10.
function QuotedText(const S: AnsiString): AnsiString;
var
  I: Integer;
  Quoted: Boolean;
begin
  Result := '';
  Quoted := False;
  for I := 1 to Length(S) do
    if ccPrintable in CharClassOf(S[I]) then
    begin
      if not Quoted then
        Result := Result + '''';
      Quoted := True;
      Result := Result + S[I];
      if S[I] = '''' then
        Result := Result + '''';
    end
    else
    begin
      if Quoted then
        Result := Result + '''';
      Quoted := False;
      Result := Result + '#' + AnsiString(IntToStr(Ord(S[I])));
    end;
  if Quoted then
    Result := Result + '''';
  if Result = '' then
    Result := '''''';
end;

function MismatchedCharText(E: EkivMismatchedChar): AnsiString;
begin
  case E.Kind of
    KIND_CHAR, KIND_CHAR_RANGE, KIND_CHAR_SET:
      if E.Negated then
        Result := 'Not expecting [' + CharSetText(E.ExpectedSet) + '] and found ' +
          CharText(E.FoundChar)
      else
        Result := 'Expecting [' + CharSetText(E.ExpectedSet) + '] but found ' +
          CharText(E.FoundChar);
    KIND_STRING:
      Result := 'Expecting ' + QuotedText(E.ExpectedText) + ' but found ' +
        QuotedText(E.FoundText);
  else
    Result := 'Internal error: Unknown lexer exception.';
  end;
end;

function MismatchedTokenText(E: EkivMismatchedToken): AnsiString;
begin
  if (E.TokenType = TT_EOF) and (E.TokenText = '') then
    Result := 'Unexpected end of input'
  else
    Result := 'Unexpected token: ' + E.TokenText;
end;

function PositionText(E: EkivException): AnsiString;
begin
  Result := AnsiString(E.FileName) + '(' + AnsiString(IntToStr(E.Line)) + ',' +
    AnsiString(IntToStr(E.Column)) + '): ';
end;

function MessageText(E: Exception): AnsiString;
begin
  Result := AnsiString(E.Message);
  if Result = '' then
    Result := AnsiString(E.ClassName);
end;

function ErrorText(E: Exception): AnsiString;
begin
  if E = nil then
    Result := ''
  else if E is EkivMismatchedChar then
    Result := PositionText(EkivException(E)) + MismatchedCharText(EkivMismatchedChar(E))
  else if E is EkivMismatchedToken then
    Result := PositionText(EkivException(E)) + MismatchedTokenText(EkivMismatchedToken(E))
  else if E is EkivException then
    Result := PositionText(EkivException(E)) + MessageText(E)
  else
    Result := MessageText(E);
end;

end.
