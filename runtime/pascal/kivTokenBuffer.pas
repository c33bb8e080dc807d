{ ==========================================================================
  KIV recognizer runtime - kivTokenBuffer
  Token input for parsers: k-token look-ahead over a token stream, with the
  marks and deferred consumes of the input-buffer base. Tokens are fetched
  lazily, so the lexer runs only as far as the parser looks ahead.
  ========================================================================== }
unit kivTokenBuffer;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  kivTypes, kivInputBuffer;

type
  TkivTokenBuffer = class(TkivInputBuffer, IkivTokenBuffer)
  private
    FSource: IkivTokenStream;
    FQueue: IkivTokenQueue;
    procedure Fill(Amount: Integer);
  protected
    procedure RemoveFirst(N: Integer); override;
  public
    // Holds the source for the buffer's lifetime.
    constructor Create(const ASource: IkivTokenStream);
    // The type of the token I positions ahead (1 = current).
    function LA(I: Integer): Integer;
    // The token I positions ahead (1 = current).
    function LT(I: Integer): IkivToken;
    property Queue: IkivTokenQueue read FQueue;
    property Source: IkivTokenStream read FSource;
  end;

implementation

uses
  kivTokenQueue;

constructor TkivTokenBuffer.Create(const ASource: IkivTokenStream);
begin
  inherited Create;
  FSource := ASource;
  FQueue := TkivTokenQueue.Create;
end;

procedure TkivTokenBuffer.Fill(Amount: Integer);
begin
  SyncConsume;
  // The end-of-input token is not special here: asking beyond it asks the
  // source again, which answers with another end-of-input token.
  while FQueue.Count < Amount + FMarkerOffset do
    FQueue.Add(FSource.NextToken);
end;

function TkivTokenBuffer.LA(I: Integer): Integer;
begin
  Result := LT(I).TokenType;
end;

function TkivTokenBuffer.LT(I: Integer): IkivToken;
begin
  Fill(I);
  Result := FQueue.GetItem(I + FMarkerOffset - 1);
end;

procedure TkivTokenBuffer.RemoveFirst(N: Integer);
var
  Unread: Integer;
begin
  // Tokens consumed before anyone looked at them have not been fetched
  // yet; they are fetched and dropped, so such a consume is not lost.
  Unread := N - FQueue.Count;
  FQueue.RemoveFirst(N);
  while Unread > 0 do
  begin
    FSource.NextToken;
    Dec(Unread);
  end;
end;

end.
