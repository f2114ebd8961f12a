// A syntax error fails the script before any of it runs.
// exit: 1
// stderr: ^syntax-error\.js\(5, [0-9]+\): .
WScript.Echo("before");
var = ;
