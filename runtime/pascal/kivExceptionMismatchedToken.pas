{ ==========================================================================
  KIV recognizer runtime - kivExceptionMismatchedToken
  Raised by parsers when the current token does not match a token type or
  a token set. Line and column are those of the offending token.
  ========================================================================== }
unit kivExceptionMismatchedToken;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  kivTypes, kivException;

type
  EkivMismatchedToken = class(EkivException)
  private
    FTokenText: AnsiString;
    FTokenType: Integer;
    procedure TakeToken(const AToken: IkivToken);
  public
    // One token type (KIND_TOKEN). The expected type is not kept.
    constructor Create(const AToken: IkivToken; AExpected: Integer; const AFileName: string;
      ANegated: Boolean); overload;
    // A token set (KIND_TOKEN_SET). The expected set is not kept.
    constructor Create(const AToken: IkivToken; const AExpected: TkivTokenSet;
      const AFileName: string; ANegated: Boolean = False); overload;
    property TokenText: AnsiString read FTokenText;
    property TokenType: Integer read FTokenType;
  end;

implementation

constructor EkivMismatchedToken.Create(const AToken: IkivToken; AExpected: Integer;
  const AFileName: string; ANegated: Boolean);
begin
  inherited Create(KIND_TOKEN, AFileName, 0, 0);
  FNegated := ANegated;
  TakeToken(AToken);
end;

constructor EkivMismatchedToken.Create(const AToken: IkivToken; const AExpected: TkivTokenSet;
  const AFileName: string; ANegated: Boolean);
begin
  inherited Create(KIND_TOKEN_SET, AFileName, 0, 0);
  FNegated := ANegated;
  TakeToken(AToken);
end;

procedure EkivMismatchedToken.TakeToken(const AToken: IkivToken);
begin
  if AToken = nil then
    Exit;
  FTokenText := AToken.TokenText;
  FTokenType := AToken.TokenType;
  FLine := AToken.Line;
  FColumn := AToken.Column;
end;

end.
