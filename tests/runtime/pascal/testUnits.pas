{ ==========================================================================
  testUnits
  Every runtime unit compiles warning-free together; the constants and the
  32-byte layout of both set types are what generated code relies on.
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

begin
  TestConstantsAndLayout;
  Finish;
end.
