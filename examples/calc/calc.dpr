{ calc.dpr - runs the generated calculator on a file and prints every statement's value. }
program calc;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}
{$IFNDEF FPC}{$APPTYPE CONSOLE}{$ENDIF}

uses
   SysUtils, Classes,
   kivTypes, kivException, kivErrorText, kivExceptionSemantic,
   calcLexer, calcParser;

var
   input  : TFileStream;
   lexer  : TCalcLexer;
   parser : TCalcParser;
begin
   if ParamCount <> 1 then
   begin
      WriteLn( ErrOutput, 'usage: calc FILE');
      Halt( 2);
   end;
   input := TFileStream.Create( ParamStr( 1), fmOpenRead or fmShareDenyWrite);
   try
      lexer  := TCalcLexer.Create( input);
      parser := TCalcParser.Create( lexer, 2);
      try
         parser.InputState.FileName := ExtractFileName( ParamStr( 1));
         lexer.InputState.FileName  := ExtractFileName( ParamStr( 1));
         try
            parser.calculation;
            WriteLn( parser.Statements, ' statement(s)');
         except
            on e: EkivException do
            begin
               WriteLn( ErrOutput, ErrorText( e));
               ExitCode := 1;
            end;
            on e: Exception do
            begin
               WriteLn( ErrOutput, 'error: ', e.Message);
               ExitCode := 1;
            end;
         end;
      finally
         parser.Free;
      end;
   finally
      input.Free;
   end;
end.
