# The release archive a plant engineer copies into a plant: the program, its own INI file with
# the sample's German and English texts, a README, the licences and the changelog. Copied, not
# installed: every file the program uses derives from its own folder, so the archive's one folder
# is the plant's Zaro_MainPictureExt/ folder.
# SPDX-License-Identifier: MIT
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)  # the package needs the program, not the tests
set(ZARO_PLANT_FOLDER Zaro_MainPictureExt)
set(ZARO_TEXTS LICENSE THIRD-PARTY-NOTICES CHANGELOG.md)
if(WIN32)
  set(ZARO_PACKAGE_SYSTEM win64)
  set(CPACK_GENERATOR ZIP)
  configure_file(packaging/README-windows.txt ${CMAKE_CURRENT_BINARY_DIR}/package/README.txt
                 @ONLY NEWLINE_STYLE CRLF)
  # Notepad before Windows 10 shows a file of LF line ends as one line.
  foreach(text IN LISTS ZARO_TEXTS)
    file(READ ${text} content)
    string(REPLACE "\n" "\r\n" content "${content}")
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/package/${text} "${content}")
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ZARO_TEXTS})
else()
  set(ZARO_PACKAGE_SYSTEM linux-${CMAKE_SYSTEM_PROCESSOR})
  set(CPACK_GENERATOR TGZ)
  if(CMAKE_BUILD_TYPE STREQUAL "Release")
    set(CPACK_STRIP_FILES TRUE)
  endif()
  configure_file(packaging/README-linux.txt ${CMAKE_CURRENT_BINARY_DIR}/package/README.txt
                 @ONLY)
  foreach(text IN LISTS ZARO_TEXTS)
    configure_file(${text} ${CMAKE_CURRENT_BINARY_DIR}/package/${text} COPYONLY)
  endforeach()
endif()
list(TRANSFORM ZARO_TEXTS PREPEND ${CMAKE_CURRENT_BINARY_DIR}/package/)
install(TARGETS Zaro_MainPictureExt_Config RUNTIME DESTINATION ${ZARO_PLANT_FOLDER})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/package/README.txt ${ZARO_TEXTS}
        DESTINATION ${ZARO_PLANT_FOLDER})
# Under a name the program never reads: unpacking an update over a plant cannot replace the
# plant's own texts and language. A first installation copies it to the INI file's name.
install(FILES ${ZARO_SHIPPED_INI}
        DESTINATION ${ZARO_PLANT_FOLDER} RENAME Zaro_MainPictureExt_Config.ini.default)
set(CPACK_PACKAGE_FILE_NAME "${PROJECT_NAME}-${PROJECT_VERSION}-${ZARO_PACKAGE_SYSTEM}")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
