{ ==========================================================================
  ExprTokens
  Token types of the test expression language, laid out like a generated
  token-types unit.
  ========================================================================== }
unit ExprTokens;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

const
   TT_EOF      = 1;
   TT_WS       = 4;
   TT_COMMENT  = 5;
   TT_NUM      = 6;
   TT_ID       = 7;
   TT_PLUS     = 8;
   TT_MINUS    = 9;
   TT_STAR     = 10;
   TT_SLASH    = 11;
   TT_LPAREN   = 12;
   TT_RPAREN   = 13;
   TT_ASSIGN   = 14;
   TT_SEMI     = 15;
   TT_COMMA    = 16;
   LT_let      = 17;
   LT_print    = 18;

implementation
end.
