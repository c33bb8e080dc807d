{ ==========================================================================
  KIV recognizer runtime - kivExceptionMismatchedChar
  Raised by lexers when the input does not match a character, a character
  set or a string.
  ========================================================================== }
unit kivExceptionMismatchedChar;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  kivTypes, kivException;

type
  EkivMismatchedChar = class(EkivException)
  private
    FExpectedChar: AnsiChar;
    FExpectedUpperChar: AnsiChar;
    FExpectedSet: TkivCharSet;
    FExpectedText: AnsiString;
    FFoundChar: AnsiChar;
    FFoundText: AnsiString;
  public
    // One character (KIND_CHAR); the expected set holds only AExpected.
    constructor Create(AFound, AExpected: AnsiChar; const AFileName: string;
      ALine, AColumn: Integer; ANegated: Boolean); overload;
    // A character set (KIND_CHAR_SET).
    constructor Create(AFound: AnsiChar; const AExpected: TkivCharSet; const AFileName: string;
      ALine, AColumn: Integer; ANegated: Boolean = False); overload;
    // A string (KIND_STRING); AFound is the text matched so far, including
    // the offending character.
    constructor Create(const AFound, AExpected: AnsiString; const AFileName: string;
      ALine, AColumn: Integer); overload;
    property ExpectedChar: AnsiChar read FExpectedChar;
    property ExpectedUpperChar: AnsiChar read FExpectedUpperChar;
    property ExpectedSet: TkivCharSet read FExpectedSet;
    property ExpectedText: AnsiString read FExpectedText;
    property FoundChar: AnsiChar read FFoundChar;
    property FoundText: AnsiString read FFoundText;
  end;

implementation

constructor EkivMismatchedChar.Create(AFound, AExpected: AnsiChar; const AFileName: string;
  ALine, AColumn: Integer; ANegated: Boolean);
begin
  inherited Create(KIND_CHAR, AFileName, ALine, AColumn);
  FNegated := ANegated;
  FFoundChar := AFound;
  FExpectedChar := AExpected;
  FExpectedUpperChar := AExpected;
  FExpectedSet := [AExpected];
end;

constructor EkivMismatchedChar.Create(AFound: AnsiChar; const AExpected: TkivCharSet;
  const AFileName: string; ALine, AColumn: Integer; ANegated: Boolean);
begin
  inherited Create(KIND_CHAR_SET, AFileName, ALine, AColumn);
  FNegated := ANegated;
  FFoundChar := AFound;
  FExpectedSet := AExpected;
end;

constructor EkivMismatchedChar.Create(const AFound, AExpected: AnsiString;
  const AFileName: string; ALine, AColumn: Integer);
begin
  inherited Create(KIND_STRING, AFileName, ALine, AColumn);
  FFoundText := AFound;
  FExpectedText := AExpected;
end;

end.
