// NextToken calls token rules without arguments and without taking a result.
unit TokenRuleArgs;
lexer TTokenRuleArgs;

PUB [p: Integer] : 'a' ;
VALUE returns [Integer] : 'b' ;
USE : 'c' PUB[3] ;
