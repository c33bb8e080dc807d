// kivTypes.h
// Runtime interfaces, token-type and character constants, and the two 256-member set types.
#pragma once

#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

// ---------------------------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------------------------

/// Token type of the end-of-input token.
inline constexpr int TT_EOF = 1;
/// Token type a lexer rule sets to have its token discarded.
inline constexpr int TT_SKIP = -1;
/// The character that character input yields past the end of the stream.
inline constexpr char EOF_CHAR = '\0';

// ---------------------------------------------------------------------------------------------
// Sets
// ---------------------------------------------------------------------------------------------

/// A set of characters; member c is the character with code (unsigned char)c.
using TkivCharSet = std::bitset<256>;
/// A set of token types 0..255 (the same layout as a character set).
using TkivTokenSet = std::bitset<256>;

namespace kiv {

// Note [set members outside 0..255]: only 0..255 can be members of either set type. Every helper
// below ignores any other value: IsMember answers false, Include and the set builders leave the
// set unchanged. Nothing is ever wrapped into another member (type 257 never becomes 1), so a
// large or negative token type cannot corrupt a lookahead set.

/// True when value lies in 0..255 and is a member of set.
inline bool IsMember(const std::bitset<256>& set, int value) {
  return value >= 0 && value <= 255 && set.test(static_cast<std::size_t>(value));
}
/// True when the character (read as unsigned) is a member of set.
inline bool IsMember(const std::bitset<256>& set, char c) {
  return set.test(static_cast<unsigned char>(c));
}
/// Adds value to set; values outside 0..255 are ignored.
inline void Include(std::bitset<256>& set, int value) {
  if (value >= 0 && value <= 255) set.set(static_cast<std::size_t>(value));
}
/// Adds every value of lo..hi that lies in 0..255.
void IncludeRange(std::bitset<256>& set, int lo, int hi);
/// A token set holding the given types (out-of-range types ignored).
TkivTokenSet TokenSetOf(std::initializer_list<int> types);
/// A character set holding every character of chars.
TkivCharSet CharSetOf(const std::string& chars);
/// A character set holding the characters lo..hi (by unsigned code).
TkivCharSet CharRange(char lo, char hi);

/// The code of a character, 0..255.
inline int CharCode(char c) { return static_cast<unsigned char>(c); }
/// A to Z become a to z; every other code is returned unchanged.
inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

} // namespace kiv

// ---------------------------------------------------------------------------------------------
// Interfaces (operations in contract slot order)
// ---------------------------------------------------------------------------------------------

/// A token: text, type, line and column (1-based). Shared by value-like shared_ptr.
class IkivToken {
public:
  virtual ~IkivToken() = default;
  virtual const std::string& TokenText() const = 0;
  virtual int TokenType() const = 0;
  virtual int Line() const = 0;
  virtual int Column() const = 0;
  virtual void SetTokenText(const std::string& text) = 0;
  virtual void SetTokenType(int type) = 0;
  virtual void SetLine(int line) = 0;
  virtual void SetColumn(int column) = 0;
  /// A new plain TkivToken with the same four values, whatever the class of this token.
  virtual std::shared_ptr<IkivToken> Clone() const = 0;
};
using IkivTokenPtr = std::shared_ptr<IkivToken>;

/// Marking and lazy consumption over a queue of held items (characters or tokens).
/// Marks nest: every mark is closed by one rewind or one commit.
class IkivInputBuffer {
public:
  virtual ~IkivInputBuffer() = default;
  virtual bool IsMarked() const = 0;
  virtual void consume() = 0;
  virtual void commit() = 0;
  virtual int mark() = 0;
  virtual void rewind(int mark) = 0;
};
using IkivInputBufferPtr = std::shared_ptr<IkivInputBuffer>;

/// Character input: LA(1) is the current character, EOF_CHAR at and past the end.
class IkivCharBuffer : public virtual IkivInputBuffer {
public:
  virtual char LA(int i) = 0;
  /// Whether position i (as for LA) lies past the real end of the input. LA reads EOF_CHAR there,
  /// and also for a zero byte of the input, which is an ordinary character.
  virtual bool IsEndOfInput(int i) = 0;
};
using IkivCharBufferPtr = std::shared_ptr<IkivCharBuffer>;

/// The lexer's shared input state: file name, position, guessing depth, the character input and
/// the position where the current token began.
class IkivLexerState {
public:
  virtual ~IkivLexerState() = default;
  virtual const std::string& FileName() const = 0;
  virtual int Line() const = 0;
  virtual int Column() const = 0;
  virtual int Guessing() const = 0;
  virtual const IkivCharBufferPtr& Input() const = 0;
  virtual int TokenStartLine() const = 0;
  virtual int TokenStartColumn() const = 0;
  virtual void SetFileName(const std::string& fileName) = 0;
  virtual void SetLine(int line) = 0;
  virtual void SetColumn(int column) = 0;
  virtual void SetGuessing(int guessing) = 0;
  virtual void SetInput(IkivCharBufferPtr input) = 0;
  virtual void SetTokenStartLine(int line) = 0;
  virtual void SetTokenStartColumn(int column) = 0;
};
using IkivLexerStatePtr = std::shared_ptr<IkivLexerState>;

/// A source of tokens (normally a lexer). At end of input it answers every request with a new
/// token of type TT_EOF.
class IkivTokenStream {
public:
  virtual ~IkivTokenStream() = default;
  virtual IkivTokenPtr NextToken() = 0;
};
using IkivTokenStreamPtr = std::shared_ptr<IkivTokenStream>;

/// Token input with k-token look-ahead: LA(i) is the type of the token i positions ahead
/// (1 = current), LT(i) the token itself.
class IkivTokenBuffer : public virtual IkivInputBuffer {
public:
  virtual int LA(int i) = 0;
  virtual IkivTokenPtr LT(int i) = 0;
};
using IkivTokenBufferPtr = std::shared_ptr<IkivTokenBuffer>;

/// The parser's shared input state: the token input, the file name and the guessing depth.
class IkivParserState {
public:
  virtual ~IkivParserState() = default;
  virtual const IkivTokenBufferPtr& Input() const = 0;
  virtual const std::string& FileName() const = 0;
  virtual int Guessing() const = 0;
  virtual void SetFileName(const std::string& fileName) = 0;
  virtual void SetGuessing(int guessing) = 0;
};
using IkivParserStatePtr = std::shared_ptr<IkivParserState>;
