// Record fields that a parameter thread writes while a grab thread reads
// them (grab_started, volatile_mode, start_async_after_grab_async,
// async_max_delay, and the image geometry of the host record).  Both sides
// access them only through std::atomic_ref, so a grab sees either the old
// or the new value, never a torn one.
#pragma once

#include <atomic>

template <class T>
T LoadShared(T& field) {
  return std::atomic_ref<T>(field).load(std::memory_order_acquire);
}

template <class T>
void StoreShared(T& field, T value) {
  std::atomic_ref<T>(field).store(value, std::memory_order_release);
}
