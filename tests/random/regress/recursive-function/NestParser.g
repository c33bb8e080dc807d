// Rules with a result that call themselves without arguments: inside a Pascal function its bare
// name stands for its result, so the call must be written with brackets.
unit NestParser;
parser TNestParser;
options { importVocab = Nest; }

// The depth of the brackets around x.
depth returns [Integer]
   : LP result=depth RP { Inc(result); }
   | X { result := 0; }
   ;

// The same without using the inner result.
skip returns [Integer]
   { result := 7; }
   : LP skip RP
   | X
   ;
