# modUtilityFunctions with the locale ids beneath it.
qm6_add_test(tst_modutilityfunctions
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_modutilityfunctions.cpp
  LIBS qm6support)
