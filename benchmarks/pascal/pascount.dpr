{ pascount.dpr - recognises Object Pascal files with the parser of pasParser.g and prints, for all
  of them together, how many routines and statements they hold. }
program pascount;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}
{$IFNDEF FPC}{$APPTYPE CONSOLE}{$ENDIF}

uses
   SysUtils, Classes,
   kivTypes, kivException,
   pasLexer, pasParser;

var
   input    : TFileStream;
   lexer    : TPasLexer;
   parser   : TPasParser;
   i        : integer;
   routines : integer;
   statements : integer;
begin
   if ParamCount < 1 then
   begin
      WriteLn( ErrOutput, 'usage: pascount FILE ...');
      Halt( 2);
   end;
   routines := 0;
   statements := 0;
   for i := 1 to ParamCount do
   begin
      input := TFileStream.Create( ParamStr( i), fmOpenRead or fmShareDenyWrite);
      try
         lexer  := TPasLexer.Create( input);
         parser := TPasParser.Create( lexer, 2);
         try
            lexer.InputState.FileName  := ExtractFileName( ParamStr( i));
            parser.InputState.FileName := ExtractFileName( ParamStr( i));
            try
               parser.goal;
               Inc( routines, parser.Routines);
               Inc( statements, parser.Statements);
            except
               on e: EkivException do
               begin
                  WriteLn( ErrOutput, e.FileName, '(', e.Line, ':', e.Column, '): ', e.Message);
                  ExitCode := 1;
               end;
            end;
         finally
            parser.Free;
         end;
      finally
         input.Free;
      end;
   end;
   WriteLn( 'routines: ', routines);
   WriteLn( 'statements: ', statements);
end.
