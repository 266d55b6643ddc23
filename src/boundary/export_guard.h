#pragma once
// The catch-all every export runs its work in.

#include <utility>

namespace mevrix::boundary {

// What a mesh export returns when a path it needs is a null pointer.
inline constexpr float kMissingPath = -9.0f;

// Runs `work` and returns its result as a float; anything thrown becomes `failure`.
template <typename Work>
float guarded(float failure, Work&& work) noexcept {
  try {
    return static_cast<float>(std::forward<Work>(work)());
  } catch (...) {
    return failure;
  }
}

}  // namespace mevrix::boundary
