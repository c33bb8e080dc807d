{ ==========================================================================
  KIV recognizer runtime - kivTypes
  Constants, set types and the interfaces shared by every lexer and parser
  built on the runtime, plus the runtime's own message texts.
  ========================================================================== }
unit kivTypes;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

const
  // Token type of the end-of-input token.
  TT_EOF = 1;
  // Token type a lexer rule sets to have its token discarded.
  TT_SKIP = -1;
  // Token type 0: no token ever has it, so the parser wildcard
  // "matchNot( TT_000)" accepts every token.
  TT_000 = 0;
  // The character that character input yields past the end of the stream.
  EOF_CHAR = AnsiChar(#0);

type
  // 256 members, 32 bytes: member c is bit (c mod 8) of byte (c div 8).
  TkivCharSet = set of AnsiChar;
  // Same layout over the token types 0..255.
  TkivTokenSet = set of Byte;

  IkivToken = interface
    ['{23978589-BC3D-4163-895B-CAEA3D486830}']
    function GetTokenText: AnsiString;
    function GetTokenType: Integer;
    function GetLine: Integer;
    function GetColumn: Integer;
    procedure SetTokenText(const AValue: AnsiString);
    procedure SetTokenType(AValue: Integer);
    procedure SetLine(AValue: Integer);
    procedure SetColumn(AValue: Integer);
    function Clone: IkivToken;
    property TokenText: AnsiString read GetTokenText write SetTokenText;
    property TokenType: Integer read GetTokenType write SetTokenType;
    property Line: Integer read GetLine write SetLine;
    property Column: Integer read GetColumn write SetColumn;
  end;

  // A source of tokens; every lexer is one.
  IkivTokenStream = interface
    ['{14AFADB8-C164-4D11-ADDA-00580B9E8CB2}']
    function NextToken: IkivToken;
  end;

  // Marking, rewinding and deferred consumption, common to character and
  // token input.
  IkivInputBuffer = interface
    ['{A8821D1A-03A0-42A5-83A7-6D108A8E4143}']
    function IsMarked: Boolean;
    procedure consume;
    procedure commit;
    function mark: Integer;
    procedure rewind(AMark: Integer);
  end;

  IkivCharBuffer = interface(IkivInputBuffer)
    ['{6EFF6DDE-6F5B-4973-8FAF-509F47AE5B75}']
    // The character I positions ahead; 1 is the current character.
    function LA(I: Integer): AnsiChar;
  end;

  IkivTokenBuffer = interface(IkivInputBuffer)
    ['{C868EC0F-6879-40ED-99D5-F5486906AEF7}']
    // The type of the token I positions ahead; 1 is the current token.
    function LA(I: Integer): Integer;
    // That token itself.
    function LT(I: Integer): IkivToken;
  end;

  // Window of characters read ahead, numbered from 1.
  IkivCharQueue = interface
    ['{815CAE9C-8C4F-4ED0-95C0-CB1319AD1600}']
    function GetChar(I: Integer): AnsiChar;
    procedure SetChar(I: Integer; C: AnsiChar);
    procedure Append(C: AnsiChar);
    procedure RemoveFirst(N: Integer);
    procedure Clear;
    function Count: Integer;
    property Chars[I: Integer]: AnsiChar read GetChar write SetChar; default;
  end;

  // Ordered list of tokens read ahead, numbered from 0.
  IkivTokenQueue = interface
    ['{6BC2123F-F136-4608-A328-E66CF06CB710}']
    function GetItem(I: Integer): IkivToken;
    procedure Add(const AToken: IkivToken);
    procedure RemoveFirst(N: Integer);
    procedure Clear;
    function Count: Integer;
    property Items[I: Integer]: IkivToken read GetItem; default;
  end;

  // Shared input state of a lexer: its character buffer, position,
  // the position where the current token began and the guessing depth.
  IkivLexerState = interface
    ['{90F8E7E6-3B76-425B-B45B-29976433B373}']
    function GetFileName: string;
    function GetLine: Integer;
    function GetColumn: Integer;
    function GetGuessing: Integer;
    function GetInput: IkivCharBuffer;
    function GetTokenStartLine: Integer;
    function GetTokenStartColumn: Integer;
    procedure SetFileName(const AValue: string);
    procedure SetLine(AValue: Integer);
    procedure SetColumn(AValue: Integer);
    procedure SetGuessing(AValue: Integer);
    procedure SetInput(const AValue: IkivCharBuffer);
    procedure SetTokenStartLine(AValue: Integer);
    procedure SetTokenStartColumn(AValue: Integer);
    property FileName: string read GetFileName write SetFileName;
    property Line: Integer read GetLine write SetLine;
    property Column: Integer read GetColumn write SetColumn;
    property Guessing: Integer read GetGuessing write SetGuessing;
    property Input: IkivCharBuffer read GetInput write SetInput;
    property TokenStartLine: Integer read GetTokenStartLine write SetTokenStartLine;
    property TokenStartColumn: Integer read GetTokenStartColumn write SetTokenStartColumn;
  end;

  // Shared input state of a parser. Line and Column answer the position
  // of the current token, LT(1), so that generated parsers can position a
  // failed semantic predicate the same way generated lexers do.
  IkivParserState = interface
    ['{0B947BE4-E25F-4DAD-801F-788AA5AC7BC3}']
    function GetInput: IkivTokenBuffer;
    function GetFileName: string;
    function GetGuessing: Integer;
    procedure SetFileName(const AValue: string);
    procedure SetGuessing(AValue: Integer);
    function GetLine: Integer;
    function GetColumn: Integer;
    property Input: IkivTokenBuffer read GetInput;
    property FileName: string read GetFileName write SetFileName;
    property Guessing: Integer read GetGuessing write SetGuessing;
    property Line: Integer read GetLine;
    property Column: Integer read GetColumn;
  end;

resourcestring
  SkivCharIndexTooBig = 'index "%d" is too  big';
  SkivTokenIndexTooBig = 'index "%d" is too big';
  SkivIndexBelowOne = 'index less than 1';
  SkivIndexBelowZero = 'index less than 0';
  SkivEntryIndexOutOfRange = 'entry index %d out of range';

implementation

end.
