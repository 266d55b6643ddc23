#pragma once
// Sets or removes an environment variable for a while and puts the old value back afterwards.

#include <cstdlib>
#include <optional>
#include <string>

namespace mevrix::test {

class ScopedVariable {
 public:
  // A null `value` removes the variable.
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedVariable() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace mevrix::test
