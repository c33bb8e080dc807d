// kivInterpOutput.cpp - the text forms of a run: the indented tree, the token list, the decision
// trace, and one JSON object with all of them for tools.
#include <string>

#include "engine/interp/kivInterpreter.h"

namespace kiv::interp {

namespace {

// A token's text between quotes, with control characters and bytes above 126 as #n.
std::string Shown(const std::string& Text) {
  std::string out = "'";
  for (const char ch : Text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 32 && c <= 126) {
      out += ch;
      if (ch == '\'') out += '\'';
    } else {
      out += "'#" + std::to_string(c) + "'";
    }
  }
  out += "'";
  return out;
}

std::string Position(int Line, int Column) {
  return Column > 0 ? std::to_string(Line) + ":" + std::to_string(Column) : std::to_string(Line);
}

std::string TokenLine(const RunResult& R, const Token& T) {
  return TokenTypeName(R, T.Type) + " " + Shown(T.Text) + " " + Position(T.Line, T.Column);
}

void TreeLines(const RunResult& R, int Index, int Depth, std::string& Out) {
  const TreeNode& n = R.Tree[static_cast<std::size_t>(Index)];
  Out.append(static_cast<std::size_t>(2 * Depth), ' ');
  if (n.IsToken) {
    Out += TokenLine(R, R.Tokens[static_cast<std::size_t>(n.TokenIndex)]);
    if (n.Recovered) Out += " (skipped by the error handler)";
  } else {
    Out += n.Rule;
    if (n.Alternative > 0) Out += " #" + std::to_string(n.Alternative);
  }
  Out += '\n';
  for (int child : n.Children) TreeLines(R, child, Depth + 1, Out);
}

const char* KindName(TraceKind Kind) {
  switch (Kind) {
    case TraceKind::Decision: return "decision";
    case TraceKind::LoopExit: return "loop";
    case TraceKind::PredicateTry: return "guess";
    case TraceKind::PredicateResult: return "guessed";
    case TraceKind::Rewind: return "rewind";
    case TraceKind::SemanticPredicate: return "predicate";
    case TraceKind::Action: return "action";
    case TraceKind::Handler: return "handler";
    case TraceKind::Error: return "error";
  }
  return "event";
}

void Json(std::string& Out, const std::string& Text) {
  static const char* hex = "0123456789abcdef";
  Out += '"';
  for (const char ch : Text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      Out += '\\';
      Out += ch;
    } else if (c < 32 || c > 126) {
      // Text is 8-bit: a byte above 126 is written as the code point of the same number.
      Out += "\\u00";
      Out += hex[c >> 4];
      Out += hex[c & 15];
    } else {
      Out += ch;
    }
  }
  Out += '"';
}

void JsonError(std::string& Out, const RecognitionError& E) {
  Out += "{\"class\":";
  Json(Out, E.ClassName);
  Out += ",\"text\":";
  Json(Out, E.Text);
  Out += ",\"line\":" + std::to_string(E.Line) + ",\"column\":" + std::to_string(E.Column) + "}";
}

void JsonTree(std::string& Out, const RunResult& R, int Index) {
  const TreeNode& n = R.Tree[static_cast<std::size_t>(Index)];
  if (n.IsToken) {
    Out += "{\"token\":" + std::to_string(n.TokenIndex);
    if (n.Recovered) Out += ",\"recovered\":true";
    Out += "}";
    return;
  }
  Out += "{\"rule\":";
  Json(Out, n.Rule);
  Out += ",\"alternative\":" + std::to_string(n.Alternative) + ",\"line\":" + std::to_string(n.Line) +
         ",\"column\":" + std::to_string(n.Column) + ",\"begin\":" + std::to_string(n.Begin) +
         ",\"end\":" + std::to_string(n.End) + ",\"children\":[";
  for (std::size_t i = 0; i < n.Children.size(); ++i) {
    if (i > 0) Out += ',';
    JsonTree(Out, R, n.Children[i]);
  }
  Out += "]}";
}

}  // namespace

std::string TreeText(const RunResult& Result) {
  std::string out;
  if (!Result.Tree.empty()) TreeLines(Result, 0, 0, out);
  return out;
}

std::string TokensText(const RunResult& Result) {
  std::string out;
  for (const Token& t : Result.Tokens) out += TokenLine(Result, t) + '\n';
  return out;
}

std::string TraceText(const RunResult& Result) {
  std::string out;
  for (const TraceEvent& e : Result.Trace) {
    if (e.Guessing > 0) out += "[guessing " + std::to_string(e.Guessing) + "] ";
    out += e.Rule;
    if (e.Line > 0) out += " " + Position(e.Line, e.Column);
    out += std::string(" ") + KindName(e.Kind) + ": ";
    if (e.Kind == TraceKind::Decision || e.Kind == TraceKind::LoopExit) {
      out += (e.Lookahead.empty() ? std::string("(nothing read yet)") : e.Lookahead) + " -> ";
      if (e.Kind == TraceKind::LoopExit)
        out += "exit";
      else if (!e.Token.empty())
        out += e.Token;
      else if (e.Alternative > 0)
        out += "alternative " + std::to_string(e.Alternative);
      else
        out += "none";
      out += " (" + e.Reason + ")";
    } else {
      if (e.Alternative > 0) out += "alternative " + std::to_string(e.Alternative) + ": ";
      out += e.Reason;
    }
    out += '\n';
  }
  if (Result.TraceCut) out += "(the trace stops here: it reached its limit)\n";
  return out;
}

std::string JsonText(const RunResult& Result, bool WithTokens, bool WithTree, bool WithTrace) {
  std::string out = "{\"end\":";
  switch (Result.End) {
    case RunEndKind::Accepted: out += "\"accepted\""; break;
    case RunEndKind::Rejected: out += "\"rejected\""; break;
    case RunEndKind::Aborted: out += "\"aborted\""; break;
  }
  out += ",\"error\":";
  if (Result.Error)
    JsonError(out, *Result.Error);
  else
    out += "null";
  out += ",\"reported\":[";
  for (std::size_t i = 0; i < Result.Reported.size(); ++i) {
    if (i > 0) out += ',';
    JsonError(out, Result.Reported[i]);
  }
  out += "]";
  if (Result.End == RunEndKind::Aborted) {
    out += ",\"abort\":";
    Json(out, Result.AbortReason);
  }
  out += ",\"steps\":" + std::to_string(Result.Steps);
  if (WithTokens) {
    out += ",\"tokens\":[";
    for (std::size_t i = 0; i < Result.Tokens.size(); ++i) {
      const Token& t = Result.Tokens[i];
      if (i > 0) out += ',';
      out += "{\"type\":";
      Json(out, TokenTypeName(Result, t.Type));
      out += ",\"typeNumber\":" + std::to_string(t.Type) + ",\"text\":";
      Json(out, t.Text);
      out += ",\"line\":" + std::to_string(t.Line) + ",\"column\":" + std::to_string(t.Column) +
             ",\"begin\":" + std::to_string(t.Begin) + ",\"end\":" + std::to_string(t.End) + "}";
    }
    out += "]";
  }
  if (WithTree) {
    out += ",\"tree\":";
    if (Result.Tree.empty())
      out += "null";
    else
      JsonTree(out, Result, 0);
  }
  if (WithTrace) {
    out += ",\"trace\":[";
    for (std::size_t i = 0; i < Result.Trace.size(); ++i) {
      const TraceEvent& e = Result.Trace[i];
      if (i > 0) out += ',';
      out += "{\"kind\":";
      Json(out, KindName(e.Kind));
      out += ",\"rule\":";
      Json(out, e.Rule);
      out += ",\"line\":" + std::to_string(e.Line) + ",\"column\":" + std::to_string(e.Column) + ",\"lookahead\":";
      Json(out, e.Lookahead);
      out += ",\"alternative\":" + std::to_string(e.Alternative) + ",\"reason\":";
      Json(out, e.Reason);
      out += ",\"guessing\":" + std::to_string(e.Guessing);
      if (!e.Token.empty()) {
        out += ",\"token\":";
        Json(out, e.Token);
      }
      out += "}";
    }
    out += "],\"traceCut\":";
    out += Result.TraceCut ? "true" : "false";
  }
  out += "}\n";
  return out;
}

}  // namespace kiv::interp
