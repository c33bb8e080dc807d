// kivTokenBuffer.cpp
// TkivTokenBuffer: fetching tokens from the source.
#include "runtime/cpp/kivTokenBuffer.h"

#include <stdexcept>
#include <utility>

TkivTokenBuffer::TkivTokenBuffer(IkivTokenStreamPtr source) : fSource(std::move(source)) {
  if (!fSource) throw std::invalid_argument("a token buffer needs a token stream");
}

void TkivTokenBuffer::Fill() {
  IkivTokenPtr token = fSource->NextToken();
  if (!token) throw std::logic_error("the token stream returned no token");
  fQueue.Add(std::move(token));
}
