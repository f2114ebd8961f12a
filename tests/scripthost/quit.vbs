' Quit(3) ends the script at once with exit code 3.
' exit: 3
' out: before
WScript.Echo "before"
WScript.Quit 3
' Reached only when Quit returned: the test then fails by its timeout.
Do
Loop
