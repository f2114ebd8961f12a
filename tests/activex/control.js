// The control from JScript: created by its ProgID with its events connected to the Wipe_
// functions, properties written and read back by name, refused values thrown as errors
// the script catches, and a thread-mode run to its OnDone.
// out: done
// out: end
var done = 0, failures = 0;
function Wipe_OnDone() { done++; }
function check(what, got, expected) {
  if (got !== expected) {
    WScript.Echo(what + ": " + got + ", expected " + expected);
    failures++;
  }
}

var w = WScript.CreateObject("Lumawipe.Lumawipe", "Wipe_");
check("Color", w.Color, 0x8000000F);
check("Reverse", w.Reverse, false);

// [property, value written, value read]
var cases = [
  ["Color", 0x00ABCDEF, 0x00ABCDEF], ["Delta", 4, 4], ["Interval", 2, 2], ["Steps", 6, 6],
  ["Operation", 256 + 13, 13], ["Modifier", 2, 2], ["RGBOrder", 4, 4],
  ["Reverse", true, true], ["Reverse", 0, false], ["UseThread", 5, true], ["Cursor", -2, -2]
];
for (var i = 0; i < cases.length; i++) {
  w[cases[i][0]] = cases[i][1];
  check(cases[i][0] + " := " + cases[i][1], w[cases[i][0]], cases[i][2]);
}

// [property, refused value]
var refused = [["Delta", 0], ["Steps", -1], ["Delta", -2147483648], ["ToBitmap", 0x1234]];
for (var i = 0; i < refused.length; i++) {
  var name = refused[i][0], before = w[name];
  try {
    w[name] = refused[i][1];
    check(name + " := " + refused[i][1] + " raised", false, true);
  } catch (e) {
    if (name != "ToBitmap") check(name + " error", e.number >>> 0, 0x80070057);
    check(name + " described", e.description.length > 0, true);
  }
  check(name + " kept", w[name], before);
}

w.FromBitmap = WScript.LoadPicture("..\\..\\settings\\res\\From.bmp");
w.ToBitmap = WScript.LoadPicture("..\\..\\settings\\res\\To.bmp");
w.Operation = 11;  // toFade
w.Steps = 40;
w.Play();
for (var waited = 0; done == 0 && waited < 10000; waited += 20) WScript.Sleep(20);
WScript.Echo(done > 0 ? "done" : "no OnDone");
check("Active after the run", w.Active, false);
if (failures == 0) WScript.Echo("end");
