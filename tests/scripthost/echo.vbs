' Echo joins its arguments with spaces, one line each, in UTF-8 (this file is UTF-8 without
' a byte order mark); the arguments of the run.
' out: text 1 -2 3.5 True False null
' out:
' out: <  >
' out: é ü 中
' out: 2 one two words
' out: an array has no text form
' out: end
WScript.Echo "text", 1, -2, 3.5, True, False, Null
WScript.Echo
WScript.Echo "<", Empty, ">"
WScript.Echo "é ü 中"
WScript.Echo WScript.Arguments.Count, WScript.Arguments(0), WScript.Arguments.Item(1)
On Error Resume Next
WScript.Echo Array(1, 2)
If Err.Number <> 0 Then WScript.Echo "an array has no text form"
On Error GoTo 0
WScript.Echo "end"
