// Sets the process's parameters for the scanner for the lifetime of one object.
#pragma once

#include <string>
#include <vector>

#include "support/Runtime.h"

namespace config_test {

class Params {
 public:
  explicit Params(std::vector<std::string> args) : store_(std::move(args)) {
    store_.insert(store_.begin(), "zemblaro-under-test");
    for (auto& s : store_) argv_.push_back(s.data());
    argv_.push_back(nullptr);
    Lib_SetParams(static_cast<int>(store_.size()), argv_.data());
  }
  ~Params() { Lib_SetParams(0, nullptr); }
  Params(const Params&) = delete;
  Params& operator=(const Params&) = delete;

 private:
  std::vector<std::string> store_;
  std::vector<char*> argv_;
};

}  // namespace config_test
