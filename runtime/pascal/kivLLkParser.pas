{ ==========================================================================
  KIV recognizer runtime - kivLLkParser
  The LL(k) parser base that generated parsers descend from: look-ahead and
  consumption go straight to the input state's token buffer.
  ========================================================================== }
unit kivLLkParser;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  kivTypes, kivParser, kivTokenBuffer, kivStackGuard;

type
  TkivLLkParser = class(TkivParser)
  private
    FLookaheadDepth: Integer;
  public
    constructor Create(const ATokenStream: IkivTokenStream; ALookaheadDepth: Integer);
    procedure consume; override;
    function LA(I: Integer): Integer; override;
    function LT(I: Integer): IkivToken; override;
    // The input state's file name, for positioning the parser's own messages.
    function FileName: string;
    // Entry points of the optimized form of generated parsers: LA, consume
    // and match(T) without virtual calls, inlined into the rules. Such a
    // parser reads its input only through these, so overriding LA or
    // consume does not change what it does.
    function _LA(I: Integer): Integer; inline;
    // LT(1), with which the optimized form labels tokens.
    function _LT1: IkivToken; inline;
    procedure _consume; inline;
    procedure _match(T: Integer); inline;
    // The look-ahead depth k the parser was built for.
    property LookaheadDepth: Integer read FLookaheadDepth;
  end;

implementation

constructor TkivLLkParser.Create(const ATokenStream: IkivTokenStream; ALookaheadDepth: Integer);
begin
  inherited Create(ATokenStream);
  FLookaheadDepth := ALookaheadDepth;
end;

// The state's input is the buffer the constructor made, and it cannot be
// replaced, so the buffer is used through its class.
procedure TkivLLkParser.consume;
var
  Probe: Byte;
begin
  if KivOutsideStack(FStackGuard, @Probe) then
    CheckStack;
  TokenBuffer.consume;
end;

function TkivLLkParser.LA(I: Integer): Integer;
begin
  Result := TokenBuffer.LA(I);
end;

function TkivLLkParser.LT(I: Integer): IkivToken;
begin
  Result := TokenBuffer.LT(I);
end;

function TkivLLkParser._LA(I: Integer): Integer;
begin
  Result := TokenBuffer._LA(I);
end;

function TkivLLkParser._LT1: IkivToken;
begin
  Result := TokenBuffer._LT1;
end;

procedure TkivLLkParser._consume;
var
  Probe: Byte;
begin
  if KivOutsideStack(FStackGuard, @Probe) then
    CheckStack;
  TokenBuffer.consume;
end;

procedure TkivLLkParser._match(T: Integer);
begin
  if TokenBuffer._LA(1) <> T then
    _raiseMismatch(T);
  _consume;
end;

function TkivLLkParser.FileName: string;
begin
  Result := InputState.FileName;
end;

end.
