// jsonParser.g - recognises one JSON value and counts the values of each kind it contains.
unit jsonParser;

parser TJsonParser;

options {
   k = 1;
   importVocab = Json;
}

memberdecl {
   public
      Objects, Arrays, Strings, Numbers, Literals, Members: integer;
      function Values: integer;
}

public document
   : value EOF
   ;

value
   : object
   | array
   | STRING   { Inc( Strings); }
   | NUMBER   { Inc( Numbers); }
   | ( "true" | "false" | "null" ) { Inc( Literals); }
   ;

object
   : LBRACE { Inc( Objects); }
     ( member ( COMMA member )* )?
     RBRACE
   ;

member
   : STRING COLON value { Inc( Members); }
   ;

array
   : LBRACKET { Inc( Arrays); }
     ( value ( COMMA value )* )?
     RBRACKET
   ;

memberdef {
function TJsonParser.Values: integer;
begin
   result := Objects + Arrays + Strings + Numbers + Literals;
end;
}
