// The runtime errors the program raises: their numbers, descriptions and exception.
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// The fixed numbers of the runtime errors this program raises. The texts of the messages show
// only the number, the source (the program name) and the description.
enum class ErrorNumber : std::int32_t {
  kInvalidArgument = 5,    // "Invalid procedure call or argument"
  kOverflow = 6,           // "Overflow"
  kFileNotFound = 53,      // "File not found"
  kPermissionDenied = 70,  // "Permission denied"
  kPathFileAccess = 75,    // "Path/File access error"
  kPathNotFound = 76,      // "Path not found"
  kNotAnArray = 343,       // "Object not an array"
  kNoSuchProperty = 438,   // "Object doesn't support this property or method"
};

// The description that goes with a number; flags a number that has none.
std::string DescribeError(ErrorNumber number);

// The one exception type for runtime errors; the error helper turns it into a HandleError call.
class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(std::int32_t number, std::string source, std::string description);
  RuntimeError(ErrorNumber number, std::string source);

  std::int32_t number() const { return number_; }
  const std::string& source() const { return source_; }
  const std::string& description() const { return description_; }

 private:
  std::int32_t number_;
  std::string source_;
  std::string description_;
};
