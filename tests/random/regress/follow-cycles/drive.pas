{ drive - the alternative F of rule i is taken when A, which follows i, comes after F. }
program drive;

{$MODE DELPHI}

uses
  Classes, SysUtils, kivTypes, regressCheck, CycleLexer, CycleParser;

procedure Start(Input: TStream);
var
  P: TCycleParser;
begin
  P := TCycleParser.Create(TCycleLexer.Create(Input), 1);
  try
    P.s;
  finally
    P.Free;
  end;
end;

begin
  Expect('s', Start, 'b f a', '');
  Expect('s', Start, 'b f g a', '');
  Expect('s', Start, 'b e c f a', '');
  Expect('s', Start, 'b e d b e c f a', '');
  Expect('s', Start, 'b a', '');
  Expect('s', Start, 'b f f', 'EkivMismatchedToken');
  Finish;
end.
