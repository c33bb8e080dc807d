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
   : n:NUMBER                  { result := StrToInt64( n.TokenText); }
   | LPAREN result=expr RPAREN
   ;
