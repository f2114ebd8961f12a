' A syntax error fails the script before any of it runs.
' exit: 1
' stderr: ^syntax-error\.vbs\(5, [0-9]+\): .
WScript.Echo "before"
If Then
