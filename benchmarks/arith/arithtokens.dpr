{ arithtokens.dpr - runs the lexer of benchmarks/arith alone over a file and prints how many tokens it
  made (white space is skipped, line ends are tokens, the end-of-input token is not counted).
  The optimized form's lexer is counted through its integer token path, as a tokenizer loop of
  its own would use it. }
program arithtokens;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}
{$IFNDEF FPC}{$APPTYPE CONSOLE}{$ENDIF}

uses
   SysUtils, Classes,
   kivTypes, kivException,
   arithLexer;

var
   input  : TFileStream;
   lexer  : IkivTokenStream;
   kiv    : TArithLexer;
   count  : Int64;
begin
   if ParamCount <> 1 then
   begin
      WriteLn( ErrOutput, 'usage: arithtokens FILE');
      Halt( 2);
   end;
   input := TFileStream.Create( ParamStr( 1), fmOpenRead or fmShareDenyWrite);
   try
      kiv := TArithLexer.Create( input);
      lexer := kiv;
      count := 0;
      try
         // The optimized form's lexer answers token types without making tokens.
         if kiv._offersTokenTypes then
            while kiv._nextTokenType <> TT_EOF do
               Inc( count)
         else
            while lexer.NextToken.TokenType <> TT_EOF do
               Inc( count);
         WriteLn( 'tokens: ', count);
      except
         on e: EkivException do
         begin
            WriteLn( ErrOutput, e.FileName, '(', e.Line, ':', e.Column, '): ', e.ClassName);
            ExitCode := 1;
         end;
      end;
      lexer := nil;
   finally
      input.Free;
   end;
end.
