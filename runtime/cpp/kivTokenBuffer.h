// kivTokenBuffer.h
// TkivTokenBuffer: k-token look-ahead, marks and rewinds over a token stream.
#pragma once

#include "runtime/cpp/kivInputBuffer.h"
#include "runtime/cpp/kivTokenQueue.h"
#include "runtime/cpp/kivTypes.h"

/// Holds (shares) its token source and owns its queue. Tokens are fetched lazily: the source is
/// asked for NextToken only as far as LA or LT look. The end-of-input token is not special: looking
/// past it asks the source again. A consume always moves past one token, whether or not it was
/// looked at (consumes applied with no mark open fetch any token not yet held before dropping it).
class TkivTokenBuffer final : public TkivInputBuffer, public IkivTokenBuffer {
public:
  /// source must not be null.
  explicit TkivTokenBuffer(IkivTokenStreamPtr source);

  /// The type of the token i positions ahead (1 = current).
  int LA(int i) override { return Token(i)->TokenType(); }
  /// The token i positions ahead (1 = current).
  IkivTokenPtr LT(int i) override { return Token(i); }

  const IkivTokenStreamPtr& Source() const { return fSource; }
  /// The held tokens (for inspection).
  const TkivTokenQueue& Queue() const { return fQueue; }

protected:
  /// Tokens consumed without having been looked at are fetched first, so that a consume always
  /// moves past one token of the source.
  void RemoveFirst(int n) override {
    while (fQueue.Count() < n) Fill();
    fQueue.RemoveFirst(n);
  }

private:
  const IkivTokenPtr& Token(int i) {
    SyncConsume();
    const int want = i + fMarkerOffset;
    while (fQueue.Count() < want) Fill();
    return fQueue.Get(want - 1);
  }
  /// Adds the source's next token; a source that answers with no token is a programming error.
  void Fill();

  IkivTokenStreamPtr fSource;
  TkivTokenQueue fQueue;
};
