// A script that catches the error by which Quit ends it still ends with Quit's code, at its
// next call into WScript.
// exit: 3
// out: before
WScript.Echo("before");
try { WScript.Quit(3); } catch (e) { WScript.Echo("caught"); }
WScript.Echo("after");
