// calcParser.g - evaluates calculator statements: "x = expr;" stores a variable, "expr;" prints a value.
// Rules return Int64 values; factor takes the sign to apply as an argument.
unit calcParser;

uses {
   SysUtils;
}

parser TCalcParser;

options {
   k = 2;
   importVocab = Calc;
}

memberdecl {
   private
      fNames  : array of string;
      fValues : array of Int64;
      function  VarIndex( const pName: string): integer;
      function  VarValue( pName: IkivToken): Int64;
      procedure SetVar( const pName: string; pValue: Int64);
   public
      Statements: integer;
}

public calculation
   : ( statement )* EOF
   ;

statement
   local {
      v: Int64;
   }
   : name:ID ASSIGN v=expr SEMI
     {
        SetVar( name.TokenText, v);
        WriteLn( name.TokenText, ' = ', v);
        Inc( Statements);
     }
   | v=expr SEMI
     {
        WriteLn( v);
        Inc( Statements);
     }
   ;

expr returns [Int64]
   local {
      r: Int64;
   }
   : result=term
     ( PLUS r=term  { result := result + r; }
     | MINUS r=term { result := result - r; }
     )*
   ;

term returns [Int64]
   local {
      r: Int64;
   }
   : result=factor[1]
     ( STAR r=factor[1]    { result := result * r; }
     | SLASH r=factor[1]
       {
          if r = 0 then
             raise EDivByZero.Create( 'division by zero');
          result := result div r;
       }
     | PERCENT r=factor[1] { result := result mod r; }
     )*
   ;

factor [pSign: integer] returns [Int64]
   : n:NUMBER            { result := pSign * StrToInt64( n.TokenText); }
   | id:ID               { result := pSign * VarValue( id); }
   | LPAREN result=expr RPAREN { result := pSign * result; }
   | MINUS result=factor[-pSign]
   ;

memberdef {
function TCalcParser.VarIndex( const pName: string): integer;
begin
   for result := 0 to High( fNames) do
      if fNames[result] = pName then
         exit;
   result := -1;
end;

function TCalcParser.VarValue( pName: IkivToken): Int64;
var
   i: integer;
begin
   i := VarIndex( pName.TokenText);
   if i < 0 then
      raise EkivSemantic.Create( 'unknown variable ' + pName.TokenText, InputState.FileName,
                                 pName.Line, pName.Column);
   result := fValues[i];
end;

procedure TCalcParser.SetVar( const pName: string; pValue: Int64);
var
   i: integer;
begin
   i := VarIndex( pName);
   if i < 0 then
   begin
      i := Length( fNames);
      SetLength( fNames, i + 1);
      SetLength( fValues, i + 1);
      fNames[i] := pName;
   end;
   fValues[i] := pValue;
end;
}
