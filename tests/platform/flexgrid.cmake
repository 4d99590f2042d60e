# The grid stand-in: cells, outline, selection, sorting, colours, keys, and a 150,000-row fill;
# and what its view is given to paint.
qm6_add_test(tst_flexgrid SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_flexgrid.cpp LIBS qm6flexgrid)
qm6_add_test(tst_flexgridview SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_flexgridview.cpp LIBS qm6flexgrid)
