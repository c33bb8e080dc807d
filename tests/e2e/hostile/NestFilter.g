// NestFilter.g - a filtering lexer with a nested comment rule: what no token starts is dropped,
// zero bytes and nestings too deep for the stack included.
unit NestFilter;

lexer TNestFilter;

options {
   filter = true;
}

public COMMENT
   : '{' ( COMMENT | ~( '{' | '}' ) )* '}'
   ;

public WORD : ( 'a'..'z' )+ ;
