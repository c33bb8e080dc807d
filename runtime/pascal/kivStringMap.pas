{ ==========================================================================
  KIV recognizer runtime - kivStringMap
  A lexer's literal table: sorted name/value entries, looked up with or
  without regard to letter case.
  ========================================================================== }
unit kivStringMap;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

type
  TkivStringMapEntry = record
    Name: AnsiString;
    Value: Integer;
  end;

  // Plain object with a single owner (the lexer that holds it). Names and
  // values are kept apart, so a name may contain "=" (a literal such as
  // "==" or ":=") and still be found.
  TkivStringMap = class
  private
    FEntries: array of TkivStringMapEntry;
    FCount: Integer;
    FCaseSensitive: Boolean;
    function SameName(const A, B: AnsiString): Boolean;
    function GetEntry(I: Integer): AnsiString;
  public
    constructor Create;
    // Inserts Name with Value unless IndexOf already finds Name; the
    // entries stay sorted.
    procedure Add(const AName: AnsiString; AValue: Integer);
    // Index of the first entry, in list order, whose name equals AName under
    // the current case rule; -1 when there is none.
    function IndexOf(const AName: AnsiString): Integer;
    // The value of the entry IndexOf finds; -1 when there is none.
    function ValueOf(const AName: AnsiString): Integer;
    // ValueOf for the ALength characters at AText, without a string.
    function ValueOfText(AText: PAnsiChar; ALength: Integer): Integer;
    function Count: Integer;
    procedure Clear;
    // Entry I (0-based) rendered as name=value.
    property Entries[I: Integer]: AnsiString read GetEntry;
    property CaseSensitive: Boolean read FCaseSensitive write FCaseSensitive;
  end;

implementation

uses
  SysUtils, kivTypes;

constructor TkivStringMap.Create;
begin
  inherited Create;
  FCaseSensitive := False;
end;

function TkivStringMap.SameName(const A, B: AnsiString): Boolean;
var
  I: Integer;
  CA, CB: AnsiChar;
begin
  if FCaseSensitive then
  begin
    Result := A = B;
    Exit;
  end;
  // FoldText(A) = FoldText(B), compared in place.
  Result := False;
  if Length(A) <> Length(B) then
    Exit;
  for I := 1 to Length(A) do
  begin
    CA := A[I];
    CB := B[I];
    if CA <> CB then
    begin
      if (CA >= 'A') and (CA <= 'Z') then
        CA := AnsiChar(Ord(CA) + 32);
      if (CB >= 'A') and (CB <= 'Z') then
        CB := AnsiChar(Ord(CB) + 32);
      if CA <> CB then
        Exit;
    end;
  end;
  Result := True;
end;

function TkivStringMap.GetEntry(I: Integer): AnsiString;
begin
  if (I < 0) or (I >= FCount) then
    raise ERangeError.CreateFmt(SkivEntryIndexOutOfRange, [I]);
  Result := FEntries[I].Name + '=' + AnsiString(IntToStr(FEntries[I].Value));
end;

procedure TkivStringMap.Add(const AName: AnsiString; AValue: Integer);
var
  Pos, I: Integer;
begin
  if IndexOf(AName) >= 0 then
    Exit;
  // Sorted by name (byte order), then by value.
  Pos := FCount;
  while (Pos > 0) and ((FEntries[Pos - 1].Name > AName) or
    ((FEntries[Pos - 1].Name = AName) and (FEntries[Pos - 1].Value > AValue))) do
    Dec(Pos);
  if FCount = Length(FEntries) then
    SetLength(FEntries, 2 * FCount + 8);
  for I := FCount downto Pos + 1 do
    FEntries[I] := FEntries[I - 1];
  FEntries[Pos].Name := AName;
  FEntries[Pos].Value := AValue;
  Inc(FCount);
end;

function TkivStringMap.IndexOf(const AName: AnsiString): Integer;
var
  I: Integer;
begin
  for I := 0 to FCount - 1 do
    if SameName(FEntries[I].Name, AName) then
    begin
      Result := I;
      Exit;
    end;
  Result := -1;
end;

function TkivStringMap.ValueOf(const AName: AnsiString): Integer;
var
  I: Integer;
begin
  I := IndexOf(AName);
  if I < 0 then
    Result := -1
  else
    Result := FEntries[I].Value;
end;

function TkivStringMap.ValueOfText(AText: PAnsiChar; ALength: Integer): Integer;
var
  I, J: Integer;
  Name: PAnsiChar;
  CA, CB: AnsiChar;
  Same: Boolean;
begin
  for I := 0 to FCount - 1 do
  begin
    if Length(FEntries[I].Name) <> ALength then
      Continue;
    Name := PAnsiChar(Pointer(FEntries[I].Name));
    Same := True;
    for J := 0 to ALength - 1 do
    begin
      CA := Name[J];
      CB := AText[J];
      if CA = CB then
        Continue;
      if not FCaseSensitive then
      begin
        if (CA >= 'A') and (CA <= 'Z') then
          CA := AnsiChar(Ord(CA) + 32);
        if (CB >= 'A') and (CB <= 'Z') then
          CB := AnsiChar(Ord(CB) + 32);
        if CA = CB then
          Continue;
      end;
      Same := False;
      Break;
    end;
    if Same then
    begin
      Result := FEntries[I].Value;
      Exit;
    end;
  end;
  Result := -1;
end;

function TkivStringMap.Count: Integer;
begin
  Result := FCount;
end;

procedure TkivStringMap.Clear;
begin
  FEntries := nil;
  FCount := 0;
end;

end.
