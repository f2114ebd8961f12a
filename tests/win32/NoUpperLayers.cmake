# cmake -DNM=<nm> -DPROGRAM=<exe> -P NoUpperLayers.cmake: fails when the program holds
# code of the standard controls or forms.
execute_process(COMMAND ${NM} --demangle ${PROGRAM} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed OR NOT symbols MATCHES "Toolkit::TWinControl::")
  message(FATAL_ERROR "cannot read the symbols of ${PROGRAM}")
endif()
string(REGEX MATCHALL "Toolkit::(TForm|GetParentForm|TButton|TCheckBox|TLabel|TEdit)[^\n]*" upper "${symbols}")
if(upper)
  list(JOIN upper "\n  " shown)
  message(FATAL_ERROR "${PROGRAM} holds code of the upper layers:\n  ${shown}")
endif()
