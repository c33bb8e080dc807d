// HandlerLexer.g - tokens for the handler parser. A string that runs into the end of its line is
// caught by the rule's own handler, logged, and still becomes a token.
unit HandlerLexer;

lexer THandlerLexer;

options {
   exportVocab = Handler;
}

tokens {
   "version"; "print"; "check";
}

memberdecl {
   public
      Log: TStrings;
}

public WS : ( ' ' | '\n' { newLine; } )+ { _ttype := TT_SKIP; } ;

public ID
   options { testLiterals = true; }
   : ( 'a'..'z' )+
   ;

public NUMBER : ( '0'..'9' )+ ;

public STRING
   : '"'! ( ~( '"' | '\n' ) )* '"'!
   ;
   except { Log.Add( 'unterminated string ' + TokenText); }

public SEMI   : ';' ;
public COMMA  : ',' ;
public LPAREN : '(' ;
public RPAREN : ')' ;
public LBRACE : '{' ;
public RBRACE : '}' ;
