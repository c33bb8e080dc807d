{ ==========================================================================
  KIV recognizer runtime - kivParser
  Base class of every parser: its input state, marks, token matching and
  the hooks that generated handlers call.
  ========================================================================== }
unit kivParser;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  SysUtils, kivTypes, kivTokenBuffer, kivStackGuard;

type
  // A plain object with a single owner. It holds its input state, the state
  // holds the token buffer and the buffer holds the token stream, so freeing
  // the parser releases the lexer too unless the caller still references it.
  TkivParser = class
  private
    FInputState: IkivParserState;
    // The input state's buffer, reached without interface calls.
    FTokenBuffer: TkivTokenBuffer;
    procedure RaiseMismatch(T: Integer; Negated: Boolean); overload;
    procedure RaiseMismatch(const ASet: TkivTokenSet); overload;
  protected
    // The part of the stack the parser may use (kivStackGuard). Consuming
    // compares the stack pointer with it: every rule that calls itself,
    // directly or through others, consumes a token between the calls.
    FStackGuard: TkivStackGuard;
    // Re-arms the stack guard for the stack pointer; raises
    // EkivNestingTooDeep, at the current token, when it lies below the
    // limit.
    procedure CheckStack;
  public
    constructor Create(const ATokenStream: IkivTokenStream);
    destructor Destroy; override;

    function mark: Integer; virtual;
    procedure rewind(AMark: Integer); virtual;
    procedure consume; virtual; abstract;
    function LA(I: Integer): Integer; virtual; abstract;
    function LT(I: Integer): IkivToken; virtual; abstract;
    // Called by generated exception handlers with the caught exception.
    procedure reportError(E: Exception); virtual;
    // Receives the message texts a parser wants to pass on.
    procedure reportWarning(const AMessage: string); virtual;

    // Consumes the current token when it has type T; raises
    // EkivMismatchedToken (KIND_TOKEN) otherwise.
    procedure match(T: Integer); overload;
    // Consumes the current token when its type is in the set; raises
    // EkivMismatchedToken (KIND_TOKEN_SET) otherwise.
    procedure match(const ASet: TkivTokenSet); overload;
    // Consumes the current token unless it has type T or is the end of
    // input; raises a negated EkivMismatchedToken (KIND_TOKEN) otherwise.
    procedure matchNot(T: Integer);
    // Resynchronises after an error: consumes tokens until the current one
    // is in the set or is the end-of-input token.
    procedure ConsumeUntil(const ASet: TkivTokenSet);

    // Entry points of the optimized form of generated parsers (names begin
    // with "_", which no grammar identifier can): EkivMismatchedToken for
    // LT(1) against ASet and EkivSemantic at the current token, as the
    // default form's raise statements do.
    procedure _raiseNoViableToken(const ASet: TkivTokenSet); {$IFDEF FPC}noreturn;{$ENDIF}
    procedure _raiseSemantic(const APredicate: AnsiString); {$IFDEF FPC}noreturn;{$ENDIF}
    // match(T)'s error: EkivMismatchedToken (KIND_TOKEN) for LT(1) against T.
    procedure _raiseMismatch(T: Integer); {$IFDEF FPC}noreturn;{$ENDIF}

    property InputState: IkivParserState read FInputState;
    // The buffer the constructor created, as its class.
    property TokenBuffer: TkivTokenBuffer read FTokenBuffer;
  end;

// Token types outside 0..255 are never members of a token set.
function InTokenSet(T: Integer; const ASet: TkivTokenSet): Boolean;

implementation

uses
  kivParserState, kivExceptionMismatchedToken, kivExceptionNestingTooDeep, kivExceptionSemantic;

function InTokenSet(T: Integer; const ASet: TkivTokenSet): Boolean;
begin
  Result := (T >= 0) and (T <= 255) and (Byte(T) in ASet);
end;

constructor TkivParser.Create(const ATokenStream: IkivTokenStream);
begin
  inherited Create;
  FTokenBuffer := TkivTokenBuffer.Create(ATokenStream);
  FInputState := TkivParserState.Create(FTokenBuffer);
end;

destructor TkivParser.Destroy;
begin
  FInputState := nil;
  inherited Destroy;
end;

function TkivParser.mark: Integer;
begin
  Result := FInputState.Input.mark;
end;

procedure TkivParser.rewind(AMark: Integer);
begin
  FInputState.Input.rewind(AMark);
end;

procedure TkivParser.CheckStack;
var
  Token: IkivToken;
  Line, Column: Integer;
begin
  if KivArmStackGuard(FStackGuard, KivStackPointer) then
    Exit;
  // The token about to be consumed; it was looked at, so no lexer runs
  // here, this near the end of the stack.
  Token := FTokenBuffer.HeldToken;
  Line := 0;
  Column := 0;
  if Token <> nil then
  begin
    Line := Token.Line;
    Column := Token.Column;
  end;
  raise EkivNestingTooDeep.Create(FInputState.FileName, Line, Column);
end;

procedure TkivParser.reportError(E: Exception);
begin
end;

procedure TkivParser.reportWarning(const AMessage: string);
begin
end;

// Raising lives apart from the matches: the token it reads would otherwise
// cost every match an implicit exception frame.
procedure TkivParser.RaiseMismatch(T: Integer; Negated: Boolean);
begin
  raise EkivMismatchedToken.Create(LT(1), T, FInputState.FileName, Negated);
end;

procedure TkivParser.RaiseMismatch(const ASet: TkivTokenSet);
begin
  raise EkivMismatchedToken.Create(LT(1), ASet, FInputState.FileName, False);
end;

procedure TkivParser._raiseNoViableToken(const ASet: TkivTokenSet);
begin
  RaiseMismatch(ASet);
end;

procedure TkivParser._raiseSemantic(const APredicate: AnsiString);
begin
  raise EkivSemantic.Create(APredicate, FInputState.FileName, FInputState.Line, FInputState.Column);
end;

procedure TkivParser._raiseMismatch(T: Integer);
begin
  RaiseMismatch(T, False);
end;

procedure TkivParser.match(T: Integer);
begin
  if LA(1) <> T then
    RaiseMismatch(T, False);
  consume;
end;

procedure TkivParser.match(const ASet: TkivTokenSet);
begin
  if not InTokenSet(LA(1), ASet) then
    RaiseMismatch(ASet);
  consume;
end;

procedure TkivParser.matchNot(T: Integer);
begin
  // "~A" and the wildcard match a token of the vocabulary, never the end of
  // input: the end-of-input token is handed out for ever, so a rule that
  // recursed through a wildcard would never stop there.
  if (LA(1) = T) or (LA(1) = TT_EOF) then
    RaiseMismatch(T, True);
  consume;
end;

procedure TkivParser.ConsumeUntil(const ASet: TkivTokenSet);
var
  T: Integer;
begin
  // Stopping at the end-of-input token matters: the lexer answers every
  // request past the end with another one, so the loop would never end.
  T := LA(1);
  while (T <> TT_EOF) and not InTokenSet(T, ASet) do
  begin
    consume;
    T := LA(1);
  end;
end;

end.
