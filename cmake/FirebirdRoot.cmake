# Lays out the embedded engine's root folder in the build tree. The client reads
# firebird.conf from the folder the FIREBIRD environment variable names; the
# engine plugin, the character-set library and the message file come from the
# installed engine. The character-set folder is copied: the engine does not
# accept it through a link.
execute_process(COMMAND ${CMAKE_C_COMPILER} -print-multiarch
                OUTPUT_VARIABLE VORIK_MULTIARCH OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT VORIK_MULTIARCH)
  set(VORIK_MULTIARCH x86_64-linux-gnu)
endif()
set(VORIK_FB_INSTALLED /usr/lib/${VORIK_MULTIARCH}/firebird/3.0 CACHE PATH "Installed engine folder")
set(VORIK_FBROOT ${CMAKE_BINARY_DIR}/fbroot)
file(MAKE_DIRECTORY ${VORIK_FBROOT})
configure_file(${CMAKE_SOURCE_DIR}/resources/firebird.conf ${VORIK_FBROOT}/firebird.conf COPYONLY)
foreach(item plugins firebird.msg plugins.conf)
  if(EXISTS ${VORIK_FB_INSTALLED}/${item})
    file(CREATE_LINK ${VORIK_FB_INSTALLED}/${item} ${VORIK_FBROOT}/${item} SYMBOLIC)
  endif()
endforeach()
if(EXISTS ${VORIK_FB_INSTALLED}/intl)
  file(MAKE_DIRECTORY ${VORIK_FBROOT}/intl)
  file(COPY ${VORIK_FB_INSTALLED}/intl/libfbintl.so DESTINATION ${VORIK_FBROOT}/intl)
  configure_file(${VORIK_FB_INSTALLED}/intl/fbintl.conf ${VORIK_FBROOT}/intl/fbintl.conf COPYONLY)
endif()
