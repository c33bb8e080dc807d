// kivCharBuffer.cpp
// TkivCharBuffer: reading the stream one byte per held position.
#include "runtime/cpp/kivCharBuffer.h"

#include <streambuf>

void TkivCharBuffer::Fill() {
  if (!fEnded) {
    // The stream buffer is read directly: it buffers in blocks already, and a byte costs no
    // sentry. The end of the stream ends the input for good.
    std::streambuf* source = fStream.good() ? fStream.rdbuf() : nullptr;
    const int byte = source ? source->sbumpc() : std::char_traits<char>::eof();
    if (byte == std::char_traits<char>::eof()) {
      fStream.setstate(std::ios::eofbit);
      fEnded = true;
      fEndPosition = fRemoved + fQueue.Count() + 1;
    } else {
      fQueue.Append(static_cast<char>(byte));
      return;
    }
  }
  fQueue.Append(EOF_CHAR);
}
