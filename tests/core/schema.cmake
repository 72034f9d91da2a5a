cap_add_test(tst_schema SOURCES tst_schema.cpp LIBS cap_core)
