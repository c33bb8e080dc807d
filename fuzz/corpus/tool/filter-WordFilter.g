// WordFilter.g - a k=1 filtering lexer without a filter rule: it picks hash tags, mentions and
// numbers out of free text and silently drops every character that starts none of them.
unit WordFilter;

lexer TWordFilter;

options {
   k = 1;
   filter = true;
}

public HASHTAG : '#'! ( 'a'..'z' | 'A'..'Z' )+ ;

public MENTION : '@'! ( 'a'..'z' | 'A'..'Z' | '0'..'9' | '_' )+ ;

public NUMBER : ( '0'..'9' )+ ;

public NEWLINE : '\n' { newLine; _ttype := TT_SKIP; } ;
