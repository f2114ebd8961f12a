// The same in JScript.
// out: text 1 -2 3.5 True False null
// out: <  >
// out: é ü 中
// out: 2 one two words
// out: end
WScript.Echo("text", 1, -2, 3.5, true, false, null);
WScript.Echo("<", undefined, ">");
WScript.Echo("\u00e9 \u00fc \u4e2d");
var args = WScript.Arguments;
WScript.Echo(args.length, args(0), args.Item(1));
WScript.Echo("end");
