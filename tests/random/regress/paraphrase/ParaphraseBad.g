// Paraphrases that the vocabulary file could not carry: its strings have no escapes.
unit ParaphraseBad;
lexer TParaphraseBad;

QUOTED options { paraphrase = "a \"quoted\" word"; } : 'q' ;
BARE options { paraphrase = bare; } : 'b' ;
