# What a build is of, so that a program from a plant can be traced to its sources and two builds of
# one commit give the same bytes:
#   ZARO_COMMIT              the commit checked out (empty without git), ZARO_COMMIT_SHORT its
#                            first 12 digits
#   ZARO_PRODUCT_VERSION     1.0.3+g<12 digits> (".dirty" when tracked files differ from it;
#                            plain 1.0.3 without git)
#   ZARO_SOURCE_DATE_EPOCH   the time every release file carries: SOURCE_DATE_EPOCH when set, the
#                            commit's time, or the date of CHANGELOG.md's latest release
# SPDX-License-Identifier: MIT
set(ZARO_COMMIT "")
find_package(Git QUIET)
if(GIT_FOUND)
  # Only the project's own repository counts, not one that happens to hold an unpacked copy.
  execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --show-toplevel HEAD --absolute-git-dir
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE git_answer
                  RESULT_VARIABLE git_status ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(git_status EQUAL 0)
    string(REPLACE "\n" ";" git_answer "${git_answer}")
    list(GET git_answer 0 git_top)
    file(REAL_PATH "${git_top}" git_top)
    file(REAL_PATH "${PROJECT_SOURCE_DIR}" source_top)
    if(git_top STREQUAL source_top)
      list(GET git_answer 1 ZARO_COMMIT)
      list(GET git_answer 2 git_dir)
      # A commit or a checkout moves HEAD's log: configure again, so the version says so.
      if(EXISTS ${git_dir}/logs/HEAD)
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${git_dir}/logs/HEAD)
      endif()
    endif()
  endif()
endif()

set(ZARO_PRODUCT_VERSION ${PROJECT_VERSION})
set(ZARO_COMMIT_SHORT "")
if(ZARO_COMMIT)
  string(SUBSTRING ${ZARO_COMMIT} 0 12 ZARO_COMMIT_SHORT)
  string(APPEND ZARO_PRODUCT_VERSION "+g${ZARO_COMMIT_SHORT}")
  execute_process(COMMAND ${GIT_EXECUTABLE} status --porcelain --untracked-files=no
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE git_changes
                  ERROR_QUIET)
  if(git_changes)
    string(APPEND ZARO_PRODUCT_VERSION ".dirty")
  endif()
endif()

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ZARO_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
elseif(ZARO_COMMIT)
  execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct HEAD
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE ZARO_SOURCE_DATE_EPOCH
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
else()
  file(STRINGS CHANGELOG.md release_line REGEX "^## \\[[0-9.]+\\] - [0-9]+-[0-9]+-[0-9]+$"
       LIMIT_COUNT 1)
  if(NOT release_line MATCHES "([0-9]+)-([0-9]+)-([0-9]+)$")
    message(FATAL_ERROR "CHANGELOG.md names no dated release; set SOURCE_DATE_EPOCH")
  endif()
  # Days since 1970-01-01 of a Gregorian date (the civil-from-days inverse), at midnight UTC.
  set(y ${CMAKE_MATCH_1})
  math(EXPR m "${CMAKE_MATCH_2}")
  math(EXPR d "${CMAKE_MATCH_3}")
  if(m LESS_EQUAL 2)
    math(EXPR y "${y} - 1")
  endif()
  math(EXPR era "${y} / 400")
  math(EXPR yoe "${y} - ${era} * 400")
  math(EXPR mp "(${m} + 9) % 12")
  math(EXPR doy "(153 * ${mp} + 2) / 5 + ${d} - 1")
  math(EXPR doe "${yoe} * 365 + ${yoe} / 4 - ${yoe} / 100 + ${doy}")
  math(EXPR ZARO_SOURCE_DATE_EPOCH "(${era} * 146097 + ${doe} - 719468) * 86400")
endif()
if(NOT ZARO_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is not a number of seconds: ${ZARO_SOURCE_DATE_EPOCH}")
endif()
message(STATUS "Building ${ZARO_PRODUCT_VERSION}, file times ${ZARO_SOURCE_DATE_EPOCH}")
