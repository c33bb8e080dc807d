// TagFilter.g - a k=2 filtering lexer with a filter rule: it picks tags and entities out of
// markup. Text between them goes to the protected rule JUNK, which counts its runs; a tag that
// does not finish is taken back to where it started and handed to JUNK too, and what JUNK cannot
// take is reported and skipped.
unit TagFilter;

lexer TTagFilter;

options {
   k = 2;
   filter = JUNK;
}

memberdecl {
   public
      JunkRuns: Integer;
      Reported: TStrings;
      procedure reportError( E: Exception); override;
}

public OPEN   : '<'! NAME '>'! ;
public CLOSE  : '<'! '/'! NAME '>'! ;
public ENTITY : '&'! NAME ';'! ;

protected NAME : ( 'a'..'z' )+ ;

protected JUNK
   : ( '\n' { newLine; } | ~( '<' | '&' | '\n' ) )+ { Inc( JunkRuns); }
   ;

memberdef {
procedure TTagFilter.reportError( E: Exception);
begin
   if Reported <> nil then
      Reported.Add( Format( 'reported %s at %d:%d',
         [ E.ClassName, InputState.Line, InputState.Column]));
end;
}
