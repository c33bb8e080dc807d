// HandlerParser.g - a k=1 parser that recovers from errors.
// Every rule gets the default error handler (report, skip to what may follow the rule) unless
// it turns it off: the script and its header do, so an error there rejects the input, and so
// does value, whose errors go to the statement around it. block has an except handler of its
// own, group a finally handler that logs and lets the error pass, and the check statement an
// except handler on its alternative.
unit HandlerParser;

parser THandlerParser;

options {
   k = 1;
   importVocab = Handler;
   defaultErrorHandler = true;
}

memberdecl {
   public
      Log: TStrings;
      procedure reportError( E: Exception); override;
}

public script
   options { defaultErrorHandler = false; }
   : header ( statement )* EOF
   ;

header
   options { defaultErrorHandler = false; }
   : "version" n:NUMBER SEMI { Log.Add( 'version ' + n.TokenText); }
   ;

statement
   local { v: string; }
   : "print" v=value SEMI { Log.Add( 'print ' + v); }
   | "check" v=value SEMI { Log.Add( 'checked ' + v); }
     except
     {
        Log.Add( 'check failed: ' + e.ClassName);
        ConsumeUntil( [ TT_SEMI]);
        consume;
     }
   | block
   ;

block
   : LBRACE { Log.Add( 'block'); } ( statement )* RBRACE { Log.Add( 'end of block'); }
   ;
   except { Log.Add( 'block not closed: ' + e.ClassName); }

value returns [string]
   options { defaultErrorHandler = false; }
   : n:NUMBER { result := n.TokenText; }
   | s:STRING { result := '"' + s.TokenText + '"'; }
   | result=group
   ;

group returns [string]
   local { v: string; }
   : LPAREN result=value ( COMMA v=value { result := result + ', ' + v; } )* RPAREN
     { result := '(' + result + ')'; }
   ;
   finally { Log.Add( 'group left'); }

memberdef {
procedure THandlerParser.reportError( E: Exception);
begin
   if E is EkivException then
      Log.Add( Format( 'reported %s at %d:%d',
         [ E.ClassName, EkivException( E).Line, EkivException( E).Column]))
   else
      Log.Add( 'reported ' + E.ClassName);
end;
}
