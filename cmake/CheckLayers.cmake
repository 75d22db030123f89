# Checks that every include of a layer's folder goes down the layers (or stays inside its own
# folder): cmake -DSOURCE_DIR=<repository> -P CheckLayers.cmake. The map is docs/architecture.md.
# Includes are rooted at src/, so "<folder>/<file>.h" names the layer it comes from.

cmake_minimum_required(VERSION 3.25)

set(layers base shapes mif gdal ksj driver batch app cli)

# What each folder may include besides itself.
set(may_base "")
set(may_shapes base)
set(may_mif base shapes)
set(may_gdal base shapes)
set(may_ksj base shapes)
set(may_driver base shapes mif gdal ksj)
set(may_batch base shapes mif gdal ksj driver)
set(may_app base shapes mif gdal ksj driver batch)
set(may_cli base shapes mif gdal ksj driver batch)
set(may_tools base shapes mif gdal ksj driver batch app cli)

set(places)
foreach(layer ${layers})
    list(APPEND places "src/${layer}|${layer}")
endforeach()
list(APPEND places "cli|cli" "tools|tools")

set(violations 0)
foreach(place ${places})
    string(REPLACE "|" ";" parts "${place}")
    list(GET parts 0 dir)
    list(GET parts 1 name)
    file(GLOB_RECURSE files "${SOURCE_DIR}/${dir}/*.cpp" "${SOURCE_DIR}/${dir}/*.h")
    foreach(file ${files})
        file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[A-Za-z_]+/")
        foreach(line ${includes})
            string(REGEX MATCH "\"([A-Za-z_]+)/" match "${line}")
            set(target "${CMAKE_MATCH_1}")
            if(target STREQUAL name OR NOT target IN_LIST layers)
                continue()
            endif()
            if(NOT target IN_LIST may_${name})
                file(RELATIVE_PATH rel "${SOURCE_DIR}" "${file}")
                message("${rel}: ${name} may not include ${target}: ${line}")
                math(EXPR violations "${violations} + 1")
            endif()
        endforeach()
    endforeach()
endforeach()

if(violations GREATER 0)
    message(FATAL_ERROR "${violations} include(s) against the layers")
endif()
message("The layers hold: every include goes down.")
