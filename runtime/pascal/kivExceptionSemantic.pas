{ ==========================================================================
  KIV recognizer runtime - kivExceptionSemantic
  Raised by generated recognizers when a semantic predicate fails.
  ========================================================================== }
unit kivExceptionSemantic;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  kivException;

type
  // A recognition exception like the mismatches, so one handler for
  // EkivException catches every recognition failure. Unlike them it
  // carries a message: the text of the predicate that failed.
  EkivSemantic = class(EkivException)
  private
    FPredicate: AnsiString;
  public
    constructor Create(const APredicate: AnsiString; const AFileName: string;
      ALine, AColumn: Integer);
    property Predicate: AnsiString read FPredicate;
  end;

implementation

constructor EkivSemantic.Create(const APredicate: AnsiString; const AFileName: string;
  ALine, AColumn: Integer);
begin
  inherited Create(KIND_SEMANTIC, AFileName, ALine, AColumn);
  FPredicate := APredicate;
  Message := string(APredicate);
end;

end.
