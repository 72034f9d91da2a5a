# Shared rules: statement helpers, fill, CPF/CNPJ, CMC-7 line, business-day adjustment.
foreach(t tst_uglobal tst_ubib tst_ajustadiautil tst_feriados)
  cap_add_test(${t} SOURCES ${t}.cpp LIBS cap_core)
  # Test helpers are included as "support/...".
  target_include_directories(${t} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/..)
endforeach()
