' An object without events to connect: CreateObject with a prefix raises an error naming
' the object, which the script may handle; without a prefix the object works.
' out: refused: Scripting.Dictionary
' out: 1
' out: refused: No.Such.Object
' out: end
On Error Resume Next
Set d = WScript.CreateObject("Scripting.Dictionary", "Dict_")
If Err.Number <> 0 And InStr(Err.Description, """Scripting.Dictionary""") > 0 Then WScript.Echo "refused: Scripting.Dictionary"
Err.Clear
On Error GoTo 0
Set d = WScript.CreateObject("Scripting.Dictionary")
d.Add "key", "value"
WScript.DisconnectObject d
WScript.Echo d.Count
On Error Resume Next
Set n = WScript.CreateObject("No.Such.Object")
If Err.Number <> 0 And InStr(Err.Description, """No.Such.Object""") > 0 Then WScript.Echo "refused: No.Such.Object"
On Error GoTo 0
WScript.Echo "end"
