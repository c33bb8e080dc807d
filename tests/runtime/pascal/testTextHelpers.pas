{ ==========================================================================
  testTextHelpers
  Text forms of characters, sets and token types; the literal table; the
  token object.
  ========================================================================== }
program testTextHelpers;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses
  Classes, SysUtils, kivTestCheck, kivTypes, kivUtils, kivStringMap, kivToken;

procedure TestCharText;
var
  All: TkivCharSet;
  Codes: TkivTokenSet;
begin
  Section('CharText');
  CheckEquals('''''''''', CharText(''''), 'apostrophe');
  CheckEquals('#127', CharText(#127), 'DEL');
  CheckEquals('#0', CharText(#0), 'NUL');
  CheckEquals(''' ''', CharText(' '), 'space');
  CheckEquals('''~''', CharText('~'), 'last printable');
  CheckEquals('#31', CharText(#31), 'last control');
  CheckEquals('#200', CharText(#200), 'high code');

  Section('CharSetText');
  CheckEquals('''0''..''9''', CharSetText(['0'..'9']), 'digits');
  CheckEquals('''a''..''c'',''x''', CharSetText(['a'..'c', 'x']), 'run and single');
  CheckEquals('#9..#10', CharSetText([#9, #10]), 'tab and newline');
  CheckEquals(''' '',''''''''', CharSetText([' ', '''']), 'space and apostrophe');
  All := [#0..#255];
  CheckEquals('#0..#255', CharSetText(All), 'full set is one run');
  All := [];
  CheckEquals('', CharSetText(All), 'empty set');
  Codes := [48..57, 120];
  CheckEquals('''0''..''9'',''x''', CharSetText(Codes), 'code-set variant renders the same');
end;

procedure TestTokenTypeNames;
var
  Vocabulary: TStringList;
begin
  Section('TokenTypeName');
  CheckEquals('TT_007', TokenTypeName(7), 'padded to three digits');
  CheckEquals('TT_1234', TokenTypeName(1234), 'wider numbers unpadded');
  CheckEquals('TT_000', TokenTypeName(0), 'type 0');
  Vocabulary := TStringList.Create;
  try
    Vocabulary.Add('EOF=1');
    Vocabulary.Add('NULL_TREE_LOOKAHEAD=2');
    Vocabulary.Add(' ID = 4 ');
    Vocabulary.Add('"begin"=5');
    Vocabulary.Add('"=="=6');
    Vocabulary.Add('broken=x');
    Vocabulary.Add('SECOND_ID=4');
    CheckEquals('TT_NULL_TREE_LOOKAHEAD', TokenTypeName(2, Vocabulary), 'reserved type 2');
    CheckEquals('TT_ID', TokenTypeName(4, Vocabulary), 'blanks trimmed, first line wins');
    CheckEquals('LT_begin', TokenTypeName(5, Vocabulary), 'string literal');
    CheckEquals('LT_==', TokenTypeName(6, Vocabulary), 'literal containing "="');
    CheckEquals('TT_009', TokenTypeName(9, Vocabulary), 'type without a line');

    Section('TokenSetText');
    CheckEquals('TT_EOF..TT_NULL_TREE_LOOKAHEAD,TT_ID..LT_begin',
      TokenSetText([1, 2, 4, 5], Vocabulary), 'runs with names');
    CheckEquals('TT_010..TT_012', TokenSetText([10..12], nil), 'runs without vocabulary');
  finally
    Vocabulary.Free;
  end;
end;

procedure TestStringMap;
var
  Map: TkivStringMap;
begin
  Section('string map');
  Map := TkivStringMap.Create;
  try
    Check(not Map.CaseSensitive, 'case-insensitive on creation');
    Map.Add('while', 7);
    Map.Add('begin', 5);
    Map.Add('Begin', 9);
    CheckEquals(2, Map.Count, 'second Add of the same name (any case) is ignored');
    CheckEquals('begin=5', Map.Entries[0], 'entries sorted');
    CheckEquals('while=7', Map.Entries[1], 'entries sorted');
    CheckEquals(0, Map.IndexOf('BEGIN'), 'IndexOf ignores case');
    CheckEquals(5, Map.ValueOf('BeGiN'), 'ValueOf ignores case');
    CheckEquals(-1, Map.ValueOf('end'), 'missing name');
    CheckEquals(-1, Map.IndexOf('beg'), 'prefix is not a match');

    Map.CaseSensitive := True;
    CheckEquals(-1, Map.IndexOf('BEGIN'), 'exact compare when case-sensitive');
    Map.Add('BEGIN', 8);
    CheckEquals(8, Map.ValueOf('BEGIN'), 'case variant is its own name');
    CheckEquals(5, Map.ValueOf('begin'), 'original kept');

    Map.Add('==', 11);
    Map.Add(':=', 12);
    CheckEquals(11, Map.ValueOf('=='), 'name containing "="');
    CheckEquals(12, Map.ValueOf(':='), 'name containing "=" after another character');
    CheckEquals(-1, Map.ValueOf('='), 'part of a name is not a match');
  finally
    Map.Free;
  end;
end;

type
  TMarkedToken = class(TkivToken);

procedure TestToken;
var
  T, C: IkivToken;
  Marked: TkivTokenClass;
begin
  Section('token');
  T := TkivToken.Create;
  CheckEquals(0, T.TokenType, 'type without constructor argument');
  CheckEquals('', T.TokenText, 'no text');
  CheckEquals(1, T.Line, 'fresh line');
  CheckEquals(1, T.Column, 'fresh column');
  T := TkivToken.Create(4, 'abc');
  T.Line := 3;
  T.Column := 8;
  C := T.Clone;
  T.TokenText := 'changed';
  CheckEquals('abc', C.TokenText, 'clone is independent');
  CheckEquals(4, C.TokenType, 'clone type');
  CheckEquals(3, C.Line, 'clone line');
  CheckEquals(8, C.Column, 'clone column');

  Marked := TMarkedToken;
  T := Marked.Create(5, 'x');
  Check((T as TObject) is TMarkedToken, 'token class value creates the descendant');
  Check(not ((T.Clone as TObject) is TMarkedToken), 'clone is always the base class');
end;

begin
  TestCharText;
  TestTokenTypeNames;
  TestStringMap;
  TestToken;
  Finish;
end.
