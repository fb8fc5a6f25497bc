// The description text of each runtime error number.
// SPDX-License-Identifier: MIT
#include "errors/error.h"

#include <utility>

std::string DescribeError(ErrorNumber number) {
  switch (number) {
    case ErrorNumber::kInvalidArgument:
      return "Invalid procedure call or argument";
    case ErrorNumber::kOverflow:
      return "Overflow";
    case ErrorNumber::kFileNotFound:
      return "File not found";
    case ErrorNumber::kPermissionDenied:
      return "Permission denied";
    case ErrorNumber::kPathFileAccess:
      return "Path/File access error";
    case ErrorNumber::kPathNotFound:
      return "Path not found";
    case ErrorNumber::kNotAnArray:
      return "Object not an array";
    case ErrorNumber::kNoSuchProperty:
      return "Object doesn't support this property or method";
  }
  return "Application-defined or object-defined error " +
         std::to_string(static_cast<std::int32_t>(number));
}

RuntimeError::RuntimeError(std::int32_t number, std::string source, std::string description)
    : std::runtime_error(description),
      number_(number),
      source_(std::move(source)),
      description_(std::move(description)) {}

RuntimeError::RuntimeError(ErrorNumber number, std::string source)
    : RuntimeError(static_cast<std::int32_t>(number), std::move(source), DescribeError(number)) {}
