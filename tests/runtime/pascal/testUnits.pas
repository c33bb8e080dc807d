{ ==========================================================================
  testUnits
  Every runtime unit compiles warning-free together; the constants and the
  32-byte layout of both set types are what generated code relies on; the
  exception constructors in the forms generated code writes.
  ========================================================================== }
program testUnits;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses
  kivTestCheck,
  kivTypes, kivToken, kivStringMap, kivUtils, kivCharQueue, kivInputBuffer,
  kivCharBuffer, kivLexerState, kivLexer, kivTokenQueue, kivTokenBuffer,
  kivParserState, kivParser, kivLLkParser, kivException,
  kivExceptionMismatchedChar, kivExceptionMismatchedToken, kivExceptionSemantic;

type
  TSetBytes = array[0..31] of Byte;

procedure TestConstantsAndLayout;
var
  Chars: TkivCharSet;
  Types: TkivTokenSet;
  Bytes: TSetBytes;
begin
  Section('constants');
  CheckEquals(1, TT_EOF, 'TT_EOF');
  CheckEquals(-1, TT_SKIP, 'TT_SKIP');
  CheckEquals(0, TT_000, 'TT_000');
  CheckEquals(0, Ord(EOF_CHAR), 'EOF_CHAR');

  Section('set layout');
  CheckEquals(32, SizeOf(TkivCharSet), 'character set size');
  CheckEquals(32, SizeOf(TkivTokenSet), 'token set size');
  Chars := ['A', #255];
  Move(Chars, Bytes, SizeOf(Bytes));
  // 'A' = 65: bit 1 of byte 8; #255: bit 7 of byte 31.
  CheckEquals(2, Bytes[8], 'byte of ''A''');
  CheckEquals(128, Bytes[31], 'byte of #255');
  Types := [0, 9];
  Move(Types, Bytes, SizeOf(Bytes));
  CheckEquals(1, Bytes[0], 'byte of type 0');
  CheckEquals(2, Bytes[1], 'byte of type 9');
end;

procedure TestExceptionConstructors;
var
  E: EkivException;
begin
  Section('exception constructors');
  E := EkivMismatchedChar.Create('a', ['b'..'d'], 'f.g', 2, 3, True);
  try
    CheckEquals(KIND_CHAR_SET, E.Kind, 'set form with negated flag');
    Check(E.Negated, 'negated stored');
    Check(EkivMismatchedChar(E).ExpectedSet = ['b'..'d'], 'set copied');
    CheckChar(#0, EkivMismatchedChar(E).ExpectedChar, 'no expected character');
    CheckEquals('', AnsiString(E.Message), 'message left empty');
  finally
    E.Free;
  end;
  E := EkivMismatchedChar.Create('ab', 'ac', 'f.g', 4, 5);
  try
    CheckEquals(KIND_STRING, E.Kind, 'string form');
    CheckEquals('ab', EkivMismatchedChar(E).FoundText, 'found text');
    CheckChar(#0, EkivMismatchedChar(E).FoundChar, 'no found character');
    CheckEquals(4, E.Line, 'line');
    CheckEquals(5, E.Column, 'column');
  finally
    E.Free;
  end;
  E := EkivSemantic.Create('n > 0', 'f.g', 6, 7);
  try
    CheckEquals(KIND_SEMANTIC, E.Kind, 'semantic kind');
    CheckEquals('n > 0', EkivSemantic(E).Predicate, 'predicate text');
    CheckEquals('n > 0', AnsiString(E.Message), 'predicate as message');
    CheckEquals('f.g', AnsiString(E.FileName), 'file name');
  finally
    E.Free;
  end;
end;

begin
  TestConstantsAndLayout;
  TestExceptionConstructors;
  Finish;
end.
