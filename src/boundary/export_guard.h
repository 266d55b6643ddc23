#pragma once
// The float an export returns, and the catch-all every export runs its work in.

#include <type_traits>
#include <utility>

namespace mevrix::boundary {

// An export's result as a float: a count or a length as it is, a value of a subsystem's result
// enum as the number it stands for.
template <typename Result>
constexpr float toResult(Result result) {
  if constexpr (std::is_enum_v<Result>) {
    return static_cast<float>(static_cast<std::underlying_type_t<Result>>(result));
  } else {
    return static_cast<float>(result);
  }
}

// Runs `work` and returns its result as a float; anything thrown becomes `failure`.
template <typename Failure, typename Work>
float guarded(Failure failure, Work&& work) noexcept {
  try {
    return toResult(std::forward<Work>(work)());
  } catch (...) {
    return toResult(failure);
  }
}

}  // namespace mevrix::boundary
