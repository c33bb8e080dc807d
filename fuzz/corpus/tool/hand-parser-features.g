unit FeatParser;
parser TFeatParser;
options { k = 3; defaultErrorHandler = false; generateAmbigWarnings = true; }
tokens { PLUS = "+"; MINUS; }
public start : ( stmt )* EOF ;
stmt local { v: integer; } { v := 0; }
   : ( ID ASSIGN )=> id:ID ASSIGN v=expr[1] SEMI
   | { v > 0 }? expr[0] SEMI
   | ~( SEMI | ID ) SEMI!
   | A .. C
   | "if" expr[0] stmt ( options { greedy = true; warnWhenFollowAmbig = false; } : "else" stmt )?
   | w:.
   |
   ;
   except { WriteLn('error'); }
expr [p: integer] returns [integer] options { defaultErrorHandler = true; }
   : result=term ( ( PLUS | MINUS ) term )* finally { }
   | LPAREN! expr[p] RPAREN
   ;
protected term : NUM | ID ( LBRACK expr[0] RBRACK )+ | ~ID ;
