' A runtime error ends the script with exit code 1 and tells where it happened.
' exit: 1
' stderr: ^runtime-error\.vbs\(6, 1\): .
' out: before
WScript.Echo "before"
x = 1 / 0
WScript.Echo "after"
