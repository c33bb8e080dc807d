// kivStackRoom.h - how much stack the running thread has left, read from the thread itself.
#pragma once

#include <cstddef>

namespace kiv {

// The bytes of stack between the caller's frame and the end of the running thread's stack, or 0
// when the platform does not tell. Read from the thread's own limits (not the process's stack
// setting), so it is right for the main thread and for worker threads alike, on Unix and Windows.
std::size_t ThreadStackRoom();

} // namespace kiv
