# Upward includes must fail to compile, not only fail the layer check. Each
# probe is a one-line file compiled with the diary layer's real flags; its
# test builds it and passes only on the compiler's "no such file" for the
# header it names. The control probe, a downward include, must build.
set(probe_dir ${PROJECT_BINARY_DIR}/layer-probes)
set(probe_forms
    "angle|#include <ui/MainWindow.h>|ui/MainWindow.h"
    "quoted|#include \"ui/MainWindow.h\"|ui/MainWindow.h"
    "spaced|#  include \"app/AppDelegate.h\"|app/AppDelegate.h"
    "widgets_module|#include <QtWidgets>|QtWidgets"
    "widgets_class|#include <QTreeView>|QTreeView")
foreach(form IN LISTS probe_forms)
  string(REPLACE "|" ";" parts "${form}")
  list(GET parts 0 name)
  list(GET parts 1 line)
  list(GET parts 2 header)
  file(WRITE ${probe_dir}/${name}.cpp "${line}\n")
  add_library(layer_probe_${name} OBJECT EXCLUDE_FROM_ALL ${probe_dir}/${name}.cpp)
  target_link_libraries(layer_probe_${name} PRIVATE quillet_diary)
  add_test(NAME layers_upward_${name}_fails_to_compile
           COMMAND ${CMAKE_COMMAND} --build ${PROJECT_BINARY_DIR} --target layer_probe_${name})
  string(REPLACE "." "\\." header_pattern "${header}")
  set_tests_properties(layers_upward_${name}_fails_to_compile PROPERTIES
    PASS_REGULAR_EXPRESSION "${header_pattern}: No such file or directory" RESOURCE_LOCK build_tree)
endforeach()

file(WRITE ${probe_dir}/downward.cpp "#include \"store/PersistentStore.h\"\n#include <QFont>\n")
add_library(layer_probe_downward OBJECT EXCLUDE_FROM_ALL ${probe_dir}/downward.cpp)
target_link_libraries(layer_probe_downward PRIVATE quillet_diary)
add_test(NAME layers_downward_include_compiles
         COMMAND ${CMAKE_COMMAND} --build ${PROJECT_BINARY_DIR} --target layer_probe_downward)
set_tests_properties(layers_downward_include_compiles PROPERTIES RESOURCE_LOCK build_tree)
