// A lexer whose handlers log and pass the error on: the test rig must let the error through,
// as the compiled lexer does (it once took the braces around the handler's code for a comment
// and caught the error).
unit ReraiseLexer;

lexer TReraiseLexer;

public WS : ( ' ' | '\n' { newLine; } )+ { _ttype := TT_SKIP; } ;

public STR : '"' ( ~'"' )* '"' ;
   except { WriteLn( 'unterminated string'); raise; }

public WORD
   : ( 'a'..'z' )+
   | '#' ( '0'..'9' )+ except { WriteLn( 'bad number'); raise; }
   ;
