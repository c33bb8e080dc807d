// kivKivTokenTypes.h - token types of the grammar-file language, shared by its lexer and parser.
// Types 4..20 are the keywords (the lexer's literal table); 48..59 number inner lexer rules only.
#pragma once

// The names live in their own namespace because the other readers built on the runtime (vocabulary
// and project files) number their tokens from 4 as well, partly under the same names.
namespace kiv::kivgrammar {

// One constant per token type. The keywords come first, in the order they enter the literal table;
// the types from TT_LOWER_ID_BODY on belong to the lexer's inner rules and never reach the parser.
enum TokenType : int {
  TT_UNIT = 4,           // "unit"
  TT_USES = 5,           // "uses" not followed by a brace
  TT_CONST = 6,          // "const"
  TT_TYPE = 7,           // "type"
  TT_LEXER = 8,          // "lexer"
  TT_PARSER = 9,         // "parser"
  TT_OPTIONS = 10,       // "options" not followed by a brace
  TT_TOKENS = 11,        // "tokens" not followed by a brace
  TT_MEMBERDECL = 12,    // "memberdecl"
  TT_MEMBERDEF = 13,     // "memberdef"
  TT_PRIVATE = 14,       // "private"
  TT_PROTECTED = 15,     // "protected"
  TT_PUBLIC = 16,        // "public"
  TT_RETURNS = 17,       // "returns"
  TT_LOCAL = 18,         // "local"
  TT_EXCEPT = 19,        // "except"
  TT_FINALLY = 20,       // "finally"
  TT_PREDICATE = 21,     // an action directly followed by "?"
  TT_USES_BLOCK = 22,    // "uses" { blank | comment } "{"
  TT_OPTIONS_BLOCK = 23, // "options" { blank | comment } "{"
  TT_TOKENS_BLOCK = 24,  // "tokens" { blank | comment } "{"
  TT_LPAREN = 25,        // "("
  TT_RPAREN = 26,        // ")"
  TT_RBRACE = 27,        // "}"
  TT_COLON = 28,         // ":"
  TT_SEMI = 29,          // ";"
  TT_COMMA = 30,         // ","
  TT_ASSIGN = 31,        // "="
  TT_IMPLIES = 32,       // "=>"
  TT_QUESTION = 33,      // "?"
  TT_PLUS = 34,          // "+"
  TT_STAR = 35,          // "*"
  TT_TILDE = 36,         // "~"
  TT_BAR = 37,           // "|"
  TT_BANG = 38,          // "!"
  TT_DOT = 39,           // "."
  TT_DOTDOT = 40,        // ".."
  TT_CHAR = 41,          // 'c' (text: the unescaped character)
  TT_STRING = 42,        // "..." (text: unescaped, both double quotes kept)
  TT_INT = 43,           // decimal or "$" hexadecimal (text: the value in decimal)
  TT_ARGUMENT = 44,      // [ ... ] (text: without the brackets)
  TT_ACTION = 45,        // { ... } (text: with the braces)
  TT_UPPER_ID = 46,      // identifier starting with an upper-case letter
  TT_LOWER_ID = 47,      // identifier starting with a lower-case letter, no keyword
  TT_LOWER_ID_BODY = 48, // inner rule: identifier scan with keyword lookup
  TT_COMMENT = 49,       // inner rule: comment dispatch
  TT_LINE_COMMENT = 50,  // inner rule: "//" to the end of the line
  TT_PAREN_COMMENT = 51, // inner rule: "(*" to "*)"
  TT_SLASH_COMMENT = 52, // inner rule: "/*" to "*/"
  TT_DECIMAL = 53,       // inner rule: decimal digits
  TT_HEX = 54,           // inner rule: "$" and hexadecimal digits
  TT_DIGIT = 55,         // inner rule: one decimal digit
  TT_HEX_DIGIT = 56,     // inner rule: one hexadecimal digit
  TT_WS = 57,            // inner rule: one blank
  TT_WS_RUN = 58,        // inner rule: blanks and comments before a block brace
  TT_ESCAPE = 59,        // inner rule: backslash escape inside a literal

  TT_FIRST = TT_UNIT,
  TT_LAST = TT_ESCAPE,
  TT_KEYWORD_FIRST = TT_UNIT,
  TT_KEYWORD_LAST = TT_FINALLY,
  TT_INNER_FIRST = TT_LOWER_ID_BODY,
  TT_INNER_LAST = TT_ESCAPE,
};

} // namespace kiv::kivgrammar
