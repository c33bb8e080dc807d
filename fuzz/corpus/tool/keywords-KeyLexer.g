// KeyLexer.g - a k=1 lexer that ignores letter case and finds keywords in the literal table.
// Every token is looked up (testLiterals), so keywords come from identifiers; two of them carry
// labels of their own. The assignment operator lets blanks stand between its characters and
// after it (option ignore), and has a readable name in the vocabulary (option paraphrase).
unit KeyLexer;

lexer TKeyLexer;

options {
   k = 1;
   caseSensitive = false;
   testLiterals = true;
   exportVocab = Key;
}

tokens {
   BEGIN_KW = "begin";
   END_KW = "end";
   "print";
   "var";
}

public WS
   : ( ' ' | '\t' | '\n' { newLine; } )+ { _ttype := TT_SKIP; }
   ;

public ID
   : 'a'..'z' ( 'a'..'z' | '0'..'9' | '_' )*
   ;

public NUMBER : ( '0'..'9' )+ ;

public ASSIGN
   options {
      ignore = BLANKS;
      paraphrase = "an assignment";
   }
   : ':' '='
   ;

protected BLANKS : ( ' ' )+ ;

public SEMI  : ';' ;
public COMMA : ',' ;
public PLUS  : '+' ;
