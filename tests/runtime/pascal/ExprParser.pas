{ ==========================================================================
  ExprParser
  Hand-written LL(2) parser of the test expression language, shaped like
  the parsers the generator writes: set-membership look-ahead tests, a
  syntactic predicate attempted with mark / guess / rewind, semantic
  predicates that raise EkivSemantic, and a rule with the default error
  handler. It evaluates as it parses.
  ========================================================================== }

// The grammar this unit implements:
//   prog       : (statement)* EOF ;
//   script     : (recovering)* EOF ;
//   recovering : statement ;                     // default error handler
//   statement  : "let" id:ID ASSIGN v=expr SEMI  { Declare }
//              | id:ID ASSIGN v=expr SEMI        { Assign }      // LL(2)
//              | "print" v=expr SEMI             { Output }
//              | v=expr SEMI                     { LastValue }
//              ;
//   expr   returns Integer : term ((PLUS | MINUS) term)* ;
//   term   returns Integer : factor ((STAR | SLASH) d=factor
//                                    {(InputState.Guessing > 0) or (d <> 0)}?)* ;
//   factor returns Integer : (LPAREN expr COMMA)=> LPAREN expr (COMMA expr)+ RPAREN
//                          | LPAREN expr RPAREN
//                          | NUM
//                          | variable
//                          | MINUS factor
//                          ;
//   variable returns Integer : {IsDeclared(LT(1).TokenText)}? id:ID ;
unit ExprParser;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
   Classes,
   ExprTokens,
   kivLLkParser,
   kivToken,
   kivTypes,
   SysUtils;

type
   TExprParser = class( TkivLLkParser)
   private
      FVariables: TStringList;
      FOutput: TStringList;
      FErrors: TStringList;
      FLastValue: Integer;
      function  IsDeclared(const AName: AnsiString): Boolean;
      procedure Declare(const AName: AnsiString; AValue: Integer);
      procedure Assign(const AName: AnsiString; AValue: Integer);
      function  ValueOf(const AName: AnsiString): Integer;

   public    // Public grammar rules
      procedure prog;
      procedure script;
      procedure recovering;
      procedure statement;
      function  expr: Integer;
      function  term: Integer;
      function  factor: Integer;
      function  variable: Integer;

   public
      constructor Create(const ATokenStream: IkivTokenStream);
      destructor Destroy; override;
      // Records every reported error as "ClassName line:column".
      procedure reportError(E: Exception); override;
      property Output: TStringList read FOutput;
      property Errors: TStringList read FErrors;
      property LastValue: Integer read FLastValue;
   end;

implementation

uses
   kivException,
   kivExceptionSemantic,
   kivExceptionMismatchedToken;

constructor TExprParser.Create(const ATokenStream: IkivTokenStream);
begin
   inherited Create(ATokenStream, 2);
   FVariables := TStringList.Create;
   FVariables.CaseSensitive := True;
   FOutput := TStringList.Create;
   FErrors := TStringList.Create;
end;

destructor TExprParser.Destroy;
begin
   FErrors.Free;
   FOutput.Free;
   FVariables.Free;
   inherited Destroy;
end;

procedure TExprParser.reportError(E: Exception);
begin
   if E is EkivException then
      FErrors.Add(Format('%s %d:%d', [E.ClassName, EkivException(E).Line, EkivException(E).Column]))
   else
      FErrors.Add(E.ClassName);
end;

function TExprParser.IsDeclared(const AName: AnsiString): Boolean;
begin
   Result := FVariables.IndexOfName(string(AName)) >= 0;
end;

procedure TExprParser.Declare(const AName: AnsiString; AValue: Integer);
begin
   FVariables.Values[string(AName)] := IntToStr(AValue);
end;

procedure TExprParser.Assign(const AName: AnsiString; AValue: Integer);
begin
   FVariables.Values[string(AName)] := IntToStr(AValue);
end;

function TExprParser.ValueOf(const AName: AnsiString): Integer;
begin
   Result := StrToInt(FVariables.Values[string(AName)]);
end;

// ============================================================================
// prog
// ============================================================================
procedure TExprParser.prog;
begin
   while(true) do
   begin
      if (( LA(1) in [TT_NUM..TT_ID,TT_MINUS,TT_LPAREN,LT_let..LT_print])) then
      begin
         statement;
      end
      else
         break;
   end;

   match(TT_EOF);
end;

// ============================================================================
// script
// ============================================================================
procedure TExprParser.script;
begin
   while(true) do
   begin
      if (( LA(1) in [TT_NUM..TT_ID,TT_MINUS,TT_LPAREN,LT_let..LT_print])) then
      begin
         recovering;
      end
      else
         break;
   end;

   match(TT_EOF);
end;

// ============================================================================
// recovering
// ============================================================================
procedure TExprParser.recovering;
begin
   try
      statement;

   except
      on e:Exception do
      begin
         if InputState.Guessing = 0 then
         begin
            reportError(e);
            Consume;
            ConsumeUntil( [TT_EOF,TT_NUM..TT_ID,TT_MINUS,TT_LPAREN,LT_let..LT_print]);
         end
         else
            Raise;
      end;
   end;
end;

// ============================================================================
// statement
// ============================================================================
procedure TExprParser.statement;
var
   id: IkivToken;
   v: Integer;
begin
   if (( LA(1) in [LT_let])) then
   begin
      match(LT_let);
      id := LT(1);
      match(TT_ID);
      match(TT_ASSIGN);
      v := expr;
      match(TT_SEMI);

      if InputState.Guessing = 0 then
      begin
         Declare(id.TokenText, v);
      end;
   end

   else if (( LA(1) in [TT_ID]) and (LA(2) in [TT_ASSIGN])) then
   begin
      id := LT(1);
      match(TT_ID);
      match(TT_ASSIGN);
      v := expr;
      match(TT_SEMI);

      if InputState.Guessing = 0 then
      begin
         Assign(id.TokenText, v);
      end;
   end

   else if (( LA(1) in [LT_print])) then
   begin
      match(LT_print);
      v := expr;
      match(TT_SEMI);

      if InputState.Guessing = 0 then
      begin
         FOutput.Add(IntToStr(v));
      end;
   end

   else if (( LA(1) in [TT_NUM..TT_ID,TT_MINUS,TT_LPAREN]) and (LA(2) in [TT_NUM..TT_LPAREN,TT_SEMI])) then
   begin
      v := expr;
      match(TT_SEMI);

      if InputState.Guessing = 0 then
      begin
         FLastValue := v;
      end;
   end

   else
      Raise EkivMismatchedToken.Create( LT(1), [TT_NUM..TT_ID,TT_MINUS,TT_LPAREN,LT_let..LT_print], InputState.FileName);
end;

// ============================================================================
// expr
// ============================================================================
function TExprParser.expr: Integer;
var
   t: Integer;
begin
   result := term;

   while(true) do
   begin
      if (( LA(1) in [TT_PLUS])) then
      begin
         match(TT_PLUS);
         t := term;

         if InputState.Guessing = 0 then
         begin
            result := result + t;
         end;
      end

      else if (( LA(1) in [TT_MINUS])) then
      begin
         match(TT_MINUS);
         t := term;

         if InputState.Guessing = 0 then
         begin
            result := result - t;
         end;
      end
      else
         break;
   end;
end;

// ============================================================================
// term
// ============================================================================
function TExprParser.term: Integer;
var
   d: Integer;
begin
   result := factor;

   while(true) do
   begin
      if (( LA(1) in [TT_STAR])) then
      begin
         match(TT_STAR);
         d := factor;

         if InputState.Guessing = 0 then
         begin
            result := result * d;
         end;
      end

      else if (( LA(1) in [TT_SLASH])) then
      begin
         match(TT_SLASH);
         d := factor;

         if not ((InputState.Guessing > 0) or (d <> 0)) then
            Raise EkivSemantic.Create('(InputState.Guessing > 0) or (d <> 0)', InputState.FileName, InputState.Line, InputState.Column);

         if InputState.Guessing = 0 then
         begin
            result := result div d;
         end;
      end
      else
         break;
   end;
end;

// ============================================================================
// factor
// ============================================================================
function TExprParser.factor: Integer;
var
   _cnt_2: integer;
   _mkMatch: integer;
   _spMatch: boolean;
   n: IkivToken;
   v: Integer;
begin
   _spMatch := false;
   _mkMatch := 0;
   result := 0;

   if not _spMatch then
   begin
      _mkMatch := mark;
      _spMatch := true;

      InputState.Guessing := InputState.Guessing + 1;

      try
         match(TT_LPAREN);
         expr;
         match(TT_COMMA);
      except
         _spMatch := false;
      end;

      rewind( _mkMatch);
      InputState.Guessing := InputState.Guessing - 1;

      if _spMatch then
      begin
         match(TT_LPAREN);
         expr;
         _cnt_2 := 0;

         while(true) do
         begin
            if (( LA(1) in [TT_COMMA])) then
            begin
               match(TT_COMMA);
               v := expr;

               if InputState.Guessing = 0 then
               begin
                  result := v;
               end;
            end
            else
            begin
               if _cnt_2 >= 1 then
                  break
               else
                  Raise EkivMismatchedToken.Create( LT(1), [TT_COMMA], InputState.FileName);
            end;

            INC(_cnt_2);
         end;
         match(TT_RPAREN);
      end;
   end;

   if not _spMatch then
   begin
      if (( LA(1) in [TT_LPAREN])) then
      begin
         match(TT_LPAREN);
         result := expr;
         match(TT_RPAREN);
      end

      else if (( LA(1) in [TT_NUM])) then
      begin
         n := LT(1);
         match(TT_NUM);

         if InputState.Guessing = 0 then
         begin
            result := StrToInt(n.TokenText);
         end;
      end

      else if (( LA(1) in [TT_ID])) then
      begin
         result := variable;
      end

      else if (( LA(1) in [TT_MINUS])) then
      begin
         match(TT_MINUS);
         v := factor;

         if InputState.Guessing = 0 then
         begin
            result := -v;
         end;
      end

      else
         Raise EkivMismatchedToken.Create( LT(1), [TT_NUM..TT_ID,TT_MINUS,TT_LPAREN], InputState.FileName);
   end;
end;

// ============================================================================
// variable
// ============================================================================
function TExprParser.variable: Integer;
var
   id: IkivToken;
begin
   result := 0;

   if not (IsDeclared(LT(1).TokenText)) then
      Raise EkivSemantic.Create('IsDeclared(LT(1).TokenText)', InputState.FileName, InputState.Line, InputState.Column);

   id := LT(1);
   match(TT_ID);

   if InputState.Guessing = 0 then
   begin
      result := ValueOf(id.TokenText);
   end;
end;

end.
