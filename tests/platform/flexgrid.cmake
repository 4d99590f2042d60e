# The grid stand-in: cells, outline, selection, sorting, colours, keys, and a 150,000-row fill.
qm6_add_test(tst_flexgrid SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_flexgrid.cpp LIBS qm6flexgrid)
