// The lexer of a small calculator. Its keywords come from the tokens section, one of them under
// a name of its own that the parser uses.
unit CalcLexer;
lexer TCalcLexer;
tokens { KW_PRINT = "print"; "let"; }

WS : ( ' ' | '\t' | '\r' | '\n' { newLine; } )+ { _ttype := TT_SKIP; } ;
ID options { testLiterals = true; } : ( 'a'..'z' | 'A'..'Z' ) ( 'a'..'z' | 'A'..'Z' | '0'..'9' )* ;
NUM : ( '0'..'9' )+ ;
PLUS : '+' ;
MINUS : '-' ;
STAR : '*' ;
LPAREN : '(' ;
RPAREN : ')' ;
SEMI : ';' ;
ASSIGN : '=' ;

%%
// A k=1 calculator parser over the lexer's vocabulary: rules that return values, labels, loops,
// an optional part, members of the class, and the default error handler that reports an error
// and skips to what may follow the rule.
unit CalcParser;
uses { Math; }
parser TCalcParser;
options { importVocab = CalcLexer; defaultErrorHandler = true; }
memberdecl {
   private
      FValues: TStringList;
      FOutput: TStringList;
   public
      constructor Create(const ATokenStream: IkivTokenStream);
      destructor Destroy; override;
      procedure reportError(E: Exception); override;
      property Output: TStringList read FOutput;
}

script : ( statement )* EOF ;

statement
   local { v: Integer; }
   { v := 0; }
   : KW_PRINT v=expr SEMI { FOutput.Add(IntToStr(v)); }
   | "let" name:ID ( ASSIGN v=expr )? SEMI { FValues.Values[name.TokenText] := IntToStr(v); }
   ;

expr returns [Integer]
   local { t: Integer; }
   : result=term ( PLUS t=term { result := result + t; } | MINUS t=term { result := result - t; } )*
   ;

term returns [Integer]
   local { f: Integer; }
   : result=factor ( STAR f=factor { result := result * f; } )*
   ;

factor returns [Integer]
   { result := 0; }
   : n:NUM { result := StrToInt(n.TokenText); }
   | id:ID { result := StrToIntDef(FValues.Values[id.TokenText], 0); }
   | LPAREN result=expr RPAREN
   | MINUS result=factor { result := -result; }
   ;

memberdef {
constructor TCalcParser.Create(const ATokenStream: IkivTokenStream);
begin
   inherited Create(ATokenStream, 1);
   FValues := TStringList.Create;
   FOutput := TStringList.Create;
end;

destructor TCalcParser.Destroy;
begin
   FOutput.Free;
   FValues.Free;
   inherited Destroy;
end;

procedure TCalcParser.reportError(E: Exception);
begin
   FOutput.Add('error ' + E.ClassName);
end;
}
