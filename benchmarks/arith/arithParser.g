// arithParser.g - evaluates one arithmetic expression a line and adds up the values.
// Integer arithmetic on Int64; "/" truncates toward zero (div).
unit arithParser;

uses {
   SysUtils;
}

parser TArithParser;

options {
   k = 1;
   importVocab = Arith;
}

memberdecl {
   public
      LineCount : integer;
      Sum       : Int64;
}

public lines
   : ( line )* EOF
   ;

line
   local {
      v: Int64;
   }
   : v=expr NEWLINE
     {
        Sum := Sum + v;
        Inc( LineCount);
     }
   | NEWLINE
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
   : result=factor
     ( STAR r=factor  { result := result * r; }
     | SLASH r=factor
       {
          if r = 0 then
             raise EDivByZero.Create( 'division by zero');
          result := result div r;
       }
     )*
   ;

factor returns [Int64]
   local {
      s: AnsiString;
      i: integer;
   }
   : n:NUMBER
     {
        // The digits' value, computed as every evaluator of the benchmark does.
        s := n.TokenText;
        result := 0;
        for i := 1 to Length( s) do
           result := result * 10 + ( Ord( s[i]) - Ord( '0'));
     }
   | LPAREN result=expr RPAREN
   ;
