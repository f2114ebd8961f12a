' The control from VBScript: created by its ProgID with its events connected to the Wipe_
' procedures, every property read and written with the conversions VBScript sees (an
' OLE_COLOR arrives as an unsigned 32-bit number: CLng for small ones, CDbl for all), refused values
' raising errors the script catches, and runs in timer and thread mode to their OnDone.
' Wine's VBScript cannot compare an unsigned 32-bit number (VarType 19): Check compares its
' value as a Double.
' out: run 1: done
' out: run 2: done
' out: end
Option Explicit
Dim w, done, failures, run, waited
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

Set w = WScript.CreateObject("Lumawipe.Lumawipe", "Wipe_")

' A new control.
Check "Active", w.Active, False
Check "Color", w.Color, 2147483663  ' the button face system colour, &H8000000F
Check "FromBitmap", w.FromBitmap, 0
Check "ToBitmap", w.ToBitmap, 0
Check "Delta", w.Delta, 10
Check "Interval", w.Interval, 100
Check "Modifier", w.Modifier, 0
Check "Operation", w.Operation, 0
Check "Reverse", w.Reverse, False
Check "RGBOrder", w.RGBOrder, 0
Check "UseThread", w.UseThread, False
Check "Steps", w.Steps, 1
Check "Enabled", w.Enabled, True
Check "TypeName(Reverse)", TypeName(w.Reverse), "Boolean"

' Values written and read back (Wine's VBScript has no Execute to take them from a table).
w.Operation = 258 : Check "Operation 258", w.Operation, 2
w.Operation = 19 : Check "Operation 19", w.Operation, 19
w.Modifier = 3 : Check "Modifier", w.Modifier, 3
w.RGBOrder = 5 : Check "RGBOrder", w.RGBOrder, 5
w.Reverse = 1 : Check "Reverse 1", w.Reverse, True
w.Reverse = False : Check "Reverse False", w.Reverse, False
w.UseThread = True : Check "UseThread", w.UseThread, True
w.Delta = 7 : Check "Delta", w.Delta, 7
w.Steps = 3 : Check "Steps", w.Steps, 3
w.Interval = 5 : Check "Interval", w.Interval, 5
w.Cursor = -21 : Check "Cursor", w.Cursor, -21
w.Color = 2147483663 : Check "system Color", w.Color, 2147483663
w.Color = &H123456
Check "Color", CLng(w.Color), &H123456

' Refused values raise errors that say why; the values stay.
On Error Resume Next
w.Delta = 0
Check "Delta 0", Err.Number, &H80070057
Check "Delta 0 described", Len(Err.Description) > 0, True
Err.Clear
w.Steps = -5
Check "Steps -5", Err.Number, &H80070057
Err.Clear
w.FromBitmap = 4660
Check "FromBitmap 4660 refused", Err.Number <> 0, True
Err.Clear
On Error GoTo 0
Check "Delta kept", w.Delta, 7
Check "Steps kept", w.Steps, 3
Check "FromBitmap kept", w.FromBitmap, 0

' Runs to their end, in timer and then thread mode.
w.FromBitmap = WScript.LoadPicture("..\..\settings\res\From.bmp")
w.ToBitmap = WScript.LoadPicture("..\..\settings\res\To.bmp")
Check "FromBitmap set", w.FromBitmap <> 0, True
w.Operation = 0
w.Interval = 1
w.Steps = 20
For run = 1 To 2
  w.UseThread = (run = 2)
  done = 0
  w.Play
  Check "Active while running", w.Active, True
  waited = 0
  Do While done = 0 And waited < 10000
    WScript.Sleep 20
    waited = waited + 20
  Loop
  If done > 0 Then WScript.Echo "run " & run & ": done" Else WScript.Echo "run " & run & ": no OnDone"
  Check "Active after the run", w.Active, False
Next
If failures = 0 Then WScript.Echo "end"
