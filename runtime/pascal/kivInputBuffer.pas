{ ==========================================================================
  KIV recognizer runtime - kivInputBuffer
  Common base of the character and token buffers: marks for syntactic
  predicates, rewinding, and deferred consumption.
  ========================================================================== }
unit kivInputBuffer;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  kivTypes;

type
  // Consumes are only counted; they are applied at the next look-ahead,
  // mark or rewind, so a run of consumes costs one queue operation. While a
  // mark is open consumed items stay in the queue and only the marker
  // offset moves past them, which is what makes rewinding possible.
  TkivInputBuffer = class(TInterfacedObject, IkivInputBuffer)
  protected
    // Below this address a descendant may serve and skip items without
    // going through its queue (see TkivCharBuffer). Every operation of this
    // base sets it to nil, so a consume, mark, rewind or commit always ends
    // direct reading until the descendant has checked that it applies again.
    FDirectEnd: Pointer;
    // Number of marks currently open.
    FMarkers: Integer;
    // Number of held items that lie before the current position.
    FMarkerOffset: Integer;
    // Consumes requested and not yet applied.
    FPendingConsumes: Integer;
    // Drops N items from the front of the descendant's queue.
    procedure RemoveFirst(N: Integer); virtual; abstract;
    // Applies the pending consumes.
    procedure SyncConsume;
    // Once the last mark is closed the items before the current position
    // can never be rewound to again; they are dropped so that a lexer
    // which marks and commits every token does not keep its whole input.
    procedure DropConsumed;
  public
    function IsMarked: Boolean;
    procedure consume; inline;
    procedure commit;
    function mark: Integer;
    procedure rewind(AMark: Integer);
    property Markers: Integer read FMarkers;
    property MarkerOffset: Integer read FMarkerOffset;
    property PendingConsumes: Integer read FPendingConsumes;
  end;

implementation

procedure TkivInputBuffer.SyncConsume;
begin
  if FPendingConsumes > 0 then
  begin
    if FMarkers > 0 then
      Inc(FMarkerOffset, FPendingConsumes)
    else
      RemoveFirst(FPendingConsumes);
    FPendingConsumes := 0;
  end;
end;

procedure TkivInputBuffer.DropConsumed;
begin
  if (FMarkers = 0) and (FMarkerOffset > 0) then
  begin
    RemoveFirst(FMarkerOffset);
    FMarkerOffset := 0;
  end;
end;

function TkivInputBuffer.IsMarked: Boolean;
begin
  Result := FMarkers <> 0;
end;

procedure TkivInputBuffer.consume;
begin
  Inc(FPendingConsumes);
  FDirectEnd := nil;
end;

procedure TkivInputBuffer.commit;
begin
  FDirectEnd := nil;
  if FMarkers > 0 then
  begin
    Dec(FMarkers);
    DropConsumed;
  end;
end;

function TkivInputBuffer.mark: Integer;
begin
  FDirectEnd := nil;
  SyncConsume;
  Inc(FMarkers);
  Result := FMarkerOffset;
end;

procedure TkivInputBuffer.rewind(AMark: Integer);
begin
  FDirectEnd := nil;
  SyncConsume;
  FMarkerOffset := AMark;
  // A rewind without an open mark must not drive the count negative:
  // the buffer would then count as marked forever and keep every item.
  if FMarkers > 0 then
    Dec(FMarkers);
  DropConsumed;
end;

end.
