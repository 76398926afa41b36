# Delay-import libraries for the system DLLs that are not among Windows' known DLLs. The loader
# looks for a DLL imported the usual way in the program's own folder first, where anybody could
# drop one into an elevated program; a delay-imported one is loaded at its first call, after the
# program has limited the search to the system folder.
#
# v270_delay_import(<name> <dll>) makes target v270::delay_<name> from lib<name>.a of the
# toolchain: every function it imports, from <dll>, delay-loaded. Link libdelayimp as well.
find_program(V270_DLLTOOL NAMES ${V270_MINGW_PREFIX}-dlltool REQUIRED)
find_program(V270_NM NAMES ${V270_MINGW_PREFIX}-nm REQUIRED)

function(v270_delay_import name dll)
    find_library(_import_library NAMES lib${name}.a ${name} REQUIRED NO_CACHE)
    execute_process(COMMAND ${V270_NM} --defined-only ${_import_library}
                    OUTPUT_VARIABLE _symbols COMMAND_ERROR_IS_FATAL ANY)
    # The functions are the text symbols without the import machinery's prefixes.
    string(REGEX MATCHALL "[0-9a-f]+ T [A-Za-z][A-Za-z0-9_@]*" _lines "${_symbols}")
    set(_definitions "LIBRARY ${dll}\nEXPORTS\n")
    foreach(_line IN LISTS _lines)
        string(REGEX REPLACE "^[0-9a-f]+ T " "" _function "${_line}")
        string(APPEND _definitions "    ${_function}\n")
    endforeach()
    set(_folder ${CMAKE_BINARY_DIR}/delay-imports)
    file(CONFIGURE OUTPUT ${_folder}/${name}.def CONTENT "${_definitions}")
    set(_library ${_folder}/lib${name}_delay.a)
    add_custom_command(OUTPUT ${_library}
        COMMAND ${V270_DLLTOOL} --input-def ${_folder}/${name}.def --dllname ${dll}
                --output-delaylib ${_library}
        DEPENDS ${_folder}/${name}.def
        COMMENT "Delay-import library for ${dll}")
    add_custom_target(v270_delay_${name}_library DEPENDS ${_library})
    add_library(v270_delay_${name} STATIC IMPORTED GLOBAL)
    set_target_properties(v270_delay_${name} PROPERTIES IMPORTED_LOCATION ${_library})
    add_dependencies(v270_delay_${name} v270_delay_${name}_library)
    add_library(v270::delay_${name} ALIAS v270_delay_${name})
endfunction()
