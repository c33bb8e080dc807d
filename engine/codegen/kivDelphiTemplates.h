// kivDelphiTemplates.h - the invariant pieces of generated Delphi units, as text with named holes.
// Each template line carries its indentation relative to the level it is written at.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kiv {

// One hole of a template: "${Name}" is replaced by Value.
using TemplateHole = std::pair<std::string_view, std::string>;

// The template's lines with every hole filled; a hole without a value is an internal error and
// raises std::logic_error.
std::vector<std::string> ExpandTemplate(std::string_view Template, std::initializer_list<TemplateHole> Holes = {});

namespace tmpl {

// The end of every lexer rule method, after an empty line: the token is made unless the rule
// skipped it or the caller did not ask for it.
inline constexpr std::string_view LexerRuleTail = R"(

if (_ttype <> TT_SKIP) and (pCreate = true) then
begin
   _token            := makeToken( _ttype);
   _token.TokenText  := Copy( TokenText, _begin, Length(TokenText)-_begin+1);
end;

ReturnToken := _token;)";

// The end of a lexer rule method in the optimized form: the runtime makes the token (or nil) and
// keeps it as ReturnToken.
inline constexpr std::string_view OptimizedLexerRuleTail = R"(

_finishRule( _ttype, _begin, pCreate);)";

// NextToken of a lexer without public rules: only the end of the input. The token carries the
// position where the input ended.
inline constexpr std::string_view NextTokenWithoutRules = R"(
begin
   result := makeToken(TT_EOF);
end;)";

// The last clause of NextToken's decision: the end of the input, else what ${Otherwise} does.
inline constexpr std::string_view NextTokenEndOfInput = R"(
if LA(1) = EOF_CHAR then
begin
   uponEof;
   result := makeToken(TT_EOF);
end

${Otherwise})";

// The same in the optimized form's _nextTokenType: the end-of-input type.
inline constexpr std::string_view TypedNextTokenEndOfInput = R"(
if LA(1) = EOF_CHAR then
begin
   uponEof;
   result := _eofType;
end

${Otherwise})";

// No rule matches and filtering is off: the mismatch names every character a token can start with.
inline constexpr std::string_view NextTokenMismatch = R"(
else
   Raise EkivMismatchedChar.Create(LA(1), _first, InputState.FileName, InputState.Line, InputState.Column);)";

// The same in the optimized form, raised by the runtime.
inline constexpr std::string_view OptimizedNextTokenMismatch = R"(
else
   _raiseNoViableChar( [${First}]);)";

// No rule matches and filtering is on: the character is dropped.
inline constexpr std::string_view NextTokenFilterSkip = R"(
else
begin
   consume;
   continue;
end;)";

// No rule matches and a filter rule is set: the filter rule consumes what it can.
inline constexpr std::string_view NextTokenFilterRule = R"(
else
begin
   commit;

   try
      m${Rule}(false);
   except
      on e:Exception do
      begin
         reportError(e);
         consume;
      end;
   end;

   continue;
end;)";

// A token rule failed while a filter rule is set: start again at the mark and filter.
inline constexpr std::string_view NextTokenRecoverWithFilterRule = R"(
rewind(_mark);
ResetText;

try
   m${Rule}(false);

except
   on e:Exception do
   begin
      reportError(e);
      consume;
   end;
end;)";

// A token rule failed while filtering without a filter rule: drop one character.
inline constexpr std::string_view NextTokenRecoverByConsuming = R"(
consume;
continue;)";

} // namespace tmpl
} // namespace kiv
