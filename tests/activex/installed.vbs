' The control as the installer registered it: created by its ProgID, it plays to OnDone.
' Run by the installer test from this folder: exit code 0 after OnDone, 3 without it.
Option Explicit
Dim w, done, waited
done = False

Sub Wipe_OnDone()
  done = True
End Sub

Set w = WScript.CreateObject("Lumawipe.Lumawipe", "Wipe_")
w.FromBitmap = WScript.LoadPicture("..\..\settings\res\From.bmp")
w.ToBitmap = WScript.LoadPicture("..\..\settings\res\To.bmp")
w.Interval = 1
w.Steps = 20
w.Play
waited = 0
Do While Not done And waited < 10000
  WScript.Sleep 20
  waited = waited + 20
Loop
If Not done Then WScript.Quit 3
