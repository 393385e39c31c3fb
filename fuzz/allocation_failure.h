#pragma once
// Allocation failure on demand, so a reader's out-of-memory branches run like any other: while a
// FailingAllocation is alive, the n-th allocation from it on throws std::bad_alloc (once). A
// target takes n from its input. Include this header in exactly one source of a target: it
// replaces the global operator new and delete, plain and aligned (on malloc and posix_memalign,
// which the sanitizers still watch).
#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace ostrelin::fuzz {

inline long allocationsBeforeFailure = -1;  // below 0: none fails

class FailingAllocation {
 public:
  explicit FailingAllocation(long n) { allocationsBeforeFailure = n; }
  FailingAllocation(const FailingAllocation&) = delete;
  FailingAllocation& operator=(const FailingAllocation&) = delete;
  ~FailingAllocation() { allocationsBeforeFailure = -1; }
};

}  // namespace ostrelin::fuzz

namespace ostrelin::fuzz {

// Counts one allocation; throws when it is the one to fail.
inline void CountAllocation() {
  long& left = allocationsBeforeFailure;
  if (left == 0) {
    left = -1;
    throw std::bad_alloc();
  }
  if (left > 0) --left;
}

}  // namespace ostrelin::fuzz

void* operator new(std::size_t size) {
  ostrelin::fuzz::CountAllocation();
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

// The aligned forms, which the polymorphic allocators' default resource uses.
void* operator new(std::size_t size, std::align_val_t align) {
  ostrelin::fuzz::CountAllocation();
  const std::size_t alignment = std::max(std::size_t(align), sizeof(void*));
  void* p = nullptr;
  if (::posix_memalign(&p, alignment, size == 0 ? 1 : size) == 0) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t align) { return operator new(size, align); }
void* operator new(std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept {
  try {
    return operator new(size, align);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, std::align_val_t align, const std::nothrow_t& tag) noexcept {
  return operator new(size, align, tag);
}
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
