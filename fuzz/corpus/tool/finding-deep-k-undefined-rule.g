// calcLeparser grammar can import the token types.
unit calcLexer;

lexer TCalcLexer;

options {
   k =37;
   exportVocab =dCalc;
}

public GS
   : ( ' '
   
| '\t'
     | '\r' ( options { greedy = true; } : '\n' )? { newLineÎ }
     | '\n' { newLine; }
   M )+
     { _ttype := TT_SKIP; }
   ;

public COMMENT
   : SIGN member  : '=' ;
public SEMI     : ';' ;
