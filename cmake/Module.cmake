# The module, the platform layer, the tools and the Win32 test suites (mingw builds).
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
set(PARLIX_IS_I686 OFF)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "i686")
  set(PARLIX_IS_I686 ON)
endif()

add_library(parlix_platform STATIC ${PARLIX_PLATFORM_SOURCES})
target_link_libraries(parlix_platform PUBLIC parlix_core user32 gdi32 advapi32 imm32 shlwapi kernel32)

set(PARLIX_RESOURCES ${CMAKE_SOURCE_DIR}/res/parlix.rc)
set(PARLIX_STATIC_LINK -static -static-libgcc -static-libstdc++)

set(module_sources)
foreach(source IN LISTS PARLIX_MODULE_ONLY)
  if(EXISTS ${source})
    list(APPEND module_sources ${source})
  endif()
endforeach()
if(EXISTS ${CMAKE_SOURCE_DIR}/src/hook/exports_win32.cpp)
add_library(Parlix SHARED ${module_sources} ${PARLIX_RESOURCES} ${CMAKE_SOURCE_DIR}/src/Parlix.def)
set_target_properties(Parlix PROPERTIES PREFIX "" OUTPUT_NAME Parlix)
target_link_libraries(Parlix PRIVATE parlix_platform)
# No pseudo-relocations: the runtime's relocator is empty in the module (see
# runtime_trims_win32.cpp), so the linker must refuse what would need one.
set(PARLIX_NO_PSEUDO_RELOC -Wl,--disable-runtime-pseudo-reloc)
target_link_options(Parlix PRIVATE ${PARLIX_STATIC_LINK} -s -Wl,--gc-sections ${PARLIX_NO_PSEUDO_RELOC})
if(PARLIX_IS_I686)
  target_link_options(Parlix PRIVATE -Wl,--enable-stdcall-fixup)
endif()
add_custom_command(TARGET Parlix POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E echo "Parlix.dll (${CMAKE_SYSTEM_PROCESSOR}): "
  COMMAND stat -c "%s bytes" $<TARGET_FILE:Parlix>
  VERBATIM)

add_test(NAME module_layout
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/static/check_module.sh $<TARGET_FILE:Parlix> ${CMAKE_OBJDUMP})
endif()

add_subdirectory(${CMAKE_SOURCE_DIR}/src/host ${CMAKE_BINARY_DIR}/host)
if(EXISTS ${CMAKE_SOURCE_DIR}/tools/CMakeLists.txt)
  add_subdirectory(tools)
endif()
if(PARLIX_PRODUCT_ONLY)
  # The release files are made from the product build, so their tests run here.
  add_subdirectory(tests/release)
  return()
endif()
add_subdirectory(tests/unit)
foreach(suite win32 e2e)
  if(EXISTS ${CMAKE_SOURCE_DIR}/tests/${suite}/CMakeLists.txt)
    add_subdirectory(tests/${suite})
  endif()
endforeach()
