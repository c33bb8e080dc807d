// A label used twice for the same kind of element is one variable.
unit LabelReuse;
lexer TLabelReuse;

memberdecl {
   public
      Seen: AnsiString;
}

PAIR : c:'a' c:'b' { Seen := Seen + c; } ;
TWICE : t:ONE t:ONE { Seen := Seen + t.TokenText; } ;
protected ONE : 'o' ;
