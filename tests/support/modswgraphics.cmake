# Pictures and icons: the icon resource, image choice, picture types, damaged files.
qm6_add_test(tst_modswgraphics
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tst_modswgraphics.cpp ${CMAKE_CURRENT_SOURCE_DIR}/iconfiles.h
  LIBS qm6support Qt6::Gui)
qm6_add_test(tst_modswgraphics_malformed
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tst_modswgraphics_malformed.cpp ${CMAKE_CURRENT_SOURCE_DIR}/iconfiles.h
  LIBS qm6support Qt6::Gui)

# The damaged-file suite once more with the parser itself under AddressSanitizer and UBSan.
qm6_add_asan_test(tst_modswgraphics_malformed_asan
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tst_modswgraphics_malformed.cpp ${CMAKE_CURRENT_SOURCE_DIR}/iconfiles.h
          ${CMAKE_SOURCE_DIR}/support/modswgraphics.cpp ${CMAKE_SOURCE_DIR}/support/modswgraphics.h
  LIBS QM6HostApi Qt6::Gui Qt6::Widgets
  INCLUDES ${CMAKE_SOURCE_DIR}/support
  ENV "ASAN_OPTIONS=detect_leaks=0:abort_on_error=0")
