// pasParser.g - recognises programs, units and libraries of an Object Pascal subset: uses
// clauses, constant, type, variable and label sections, records, sets, arrays, enumerations,
// subranges, procedural types, classes and interfaces with visibility sections, fields, methods
// and properties, routines with directives and nested declarations, every structured statement
// (if, case, repeat, while, for, with, try/except/finally, raise, goto) and expressions with the
// four precedence levels. It counts the routines and statements it has seen.
unit pasParser;

parser TPasParser;

options {
   k = 2;
   importVocab = Pas;
}

memberdecl {
   public
      Routines, Statements: integer;
}

// ---- files ------------------------------------------------------------------------------------

public goal
   : ( program_file | unit_file | library_file ) EOF
   ;

program_file
   : "program" ident ( program_params )? SEMI ( uses_clause )? block DOT
   ;

program_params
   : LPAREN ident_list RPAREN
   ;

library_file
   : "library" ident SEMI ( uses_clause )? block DOT
   ;

unit_file
   : "unit" qualified_ident SEMI interface_part implementation_part unit_end
   ;

unit_end
   : ( init_part )? "end" DOT
   ;

interface_part
   : "interface" ( uses_clause )? ( interface_decl )*
   ;

interface_decl
   : const_section
   | type_section
   | var_section
   | routine_heading_decl
   ;

implementation_part
   : "implementation" ( uses_clause )? ( decl_section )*
   ;

init_part
   : "initialization" statement_list ( "finalization" statement_list )?
   | "finalization" statement_list
   | "begin" statement_list
   ;

uses_clause
   : "uses" unit_ref ( COMMA unit_ref )* SEMI
   ;

unit_ref
   : qualified_ident ( "in" STRING )?
   ;

// ---- declarations -----------------------------------------------------------------------------

block
   : ( decl_section )* compound_statement
   ;

decl_section
   : label_section
   | const_section
   | type_section
   | var_section
   | routine_decl
   ;

label_section
   : "label" label_id ( COMMA label_id )* SEMI
   ;

label_id
   : NUMBER
   ;

const_section
   : ( "const" | "resourcestring" ) ( const_decl )+
   ;

const_decl
   : ident ( EQUAL expression | COLON type_def EQUAL expression ) SEMI
   ;

type_section
   : "type" ( type_decl )+
   ;

type_decl
   : ident EQUAL ( "type" )? type_body SEMI
   ;

type_body
   : type_def
   | class_type
   | interface_type
   ;

var_section
   : ( "var" | "threadvar" ) ( var_decl )+
   ;

var_decl
   : ident_list COLON type_def ( var_init )? SEMI
   ;

var_init
   : EQUAL expression
   | "absolute" expression
   ;

ident_list
   : ident ( COMMA ident )*
   ;

// ---- types ------------------------------------------------------------------------------------

type_def
   : string_type
   | structured_type
   | pointer_type
   | procedural_type
   | enum_type
   | subrange_type
   ;

type_name
   : qualified_ident
   | "string"
   | "file"
   ;

string_type
   : "string" ( LBRACK expression RBRACK )?
   ;

structured_type
   : ( "packed" )? ( array_type | record_type | set_type | file_type )
   ;

array_type
   : "array" ( LBRACK index_type ( COMMA index_type )* RBRACK )? "of" array_element
   ;

index_type
   : enum_type
   | subrange_type
   ;

array_element
   : "const"
   | type_def
   ;

set_type
   : "set" "of" type_def
   ;

file_type
   : "file" ( "of" type_def )?
   ;

record_type
   : "record" field_list "end"
   ;

field_list
   : ( field_decl SEMI )* ( variant_part )?
   ;

field_decl
   : ident_list COLON type_def
   ;

variant_part
   : "case" variant_selector "of" ( variant )+
   ;

variant_selector
   : ident ( COLON type_name )?
   ;

variant
   : case_label_list COLON LPAREN field_list RPAREN ( SEMI )?
   ;

pointer_type
   : CARET type_name
   ;

procedural_type
   : ( "procedure" ( formal_params )? | "function" ( formal_params )? COLON type_name )
     ( "of" "object" )?
   ;

enum_type
   : LPAREN enum_item ( COMMA enum_item )* RPAREN
   ;

enum_item
   : ident ( EQUAL expression )?
   ;

subrange_type
   : bound ( DOTDOT bound )?
   ;

bound
   : ( sign )? bound_atom ( bound_operator bound_atom )*
   ;

bound_operator
   : PLUS
   | MINUS
   | STAR
   | "div"
   | "mod"
   | "shl"
   | "shr"
   ;

bound_atom
   : number
   | STRING
   | qualified_ident ( LPAREN expression_list RPAREN )?
   ;

// ---- classes and interfaces -------------------------------------------------------------------

class_type
   : "class" ( "of" qualified_ident | ( class_heritage )? ( class_body )? )
   ;

class_heritage
   : LPAREN qualified_ident ( COMMA qualified_ident )* RPAREN
   ;

class_body
   : ( class_item )* "end"
   ;

class_item
   : visibility
   | class_member
   ;

visibility
   : "private"
   | "protected"
   | "public"
   | "published"
   | "strict" ( "private" | "protected" )
   ;

class_member
   : field_decl SEMI
   | method_decl
   | property_decl
   ;

method_decl
   : routine_heading SEMI ( options { greedy = true; } : routine_directive SEMI )*
   ;

property_decl
   : "property" ident ( property_params )? ( COLON type_name )? ( property_specifier )* SEMI
     ( options { greedy = true; } : "default" SEMI )?
   ;

property_params
   : LBRACK formal_param_group ( SEMI formal_param_group )* RBRACK
   ;

property_specifier
   : read_specifier
   | write_specifier
   | "index" expression
   | "stored" expression
   | "nodefault"
   | "default" expression
   ;

read_specifier
   : "read" designator_name
   ;

write_specifier
   : "write" designator_name
   ;

designator_name
   : ident ( DOT ident | LBRACK expression RBRACK )*
   ;

interface_type
   : "interface" ( ( class_heritage )? ( guid )? ( interface_member )* "end" )?
   ;

guid
   : LBRACK STRING RBRACK
   ;

interface_member
   : method_decl
   | property_decl
   ;

// ---- routines ---------------------------------------------------------------------------------

routine_heading_decl
   : routine_heading SEMI ( routine_directive SEMI )*
   ;

routine_decl
   : routine_heading SEMI ( routine_directive SEMI )* routine_tail
     { Inc( Routines); }
   ;

routine_tail
   : "forward" SEMI
   | external_directive SEMI
   | block SEMI
   ;

routine_heading
   : ( "class" )? ( procedure_heading | function_heading | constructor_heading | destructor_heading )
   ;

procedure_heading
   : "procedure" qualified_ident ( formal_params )?
   ;

function_heading
   : "function" qualified_ident ( formal_params )? ( COLON type_name )?
   ;

constructor_heading
   : "constructor" qualified_ident ( formal_params )?
   ;

destructor_heading
   : "destructor" qualified_ident ( formal_params )?
   ;

routine_directive
   : "abstract"
   | "assembler"
   | "cdecl"
   | "dynamic"
   | "inline"
   | "overload"
   | "override"
   | "register"
   | "reintroduce"
   | "static"
   | "stdcall"
   | "virtual"
   | "message" expression
   ;

external_directive
   : "external" ( expression ( "name" expression )? )?
   ;

formal_params
   : LPAREN ( formal_param_group ( SEMI formal_param_group )* )? RPAREN
   ;

formal_param_group
   : ( param_modifier )? ident_list ( COLON param_type ( EQUAL expression )? )?
   ;

param_modifier
   : "var"
   | "const"
   | "out"
   ;

param_type
   : "array" "of" array_element
   | type_name
   ;

// ---- statements -------------------------------------------------------------------------------

compound_statement
   : "begin" statement_list "end"
   ;

statement_list
   : statement ( SEMI statement )*
   ;

statement
   : ( label_prefix )? ( simple_statement { Inc( Statements); } | structured_statement { Inc( Statements); } )?
   ;

label_prefix
   : label_id COLON
   ;

simple_statement
   : designator_statement
   | inherited_statement
   | goto_statement
   | raise_statement
   ;

designator_statement
   : designator ( ASSIGN expression )?
   ;

inherited_statement
   : "inherited" ( designator ( ASSIGN expression )? )?
   ;

goto_statement
   : "goto" label_id
   ;

raise_statement
   : "raise" ( expression ( "at" expression )? )?
   ;

structured_statement
   : compound_statement
   | if_statement
   | case_statement
   | repeat_statement
   | while_statement
   | for_statement
   | with_statement
   | try_statement
   ;

if_statement
   : "if" expression "then" statement ( options { greedy = true; } : "else" statement )?
   ;

case_statement
   : "case" expression "of" case_branches ( case_else )? "end"
   ;

case_branches
   : case_branch ( options { greedy = true; } : SEMI case_branch )* ( SEMI )?
   ;

case_branch
   : case_label_list COLON statement
   ;

case_else
   : "else" statement_list
   ;

case_label_list
   : case_label ( COMMA case_label )*
   ;

case_label
   : expression ( DOTDOT expression )?
   ;

repeat_statement
   : "repeat" statement_list "until" expression
   ;

while_statement
   : "while" expression "do" statement
   ;

for_statement
   : "for" ident ( ASSIGN expression for_direction expression | "in" expression ) "do" statement
   ;

for_direction
   : "to"
   | "downto"
   ;

with_statement
   : "with" expression_list "do" statement
   ;

try_statement
   : "try" statement_list ( "except" exception_block | "finally" statement_list ) "end"
   ;

exception_block
   : ( exception_handler )+ ( "else" statement_list )?
   | statement_list
   ;

exception_handler
   : "on" ( ident COLON )? qualified_ident "do" statement ( SEMI )?
   ;

// ---- expressions ------------------------------------------------------------------------------

expression
   : simple_expression ( relational_operator simple_expression )?
   ;

relational_operator
   : EQUAL
   | NOT_EQUAL
   | LT
   | LE
   | GT
   | GE
   | "in"
   | "is"
   ;

simple_expression
   : term ( options { greedy = true; } : adding_operator term )*
   ;

sign
   : PLUS
   | MINUS
   ;

adding_operator
   : PLUS
   | MINUS
   | "or"
   | "xor"
   ;

term
   : factor ( multiplying_operator factor )*
   ;

multiplying_operator
   : STAR
   | SLASH
   | "div"
   | "mod"
   | "and"
   | "shl"
   | "shr"
   | "as"
   ;

factor
   : designator
   | literal
   | LPAREN expression RPAREN ( options { greedy = true; } : designator_tail )*
   | "not" factor
   | AT factor
   | sign factor
   | set_constructor
   | "inherited" ( options { greedy = true; } : designator )?
   | "string" LPAREN expression RPAREN
   ;

literal
   : number
   | STRING
   | "nil"
   ;

number
   : NUMBER
   | HEX_NUMBER
   ;

designator
   : ident ( options { greedy = true; } : designator_tail )*
   ;

designator_tail
   : DOT ident
   | LBRACK expression_list RBRACK
   | CARET
   | LPAREN ( argument_list )? RPAREN
   ;

argument_list
   : argument ( COMMA argument )*
   ;

argument
   : expression ( COLON expression ( COLON expression )? )?
   ;

expression_list
   : expression ( COMMA expression )*
   ;

set_constructor
   : LBRACK ( set_element ( COMMA set_element )* )? RBRACK
   ;

set_element
   : expression ( DOTDOT expression )?
   ;

// ---- names ------------------------------------------------------------------------------------

qualified_ident
   : ident ( DOT ident )*
   ;

// Directive words are reserved only where they are directives; elsewhere they name things.
ident
   : IDENT
   | "name"
   | "index"
   | "read"
   | "write"
   | "stored"
   | "nodefault"
   | "absolute"
   | "default"
   | "message"
   ;
