' LoadPicture gives a bitmap handle for a BMP file, and refuses what it cannot read.
' out: handle: yes
' out: refused: no-such.bmp
' out: refused: load-picture.vbs
' out: end
h = WScript.LoadPicture("..\..\settings\res\From.bmp")
If VarType(h) = vbLong And h <> 0 Then WScript.Echo "handle: yes"
On Error Resume Next
For Each name In Array("no-such.bmp", "load-picture.vbs")
  Err.Clear
  h = WScript.LoadPicture(name)
  If Err.Number <> 0 And InStr(Err.Description, name) > 0 Then WScript.Echo "refused: " & name
Next
On Error GoTo 0
WScript.Echo "end"
