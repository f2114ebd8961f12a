' A hostile page's script against the control: every property with values outside its
' range, handles that are not the script's to give (invented, deleted, the control's own,
' one handle for both pictures), methods in every order, and the control released in the
' middle of a run. Nothing may crash or hang; a call that cannot be honoured raises an
' error and leaves the value as it was. The About box, which is modal, is shown during a
' run by the container test instead.
' out: end
Option Explicit
Dim w, w2, done, failures, v, h, other, kept, before
done = 0
failures = 0

Sub Wipe_OnDone()
  done = done + 1
End Sub

Sub Check(what, got, expected)
  If VarType(got) = 19 Then got = CDbl(got)
  If got <> expected Then
    WScript.Echo what & ": " & got & ", expected " & expected
    failures = failures + 1
  End If
End Sub

' Sets a property by name through a Select (Wine's VBScript has no Execute); the error
' number it raised, 0 when taken.
Function Put(name, value)
  On Error Resume Next
  Err.Clear
  Select Case name
    Case "Delta" : w.Delta = value
    Case "Steps" : w.Steps = value
    Case "Interval" : w.Interval = value
    Case "Operation" : w.Operation = value
    Case "Modifier" : w.Modifier = value
    Case "RGBOrder" : w.RGBOrder = value
    Case "Color" : w.Color = value
    Case "Cursor" : w.Cursor = value
    Case "Reverse" : w.Reverse = value
    Case "UseThread" : w.UseThread = value
    Case "Visible" : w.Visible = value
    Case "Enabled" : w.Enabled = value
    Case "FromBitmap" : w.FromBitmap = value
    Case "ToBitmap" : w.ToBitmap = value
  End Select
  Put = Err.Number
  Err.Clear
End Function

' The error number of writing a picture handle to control c, 0 when taken.
Function PutOn(c, name, value)
  On Error Resume Next
  Err.Clear
  If name = "FromBitmap" Then c.FromBitmap = value Else c.ToBitmap = value
  PutOn = Err.Number
  Err.Clear
End Function

' Waits for OnDone up to ms milliseconds; whether it came.
Function WaitDone(ms)
  Dim waited : waited = 0
  Do While done = 0 And waited < ms
    WScript.Sleep 10
    waited = waited + 10
  Loop
  WaitDone = done > 0
End Function

Set w = WScript.CreateObject("Lumawipe.Lumawipe", "Wipe_")

' Delta and Steps: below 1 refused with E_INVALIDARG, everything else taken.
For Each v In Array(-2147483647, -1, 0)
  Check "Delta " & v, Put("Delta", v), &H80070057
  Check "Steps " & v, Put("Steps", v), &H80070057
Next
Check "Delta kept", w.Delta, 10
Check "Steps kept", w.Steps, 1
Check "Delta 2^31-1", Put("Delta", 2147483647), 0
Check "Steps 2^31-1", Put("Steps", 2147483647), 0
' Enumerations keep the low byte of any value; numbers beyond 32 bits are refused.
For Each v In Array(-1, 0, 255, 256, 2147483647)
  Check "Operation " & v, Put("Operation", v), 0
  Check "Modifier " & v, Put("Modifier", v), 0
  Check "RGBOrder " & v, Put("RGBOrder", v), 0
Next
Check "Operation low byte", w.Operation, 255
Check "Operation 2^32", Put("Operation", 4294967296) <> 0, True
Check "Operation kept", w.Operation, 255
' Interval, colours, the cursor and the flags take what fits their types.
For Each v In Array(-1, 0, 2147483647)
  Check "Interval " & v, Put("Interval", v), 0
Next
Check "Color 0", Put("Color", 0), 0
Check "Color 2^31-1", Put("Color", 2147483647), 0
Check "Color -1 does not fit OLE_COLOR", Put("Color", -1) <> 0, True
Check "Color kept", w.Color, 2147483647
Check "Color beyond the system colours", Put("Color", 2147483647 + 1 + 255), 0
Check "Cursor -32768", Put("Cursor", -32768), 0
Check "Cursor 32767", Put("Cursor", 32767), 0
Check "Cursor 2^31-1", Put("Cursor", 2147483647) <> 0, True
Check "Reverse 7", Put("Reverse", 7), 0
Check "Visible 0", Put("Visible", 0), 0
Check "Enabled 0", Put("Enabled", 0), 0

' A run with every value at its extreme: an operation outside the list shows the colour
' and never ends, so Stop ends it; the largest Delta and Steps end an operation at once.
w.FromBitmap = WScript.LoadPicture("..\..\settings\res\From.bmp")
w.ToBitmap = WScript.LoadPicture("..\..\settings\res\To.bmp")
w.Interval = 1
w.Play
WScript.Sleep 50
Check "outside the list still running", w.Active, True
w.Stop
Check "stopped", w.Active, False
w.Operation = 18 : w.Modifier = 0 : w.RGBOrder = 0 : w.Visible = True : w.Enabled = True
done = 0
w.Play
Check "largest Delta and Steps end", WaitDone(5000), True

' Handles: invented values and a deleted handle are not bitmaps (error 481), and the
' control keeps its pictures.
before = w.FromBitmap
For Each v In Array(1, 2, 4660, -1, -2147483647, 2147483647)
  Check "FromBitmap " & v, Put("FromBitmap", v), 481
  Check "ToBitmap " & v, Put("ToBitmap", v), 481
Next
Check "FromBitmap kept", w.FromBitmap, before
h = WScript.LoadPicture("..\..\settings\res\From.bmp")
other = WScript.LoadPicture("..\..\settings\res\To.bmp")
Check "FromBitmap taken", Put("FromBitmap", h), 0
' One handle for both pictures: the second picture gets a copy of its own.
Check "the same handle to ToBitmap", Put("ToBitmap", h), 0
Check "ToBitmap a copy", w.ToBitmap <> w.FromBitmap And w.ToBitmap <> 0, True
' The control's own handle written back, and to the other picture.
kept = w.FromBitmap
Check "FromBitmap's own handle", Put("FromBitmap", kept), 0
Check "FromBitmap unchanged", w.FromBitmap, kept
Check "FromBitmap's handle to ToBitmap", Put("ToBitmap", w.FromBitmap), 0
Check "ToBitmap again a copy", w.ToBitmap <> w.FromBitmap, True
' A new picture replaces the control's, which it deletes: that handle is refused later.
Check "a new FromBitmap", Put("FromBitmap", other), 0
Check "the deleted handle", Put("ToBitmap", kept), 481

' Pictures of other sizes for an operation that cannot combine them: every frame fails,
' quietly (no message box in the host), showing the colour until Stop.
w.FromBitmap = WScript.LoadPicture("..\..\activex\res\From.bmp")  ' 120 x 90 beside 446 x 75
w.Operation = 13 : w.Interval = 1
w.Play
WScript.Sleep 200
Check "a failing run goes on", w.Active, True
w.Stop
w.FromBitmap = WScript.LoadPicture("..\..\settings\res\From.bmp")

' Methods in every order.
w.Operation = 0 : w.Steps = 40 : w.Delta = 1 : w.Interval = 1
w.Stop : w.Resume : w.Pause : w.Clear
Check "idle", w.Active, False
For Each v In Array(False, True)
  w.UseThread = v
  done = 0
  w.Play : w.Play
  w.Resume
  w.Pause : w.Pause
  w.Clear
  Check "set while paused", Put("Operation", 3), 0
  w.Resume : w.Resume
  w.Clear
  Check "no second OnDone from Play twice", WaitDone(10000), True
  WScript.Sleep 50
  Check "one OnDone", done, 1
Next

' Handles shared between controls: a second control given the first one's handles gets
' copies, so releasing it or emptying its pictures leaves the first one's handles alive
' (a third control still takes them as pictures).
Dim c2, c3
For Each v In Array("empty", "release")
  Set c2 = WScript.CreateObject("Lumawipe.Lumawipe")
  c2.FromBitmap = w.FromBitmap
  c2.ToBitmap = w.ToBitmap
  Check "shared FromBitmap copied", c2.FromBitmap <> w.FromBitmap And c2.FromBitmap <> 0, True
  Check "shared ToBitmap copied", c2.ToBitmap <> w.ToBitmap And c2.ToBitmap <> 0, True
  If v = "empty" Then
    c2.FromBitmap = 0 : c2.ToBitmap = 0
  Else
    Set c2 = Nothing
  End If
  Set c3 = WScript.CreateObject("Lumawipe.Lumawipe")
  Check "first FromBitmap alive after " & v, PutOn(c3, "FromBitmap", w.FromBitmap), 0
  Check "first ToBitmap alive after " & v, PutOn(c3, "ToBitmap", w.ToBitmap), 0
  Set c3 = Nothing
Next
Set c2 = Nothing
done = 0
w.Operation = 0 : w.Steps = 40 : w.UseThread = False
w.Play
Check "the first control plays its shared pictures", WaitDone(10000), True

' Released in the middle of a run, in both modes, with its events connected; a new
' control then plays as usual.
For Each v In Array(False, True)
  Set w2 = WScript.CreateObject("Lumawipe.Lumawipe", "Wipe_")
  w2.FromBitmap = WScript.LoadPicture("..\..\settings\res\From.bmp")
  w2.ToBitmap = WScript.LoadPicture("..\..\settings\res\To.bmp")
  w2.UseThread = v : w2.Interval = 1 : w2.Steps = 1
  w2.Play
  WScript.Sleep 30
  Set w2 = Nothing
  WScript.Sleep 30
Next
Set w = Nothing
Set w = WScript.CreateObject("Lumawipe.Lumawipe", "Wipe_")
w.FromBitmap = WScript.LoadPicture("..\..\settings\res\From.bmp")
w.ToBitmap = WScript.LoadPicture("..\..\settings\res\To.bmp")
w.Interval = 1 : w.Steps = 50
done = 0
w.Play
Check "a new control after the releases", WaitDone(10000), True
If failures = 0 Then WScript.Echo "end"
