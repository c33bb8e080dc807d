{ jsondeep.dpr - runs the JSON example parser over a file on a thread with a stack of the given
  size, so that nesting far deeper than the main thread's stack allows can be timed. Prints the
  number of values, or the recognition error and exits with 1. }
program jsondeep;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}
{$IFNDEF FPC}{$APPTYPE CONSOLE}{$ENDIF}

uses
   {$IFDEF UNIX}cthreads,{$ENDIF}
   SysUtils, Classes,
   kivTypes, kivException,
   jsonLexer, jsonParser;

type
   TParseThread = class( TThread)
   protected
      procedure Execute; override;
   public
      FileName: string;
      Report: string;
      Failed: boolean;
   end;

procedure TParseThread.Execute;
var
   input  : TFileStream;
   parser : TJsonParser;
begin
   try
      input := TFileStream.Create( FileName, fmOpenRead or fmShareDenyWrite);
      try
         parser := TJsonParser.Create( TJsonLexer.Create( input), 1);
         try
            parser.document;
            Report := 'values: ' + IntToStr( parser.Values);
         finally
            parser.Free;
         end;
      finally
         input.Free;
      end;
   except
      on e: EkivException do
      begin
         Report := Format( '%s(%d:%d): %s %s', [ExtractFileName( FileName), e.Line, e.Column,
                                                e.ClassName, e.Message]);
         Failed := true;
      end;
      on e: Exception do
      begin
         Report := 'error: ' + e.Message;
         Failed := true;
      end;
   end;
end;

var
   thread : TParseThread;
   stack  : integer;
begin
   if (ParamCount <> 2) or not TryStrToInt( ParamStr( 1), stack) then
   begin
      WriteLn( ErrOutput, 'usage: jsondeep STACK_MB FILE');
      Halt( 2);
   end;
   thread := TParseThread.Create( true, SizeUInt( stack) * 1024 * 1024);
   try
      thread.FileName := ParamStr( 2);
      thread.Start;
      thread.WaitFor;
      if thread.Failed then
      begin
         WriteLn( ErrOutput, thread.Report);
         ExitCode := 1;
      end
      else
         WriteLn( thread.Report);
   finally
      thread.Free;
   end;
end.
