// The predicates feature in the optimized form, run by the same driver. A k=2 parser: syntactic
// predicates in a block, in a loop and nested in a predicated
// alternative; semantic predicates that choose an alternative and that validate one; rules with
// arguments and return values; labels; handlers of rules and alternatives; inverted tokens, token
// ranges and the wildcard.
unit PredParser;
parser TPredParser;
options { k = 2; importVocab = PredLexer; optimize = true; }
memberdecl {
   private
      FLog: TStringList;
   public
      StrictMode: Boolean;
      constructor Create(const ATokenStream: IkivTokenStream);
      destructor Destroy; override;
      procedure Log(const S: string);
      property Lines: TStringList read FLog;
}

script : ( statement )* EOF ;

statement
   local { v: Integer; }
   : ( ID ASSIGN )=> target:ID ASSIGN v=sum[1] SEMI { Log('assign ' + target.TokenText + '=' + IntToStr(v)); }
   | ( ID LPAREN )=> call SEMI
   | { StrictMode }? v=sum[10] SEMI { Log('strict ' + IntToStr(v)); }
   | v=sum[1] SEMI { Log('value ' + IntToStr(v)); }
   ;

call : name:ID LPAREN ( arguments )? RPAREN { Log('call ' + name.TokenText); } ;

arguments local { v: Integer; } : v=sum[1] { Log('arg ' + IntToStr(v)); } ( COMMA v=sum[1] { Log('arg ' + IntToStr(v)); } )* ;

sum [Scale: Integer] returns [Integer]
   local { t: Integer; }
   : result=product ( PLUS t=product { result := result + t; } )* { result := result * Scale; }
   ;

product returns [Integer]
   local { f: Integer; }
   : result=atom ( STAR f=atom { f <> 0 }? { result := result * f; } )*
   ;

atom returns [Integer]
   { result := 0; }
   : n:NUM { result := StrToInt(n.TokenText); }
   | LPAREN result=sum[1] RPAREN
   ;

pairs
   : ( ( ID COLON ID )=> key:ID COLON other:ID { Log(key.TokenText + ' is ' + other.TokenText); }
     | ID COLON n:NUM { Log('number ' + n.TokenText); }
     )* EOF
   ;

nested
   : ( ID )=> ID ( ( NUM NUM )=> NUM NUM { Log('two numbers'); } | NUM { Log('one number'); } ) SEMI
   | NUM SEMI { Log('just a number'); }
   ;

guarded : ID SEMI { Log('guarded'); } ;
except { Log('rule handler ' + e.ClassName); }

logged : ID SEMI ;
finally { Log('finally'); }

choice
   : ID COLON { Log('choice'); } except { Log('alternative handler'); }
   | NUM
   ;

skipper : skipped:~SEMI ( ~SEMI )* SEMI { Log('skipped from ' + skipped.TokenText); } ;

ranges : r:ID .. NUM any:. { Log('range ' + r.TokenText + ' then ' + any.TokenText); } ;

memberdef {
constructor TPredParser.Create(const ATokenStream: IkivTokenStream);
begin
   inherited Create(ATokenStream, 2);
   FLog := TStringList.Create;
end;

destructor TPredParser.Destroy;
begin
   FLog.Free;
   inherited Destroy;
end;

procedure TPredParser.Log(const S: string);
begin
   if InputState.Guessing = 0 then
      FLog.Add(S);
end;
}
