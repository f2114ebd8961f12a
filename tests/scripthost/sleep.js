// Sleep waits the time asked; no time (negative, zero, not a number) returns at once, a
// number in a text is a number, and other text is refused.
// out: 200: waited
// out: -1: at once
// out: 0: at once
// out: NaN: at once
// out: 5: at once
// out: abc: refused
// out: end
function took(ms) {
  var start = new Date().getTime();
  WScript.Sleep(ms);
  return new Date().getTime() - start;
}
// Date and the host's tick count are different clocks: a few milliseconds of slack.
var t = took(200);
WScript.Echo("200: " + (t >= 195 ? "waited" : "only " + t + " ms"));
var quick = [-1, 0, NaN, "5"];
for (var i = 0; i < quick.length; i++) WScript.Echo(quick[i] + ": " + (took(quick[i]) < 150 ? "at once" : "waited"));
try { WScript.Sleep("abc"); WScript.Echo("abc: accepted"); } catch (e) { WScript.Echo("abc: refused"); }
WScript.Echo("end");
