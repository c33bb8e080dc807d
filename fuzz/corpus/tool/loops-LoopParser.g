// LoopParser.g - a k=2 parser made of optional parts and loops. Each statement returns a text
// that shows how it was read.
// - "else" after nested ifs is a deliberate conflict, reported when the grammar is built and
//   resolved greedily: the else belongs to the nearest if.
// - "return" takes an optional value that could as well start the next statement; the option
//   warnWhenFollowAmbig = false keeps that conflict quiet, and the value is taken.
// - "import a.b.*" needs the second token to tell another ".name" from the final ".*".
// - "use" counts its names in a labelled (...)+ loop, whose counter is _cnt_names.
// - "note ... end" skips any tokens, the wildcard in a non-greedy loop, up to the first "end".
// - "raw" skips anything but ";"; "level" takes one token of the range "low".."high".
unit LoopParser;

parser TLoopParser;

options {
   k = 2;
   importVocab = Loop;
}

memberdecl {
   public
      Log: TStrings;
}

public script
   local { s: string; }
   : ( s=stmt { Log.Add( s); } )* EOF
   ;

stmt returns [string]
   local {
      s: string;
      skipped: Integer;
   }
   : "if" c:ID "then" s=stmt { result := 'if ' + c.TokenText + ' then ' + s; }
     ( "else" s=stmt { result := '[' + result + '] else ' + s; } )?
   | "return" { result := 'return'; }
     ( options { warnWhenFollowAmbig = false; } : v:ID { result := result + ' ' + v.TokenText; } )?
   | "import" n:ID { result := 'import ' + n.TokenText; }
     ( DOT m:ID { result := result + '.' + m.TokenText; } )*
     ( DOT STAR { result := result + '.*'; } )?
     SEMI
   | "use" { result := 'use'; }
     names:( u:ID ( COMMA! )? { result := result + ' ' + u.TokenText; } )+
     SEMI { result := result + ' (' + IntToStr( _cnt_names) + ' names)'; }
   | "note" { skipped := 0; }
     ( options { greedy = false; } : . { Inc( skipped); } )*
     "end" { result := 'note of ' + IntToStr( skipped) + ' tokens'; }
   | "raw" first:~SEMI { result := 'raw from ' + first.TokenText; } ( ~SEMI )* SEMI
   | "level" l:"low".."high" SEMI { result := 'level ' + l.TokenText; }
   ;
