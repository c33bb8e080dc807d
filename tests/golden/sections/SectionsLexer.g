// The tokens of SectionsParser.g.
unit SectionsLexer;

lexer TSectionsLexer;

options {
   exportVocab = Sections;
}

public X  : 'x' ;
public WS : ' ' { _ttype := TT_SKIP; } ;
