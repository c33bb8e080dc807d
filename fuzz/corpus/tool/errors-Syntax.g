// A syntax error ends the run before anything is written.
unit Syntax;
parser TSyntax;

start : A B ) ;
