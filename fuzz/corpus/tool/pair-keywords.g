// KeyLexer.g - a k=1 lexer that ignores letter case and finds keywords in the literal table.
// Every token is looked up (testLiterals), so keywords come from identifiers; two of them carry
// labels of their own. The assignment operator lets blanks stand between its characters and
// after it (option ignore), and has a readable name in the vocabulary (option paraphrase).
unit KeyLexer;

lexer TKeyLexer;

options {
   k = 1;
   caseSensitive = false;
   testLiterals = true;
   exportVocab = Key;
}

tokens {
   BEGIN_KW = "begin";
   END_KW = "end";
   "print";
   "var";
}

public WS
   : ( ' ' | '\t' | '\n' { newLine; } )+ { _ttype := TT_SKIP; }
   ;

public ID
   : 'a'..'z' ( 'a'..'z' | '0'..'9' | '_' )*
   ;

public NUMBER : ( '0'..'9' )+ ;

public ASSIGN
   options {
      ignore = BLANKS;
      paraphrase = "an assignment";
   }
   : ':' '='
   ;

protected BLANKS : ( ' ' )+ ;

public SEMI  : ';' ;
public COMMA : ',' ;
public PLUS  : '+' ;

%%
// KeyParser.g - a k=1 parser over the keywords of KeyLexer. It names keywords both by their
// labels (BEGIN_KW) and by their text ("end", "print"), which stand for the same token types.
unit KeyParser;

parser TKeyParser;

options {
   k = 1;
   importVocab = Key;
}

memberdecl {
   private
      fNames: TStringList;
      fLog: TStrings;
      function ValueOf( pName: IkivToken): Integer;
   public
      constructor Create( pLexer: IkivTokenStream; pLog: TStrings);
      destructor Destroy; override;
}

public program
   : BEGIN_KW ( statement SEMI )* "end" EOF
   ;

statement
   local { v: Integer; }
   : "var" name:ID ASSIGN v=sum
     {
        fNames.Values[ name.TokenText] := IntToStr( v);
        fLog.Add( 'var ' + name.TokenText + ' = ' + IntToStr( v));
     }
   | "print" v=sum { fLog.Add( 'print ' + IntToStr( v)); }
     ( COMMA v=sum { fLog.Add( 'print ' + IntToStr( v)); } )*
   ;

sum returns [Integer]
   local { t: Integer; }
   : result=term ( PLUS t=term { result := result + t; } )*
   ;

term returns [Integer]
   : n:NUMBER { result := StrToInt( n.TokenText); }
   | name:ID  { result := ValueOf( name); }
   ;

memberdef {
constructor TKeyParser.Create( pLexer: IkivTokenStream; pLog: TStrings);
begin
   inherited Create( pLexer, 1);
   fNames := TStringList.Create;
   fLog := pLog;
end;

destructor TKeyParser.Destroy;
begin
   fNames.Free;
   inherited Destroy;
end;

function TKeyParser.ValueOf( pName: IkivToken): Integer;
begin
   if fNames.IndexOfName( pName.TokenText) < 0 then
      raise EkivSemantic.Create( 'unknown variable ' + pName.TokenText, InputState.FileName,
                                 pName.Line, pName.Column);
   result := StrToInt( fNames.Values[ pName.TokenText]);
end;
}
