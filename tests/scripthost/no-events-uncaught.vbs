' The same error, not handled, fails the script.
' exit: 1
' stderr: ^no-events-uncaught\.vbs\(4, 1\): CreateObject: cannot connect the events of "Scripting\.Dictionary": .
Set d = WScript.CreateObject("Scripting.Dictionary", "Dict_")
