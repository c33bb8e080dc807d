// kivStackRoom.cpp - the running thread's stack limits: pthread attributes on Unix, the thread's
// own stack limits on Windows.
#include "engine/codegen/kivStackRoom.h"

#include <cstdint>

#if defined(_WIN32)
#include <windows.h>
#elif defined(__unix__) || defined(__APPLE__)
#include <pthread.h>
#endif

namespace kiv {

std::size_t ThreadStackRoom() {
  const auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
  std::uintptr_t low = 0;
#if defined(_WIN32)
  ULONG_PTR lowLimit = 0, highLimit = 0;
  GetCurrentThreadStackLimits(&lowLimit, &highLimit);
  low = static_cast<std::uintptr_t>(lowLimit);
#elif defined(__APPLE__)
  pthread_t self = pthread_self();
  low = reinterpret_cast<std::uintptr_t>(pthread_get_stackaddr_np(self)) - pthread_get_stacksize_np(self);
#elif defined(__unix__)
  pthread_attr_t attributes;
  if (pthread_getattr_np(pthread_self(), &attributes) != 0) return 0;
  void* address = nullptr;
  std::size_t size = 0;
  const bool known = pthread_attr_getstack(&attributes, &address, &size) == 0;
  pthread_attr_destroy(&attributes);
  if (!known) return 0;
  low = reinterpret_cast<std::uintptr_t>(address);
#endif
  return low != 0 && here > low ? here - low : 0;
}

} // namespace kiv
