// kivDelphiGeneratorDetail.h - small helpers shared by the files of TkivDelphiGenerator.
#pragma once

#include <string>

#include "engine/codegen/kivPascalWriter.h"
#include "engine/kivGraph.h"

namespace kiv::delphi {

// The id of the rule the generator makes for the lexer's dispatch.
inline const std::string kNextTokenRuleId = "mNextToken";

// One indentation step of the generated text.
inline std::string Unit() { return std::string(kiv::PascalWriter::IndentUnit); }

inline kiv::MemberSet MembersOf(const IkivLookaheadPtr& Lookahead) {
  return Lookahead ? Lookahead->GetMembers() : kiv::MemberSet();
}

} // namespace kiv::delphi
