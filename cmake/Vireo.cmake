# The system's own code (app/ and host/) is written for a multibyte build whose narrow
# strings are in the Korean ANSI code page: its literal texts are compiled to code page
# 949 bytes, just as the platform's compiler would store them.
function(vireo_system_code target)
  target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=CP949)
endfunction()
