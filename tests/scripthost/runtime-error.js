// A runtime error ends the script with exit code 1 and tells where it happened.
// exit: 1
// stderr: ^runtime-error\.js\(6, 1\): .
// out: before
WScript.Echo("before");
noSuchFunction();
WScript.Echo("after");
