// Imports every token of the lexer: the vocabulary file that kiv wrote reads back whole.
unit ParaphraseParser;
parser TParaphraseParser;
options { importVocab = Paraphrase; }

statement : NAME ASSIGN NAME EMPTY ;
