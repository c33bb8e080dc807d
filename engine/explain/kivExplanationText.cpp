// kivExplanationText.cpp - an explanation as the indented lines printed after its report, and as
// one line of JSON for tools.
#include "engine/explain/kivExplanation.h"

#include <cstdio>

namespace kiv {

namespace {

std::string Joined(const std::vector<std::string>& Parts, const std::string& Separator = " ") {
  std::string Out;
  for (std::size_t I = 0; I < Parts.size(); ++I) Out += (I == 0 ? "" : Separator) + Parts[I];
  return Out;
}

std::string Where(const PathStep& Step) { return "(" + Step.Rule + ", line " + std::to_string(Step.Line) + ")"; }

std::string StepText(const PathStep& Step) {
  switch (Step.StepKind) {
  case PathStep::Kind::Read: return Step.Text + " " + Where(Step);
  case PathStep::Kind::Enter: return "enter " + Step.Text + " " + Where(Step);
  case PathStep::Kind::Return: return "back in " + Step.Text + " (line " + std::to_string(Step.Line) + ")";
  case PathStep::Kind::Follow: return "end of " + Step.Text + ", then " + Where(Step).substr(1, Where(Step).size() - 2);
  case PathStep::Kind::End: return Step.Text + " " + Where(Step);
  }
  return Step.Text;
}

std::string PathText(const DerivationPath& Path) {
  std::vector<std::string> Steps;
  for (const PathStep& Step : Path.Steps) Steps.push_back(StepText(Step));
  return Steps.empty() ? std::string("(no derivation within the budget)") : Joined(Steps, " > ");
}

std::string Quoted(const std::string& Text) {
  std::string Out = "\"";
  for (const char Ch : Text) {
    const unsigned char C = static_cast<unsigned char>(Ch);
    switch (C) {
    case '"': Out += "\\\""; break;
    case '\\': Out += "\\\\"; break;
    case '\n': Out += "\\n"; break;
    case '\r': Out += "\\r"; break;
    case '\t': Out += "\\t"; break;
    default:
      if (C < 0x20 || C >= 0x7F) {
        // Text is 8-bit: bytes beyond ASCII are written as the code points of the same number.
        char Escape[8];
        std::snprintf(Escape, sizeof Escape, "\\u%04x", C);
        Out += Escape;
      } else {
        Out += Ch;
      }
    }
  }
  return Out + "\"";
}

std::string Array(const std::vector<std::string>& Items) {
  std::string Out = "[";
  for (std::size_t I = 0; I < Items.size(); ++I) Out += (I == 0 ? "" : ",") + Quoted(Items[I]);
  return Out + "]";
}

std::string StepKindText(PathStep::Kind Kind) {
  switch (Kind) {
  case PathStep::Kind::Read: return "read";
  case PathStep::Kind::Enter: return "enter";
  case PathStep::Kind::Return: return "return";
  case PathStep::Kind::Follow: return "follow";
  case PathStep::Kind::End: return "end";
  }
  return "";
}

std::string PathJson(const DerivationPath& Path) {
  std::string Out = "{\"branch\":" + Quoted(Path.Branch) + ",\"steps\":[";
  for (std::size_t I = 0; I < Path.Steps.size(); ++I) {
    const PathStep& S = Path.Steps[I];
    Out += std::string(I == 0 ? "" : ",") + "{\"kind\":" + Quoted(StepKindText(S.StepKind)) +
           ",\"text\":" + Quoted(S.Text) + ",\"rule\":" + Quoted(S.Rule) + ",\"line\":" + std::to_string(S.Line) + "}";
  }
  return Out + "]}";
}

} // namespace

std::vector<std::string> ExplanationLines(const Explanation& E) {
  std::vector<std::string> Lines;
  const std::string In = "      ";
  Lines.push_back("   explanation: " + E.Headline);
  if (E.Class == ConflictClassKind::NotDecided || E.Class == ConflictClassKind::NoConflict) return Lines;
  if (E.Class == ConflictClassKind::RealConflict)
    Lines.push_back(In + "witness: " + Joined(E.Witness));
  else
    Lines.push_back(In + "witness: " + E.PathA.Branch + " starts " + Joined(E.Witness) + ", " + E.PathB.Branch +
                    " starts " + Joined(E.OtherWitness) + "; the sets of each depth overlap");
  if (E.PrefixFound)
    Lines.push_back(In + "input: from rule " + E.StartRule + ": " +
                    (E.Prefix.empty() ? std::string("at its start") : Joined(E.Prefix)) + ", then " +
                    (E.Class == ConflictClassKind::RealConflict ? Joined(E.Witness) : "either sequence"));
  Lines.push_back(In + E.PathA.Branch + ": " + PathText(E.PathA));
  Lines.push_back(In + E.PathB.Branch + ": " + PathText(E.PathB));
  if (!E.Consequence.empty()) Lines.push_back(In + "consequence: " + E.Consequence);
  for (const std::string& Fix : E.Fixes) Lines.push_back(In + "fix: " + Fix);
  return Lines;
}

std::string ExplanationJson(const Explanation& E) {
  std::string Out = "{\"class\":" + Quoted(ConflictClassText(E.Class)) + ",\"headline\":" + Quoted(E.Headline) +
                    ",\"k\":" + std::to_string(E.K) + ",\"lexical\":" + (E.Lexical ? "true" : "false");
  Out += ",\"resolvedK\":" + std::to_string(E.ResolvedK);
  Out += std::string(",\"resolvedByPredicate\":") + (E.ResolvedByPredicate ? "true" : "false");
  Out += std::string(",\"resolvedByGreedy\":") + (E.ResolvedByGreedy ? "true" : "false");
  Out += ",\"winner\":" + Quoted(E.Winner);
  Out += ",\"witness\":" + Array(E.Witness) + ",\"otherWitness\":" + Array(E.OtherWitness);
  Out += ",\"startRule\":" + Quoted(E.StartRule) + ",\"prefix\":" + (E.PrefixFound ? Array(E.Prefix) : "null");
  Out += ",\"paths\":[" + PathJson(E.PathA) + "," + PathJson(E.PathB) + "]";
  Out += ",\"consequence\":" + Quoted(E.Consequence);
  Out += std::string(",\"otherNeverChosen\":") + (E.OtherNeverChosen ? "true" : "false");
  Out += ",\"sharedPrefix\":" + Array(E.SharedPrefix) + ",\"fixes\":" + Array(E.Fixes) + "}";
  return Out;
}

} // namespace kiv
