{ ==========================================================================
  KIV recognizer runtime - kivLexerState
  A lexer's shared input state: its character buffer, the file name, the
  current line and column, where the current token began and how deep the
  lexer is guessing.
  ========================================================================== }
unit kivLexerState;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  Classes, kivTypes, kivCharBuffer;

type
  PkivCharBuffer = ^TkivCharBuffer;

  TkivLexerState = class(TInterfacedObject, IkivLexerState)
  private
    FFileName: string;
    FColumn: Integer;
    FLine: Integer;
    FGuessing: Integer;
    FInput: IkivCharBuffer;
    FTokenStartColumn: Integer;
    FTokenStartLine: Integer;
    // FInput as its class when it is a TkivCharBuffer; otherwise an empty
    // buffer of its own that never reads directly (FForeignInput is then
    // true and characters come through FInput).
    FCharBuffer: TkivCharBuffer;
    FIdleBuffer: IkivCharBuffer;
    FForeignInput: Boolean;
    FCharBufferSlot: PkivCharBuffer;
  protected
    function GetFileName: string;
    function GetLine: Integer;
    function GetColumn: Integer;
    function GetGuessing: Integer;
    function GetInput: IkivCharBuffer;
    function GetTokenStartLine: Integer;
    function GetTokenStartColumn: Integer;
    procedure SetFileName(const AValue: string);
    procedure SetLine(AValue: Integer);
    procedure SetColumn(AValue: Integer);
    procedure SetGuessing(AValue: Integer);
    procedure SetInput(const AValue: IkivCharBuffer);
    procedure SetTokenStartLine(AValue: Integer);
    procedure SetTokenStartColumn(AValue: Integer);
  public
    // Creates a character buffer over the stream; the stream is borrowed.
    constructor Create(AStream: TStream);
    // The same values as the interface's properties, read and written
    // without a call: the lexer's per-character work goes through these.
    property Line: Integer read FLine write FLine;
    property Column: Integer read FColumn write FColumn;
    property Guessing: Integer read FGuessing write FGuessing;
    property TokenStartLine: Integer read FTokenStartLine write FTokenStartLine;
    property TokenStartColumn: Integer read FTokenStartColumn write FTokenStartColumn;
    // The input as a TkivCharBuffer, for direct reading (never nil).
    property CharBuffer: TkivCharBuffer read FCharBuffer;
    // True when the input is not a TkivCharBuffer: CharBuffer then never
    // reads directly and everything goes through the interface.
    property ForeignInput: Boolean read FForeignInput;
    // Keeps ASlot^ equal to CharBuffer from now on, through every change of
    // the input (nil ends it): the lexer holds its buffer in a field of its
    // own and saves a step on every character.
    procedure BindCharBuffer(ASlot: PkivCharBuffer);
  end;

implementation

constructor TkivLexerState.Create(AStream: TStream);
begin
  inherited Create;
  FColumn := 1;
  FLine := 1;
  FTokenStartColumn := 1;
  FTokenStartLine := 1;
  FCharBuffer := TkivCharBuffer.Create(AStream);
  FInput := FCharBuffer;
end;

function TkivLexerState.GetFileName: string;
begin
  Result := FFileName;
end;

function TkivLexerState.GetLine: Integer;
begin
  Result := FLine;
end;

function TkivLexerState.GetColumn: Integer;
begin
  Result := FColumn;
end;

function TkivLexerState.GetGuessing: Integer;
begin
  Result := FGuessing;
end;

function TkivLexerState.GetInput: IkivCharBuffer;
begin
  Result := FInput;
end;

function TkivLexerState.GetTokenStartLine: Integer;
begin
  Result := FTokenStartLine;
end;

function TkivLexerState.GetTokenStartColumn: Integer;
begin
  Result := FTokenStartColumn;
end;

procedure TkivLexerState.SetFileName(const AValue: string);
begin
  FFileName := AValue;
end;

procedure TkivLexerState.SetLine(AValue: Integer);
begin
  FLine := AValue;
end;

procedure TkivLexerState.SetColumn(AValue: Integer);
begin
  FColumn := AValue;
end;

procedure TkivLexerState.SetGuessing(AValue: Integer);
begin
  FGuessing := AValue;
end;

procedure TkivLexerState.SetInput(const AValue: IkivCharBuffer);
begin
  FInput := AValue;
  FForeignInput := (AValue = nil) or not ((AValue as TObject) is TkivCharBuffer);
  if not FForeignInput then
    FCharBuffer := TkivCharBuffer(AValue as TObject)
  else
  begin
    if FIdleBuffer = nil then
      FIdleBuffer := TkivCharBuffer.Create(nil);
    FCharBuffer := TkivCharBuffer(FIdleBuffer as TObject);
  end;
  if FCharBufferSlot <> nil then
    FCharBufferSlot^ := FCharBuffer;
end;

procedure TkivLexerState.BindCharBuffer(ASlot: PkivCharBuffer);
begin
  FCharBufferSlot := ASlot;
  if ASlot <> nil then
    ASlot^ := FCharBuffer;
end;

procedure TkivLexerState.SetTokenStartLine(AValue: Integer);
begin
  FTokenStartLine := AValue;
end;

procedure TkivLexerState.SetTokenStartColumn(AValue: Integer);
begin
  FTokenStartColumn := AValue;
end;

end.
