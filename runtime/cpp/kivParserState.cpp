// kivParserState.cpp
// TkivParserState: everything is inline; this unit anchors the class in the library.
#include "runtime/cpp/kivParserState.h"
