#pragma once
// Walking the words of a text that are separated by spaces: a run of spaces separates two words,
// and leading or trailing spaces make no word. Only the space character separates.

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace mevrix::common {

// Stores the next word at or behind `pos` in `word`, moves `pos` behind it and returns true;
// returns false when no word is left.
inline bool nextSpaceToken(std::string_view text, std::size_t& pos, std::string_view& word) {
  pos = text.find_first_not_of(' ', pos);
  if (pos == std::string_view::npos) {
    pos = text.size();
    return false;
  }
  const std::size_t stop = std::min(text.find(' ', pos), text.size());
  word = text.substr(pos, stop - pos);
  pos = stop;
  return true;
}

}  // namespace mevrix::common
