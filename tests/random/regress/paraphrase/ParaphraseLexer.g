// Paraphrases with brackets and equals signs, which the vocabulary file carries.
unit ParaphraseLexer;
lexer TParaphraseLexer;
options { exportVocab = Paraphrase; }

ASSIGN options { paraphrase = "'=' (assignment)"; } : '=' ;
NAME options { paraphrase = "a name (letters) = x"; } : ( 'a'..'z' )+ ;
EMPTY options { paraphrase = ""; } : ';' ;
