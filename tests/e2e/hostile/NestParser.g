// NestParser.g - nested lists with the default error handler in every rule: deep input must end
// in reports and resynchronisation, never in a crash or a loop.
unit NestParser;

parser TNestParser;

options {
   k = 1;
   importVocab = Nest;
   defaultErrorHandler = true;
}

memberdecl {
   public
      Log: TStrings;
      Lists: Integer;
      procedure reportError( E: Exception); override;
}

public script
   options { defaultErrorHandler = false; }
   : ( statement )* EOF
   ;

statement
   : list SEMI { Log.Add( 'statement'); }
   ;

list
   : LPAREN { Inc( Lists); } ( item )* RPAREN
   ;

item
   : list
   | WORD
   | STRING
   ;

memberdef {
procedure TNestParser.reportError( E: Exception);
begin
   Log.Add( 'reported ' + E.ClassName);
end;
}
