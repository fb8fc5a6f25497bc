# The release: the program's symbols split off after linking, the .exe signed when a certificate
# is given, and the archive a plant engineer copies into a plant (target release_archive): the
# program, its own INI file with the sample's German and English texts, a README, the licences
# and the changelog. Copied, not installed: every file the program uses derives from its own
# folder, so the archive's one folder is the plant's Zaro_MainPictureExt/ folder.
# SPDX-License-Identifier: MIT
set(ZARO_PACKAGE_DIR ${PROJECT_BINARY_DIR}/packages CACHE PATH
    "Where release_archive puts the archives, their bills of materials and SHA256SUMS")
set(ZARO_SYMBOLS_DIR ${PROJECT_BINARY_DIR}/symbols CACHE PATH
    "Where release_archive puts the programs' symbols")
# The signing certificate and key never lie in the repository: the cache or the environment
# names them.
set(ZARO_SIGN_CERT "$ENV{ZARO_SIGN_CERT}" CACHE FILEPATH "Code-signing certificate (PEM)")
set(ZARO_SIGN_KEY "$ENV{ZARO_SIGN_KEY}" CACHE FILEPATH "Its private key (PEM)")
set(ZARO_SIGN_PASSWORD_FILE "$ENV{ZARO_SIGN_PASSWORD_FILE}" CACHE FILEPATH
    "A file holding the key's password, if it has one")
set(ZARO_SIGN_TIMESTAMP_URL "$ENV{ZARO_SIGN_TIMESTAMP_URL}" CACHE STRING
    "An RFC 3161 time-stamp server for the signature, if any")

set(program Zaro_MainPictureExt_Config)
# The PE header's time stamp: the commit's, not the link's.
set_property(TARGET ${program} PROPERTY CXX_LINKER_LAUNCHER
             ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${ZARO_SOURCE_DATE_EPOCH})
if(CMAKE_BUILD_TYPE STREQUAL "Release")
  # Symbols beside the program for whoever reads a crash address, none in it. The .exe gets no
  # link to them: its sections stay whole file-alignment units, so that a signature removed
  # again leaves the unsigned bytes; its version names the commit whose symbols fit.
  set(debug_link --add-gnu-debuglink=$<TARGET_FILE_NAME:${program}>.debug)
  if(WIN32)
    set(debug_link "")
  endif()
  add_custom_command(TARGET ${program} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${ZARO_SOURCE_DATE_EPOCH}
            ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE_NAME:${program}>
            $<TARGET_FILE_NAME:${program}>.debug
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${ZARO_SOURCE_DATE_EPOCH}
            ${CMAKE_OBJCOPY} --strip-all ${debug_link} $<TARGET_FILE_NAME:${program}>
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${program}> VERBATIM)
endif()
if(WIN32 AND (ZARO_SIGN_CERT OR ZARO_SIGN_KEY))
  if(NOT ZARO_SIGN_CERT OR NOT ZARO_SIGN_KEY)
    message(FATAL_ERROR "Signing needs both ZARO_SIGN_CERT and ZARO_SIGN_KEY")
  endif()
  find_program(ZARO_OSSLSIGNCODE osslsigncode REQUIRED)
  add_custom_command(TARGET ${program} POST_BUILD
    COMMAND bash ${PROJECT_SOURCE_DIR}/cmake/sign.sh ${ZARO_OSSLSIGNCODE}
            $<TARGET_FILE:${program}> ${ZARO_SIGN_CERT} ${ZARO_SIGN_KEY}
            "${ZARO_SIGN_PASSWORD_FILE}" "${ZARO_SIGN_TIMESTAMP_URL}"
    VERBATIM)
endif()

set(texts ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES
          ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
if(WIN32)
  set(system win64)
  configure_file(packaging/README-windows.txt ${CMAKE_CURRENT_BINARY_DIR}/package/README.txt
                 @ONLY NEWLINE_STYLE CRLF)
else()
  set(system linux-${CMAKE_SYSTEM_PROCESSOR})
  configure_file(packaging/README-linux.txt ${CMAKE_CURRENT_BINARY_DIR}/package/README.txt
                 @ONLY)
endif()
if(CMAKE_BUILD_TYPE STREQUAL "Release")
  add_custom_target(release_archive
    COMMAND bash ${PROJECT_SOURCE_DIR}/cmake/release_archive.sh ${system} ${ZARO_PRODUCT_VERSION}
            ${ZARO_SOURCE_DATE_EPOCH} ${ZARO_PACKAGE_DIR} ${ZARO_SYMBOLS_DIR}
            ${PROJECT_BINARY_DIR}/release-stage ${CMAKE_OBJDUMP} ${CMAKE_CXX_COMPILER}
            $<TARGET_FILE:${program}> ${CMAKE_CURRENT_BINARY_DIR}/package/README.txt
            ${ZARO_SHIPPED_INI} ${texts}
    DEPENDS ${program} VERBATIM)
endif()
