// Test names from the case descriptions of a parameterised table.
#pragma once

#include <cctype>
#include <string>

#include <gtest/gtest.h>

namespace test_support {

// "type 127 before the wanted one" -> "type_127_before_the_wanted_one"
inline std::string IdentifierFrom(const std::string& description) {
  std::string name;
  for (const char character : description) {
    if (std::isalnum(static_cast<unsigned char>(character)) != 0) {
      name += character;
    } else if (!name.empty() && name.back() != '_') {
      name += '_';
    }
  }
  while (!name.empty() && name.back() == '_') {
    name.pop_back();
  }
  return name;
}

// Names each case of a table after its `name` field.
struct CaseName {
  template <typename Case>
  std::string operator()(const testing::TestParamInfo<Case>& info) const {
    return IdentifierFrom(info.param.name);
  }
};

}  // namespace test_support
