{ ==========================================================================
  testErrorText
  The one-line text of the exceptions that end a recognizer: the mismatches
  as a lexer and a parser raise them, other recognition exceptions with
  their message, and exceptions of any other kind.
  ========================================================================== }
program testErrorText;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses
  Classes, SysUtils, kivTestCheck, kivTypes, kivToken, kivLexer, kivLLkParser,
  kivException, kivExceptionMismatchedChar, kivExceptionMismatchedToken,
  kivExceptionSemantic, kivErrorText;

type
  TProbeLexer = class(TkivLexer)
  public
    function NextToken: IkivToken; override;
  end;

  // Hands out the tokens it was given, then end-of-input tokens placed
  // after the last one, as a generated lexer does.
  TListStream = class(TInterfacedObject, IkivTokenStream)
  private
    FTokens: array of IkivToken;
    FNext: Integer;
  public
    procedure Add(AType: Integer; const AText: AnsiString; ALine, AColumn: Integer);
    function NextToken: IkivToken;
  end;

  // A recognition exception that carries its own message, like a failed
  // nesting limit or an error a grammar action raises.
  EDeepInput = class(EkivException)
  public
    constructor Create(const AFileName: string; ALine, AColumn: Integer);
  end;

  // Kinds that no runtime constructor gives.
  EOddChar = class(EkivMismatchedChar)
  public
    constructor Create;
  end;

function TProbeLexer.NextToken: IkivToken;
begin
  Result := TkivToken.Create(TT_EOF);
end;

procedure TListStream.Add(AType: Integer; const AText: AnsiString; ALine, AColumn: Integer);
var
  Token: IkivToken;
begin
  Token := TkivToken.Create(AType, AText);
  Token.Line := ALine;
  Token.Column := AColumn;
  SetLength(FTokens, Length(FTokens) + 1);
  FTokens[High(FTokens)] := Token;
end;

function TListStream.NextToken: IkivToken;
begin
  if FNext <= High(FTokens) then
  begin
    Result := FTokens[FNext];
    Inc(FNext);
  end
  else
  begin
    Result := TkivToken.Create(TT_EOF);
    Result.Line := 9;
    Result.Column := 1;
  end;
end;

constructor EDeepInput.Create(const AFileName: string; ALine, AColumn: Integer);
begin
  inherited Create(9, AFileName, ALine, AColumn);
  Message := 'nesting too deep';
end;

constructor EOddChar.Create;
begin
  inherited Create('x', 'y', 'odd.txt', 1, 2, False);
  FKind := 6;
end;

// Runs Step on a probe lexer over Text and answers the text of what it
// raised, or "(nothing raised)".
type
  TLexerStep = procedure(L: TProbeLexer);

function LexerError(const Text: AnsiString; Step: TLexerStep): AnsiString;
var
  Stream: TMemoryStream;
  Lexer: TProbeLexer;
  Ref: IkivTokenStream;
begin
  Result := '(nothing raised)';
  Stream := StreamOf(Text);
  Lexer := TProbeLexer.Create(Stream);
  Ref := Lexer;
  Lexer.InputState.FileName := 'in.cfg';
  try
    try
      Step(Lexer);
    except
      on E: Exception do
        Result := ErrorText(E);
    end;
  finally
    Ref := nil;
    Stream.Free;
  end;
end;

procedure MatchQuoteAfterAbc(L: TProbeLexer);
begin
  L.match('a');
  L.match('b');
  L.match('c');
  L.match('"');
end;

procedure MatchNotX(L: TProbeLexer);
begin
  L.newLine;
  L.matchNot('x');
end;

procedure MatchDigit(L: TProbeLexer);
begin
  L.match(['0'..'9']);
end;

procedure MatchBegin(L: TProbeLexer);
begin
  L.match(AnsiString('begin'));
end;

procedure TestLexerMismatches;
begin
  Section('lexer mismatches');
  // The position is that of the offending character.
  CheckEquals('in.cfg(1,4): Expecting [''"''] but found #10',
    LexerError('abc'#10, MatchQuoteAfterAbc), 'one character');
  CheckEquals('in.cfg(2,1): Not expecting [''x''] and found ''x''',
    LexerError('x', MatchNotX), 'negated character');
  CheckEquals('in.cfg(1,1): Expecting [''0''..''9''] but found ''''''''',
    LexerError('''', MatchDigit), 'set, apostrophe found');
  CheckEquals('in.cfg(1,1): Expecting [''0''..''9''] but found #0',
    LexerError('', MatchDigit), 'set at the end of the input');
  CheckEquals('in.cfg(1,3): Expecting ''begin'' but found ''be''#9',
    LexerError('be'#9'in', MatchBegin), 'string');
end;

procedure TestParserMismatches;
var
  Tokens: TListStream;
  Parser: TkivLLkParser;
  Text: AnsiString;
begin
  Section('parser mismatches');
  Tokens := TListStream.Create;
  Tokens.Add(5, 'key', 3, 7);
  Tokens.Add(6, '=', 3, 11);
  Parser := TkivLLkParser.Create(Tokens, 1);
  try
    Parser.InputState.FileName := 'in.cfg';
    Text := '(nothing raised)';
    try
      Parser.match(5);
      Parser.match([4, 7]);
    except
      on E: Exception do
        Text := ErrorText(E);
    end;
    CheckEquals('in.cfg(3,11): Unexpected token: =', Text, 'token set, at the token found');
    Text := '(nothing raised)';
    try
      Parser.match(6);
      Parser.match(8);
    except
      on E: Exception do
        Text := ErrorText(E);
    end;
    CheckEquals('in.cfg(9,1): Unexpected end of input', Text, 'end of input');
  finally
    Parser.Free;
  end;
end;

procedure CheckRaised(E: Exception; const Expected, What: string);
begin
  try
    CheckEquals(AnsiString(Expected), ErrorText(E), What);
  finally
    E.Free;
  end;
end;

procedure TestOtherExceptions;
begin
  Section('other exceptions');
  CheckRaised(EkivSemantic.Create('unknown variable x', 'calc.txt', 4, 2),
    'calc.txt(4,2): unknown variable x', 'semantic');
  CheckRaised(EDeepInput.Create('', 12, 30), '(12,30): nesting too deep',
    'recognition exception with a message, no file name');
  CheckRaised(EkivException.Create(KIND_TOKEN, 'a.txt', 1, 1), 'a.txt(1,1): EkivException',
    'recognition exception without a message');
  CheckRaised(EOddChar.Create, 'odd.txt(1,2): Internal error: Unknown lexer exception.',
    'unknown kind');
  CheckRaised(EConvertError.Create('"x" is not a number'), '"x" is not a number', 'other class');
  CheckRaised(EAbort.Create(''), 'EAbort', 'other class without a message');
  CheckEquals('', ErrorText(nil), 'nil');
end;

begin
  TestLexerMismatches;
  TestParserMismatches;
  TestOtherExceptions;
  Finish;
end.
