{ ==========================================================================
  ExprLexer
  Hand-written lexer of the test expression language, shaped like the
  lexers the generator writes: one method per rule that leaves its token in
  ReturnToken, a NextToken that dispatches on look-ahead, and a literal
  table for the keywords.
  ========================================================================== }

// The grammar this unit implements:
//   WS      : (' ' | '\t' | '\n' { newLine; } | '\r') { _ttype := TT_SKIP; } ;
//   COMMENT : "//" (~'\n')* { _ttype := TT_SKIP; } ;
//   NUM     : (DIGIT)+ ;
//   protected DIGIT : '0'..'9' ;
//   ID options { testLiterals = true; } : ('a'..'z'|'A'..'Z'|'_') ('a'..'z'|'A'..'Z'|'_'|'0'..'9')* ;
//   PLUS : '+' ; MINUS : '-' ; STAR : '*' ; SLASH : '/' ; LPAREN : '(' ;
//   RPAREN : ')' ; ASSIGN : '=' ; SEMI : ';' ; COMMA : ',' ;
unit ExprLexer;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
   Classes,
   ExprTokens,
   kivLexer,
   kivToken,
   kivTypes,
   SysUtils;

type
   TExprLexer = class( TkivLexer)
   protected // Internals
      procedure initialize; override;

   protected // Protected grammar rules
      procedure mDIGIT  ( pCreate: boolean);

   protected // Public grammar rules ("rescoped")
      procedure mWS     ( pCreate: boolean);
      procedure mCOMMENT( pCreate: boolean);
      procedure mNUM    ( pCreate: boolean);
      procedure mID     ( pCreate: boolean);
      procedure mOP     ( pCreate: boolean);

   public
      function  NextToken: IkivToken; override;
   end;

implementation

uses
   kivException,
   kivExceptionSemantic,
   kivExceptionMismatchedChar;

procedure TExprLexer.mDIGIT( pCreate: boolean);
var
   _begin: integer;
   _save: integer;
   _token: IkivToken;
   _ttype: integer;
begin
   _begin   := Length( TokenText) +1;
   _token   := nil;
   _ttype   := TT_000;

   match( ['0'..'9']);

   if (_ttype <> TT_SKIP) and (pCreate = true) then
   begin
      _token            := makeToken( _ttype);
      _token.TokenText  := Copy( TokenText, _begin, Length(TokenText)-_begin+1);
   end;

   ReturnToken := _token;
end;

procedure TExprLexer.mWS( pCreate: boolean);
var
   _begin: integer;
   _save: integer;
   _token: IkivToken;
   _ttype: integer;
begin
   _begin   := Length( TokenText) +1;
   _token   := nil;
   _ttype   := TT_WS;

   if (( LA(1) in [' '])) then
   begin
      match(' ');
   end
   else if (( LA(1) in [#9])) then
   begin
      match(#9);
   end
   else if (( LA(1) in [#10])) then
   begin
      match(#10);
      newLine;
   end
   else if (( LA(1) in [#13])) then
   begin
      match(#13);
   end
   else
      Raise EkivMismatchedChar.Create( LA(1), [#9..#10,#13,' '], InputState.FileName, InputState.Line, InputState.Column);
   _ttype := TT_SKIP;

   if (_ttype <> TT_SKIP) and (pCreate = true) then
   begin
      _token            := makeToken( _ttype);
      _token.TokenText  := Copy( TokenText, _begin, Length(TokenText)-_begin+1);
   end;

   ReturnToken := _token;
end;

procedure TExprLexer.mCOMMENT( pCreate: boolean);
var
   _begin: integer;
   _save: integer;
   _token: IkivToken;
   _ttype: integer;
begin
   _begin   := Length( TokenText) +1;
   _token   := nil;
   _ttype   := TT_COMMENT;

   match('//');

   while(true) do
   begin
      if (( LA(1) in [#1..#9,#11..#255])) then
      begin
         matchNot(#10);
      end
      else
         break;
   end;

   _ttype := TT_SKIP;

   if (_ttype <> TT_SKIP) and (pCreate = true) then
   begin
      _token            := makeToken( _ttype);
      _token.TokenText  := Copy( TokenText, _begin, Length(TokenText)-_begin+1);
   end;

   ReturnToken := _token;
end;

procedure TExprLexer.mNUM( pCreate: boolean);
var
   _begin: integer;
   _cnt_1: integer;
   _save: integer;
   _token: IkivToken;
   _ttype: integer;
begin
   _begin   := Length( TokenText) +1;
   _token   := nil;
   _ttype   := TT_NUM;

   _cnt_1 := 0;

   while(true) do
   begin
      if (( LA(1) in ['0'..'9'])) then
      begin
         mDIGIT(false);
      end
      else
      begin
         if _cnt_1 >= 1 then
            break
         else
            Raise EkivMismatchedChar.Create( LA(1), ['0'..'9'], InputState.FileName, InputState.Line, InputState.Column);
      end;

      INC(_cnt_1);
   end;

   if (_ttype <> TT_SKIP) and (pCreate = true) then
   begin
      _token            := makeToken( _ttype);
      _token.TokenText  := Copy( TokenText, _begin, Length(TokenText)-_begin+1);
   end;

   ReturnToken := _token;
end;

procedure TExprLexer.mID( pCreate: boolean);
var
   _begin: integer;
   _save: integer;
   _token: IkivToken;
   _ttype: integer;
begin
   _begin   := Length( TokenText) +1;
   _token   := nil;
   _ttype   := TT_ID;

   match( ['A'..'Z','_','a'..'z']);

   while(true) do
   begin
      if (( LA(1) in ['0'..'9','A'..'Z','_','a'..'z'])) then
      begin
         match( ['0'..'9','A'..'Z','_','a'..'z']);
      end
      else
         break;
   end;

   _ttype := TestLiteral( _ttype);

   if (_ttype <> TT_SKIP) and (pCreate = true) then
   begin
      _token            := makeToken( _ttype);
      _token.TokenText  := Copy( TokenText, _begin, Length(TokenText)-_begin+1);
   end;

   ReturnToken := _token;
end;

// The single-character operators share one rule here; a generated lexer
// has one rule each, with the same shape.
procedure TExprLexer.mOP( pCreate: boolean);
var
   _begin: integer;
   _save: integer;
   _token: IkivToken;
   _ttype: integer;
begin
   _begin   := Length( TokenText) +1;
   _token   := nil;
   _ttype   := TT_000;

   case LA(1) of
      '+': _ttype := TT_PLUS;
      '-': _ttype := TT_MINUS;
      '*': _ttype := TT_STAR;
      '/': _ttype := TT_SLASH;
      '(': _ttype := TT_LPAREN;
      ')': _ttype := TT_RPAREN;
      '=': _ttype := TT_ASSIGN;
      ';': _ttype := TT_SEMI;
      ',': _ttype := TT_COMMA;
   end;
   match( ['('..'/','=',';']);

   if (_ttype <> TT_SKIP) and (pCreate = true) then
   begin
      _token            := makeToken( _ttype);
      _token.TokenText  := Copy( TokenText, _begin, Length(TokenText)-_begin+1);
   end;

   ReturnToken := _token;
end;

// ----------------------------------------------------------------------------
// NextToken
// ----------------------------------------------------------------------------
function TExprLexer.NextToken : IkivToken;
var
   _first   : TkivCharSet;

begin
   _first := [#9..#10,#13,' ','('..'-','/'..'9',';','=','A'..'Z','_','a'..'z'];

   while( true) do
   begin
      ResetText;

      try
         if (( LA(1) in ['/']) and (LA(2) in ['/'])) then
         begin
            mCOMMENT(true);
            result := ReturnToken;
         end
         else if (( LA(1) in [#9..#10,#13,' '])) then
         begin
            mWS(true);
            result := ReturnToken;
         end
         else if (( LA(1) in ['0'..'9'])) then
         begin
            mNUM(true);
            result := ReturnToken;
         end
         else if (( LA(1) in ['A'..'Z','_','a'..'z'])) then
         begin
            mID(true);
            result := ReturnToken;
         end
         else if (( LA(1) in ['('..'-','/','=',';'])) then
         begin
            mOP(true);
            result := ReturnToken;
         end
         else
         begin
            if LA(1) = EOF_CHAR then
            begin
               uponEof;
               result := TkivToken.Create(TT_EOF);
            end

            else
               Raise EkivMismatchedChar.Create(LA(1), _first, InputState.FileName, InputState.Line, InputState.Column);
         end;

         // --------------------------------------------------------------
         // If we found a SKIP token, then try again...
         // --------------------------------------------------------------
         if result = nil then
            continue;

         // --------------------------------------------------------------
         // Now we have a valid token, so exit the function
         // --------------------------------------------------------------
         break;

      except
         Raise;
      end;
   end;
end;

// ----------------------------------------------------------------------------
// InitLiterals
// ----------------------------------------------------------------------------
procedure TExprLexer.initialize;
begin
   fLiterals.Add('let',   17);
   fLiterals.Add('print', 18);
end;

end.
