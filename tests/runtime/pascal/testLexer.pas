{ ==========================================================================
  testLexer
  The lexer base: case folding, the four matches and their exceptions,
  line and column tracking, guessing, token creation and the literal table.
  ========================================================================== }
program testLexer;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses
  Classes, SysUtils, kivTestCheck, kivTypes, kivToken, kivLexer,
  kivException, kivExceptionMismatchedChar;

type
  TProbeLexer = class(TkivLexer)
  public
    InitializedWithLiterals: Boolean;
    procedure initialize; override;
    function NextToken: IkivToken; override;
    procedure SetCaseSensitive(AValue: Boolean);
  end;

  // Tabs advance to the next multiple of 4 plus 1, as a grammar may choose.
  TTabLexer = class(TProbeLexer)
  public
    procedure tab; override;
  end;

  TMarkedToken = class(TkivToken);

  // Owns the stream for the duration of one test case; the lexer is kept
  // through an interface reference so that it is freed with it.
  TFixture = record
    Stream: TMemoryStream;
    Lexer: TProbeLexer;
    Ref: IkivTokenStream;
  end;

procedure TProbeLexer.initialize;
begin
  InitializedWithLiterals := fLiterals <> nil;
  fLiterals.Add('begin', 10);
end;

function TProbeLexer.NextToken: IkivToken;
begin
  Result := TkivToken.Create(TT_EOF);
end;

procedure TProbeLexer.SetCaseSensitive(AValue: Boolean);
begin
  fCaseSensitive := AValue;
  fLiterals.CaseSensitive := AValue;
end;

procedure TTabLexer.tab;
begin
  InputState.Column := ((InputState.Column - 1) div 4 + 1) * 4 + 1;
end;

procedure Open(var F: TFixture; const Text: AnsiString; CaseSensitive: Boolean = True);
begin
  F.Stream := StreamOf(Text);
  F.Lexer := TProbeLexer.Create(F.Stream);
  F.Ref := F.Lexer;
  F.Lexer.SetCaseSensitive(CaseSensitive);
  F.Lexer.InputState.FileName := 'probe.txt';
end;

procedure Close(var F: TFixture);
begin
  F.Ref := nil;
  F.Stream.Free;
end;

procedure TestCaseFolding;
var
  F: TFixture;
begin
  Section('case folding');
  Open(F, 'QQBEGIN[X', False);
  try
    Check(F.Lexer.InitializedWithLiterals, 'initialize runs after the literal table exists');
    CheckChar('q', F.Lexer.LA(1), 'LA folds upper case');
    F.Lexer.match('q');
    F.Lexer.match('Q');
    F.Lexer.match('Begin');
    CheckEquals('qqbegin', F.Lexer.TokenText, 'collected text is lower case');
    F.Lexer.match('[');
    CheckChar('x', F.Lexer.LA(1), 'only A..Z fold');
    F.Lexer.match(['x']);
    CheckChar(EOF_CHAR, F.Lexer.LA(1), 'all consumed');
  finally
    Close(F);
  end;

  Open(F, 'X', False);
  try
    try
      F.Lexer.match(['X']);
      NotRaised('set with upper case');
    except
      on E: EkivMismatchedChar do
      begin
        CheckEquals(KIND_CHAR_SET, E.Kind, 'set match is not folded');
        CheckChar('x', E.FoundChar, 'found character is folded');
      end;
    end;
  finally
    Close(F);
  end;
end;

procedure TestMismatches;
var
  F: TFixture;
begin
  Section('string mismatch, case-sensitive');
  Open(F, 'BEGIN');
  try
    try
      F.Lexer.match('Begin');
      NotRaised('BEGIN vs Begin');
    except
      on E: EkivMismatchedChar do
      begin
        CheckEquals(KIND_STRING, E.Kind, 'kind');
        CheckEquals('BE', E.FoundText, 'matched so far, with the offending character');
        CheckEquals('Begin', E.ExpectedText, 'expected text unfolded');
        CheckEquals(1, E.Line, 'line');
        CheckEquals(2, E.Column, 'column of the offending character');
        CheckEquals('probe.txt', AnsiString(E.FileName), 'file name');
        Check(not E.Negated, 'not negated');
        Check(E.ExpectedSet = [], 'no set for a string');
      end;
    end;
  finally
    Close(F);
  end;

  Open(F, 'beXin');
  try
    try
      F.Lexer.match('begin');
      NotRaised('beXin');
    except
      on E: EkivMismatchedChar do
        CheckEquals('beX', E.FoundText, 'fails on the third character');
    end;
  finally
    Close(F);
  end;

  Section('character mismatch');
  Open(F, 'ab', False);
  try
    try
      F.Lexer.match('a');
      F.Lexer.match('C');
      NotRaised('b vs C');
    except
      on E: EkivMismatchedChar do
      begin
        CheckEquals(KIND_CHAR, E.Kind, 'kind');
        CheckChar('b', E.FoundChar, 'found');
        CheckChar('C', E.ExpectedChar, 'expected character unfolded');
        CheckChar('C', E.ExpectedUpperChar, 'expected upper character');
        Check(E.ExpectedSet = ['C'], 'one-member set');
        Check(not E.Negated, 'not negated');
        CheckEquals(2, E.Column, 'column');
      end;
    end;
    try
      F.Lexer.matchNot('B');
      NotRaised('matchNot B on b');
    except
      on E: EkivMismatchedChar do
      begin
        CheckEquals(KIND_CHAR, E.Kind, 'negated kind');
        Check(E.Negated, 'negated');
      end;
    end;
    F.Lexer.matchNot('x');
    CheckChar(EOF_CHAR, F.Lexer.LA(1), 'matchNot consumes');
    // "~'x'" takes a character, and the end of input is none: a rule that
    // recursed through it would otherwise never stop there.
    try
      F.Lexer.matchNot('x');
      NotRaised('matchNot x at the end of input');
    except
      on E: EkivMismatchedChar do
      begin
        CheckChar(EOF_CHAR, E.FoundChar, 'found the end of input');
        Check(E.Negated, 'negated at the end');
      end;
    end;
    CheckEquals('ab', F.Lexer.TokenText, 'the end of input is not taken into the text');
  finally
    Close(F);
  end;

  Section('set mismatch');
  Open(F, '7');
  try
    try
      F.Lexer.match(['a'..'z']);
      NotRaised('digit vs letters');
    except
      on E: EkivMismatchedChar do
      begin
        CheckEquals(KIND_CHAR_SET, E.Kind, 'kind');
        Check(E.ExpectedSet = ['a'..'z'], 'set copied');
        CheckChar('7', E.FoundChar, 'found');
      end;
    end;
  finally
    Close(F);
  end;
end;

procedure TestPositions;
var
  F: TFixture;
  Stream: TMemoryStream;
  Tabs: TTabLexer;
  Ref: IkivTokenStream;
  T: IkivToken;
begin
  Section('columns and lines');
  Open(F, 'a'#9'b'#10'cd');
  try
    F.Lexer.consume;
    F.Lexer.consume;
    CheckEquals(3, F.Lexer.InputState.Column, 'base tab advances by 1');
    F.Lexer.consume;
    F.Lexer.consume;
    CheckEquals(5, F.Lexer.InputState.Column, 'a line end advances like any character');
    F.Lexer.newLine;
    CheckEquals(2, F.Lexer.InputState.Line, 'newLine counts the line');
    CheckEquals(1, F.Lexer.InputState.Column, 'newLine resets the column');
    CheckEquals('a'#9'b'#10, F.Lexer.TokenText, 'text kept');
  finally
    Close(F);
  end;

  Stream := StreamOf('a'#9'b');
  try
    Tabs := TTabLexer.Create(Stream);
    Ref := Tabs;
    Tabs.consume;
    Tabs.consume;
    CheckEquals(5, Tabs.InputState.Column, 'overridden tab decides the width');
    Ref := nil;
  finally
    Stream.Free;
  end;

  Section('guessing and saving');
  Open(F, 'abcdef');
  try
    F.Lexer.InputState.Guessing := 1;
    F.Lexer.consume;
    F.Lexer.match('b');
    CheckEquals('', F.Lexer.TokenText, 'no text while guessing');
    CheckEquals(1, F.Lexer.InputState.Column, 'no column while guessing');
    CheckChar('c', F.Lexer.LA(1), 'input still advances while guessing');
    F.Lexer.InputState.Guessing := 0;
    F.Lexer.SaveConsumedInput := False;
    F.Lexer.consume;
    CheckEquals('', F.Lexer.TokenText, 'not saved when switched off');
    CheckEquals(2, F.Lexer.InputState.Column, 'column still tracked');
    F.Lexer.SaveConsumedInput := True;
    F.Lexer.consume;
    CheckEquals('d', F.Lexer.TokenText, 'saved again');
  finally
    Close(F);
  end;

  Section('makeToken');
  Open(F, 'xx'#10'yyyyzzz');
  try
    F.Lexer.consume;
    F.Lexer.consume;
    F.Lexer.consume;
    F.Lexer.newLine;
    F.Lexer.newLine;
    F.Lexer.consume;
    F.Lexer.consume;
    F.Lexer.consume;
    F.Lexer.consume;
    F.Lexer.ResetText;
    CheckEquals('', F.Lexer.TokenText, 'ResetText empties the text');
    F.Lexer.consume;
    F.Lexer.consume;
    T := F.Lexer.makeToken(7);
    CheckEquals(3, T.Line, 'token line from ResetText');
    CheckEquals(5, T.Column, 'token column from ResetText');
    CheckEquals(7, T.TokenType, 'token type');
    CheckEquals('', T.TokenText, 'text defaults to empty');
    T.TokenText := F.Lexer.TokenText;
    CheckEquals('zz', T.TokenText, 'writable token text');
    F.Lexer.TokenClass := TMarkedToken;
    T := F.Lexer.makeToken(8, 'm');
    Check((T as TObject) is TMarkedToken, 'token class is instantiated');
    CheckEquals('m', T.TokenText, 'text argument');
  finally
    Close(F);
  end;
end;

procedure TestLiteralsAndResync;
var
  F: TFixture;
  M: Integer;
begin
  Section('TestLiteral');
  Open(F, 'BEGIN', False);
  try
    F.Lexer.match('begin');
    CheckEquals(10, F.Lexer.TestLiteral(4), 'whole text found, case-insensitive table');
    F.Lexer.TokenText := 'other';
    CheckEquals(4, F.Lexer.TestLiteral(4), 'text not in the table');
    CheckEquals(10, F.Lexer.TestLiteral('Begin', 4), 'given text found');
    CheckEquals(4, F.Lexer.TestLiteral('beginning', 4), 'given text not found');
  finally
    Close(F);
  end;
  Open(F, 'BEGIN', True);
  try
    F.Lexer.match('BEGIN');
    CheckEquals(4, F.Lexer.TestLiteral(4), 'case-sensitive table');
  finally
    Close(F);
  end;

  Section('ConsumeUntil and marks');
  Open(F, 'abc;def');
  try
    F.Lexer.ConsumeUntil([';']);
    CheckChar(';', F.Lexer.LA(1), 'stops at a member');
    M := F.Lexer.mark;
    F.Lexer.match(';d');
    F.Lexer.rewind(M);
    CheckChar(';', F.Lexer.LA(1), 'rewind through the lexer');
    M := F.Lexer.mark;
    F.Lexer.consume;
    F.Lexer.commit;
    CheckChar('d', F.Lexer.LA(1), 'commit through the lexer');
    F.Lexer.ConsumeUntil(['!']);
    CheckChar(EOF_CHAR, F.Lexer.LA(1), 'stops at the end of input');
  finally
    Close(F);
  end;
end;

begin
  TestCaseFolding;
  TestMismatches;
  TestPositions;
  TestLiteralsAndResync;
  Finish;
end.
