{ arith.dpr - evaluates a file of arithmetic expressions, one a line, with the generated parser and
  prints how many lines it read and the sum of their values. }
program arith;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}
{$IFNDEF FPC}{$APPTYPE CONSOLE}{$ENDIF}

uses
   SysUtils, Classes,
   kivTypes, kivException,
   arithLexer, arithParser;

var
   input  : TFileStream;
   lexer  : TArithLexer;
   parser : TArithParser;
begin
   if ParamCount <> 1 then
   begin
      WriteLn( ErrOutput, 'usage: arith FILE');
      Halt( 2);
   end;
   input := TFileStream.Create( ParamStr( 1), fmOpenRead or fmShareDenyWrite);
   try
      lexer  := TArithLexer.Create( input);
      parser := TArithParser.Create( lexer, 1);
      try
         lexer.InputState.FileName  := ExtractFileName( ParamStr( 1));
         parser.InputState.FileName := ExtractFileName( ParamStr( 1));
         try
            parser.lines;
            WriteLn( 'lines: ', parser.LineCount);
            WriteLn( 'sum: ', parser.Sum);
         except
            on e: EkivException do
            begin
               WriteLn( ErrOutput, e.FileName, '(', e.Line, ':', e.Column, '): ', e.ClassName);
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
