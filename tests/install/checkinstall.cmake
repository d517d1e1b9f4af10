# Installs the build in BUILD_DIR under the prefix /usr into the staging folder STAGE, as a package build
# does, and checks that every file a desktop needs has landed.
file(REMOVE_RECURSE "${STAGE}")
set(ENV{DESTDIR} "${STAGE}")
set(config_args)
if(CONFIG)
    set(config_args --config "${CONFIG}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix /usr ${config_args}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed:\n${output}")
endif()

set(expected
    usr/bin/qta-config-editor
    usr/share/applications/qta-config-editor.desktop)
foreach(size 16 32 48 64 128 256)
    list(APPEND expected usr/share/icons/hicolor/${size}x${size}/apps/qta-config-editor.png)
endforeach()
foreach(file IN LISTS expected)
    if(NOT EXISTS "${STAGE}/${file}")
        message(FATAL_ERROR "not installed: /${file}")
    endif()
endforeach()
# Each icon is the picture of its folder's size: the width and height stand in the PNG header.
foreach(size 16 32 48 64 128 256)
    file(READ "${STAGE}/usr/share/icons/hicolor/${size}x${size}/apps/qta-config-editor.png" header
         OFFSET 16 LIMIT 8 HEX)
    string(SUBSTRING "${header}" 0 8 width)
    string(SUBSTRING "${header}" 8 8 height)
    math(EXPR width "0x${width}")
    math(EXPR height "0x${height}")
    if(NOT width EQUAL size OR NOT height EQUAL size)
        message(FATAL_ERROR "the ${size}x${size} icon is ${width}x${height}")
    endif()
endforeach()
message(STATUS "installed: ${expected}")
