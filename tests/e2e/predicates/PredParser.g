// PredParser.g - a k=1 parser that needs more than one token to choose a statement.
// An assignment "a.b.c = ..." and an expression "a.b.c + ..." start alike for any number of
// tokens: a syntactic predicate tries the assignment's head first. A declaration "T x;" starts
// with a name like an expression does: a semantic predicate on the alternative asks whether the
// name was declared a type. A path in parentheses can be assigned too, "(a.b) = ...": its
// predicate holds a predicate of its own, which tells "(path)" from "(expression)" while the outer
// one is still trying. Inline predicates validate names and divisors; rules take a sign and
// return values.
unit PredParser;

parser TPredParser;

options {
   k = 1;
   importVocab = Pred;
}

memberdecl {
   private
      fTypes: TStringList;
      fVars: TStringList;
      fValues: TStringList;
      fLog: TStrings;
   public
      constructor Create( pLexer: IkivTokenStream; pLog: TStrings);
      destructor Destroy; override;
      function IsType( const pName: string): Boolean;
}

public script : ( statement )* EOF ;

statement
   local {
      t: string;
      v: Integer;
   }
   : "type" n:ID SEMI { fTypes.Add( n.TokenText); fLog.Add( 'type ' + n.TokenText); }
   | { IsType( LT(1).TokenText) }? declaration
   | ( target ASSIGN )=> t=target ASSIGN v=sum SEMI
     {
        fValues.Values[ t] := IntToStr( v);
        fLog.Add( t + ' := ' + IntToStr( v));
     }
   | ( LPAREN ( ( target RPAREN )=> target | sum ) RPAREN ASSIGN )=>
     LPAREN t=target RPAREN ASSIGN v=sum SEMI
     {
        fValues.Values[ t] := IntToStr( v);
        fLog.Add( '(' + t + ') := ' + IntToStr( v));
     }
   | v=sum SEMI { fLog.Add( 'value ' + IntToStr( v)); }
   ;

declaration
   : t:ID n:ID { fVars.IndexOf( n.TokenText) < 0 }? SEMI
     {
        fVars.Add( n.TokenText);
        fLog.Add( 'declare ' + n.TokenText + ': ' + t.TokenText);
     }
   ;

// Logs every path it reads, but not while a predicate only tries the input.
target returns [string]
   : n:ID { result := n.TokenText; }
     ( DOT f:ID { result := result + '.' + f.TokenText; } )*
     { fLog.Add( 'path ' + result); }
   ;

sum returns [Integer]
   local { r: Integer; }
   : result=quotient ( PLUS r=quotient { result := result + r; } )*
   ;

quotient returns [Integer]
   local { r: Integer; }
   : result=factor[1] ( SLASH r=factor[1] { r <> 0 }? { result := result div r; } )*
   ;

factor [pSign: Integer] returns [Integer]
   local { t: string; }
   : n:NUMBER { result := pSign * StrToInt( n.TokenText); }
   | t=target { fValues.IndexOfName( t) >= 0 }? { result := pSign * StrToInt( fValues.Values[ t]); }
   | MINUS result=factor[-pSign]
   | LPAREN result=sum RPAREN { result := pSign * result; }
   ;

memberdef {
constructor TPredParser.Create( pLexer: IkivTokenStream; pLog: TStrings);
begin
   inherited Create( pLexer, 1);
   fTypes := TStringList.Create;
   fVars := TStringList.Create;
   fValues := TStringList.Create;
   fLog := pLog;
end;

destructor TPredParser.Destroy;
begin
   fTypes.Free;
   fVars.Free;
   fValues.Free;
   inherited Destroy;
end;

function TPredParser.IsType( const pName: string): Boolean;
begin
   result := fTypes.IndexOf( pName) >= 0;
end;
}
