{ drive - lists the tokens that the k=2 scanner makes of each case. }
program drive;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses
  Classes, SysUtils, kivTypes, e2eCases, ScanLexer, ScanLexerTokens;

function NameOf(TokenType: Integer): string;
begin
  case TokenType of
    TT_EOF: Result := 'EOF';
    LT_if: Result := 'if';
    LT_then: Result := 'then';
    TT_SLASH: Result := 'SLASH';
    TT_LT: Result := 'LT';
    TT_LE: Result := 'LE';
    TT_NE: Result := 'NE';
    TT_SHL: Result := 'SHL';
    TT_DOT: Result := 'DOT';
    TT_RANGE: Result := 'RANGE';
    TT_NUMBER: Result := 'NUMBER';
    TT_ID: Result := 'ID';
    TT_STRING: Result := 'STRING';
    TT_CHAR: Result := 'CHAR';
    TT_TAG: Result := 'TAG';
  else
    Result := 'type ' + IntToStr(TokenType);
  end;
end;

procedure Run(const Entry: string; Input: TStream; Output: TStrings);
begin
  if Entry <> 'tokens' then
    raise Exception.Create('unknown entry ' + Entry);
  ListTokens(TScanLexer.Create(Input), NameOf, Output);
end;

begin
  ExitCode := RunCases('scanner', Run);
end.
