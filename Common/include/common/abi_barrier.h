// The exception barrier of every C entry point of our libraries.  A C
// caller cannot catch a C++ exception, so each entry whose body can throw
// (an allocation, a lock) runs that body through Barrier, which answers a
// status of the entry's own contract instead.
#pragma once

#include <new>
#include <type_traits>
#include <utility>

namespace boundary {

// What an entry answers for an exception: `out_of_memory` for
// std::bad_alloc, `other` for anything else.
template <class Result>
struct ThrowAnswers {
  Result out_of_memory;
  Result other;
};

template <class Body, class Result = std::invoke_result_t<Body&>>
Result Barrier(ThrowAnswers<std::type_identity_t<Result>> answers, Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return answers.out_of_memory;
  } catch (...) {
    return answers.other;
  }
}

// One answer for every exception.
template <class Body, class Result = std::invoke_result_t<Body&>>
Result Barrier(std::type_identity_t<Result> on_throw, Body&& body) noexcept {
  return Barrier(ThrowAnswers<Result>{on_throw, on_throw}, std::forward<Body>(body));
}

// An entry with no result: an exception ends the body and nothing more.
template <class Body>
void Barrier(Body&& body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

}  // namespace boundary
