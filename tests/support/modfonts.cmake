qm6_add_test(tst_modfonts SOURCES ${CMAKE_CURRENT_LIST_DIR}/modfonts/tst_modfonts.cpp LIBS qm6support)
