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
