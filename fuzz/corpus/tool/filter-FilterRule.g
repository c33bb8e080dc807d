// A filtering lexer with a filter rule: words are tokens, everything else goes to the protected
// rule JUNK, which counts the runs it drops.
unit FilterRule;
lexer TFilterRule;
options { filter = JUNK; }
memberdecl {
   public
      JunkRuns: Integer;
}

WORD : ( 'a'..'z' )+ ;
NUMBER : ( '0'..'9' )+ '.' ( '0'..'9' )+ ;
protected JUNK : ( ~( 'a'..'z' | '0'..'9' ) )+ { Inc(JunkRuns); } ;
