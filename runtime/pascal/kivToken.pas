{ ==========================================================================
  KIV recognizer runtime - kivToken
  The reference-counted token: text, type, line and column (1-based).
  ========================================================================== }
unit kivToken;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  kivTypes;

type
  // Tokens are made and dropped once per token of input and their
  // references are copied several times on the way from the lexer to the
  // parser, so counting is kept cheap: the count is changed with plain
  // arithmetic while the program runs a single thread, and with interlocked
  // operations as soon as a second thread has been started (IsMultiThread).
  // For the same reason a single-threaded program keeps the memory of up to
  // KIV_TOKEN_POOL_SIZE freed base-class tokens for the next ones.
  TkivToken = class(TInterfacedObject, IkivToken)
  private
    FTokenText: AnsiString;
    FTokenType: Integer;
    FLine: Integer;
    FColumn: Integer;
    // Puts the memory of a token nobody references into the pool.
    procedure Recycle;
  protected
    function GetTokenText: AnsiString;
    function GetTokenType: Integer;
    function GetLine: Integer;
    function GetColumn: Integer;
    procedure SetTokenText(const AValue: AnsiString);
    procedure SetTokenType(AValue: Integer);
    procedure SetLine(AValue: Integer);
    procedure SetColumn(AValue: Integer);
    function _AddRef: Longint; {$IFDEF FPC}{$IFNDEF WINDOWS}cdecl{$ELSE}stdcall{$ENDIF}{$ELSE}stdcall{$ENDIF};
    function _Release: Longint; {$IFDEF FPC}{$IFNDEF WINDOWS}cdecl{$ELSE}stdcall{$ENDIF}{$ELSE}stdcall{$ENDIF};
  public
    // Virtual so that a lexer can be told to instantiate a descendant
    // through a TkivTokenClass value.
    constructor Create(AType: Integer = 0; const AText: AnsiString = ''); virtual;
    // A base-class token with the given type and position and empty text,
    // as Create followed by setting Line and Column would give, made
    // without a constructor call (lexers make one per token).
    class function Make(AType, ALine, AColumn: Integer): TkivToken;
    procedure AfterConstruction; override;
    class function NewInstance: TObject; override;
    procedure FreeInstance; override;
    // Sets the text to the Len characters at P.
    procedure SetTextFrom(P: PAnsiChar; Len: Integer);
    // A new base-class token with the same text, type, line and column.
    function Clone: IkivToken;
    // The base-class token behind AToken when AToken is its only reference,
    // else nil: such a token can be given new contents in place (_Refill)
    // as nobody can see the old ones any more.
    class function _Reusable(const AToken: IkivToken): TkivToken; inline;
    // Gives the token the type, position and text (the Len characters at
    // P) that Make and SetTextFrom would give a new one. A text string
    // nobody else holds keeps its memory.
    procedure _Refill(AType, ALine, AColumn: Integer; P: PAnsiChar; Len: Integer); inline;
    // _Refill's cases other than a short text that fits the string's length.
    procedure RefillGeneral(AType, ALine, AColumn: Integer; P: PAnsiChar; Len: Integer);
    property TokenText: AnsiString read FTokenText write FTokenText;
    property TokenType: Integer read FTokenType write FTokenType;
    property Line: Integer read FLine write FLine;
    property Column: Integer read FColumn write FColumn;
  end;

  TkivTokenClass = class of TkivToken;

var
  // The code page SetString gives a token's text.
  KivTextCodePage: Word = 0;
  // Whether _Refill may read and write string headers in place (set up at
  // start-up by CheckStringHeader). In the interface so that _Refill's
  // inline part can read them.
  KivStringHeaderInPlace: Boolean = False;
  // Set up at start-up: the interface table of TkivToken's IkivToken, and
  // where the type field lies from that interface. A token whose interface
  // pointer leads to this table (TkivToken and descendants that keep its
  // implementation) has its type read in place; any other implementation
  // is asked through KivInterfaceTokenType.
  KivTokenInterfaceTable: Pointer = nil;
  KivTokenTypeOffset: {$IFDEF FPC}PtrInt{$ELSE}NativeInt{$ENDIF} = 0;
  // Where the object lies from its IkivToken interface pointer.
  KivTokenObjectOffset: {$IFDEF FPC}PtrInt{$ELSE}NativeInt{$ENDIF} = 0;

// The type of the token behind a non-nil IkivToken pointer, asked through
// the interface.
function KivInterfaceTokenType(AToken: Pointer): Integer;

// SetLength for a text string kept from token to token: a string nobody
// else holds keeps its memory, and so its address, while the new length
// fits in it.
procedure KivSetTextLength(var AText: AnsiString; ALength: Integer);

implementation

const
  KIV_TOKEN_POOL_SIZE = 1024;

var
  // Freed TkivToken instances, linked through their (emptied) text field.
  // Their class pointer and interface tables stay as InitInstance set them.
  TokenPool: TkivToken = nil;
  TokenPoolCount: Integer = 0;

class function TkivToken.NewInstance: TObject;
var
  Token: TkivToken;
begin
  if (Self = TkivToken) and (TokenPool <> nil) and not IsMultiThread then
  begin
    Token := TokenPool;
    TokenPool := TkivToken(Pointer(Token.FTokenText));
    Pointer(Token.FTokenText) := nil;
    Dec(TokenPoolCount);
    // What TInterfacedObject.NewInstance does; the constructor or Make sets
    // every field of TkivToken.
    Token.FRefCount := 1;
    Result := Token;
  end
  else
    Result := inherited NewInstance;
end;

procedure TkivToken.Recycle;
begin
  // The text is the only managed field of the class.
  FTokenText := '';
  Pointer(FTokenText) := TokenPool;
  TokenPool := Self;
  Inc(TokenPoolCount);
end;

procedure TkivToken.FreeInstance;
begin
  if (ClassType = TkivToken) and (TokenPoolCount < KIV_TOKEN_POOL_SIZE) and not IsMultiThread then
    Recycle
  else
    inherited FreeInstance;
end;

function KivInterfaceTokenType(AToken: Pointer): Integer;
begin
  Result := IkivToken(AToken).TokenType;
end;

{$IFDEF FPC}
// Whether strings are laid out as _Refill reads them in place: a machine
// word each for the length, the reference count and the code page (in its
// first two bytes) before the characters, in a memory block that starts
// with them and whose size MemSize tells.
procedure CheckStringHeader;
var
  Text, Copied: AnsiString;
  P: PAnsiChar;
begin
  SetString(Text, 'abc', 3);
  P := PAnsiChar(Pointer(Text));
  KivStringHeaderInPlace := (PSizeInt(P - SizeOf(SizeInt))^ = 3) and
    (PSizeInt(P - 2 * SizeOf(SizeInt))^ = 1) and
    (PWord(P - 3 * SizeOf(SizeInt))^ = StringCodePage(Text)) and
    (MemSize(P - 3 * SizeOf(SizeInt)) >= SizeUInt(3 + 1 + 3 * SizeOf(SizeInt)));
  Copied := Text;
  KivStringHeaderInPlace := KivStringHeaderInPlace and (PSizeInt(P - 2 * SizeOf(SizeInt))^ = 2);
end;
{$ELSE}
procedure CheckStringHeader;
begin
end;
{$ENDIF}

procedure FindTokenLayout;
var
  Token: TkivToken;
  Intf: IkivToken;
begin
  Token := TkivToken.Create;
  Intf := Token;
  KivTokenInterfaceTable := PPointer(Intf)^;
  KivTokenTypeOffset := PAnsiChar(@Token.FTokenType) - PAnsiChar(Pointer(Intf));
  KivTokenObjectOffset := PAnsiChar(Pointer(Token)) - PAnsiChar(Pointer(Intf));
  SetString(Token.FTokenText, 'a', 1);
  KivTextCodePage := StringCodePage(Token.FTokenText);
  Intf := nil;
  CheckStringHeader;
end;

procedure DrainTokenPool;
var
  Token: TkivToken;
begin
  while TokenPool <> nil do
  begin
    Token := TokenPool;
    TokenPool := TkivToken(Pointer(Token.FTokenText));
    Pointer(Token.FTokenText) := nil;
    FreeMem(Pointer(Token));
  end;
  TokenPoolCount := 0;
end;

constructor TkivToken.Create(AType: Integer; const AText: AnsiString);
begin
  inherited Create;
  FTokenType := AType;
  FTokenText := AText;
  FLine := 1;
  FColumn := 1;
end;

class function TkivToken.Make(AType, ALine, AColumn: Integer): TkivToken;
begin
  if (TokenPool <> nil) and not IsMultiThread then
  begin
    // NewInstance followed by AfterConstruction, for a pooled instance: the
    // count ends at 0 and the text is empty.
    Result := TokenPool;
    TokenPool := TkivToken(Pointer(Result.FTokenText));
    Pointer(Result.FTokenText) := nil;
    Dec(TokenPoolCount);
    Result.FRefCount := 0;
  end
  else
  begin
    Result := TkivToken(TkivToken.NewInstance);
    Result.AfterConstruction;
  end;
  Result.FTokenType := AType;
  Result.FLine := ALine;
  Result.FColumn := AColumn;
end;

procedure TkivToken.SetTextFrom(P: PAnsiChar; Len: Integer);
begin
  SetString(FTokenText, P, Len);
end;

class function TkivToken._Reusable(const AToken: IkivToken): TkivToken;
begin
  Result := nil;
  if (AToken <> nil) and (PPointer(AToken)^ = KivTokenInterfaceTable) then
  begin
    Result := TkivToken(PAnsiChar(Pointer(AToken)) + KivTokenObjectOffset);
    // A descendant may have fields of its own to reset.
    if (PPointer(Result)^ <> Pointer(TkivToken)) or (Result.FRefCount <> 1) then
      Result := nil;
  end;
end;

{$IFDEF FPC}
// Gives the string at Target, which nobody else holds and whose header is
// read in place (see CheckStringHeader), the length ALength > 0 when its
// memory has room for it: only the length and the terminating zero change.
function SetLengthInPlace(Target: PAnsiChar; ALength: Integer): Boolean; inline;
begin
  Result := (ALength <= PSizeInt(Target - SizeOf(SizeInt))^) or
    (MemSize(Target - 3 * SizeOf(SizeInt)) > SizeUInt(ALength + 3 * SizeOf(SizeInt)));
  if Result then
  begin
    PSizeInt(Target - SizeOf(SizeInt))^ := ALength;
    Target[ALength] := #0;
  end;
end;
{$ENDIF}

procedure TkivToken._Refill(AType, ALine, AColumn: Integer; P: PAnsiChar; Len: Integer);
{$IFDEF FPC}
var
  Target: PAnsiChar;
  I: Integer;
begin
  // The common case inline: a short text no longer than the one before, in a
  // string nobody else holds, written over it (see CheckStringHeader).
  Target := PAnsiChar(Pointer(FTokenText));
  if KivStringHeaderInPlace and (Target <> nil) and (Len > 0) and (Len <= 16) and
    (Len <= PSizeInt(Target - SizeOf(SizeInt))^) and
    (PSizeInt(Target - 2 * SizeOf(SizeInt))^ = 1) and
    (PWord(Target - 3 * SizeOf(SizeInt))^ = KivTextCodePage) then
  begin
    FTokenType := AType;
    FLine := ALine;
    FColumn := AColumn;
    PSizeInt(Target - SizeOf(SizeInt))^ := Len;
    Target[Len] := #0;
    for I := 0 to Len - 1 do
      Target[I] := P[I];
  end
  else
    RefillGeneral(AType, ALine, AColumn, P, Len);
end;
{$ELSE}
begin
  RefillGeneral(AType, ALine, AColumn, P, Len);
end;
{$ENDIF}

procedure TkivToken.RefillGeneral(AType, ALine, AColumn: Integer; P: PAnsiChar; Len: Integer);
var
  Target: PAnsiChar;
  I: Integer;
begin
  FTokenType := AType;
  FLine := ALine;
  FColumn := AColumn;
  if Len <= 0 then
  begin
    FTokenText := '';
    Exit;
  end;
  Target := PAnsiChar(Pointer(FTokenText));
{$IFDEF FPC}
  if KivStringHeaderInPlace then
  begin
    // The header read in place (see CheckStringHeader).
    if (Target = nil) or (PSizeInt(Target - 2 * SizeOf(SizeInt))^ <> 1) or
      (PWord(Target - 3 * SizeOf(SizeInt))^ <> KivTextCodePage) then
    begin
      SetString(FTokenText, P, Len);
      Exit;
    end;
    if not SetLengthInPlace(Target, Len) then
    begin
      SetLength(FTokenText, Len);
      Target := PAnsiChar(Pointer(FTokenText));
    end;
  end
  else
{$ENDIF}
  begin
    if (Target = nil) or (StringRefCount(FTokenText) <> 1) or
      (StringCodePage(FTokenText) <> KivTextCodePage) then
    begin
      SetString(FTokenText, P, Len);
      Exit;
    end;
    if Length(FTokenText) <> Len then
    begin
      SetLength(FTokenText, Len);
      Target := PAnsiChar(Pointer(FTokenText));
    end;
  end;
  if Len <= 16 then
    for I := 0 to Len - 1 do
      Target[I] := P[I]
  else
    Move(P^, Target^, Len);
end;

procedure TkivToken.AfterConstruction;
begin
  // NewInstance leaves the count at 1 so that the constructor may hand out
  // references safely; this takes it back to 0, as TInterfacedObject does.
  if IsMultiThread then
    inherited AfterConstruction
  else
    Dec(FRefCount);
end;

function TkivToken._AddRef: Longint;
begin
  if IsMultiThread then
    Result := {$IFDEF FPC}InterLockedIncrement{$ELSE}AtomicIncrement{$ENDIF}(FRefCount)
  else
  begin
    Inc(FRefCount);
    Result := FRefCount;
  end;
end;

function TkivToken._Release: Longint;
begin
  if IsMultiThread then
    Result := {$IFDEF FPC}InterLockedDecrement{$ELSE}AtomicDecrement{$ENDIF}(FRefCount)
  else
  begin
    Dec(FRefCount);
    Result := FRefCount;
    // A base-class token has no destructor of its own: its memory can go
    // back to the pool without the destructor calls.
    if (Result = 0) and (PPointer(Self)^ = Pointer(TkivToken)) and
      (TokenPoolCount < KIV_TOKEN_POOL_SIZE) then
    begin
      Recycle;
      Exit;
    end;
  end;
  if Result = 0 then
    Destroy;
end;

function TkivToken.Clone: IkivToken;
var
  Copy: TkivToken;
begin
  Copy := TkivToken.Create(FTokenType, FTokenText);
  Copy.FLine := FLine;
  Copy.FColumn := FColumn;
  Result := Copy;
end;

function TkivToken.GetTokenText: AnsiString;
begin
  Result := FTokenText;
end;

function TkivToken.GetTokenType: Integer;
begin
  Result := FTokenType;
end;

function TkivToken.GetLine: Integer;
begin
  Result := FLine;
end;

function TkivToken.GetColumn: Integer;
begin
  Result := FColumn;
end;

procedure TkivToken.SetTokenText(const AValue: AnsiString);
begin
  FTokenText := AValue;
end;

procedure TkivToken.SetTokenType(AValue: Integer);
begin
  FTokenType := AValue;
end;

procedure TkivToken.SetLine(AValue: Integer);
begin
  FLine := AValue;
end;

procedure TkivToken.SetColumn(AValue: Integer);
begin
  FColumn := AValue;
end;

procedure KivSetTextLength(var AText: AnsiString; ALength: Integer);
{$IFDEF FPC}
var
  Target: PAnsiChar;
begin
  Target := PAnsiChar(Pointer(AText));
  if KivStringHeaderInPlace and (Target <> nil) and (ALength > 0) and
    (PSizeInt(Target - 2 * SizeOf(SizeInt))^ = 1) and SetLengthInPlace(Target, ALength) then
    Exit;
  SetLength(AText, ALength);
end;
{$ELSE}
begin
  SetLength(AText, ALength);
end;
{$ENDIF}

initialization
  FindTokenLayout;

finalization
  DrainTokenPool;
end.
