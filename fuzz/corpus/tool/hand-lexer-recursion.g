unit U;
lexer L;
options { k = 6; }
A : "abcdef" | "abcdeg" | ( 'a' )+ ;
B : A | 'b' B ;
