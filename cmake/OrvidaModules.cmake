# orvida_module(<Name> [PUBLIC_DEPS ...] [PRIVATE_DEPS ...])
# Builds the module in the current folder as a shared library from Private/**.cpp, with Public/ as its
# include path and <NAME>_API as its export macro, the way the engine's build lays out a module.
function(orvida_module Name)
  cmake_parse_arguments(ARG "" "" "PUBLIC_DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB_RECURSE Sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/Private/*.cpp)
  add_library(${Name} SHARED ${Sources})
  target_include_directories(${Name}
    PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/Public
    PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/Private)
  string(TOUPPER ${Name} UpperName)
  target_compile_definitions(${Name} PUBLIC ${UpperName}_API=DLLEXPORT)
  # The engine's build names the module to its own code; reflected classes take their script package from it.
  target_compile_definitions(${Name} PRIVATE UE_MODULE_NAME="${Name}")
  target_link_libraries(${Name} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()
