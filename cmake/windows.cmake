# The Windows build: the executable's resources, and, when cross-built on Linux, tests that run under Wine.

enable_language(RC)

# The Qt made for Windows here has no zstd, so resources are compressed the classic way.
set(CMAKE_AUTORCC_OPTIONS --no-zstd)

if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
    # Where the test programs find their DLLs under Wine: Qt's own and MinGW's runtime.
    get_target_property(qta_qtcore_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
    if(NOT qta_qtcore_dll)
        get_target_property(qta_qtcore_dll Qt6::Core IMPORTED_LOCATION)
    endif()
    get_filename_component(QTA_QT_BIN_DIR "${qta_qtcore_dll}" DIRECTORY)
    set(QTA_MINGW_DLL_DIRS "")
    foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                        OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(NOT IS_ABSOLUTE "${dll_path}" OR NOT EXISTS "${dll_path}")
            message(FATAL_ERROR "The MinGW runtime ${dll} was not found (the compiler gave \"${dll_path}\")")
        endif()
        get_filename_component(dll_dir "${dll_path}" DIRECTORY)
        get_filename_component(dll_dir "${dll_dir}" REALPATH)
        list(APPEND QTA_MINGW_DLL_DIRS "${dll_dir}")
    endforeach()
    list(REMOVE_DUPLICATES QTA_MINGW_DLL_DIRS)
    list(JOIN QTA_MINGW_DLL_DIRS ":" QTA_MINGW_DLL_PATH)

    # Every test program runs through this: Wine in a prefix of the build's own, never the user's.
    set(QTA_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
    configure_file(${PROJECT_SOURCE_DIR}/tools/windows/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
                   FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                                    WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
endif()
