// A filter rule that is not protected.
unit PublicFilter;
lexer TPublicFilter;
options { filter = JUNK; }

WORD : ( 'a'..'z' )+ ;
JUNK : . ;
