{ ==========================================================================
  KIV recognizer runtime - kivExceptionNestingTooDeep
  Raised by lexers and parsers when the input nests rules so deep that the
  thread's stack would run out (see kivStackGuard).
  ========================================================================== }
unit kivExceptionNestingTooDeep;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  kivException;

const
  SkivNestingTooDeep = 'nesting too deep';

type
  // Kind KIND_NESTING; the message is "nesting too deep". Line and column
  // are those of the character (lexer) or token (parser) at which the
  // recognizer had no stack left for a further rule.
  EkivNestingTooDeep = class(EkivException)
  public
    constructor Create(const AFileName: string; ALine, AColumn: Integer);
  end;

implementation

constructor EkivNestingTooDeep.Create(const AFileName: string; ALine, AColumn: Integer);
begin
  inherited Create(KIND_NESTING, AFileName, ALine, AColumn);
  Message := SkivNestingTooDeep;
end;

end.
