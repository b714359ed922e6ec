# Helpers for the Windows builds: runtime-free deliverables and stdcall export tables.

set(FREESTANDING_FLAGS -Os $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-rtti -fno-threadsafe-statics>
    -fno-asynchronous-unwind-tables -fno-stack-protector -fno-tree-loop-distribute-patterns
    -ffunction-sections -fdata-sections)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(I686_TARGET TRUE)
else()
    set(I686_TARGET FALSE)
endif()

# A shipped binary: no C or C++ runtime, Windows 4.0 subsystem, own entry point.
# entry32 is the decorated i686 name (_DllMain@12), entry64 the plain one.
function(freestanding_binary target entry32 entry64)
    if(I686_TARGET)
        set(entry ${entry32})
    else()
        set(entry ${entry64})
    endif()
    target_compile_options(${target} PRIVATE ${FREESTANDING_FLAGS})
    target_link_options(${target} PRIVATE -nostdlib -Wl,--entry,${entry}
        -Wl,--subsystem,windows:4.0 -Wl,--major-os-version,4 -Wl,--minor-os-version,0
        -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0
        -Wl,--no-insert-timestamp -Wl,--gc-sections -s)
    target_link_libraries(${target} PRIVATE freestanding kernel32 user32 gdi32 gcc)
endfunction()

# Programs that are not shipped (stand-ins, tests): static, so Wine needs no mingw DLLs.
function(static_runtime target)
    target_link_options(${target} PRIVATE -static -Wl,--no-insert-timestamp)
endfunction()

# Exports from a .def written with decorated stdcall names (Name@16 @1): undecorated in
# the DLL on both targets. Also makes <target>_imports, an import library that resolves
# the decorated references of 32-bit clients (dlltool -k), to link clients against.
function(stdcall_exports target def)
    set(src ${CMAKE_CURRENT_SOURCE_DIR}/${def})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${src})
    if(I686_TARGET)
        set(linkdef ${src})
        target_link_options(${target} PRIVATE -Wl,--kill-at -Wl,--enable-stdcall-fixup)
    else()
        file(READ ${src} text)
        string(REGEX REPLACE "([A-Za-z0-9_])@[0-9]+" "\\1" text "${text}")
        set(linkdef ${CMAKE_CURRENT_BINARY_DIR}/${target}.def)
        file(WRITE ${linkdef} "${text}")
    endif()
    target_sources(${target} PRIVATE ${linkdef})
    set(implib ${CMAKE_CURRENT_BINARY_DIR}/lib${target}_imports.a)
    add_custom_command(OUTPUT ${implib}
        COMMAND ${DLLTOOL} -k -d ${linkdef} -l ${implib}
        DEPENDS ${src} VERBATIM)
    add_custom_target(${target}_implib DEPENDS ${implib})
    add_library(${target}_imports INTERFACE)
    target_link_libraries(${target}_imports INTERFACE ${implib})
    add_dependencies(${target}_imports ${target}_implib ${target})
endfunction()
