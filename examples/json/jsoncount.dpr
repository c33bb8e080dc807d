{ jsoncount.dpr - recognises a JSON file with the generated parser and prints how many values it holds. }
program jsoncount;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}
{$IFNDEF FPC}{$APPTYPE CONSOLE}{$ENDIF}

uses
   SysUtils, Classes,
   kivTypes, kivException, kivErrorText,
   jsonLexer, jsonParser;

var
   input  : TFileStream;
   lexer  : TJsonLexer;
   parser : TJsonParser;
begin
   if ParamCount <> 1 then
   begin
      WriteLn( ErrOutput, 'usage: jsoncount FILE');
      Halt( 2);
   end;
   input := TFileStream.Create( ParamStr( 1), fmOpenRead or fmShareDenyWrite);
   try
      lexer  := TJsonLexer.Create( input);
      parser := TJsonParser.Create( lexer, 1);
      try
         lexer.InputState.FileName  := ExtractFileName( ParamStr( 1));
         parser.InputState.FileName := ExtractFileName( ParamStr( 1));
         try
            parser.document;
            WriteLn( 'values:   ', parser.Values);
            WriteLn( 'objects:  ', parser.Objects, ' (', parser.Members, ' members)');
            WriteLn( 'arrays:   ', parser.Arrays);
            WriteLn( 'strings:  ', parser.Strings);
            WriteLn( 'numbers:  ', parser.Numbers);
            WriteLn( 'literals: ', parser.Literals);
         except
            on e: EkivException do
            begin
               WriteLn( ErrOutput, ErrorText( e));
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
