{ ==========================================================================
  KIV recognizer runtime - kivException
  Base class of the recognition exceptions: what failed and where.
  ========================================================================== }
unit kivException;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  SysUtils;

const
  // Kinds of recognition failure.
  KIND_CHAR = 1;        // match / matchNot of one character
  KIND_CHAR_RANGE = 2;  // a character range; reported like a set
  KIND_CHAR_SET = 3;    // match of a character set; no token rule applies
  KIND_STRING = 4;      // match of a string
  KIND_TOKEN = 5;       // parser match / matchNot of one token type
  KIND_TOKEN_SET = 7;   // parser match of a token set; no alternative applies
  KIND_SEMANTIC = 8;    // a semantic predicate failed
  KIND_NESTING = 9;     // rules nested too deep for the thread's stack

type
  // The message text is left empty: everything is in the fields, and the
  // text is composed by whoever reports the failure.
  EkivException = class(Exception)
  protected
    FKind: Integer;
    FFileName: string;
    FLine: Integer;
    FColumn: Integer;
    FNegated: Boolean;
  public
    constructor Create(AKind: Integer; const AFileName: string; ALine, AColumn: Integer);
    property Kind: Integer read FKind;
    property FileName: string read FFileName;
    property Line: Integer read FLine;
    property Column: Integer read FColumn;
    // True when the failed test was a negated match.
    property Negated: Boolean read FNegated;
  end;

implementation

constructor EkivException.Create(AKind: Integer; const AFileName: string; ALine, AColumn: Integer);
begin
  inherited Create('');
  FKind := AKind;
  FFileName := AFileName;
  FLine := ALine;
  FColumn := AColumn;
  FNegated := False;
end;

end.
